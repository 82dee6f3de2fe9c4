// A picture box whose persistent image follows the size a container gives the control.
#pragma once

#include "platform/win32/win32_picture_box.h"

#include <memory>

namespace plandra::ocx {

/// Passes every member to a Win32PictureBox of the current size. Resize makes a new
/// image of the new size with the settings of the old one and what it showed (cut or
/// padded with the back colour); its device context is then another one.
class ResizablePictureBox final : public platform::PictureBox {
public:
    ResizablePictureBox(platform::Win32Gdi& gdi, platform::HWND window, int width, int height)
        : Gdi(gdi), Window(window),
          Box(std::make_unique<platform::Win32PictureBox>(gdi, window, width, height)),
          Width(width), Height_(height) {}

    void Resize(int width, int height);

    bool Visible() const override { return Box->Visible(); }
    void SetVisible(bool visible) override { Box->SetVisible(visible); }
    void ZOrder(int position) override { Box->ZOrder(position); }
    bool AutoRedraw() const override { return Box->AutoRedraw(); }
    void SetAutoRedraw(bool autoRedraw) override { Box->SetAutoRedraw(autoRedraw); }
    int ScaleMode() const override { return Box->ScaleMode(); }
    void SetScaleMode(int mode) override { Box->SetScaleMode(mode); }
    double ScaleWidth() const override { return Box->ScaleWidth(); }
    double ScaleHeight() const override { return Box->ScaleHeight(); }
    double Height() const override { return Box->Height(); }
    platform::ColorRef BackColor() const override { return Box->BackColor(); }
    void SetBackColor(platform::ColorRef color) override { Box->SetBackColor(color); }
    platform::HDC hDC() override { return Box->hDC(); }
    platform::HWND hWnd() const override { return Box->hWnd(); }
    void FillBox(double x1, double y1, double x2, double y2, platform::ColorRef color) override {
        Box->FillBox(x1, y1, x2, y2, color);
    }
    int DrawMode() const override { return Box->DrawMode(); }
    void SetDrawMode(int mode) override { Box->SetDrawMode(mode); }
    void Line(double x1, double y1, double x2, double y2, platform::ColorRef color,
              bool box) override {
        Box->Line(x1, y1, x2, y2, color, box);
    }
    void Circle(double x, double y, double radius, platform::ColorRef color) override {
        Box->Circle(x, y, radius, color);
    }
    void Cls() override { Box->Cls(); }
    void Refresh() override { Box->Refresh(); }
    double CurrentX() const override { return Box->CurrentX(); }
    double CurrentY() const override { return Box->CurrentY(); }
    void SetCurrentX(double x) override { Box->SetCurrentX(x); }
    void SetCurrentY(double y) override { Box->SetCurrentY(y); }
    void Print(std::string_view text) override { Box->Print(text); }
    double TextWidth(std::string_view text) override { return Box->TextWidth(text); }
    double TextHeight(std::string_view text) override { return Box->TextHeight(text); }
    double FontSize() const override { return Box->FontSize(); }
    void SetFontSize(double points) override { Box->SetFontSize(points); }
    platform::ColorRef Point(double x, double y) override { return Box->Point(x, y); }

    int PixelWidth() const { return Width; }
    int PixelHeight() const { return Height_; }

private:
    platform::Win32Gdi& Gdi;
    platform::HWND Window;
    std::unique_ptr<platform::Win32PictureBox> Box;
    int Width;
    int Height_;
};

} // namespace plandra::ocx
