// A picture box whose image is made anew at each new size.
#include "resizable_picture_box.h"

#include "com_api.h"

#include <algorithm>

namespace plandra::ocx {

void ResizablePictureBox::Resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == Width && height == Height_) {
        return;
    }
    auto resized = std::make_unique<platform::Win32PictureBox>(Gdi, Window, width, height);
    resized->SetBackColor(Box->BackColor());
    resized->SetAutoRedraw(Box->AutoRedraw());
    resized->SetDrawMode(Box->DrawMode());
    resized->SetFontSize(Box->FontSize());
    ::BitBlt(reinterpret_cast<::HDC>(resized->hDC()), 0, 0, std::min(width, Width),
             std::min(height, Height_), reinterpret_cast<::HDC>(Box->hDC()), 0, 0, SRCCOPY);
    resized->SetScaleMode(Box->ScaleMode());
    resized->SetCurrentX(Box->CurrentX());
    resized->SetCurrentY(Box->CurrentY());
    Box = std::move(resized);
    Width = width;
    Height_ = height;
}

} // namespace plandra::ocx
