// Settable screen metrics, and a mouse pointer that records what it was set to.
#pragma once

#include "platform/mouse_pointer.h"
#include "platform/screen_metrics.h"

#include <QList>

namespace platform::fakes {

/// By default a 1920 × 1080 pixel screen at 96 DPI with 17-pixel scroll bars, in twips.
class FakeScreenMetrics final : public ScreenMetrics {
public:
    void setSizeTwips(double width, double height);
    void setTwipsPerPixel(double x, double y);
    void setScrollBarExtentTwips(double extent) { m_scrollBarExtent = extent; }

    double widthTwips() override { return m_width; }
    double heightTwips() override { return m_height; }
    double twipsPerPixelX() override { return m_twipsPerPixelX; }
    double twipsPerPixelY() override { return m_twipsPerPixelY; }
    double scrollBarExtentTwips() override { return m_scrollBarExtent; }

private:
    double m_width = 1920 * 15;
    double m_height = 1080 * 15;
    double m_twipsPerPixelX = 15;
    double m_twipsPerPixelY = 15;
    double m_scrollBarExtent = 17 * 15;
};

class FakeMousePointer final : public MousePointer {
public:
    enum class Call { SetBusy, SetNormal };

    void setBusy() override;
    void setNormal() override;
    bool isBusy() const override { return m_busy; }

    /// Every call, in order, including those that changed nothing.
    const QList<Call>& calls() const { return m_calls; }

private:
    bool m_busy = false;
    QList<Call> m_calls;
};

} // namespace platform::fakes
