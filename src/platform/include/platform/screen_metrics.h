// Screen metrics in twips (1/1440 inch); the conversions are in platform/twips.h.
#pragma once

#include "platform/twips.h"

namespace platform {

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
