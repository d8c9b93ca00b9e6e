// Screen metrics in twips (1/1440 inch), and conversions between twips and pixels.
//
// Pixels are Qt's device-independent pixels, the unit of widget geometry. Twips per pixel come
// from the screen's logical DPI (the one the desktop's font settings set), not its physical
// DPI: 15 at 96 DPI.
#pragma once

namespace platform {

inline constexpr double kTwipsPerInch = 1440.0;

/// Twips per pixel at `logicalDpi`; a DPI that is not positive is taken as 96.
double twipsPerPixel(double logicalDpi);

/// `twips` in pixels, rounded to the nearest whole pixel.
int pixelsFromTwips(double twips, double twipsPerPixel);

double twipsFromPixels(int pixels, double twipsPerPixel);

class ScreenMetrics {
public:
    virtual ~ScreenMetrics() = default;

    /// Size of the primary screen in twips.
    virtual double widthTwips() = 0;
    virtual double heightTwips() = 0;

    virtual double twipsPerPixelX() = 0;
    virtual double twipsPerPixelY() = 0;

    /// Width of a vertical scroll bar, which is also the height of a horizontal one, in twips.
    virtual double scrollBarExtentTwips() = 0;
};

/// The primary QScreen and the application style, read afresh on every call. Throws Error when
/// the application has no screen.
class QtScreenMetrics final : public ScreenMetrics {
public:
    double widthTwips() override;
    double heightTwips() override;
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    double scrollBarExtentTwips() override;
};

} // namespace platform
