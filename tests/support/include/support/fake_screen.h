// Settable screen metrics, and a mouse pointer.
#pragma once

#include "platform/mouse_pointer.h"
#include "platform/screen_metrics.h"

namespace platform::fakes {

/// A 1920 × 1080 pixel screen with 17-pixel scroll bars, in twips; 15 twips per pixel (96 DPI)
/// unless set.
class FakeScreenMetrics final : public ScreenMetrics {
public:
    void setTwipsPerPixel(double x, double y) {
        m_twipsPerPixelX = x;
        m_twipsPerPixelY = y;
    }

    double widthTwips() override { return 1920 * 15; }
    double heightTwips() override { return 1080 * 15; }
    double twipsPerPixelX() override { return m_twipsPerPixelX; }
    double twipsPerPixelY() override { return m_twipsPerPixelY; }
    double scrollBarExtentTwips() override { return 17 * 15; }

private:
    double m_twipsPerPixelX = 15;
    double m_twipsPerPixelY = 15;
};

class FakeMousePointer final : public MousePointer {
public:
    void setBusy() override { m_busy = true; }
    void setNormal() override { m_busy = false; }
    bool isBusy() const override { return m_busy; }

private:
    bool m_busy = false;
};

} // namespace platform::fakes
