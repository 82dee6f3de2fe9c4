// A picture box that draws nothing and records what was asked of it.
#pragma once

#include "platform/picture_box.h"

#include <string>
#include <vector>

namespace platform {

/// Sizes are pixels; text measures a fixed 8 x 16 pixels per character so that tests
/// can work out where a text goes.
class RecordingPictureBox final : public PictureBox {
public:
    enum class Call { Show, Hide, FillBox, Cls, Refresh, Print, ZOrder, Line, Box, Circle };

    /// A Line (X2, Y2 its other end), box or Circle (X2 its radius) with the DrawMode
    /// and AutoRedraw it was drawn in.
    struct Shape {
        Call Kind;
        double X1, Y1, X2, Y2;
        int DrawMode;
        bool AutoRedraw;
        friend bool operator==(const Shape&, const Shape&) = default;
    };

    struct Filled {
        double X1, Y1, X2, Y2;
        ColorRef Color;
    };

    struct Printed {
        std::string Text;
        double X, Y; ///< CurrentX and CurrentY when it was printed
    };

    static constexpr double CharWidth = 8;
    static constexpr double CharHeight = 16;

    RecordingPictureBox(double scaleWidth, double height) : Width(scaleWidth), BoxHeight(height) {}

    bool Visible() const override { return IsVisible; }
    void SetVisible(bool visible) override;
    void ZOrder(int position) override;
    bool AutoRedraw() const override { return IsAutoRedraw; }
    void SetAutoRedraw(bool autoRedraw) override { IsAutoRedraw = autoRedraw; }
    int ScaleMode() const override { return Mode; }
    void SetScaleMode(int mode) override { Mode = mode; }
    double ScaleWidth() const override { return Width; }
    double ScaleHeight() const override { return BoxHeight; }
    double Height() const override { return BoxHeight; }
    ColorRef BackColor() const override { return Back; }
    void SetBackColor(ColorRef color) override { Back = color; }
    HDC hDC() override { return Dc; }
    HWND hWnd() const override { return Wnd; }
    void FillBox(double x1, double y1, double x2, double y2, ColorRef color) override;
    int DrawMode() const override { return Mix; }
    void SetDrawMode(int mode) override;
    void Line(double x1, double y1, double x2, double y2, ColorRef color, bool box) override;
    void Circle(double x, double y, double radius, ColorRef color) override;
    void Cls() override;
    void Refresh() override { Calls.push_back(Call::Refresh); }
    double CurrentX() const override { return X; }
    double CurrentY() const override { return Y; }
    void SetCurrentX(double x) override { X = x; }
    void SetCurrentY(double y) override { Y = y; }
    void Print(std::string_view text) override;
    double TextWidth(std::string_view text) override { return CharWidth * text.size(); }
    double TextHeight(std::string_view) override { return CharHeight; }
    double FontSize() const override { return Points; }
    void SetFontSize(double points) override { Points = points; }
    ColorRef Point(double, double) override { return ClrInvalid; }

    std::vector<Call> Calls;
    std::vector<Filled> Boxes;
    std::vector<Printed> Texts;
    std::vector<Shape> Shapes;
    /// What hDC returns: set it to a device context of the GdiService under test.
    HDC Dc = nullptr;
    HWND Wnd = nullptr;

private:
    double Width;
    double BoxHeight;
    bool IsVisible = false;
    bool IsAutoRedraw = false;
    int Mode = scale::Pixels;
    int Mix = drawmode::CopyPen;
    ColorRef Back = 0xFFFFFF;
    double X = 0;
    double Y = 0;
    double Points = 8.25;
};

} // namespace platform
