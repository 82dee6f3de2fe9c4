// The conversions between drawing units and pixels.
#include "view_transform.h"

#include "control/database/control_error.h"

namespace plandra {

Long ViewTransform::CvtX(float X) const {
    if (std::optional<Long> pixel = PixelX(X)) {
        return *pixel;
    }
    Screen.SetMousePointer(platform::MousePointer::Default);
    throw ControlError::Raised("Error in CvtX.");
}

Long ViewTransform::CvtY(float Y) const {
    if (std::optional<Long> pixel = PixelY(Y)) {
        return *pixel;
    }
    Screen.SetMousePointer(platform::MousePointer::Default);
    throw ControlError::Raised("Error in CvtY.");
}

float ViewTransform::IntToRealX(double XPixel) const {
    if (PixelsPerUnit == 0) {
        return 0;
    }
    return static_cast<float>(ViewWindow.Left + XPixel / PixelsPerUnit);
}

float ViewTransform::IntToRealY(double YPixel) const {
    if (PixelsPerUnit == 0) {
        return 0;
    }
    return static_cast<float>(ViewWindow.Bottom + (SurfaceHeight - YPixel) / PixelsPerUnit);
}

bool ViewTransform::GetCurrentZoom(float& Left, float& top, float& right, float& bottom) const {
    Left = ViewWindow.Left;
    top = ViewWindow.Top;
    right = ViewWindow.Right;
    bottom = ViewWindow.Bottom;
    return true;
}

bool ViewTransform::SetViewTransform(Long height, float originX, float originY, float scale,
                                     platform::HWND window) {
    SurfaceHeight = height;
    ViewOriginX = originX;
    ViewOriginY = originY;
    PixelsPerUnit = scale;
    SurfaceWindow = window;
    return true;
}

} // namespace plandra
