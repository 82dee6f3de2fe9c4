// A picture box: one of the control's child drawing surfaces (picPlandra, picStatusBar),
// with the members the control uses.
#pragma once

#include "platform/gdi.h"

#include <string_view>

namespace platform {

/// A window (HWND); null for a surface without one.
struct Window;
using HWND = Window*;

/// ScaleMode values: the unit of ScaleWidth, ScaleHeight, CurrentX, CurrentY,
/// TextWidth, TextHeight, Point and FillBox.
namespace scale {
inline constexpr int Points = 2;
inline constexpr int Pixels = 3;
inline constexpr int Millimeters = 6;
} // namespace scale

/// DrawMode values: how Line and Circle mix their colour with the pixels under them,
/// the r2:: mix modes of GDI (1 to 16).
namespace drawmode {
inline constexpr int Invert = r2::Not;
inline constexpr int CopyPen = r2::CopyPen;
} // namespace drawmode

/// A drawing surface with a persistent image (AutoRedraw): everything drawn through
/// its members or its hDC stays in the image until Cls, and Refresh shows the image.
class PictureBox {
public:
    virtual ~PictureBox() = default;

    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    /// Brings the box to the front (position 0) or sends it to the back (1).
    virtual void ZOrder(int position = 0) = 0;

    virtual bool AutoRedraw() const = 0;
    virtual void SetAutoRedraw(bool autoRedraw) = 0;
    /// A scale:: value; changing it keeps the image and converts nothing drawn.
    virtual int ScaleMode() const = 0;
    virtual void SetScaleMode(int mode) = 0;
    /// The inside of the box in the current scale units.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    /// The outer height of the box in its container's units (pixels).
    virtual double Height() const = 0;

    virtual ColorRef BackColor() const = 0;
    /// Sets the back colour and clears the box to it.
    virtual void SetBackColor(ColorRef color) = 0;

    /// The device context of the persistent image; valid for the GdiService the box
    /// was made with, for the box's lifetime.
    virtual HDC hDC() = 0;
    virtual HWND hWnd() const = 0;

    /// The box form of the Line method: fills the rectangle between the two corners.
    virtual void FillBox(double x1, double y1, double x2, double y2, ColorRef color) = 0;
    /// The mix mode of Line and Circle (a drawmode:: value); CopyPen on a new box.
    virtual int DrawMode() const = 0;
    /// Values outside 1 to 16 are ignored.
    virtual void SetDrawMode(int mode) = 0;
    /// The Line method, in the current scale units, with a width-1 solid pen in the
    /// DrawMode: a line from the first point up to, not including, the second; or, with
    /// `box`, the outline of the rectangle with both corners on it. Every pixel is
    /// touched once, so the same shape drawn twice in invert mode restores the pixels.
    /// With AutoRedraw off it goes to the screen only; a box without a window has only
    /// its image, which then takes it.
    virtual void Line(double x1, double y1, double x2, double y2, ColorRef color, bool box) = 0;
    /// The Circle method: the outline of the circle around (x, y), unfilled, drawn as
    /// Line draws.
    virtual void Circle(double x, double y, double radius, ColorRef color) = 0;
    /// Clears the box to its back colour and puts CurrentX and CurrentY at 0.
    virtual void Cls() = 0;
    /// Repaints the box on the screen from its persistent image.
    virtual void Refresh() = 0;

    /// The next text position, in the current scale units.
    virtual double CurrentX() const = 0;
    virtual double CurrentY() const = 0;
    virtual void SetCurrentX(double x) = 0;
    virtual void SetCurrentY(double y) = 0;
    /// Writes the text (ANSI) with its top left at CurrentX, CurrentY in the box's
    /// fore colour (black), then moves to the start of the next line.
    virtual void Print(std::string_view text) = 0;
    /// The size the text would take in the current font, in the current scale units.
    virtual double TextWidth(std::string_view text) = 0;
    virtual double TextHeight(std::string_view text) = 0;
    /// The font size in points.
    virtual double FontSize() const = 0;
    virtual void SetFontSize(double points) = 0;

    /// The colour of the pixel at (x, y) in the current scale units; -1 (ClrInvalid)
    /// outside the box.
    virtual ColorRef Point(double x, double y) = 0;
};

} // namespace platform
