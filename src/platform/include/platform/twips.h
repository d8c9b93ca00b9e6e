// Geometry in twips (1/1440 inch), the unit in which windows are laid out and their positions
// stored, and its conversion to and from pixels.
//
// Pixels are Qt's device-independent pixels, the unit of widget geometry. Twips per pixel come
// from the screen's logical DPI (the one the desktop's font settings set), not its physical
// DPI: 15 at 96 DPI. A window's width and height in twips are its outer size, frame included.
#pragma once

class QRect;
class QWidget;

namespace platform {

inline constexpr double kTwipsPerInch = 1440.0;

/// Twips per pixel at `logicalDpi`; a DPI that is not positive is taken as 96.
double twipsPerPixel(double logicalDpi);

/// `twips` in pixels, rounded to the nearest whole pixel.
int pixelsFromTwips(double twips, double twipsPerPixel);

double twipsFromPixels(int pixels, double twipsPerPixel);

/// The screen's twips per pixel, read once for a layout step.
struct TwipsScale {
    double x = 15;
    double y = 15;

    /// The installed screen's (platform::Services::screen()); throws Error without one.
    static TwipsScale ofScreen();

    int pixelsX(double twips) const { return pixelsFromTwips(twips, x); }
    int pixelsY(double twips) const { return pixelsFromTwips(twips, y); }
    double twipsX(int pixels) const { return twipsFromPixels(pixels, x); }
    double twipsY(int pixels) const { return twipsFromPixels(pixels, y); }
    /// A control's geometry in its parent, from left, top, width and height in twips.
    QRect pixels(double left, double top, double width, double height) const;
};

struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

/// The window's outer left, top, width and height in twips.
TwipsRect outerGeometryTwips(const QWidget& window);

/// Moves the window's outer top-left corner to (`left`, `top`) twips.
void moveOuterTwips(QWidget& window, double left, double top);

/// Gives the window the outer size `width` × `height` twips: the client area is sized so that
/// the frame around it makes up the rest. Qt may clamp it to the window's size limits.
void resizeOuterTwips(QWidget& window, double width, double height);

} // namespace platform
