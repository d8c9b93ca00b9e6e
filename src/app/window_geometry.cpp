#include "app/window_geometry.h"

#include <QWidget>

#include "platform/services.h"

namespace app {

TwipsRect outerGeometryTwips(const QWidget& window) {
    platform::ScreenMetrics& screen = platform::Services::screen();
    const double x = screen.twipsPerPixelX();
    const double y = screen.twipsPerPixelY();
    const QRect frame = window.frameGeometry();
    return {platform::twipsFromPixels(frame.x(), x), platform::twipsFromPixels(frame.y(), y),
            platform::twipsFromPixels(frame.width(), x),
            platform::twipsFromPixels(frame.height(), y)};
}

void moveOuterTwips(QWidget& window, double left, double top) {
    platform::ScreenMetrics& screen = platform::Services::screen();
    // For a top-level window, move() places the frame's corner.
    window.move(platform::pixelsFromTwips(left, screen.twipsPerPixelX()),
                platform::pixelsFromTwips(top, screen.twipsPerPixelY()));
}

void resizeOuterTwips(QWidget& window, double width, double height) {
    platform::ScreenMetrics& screen = platform::Services::screen();
    const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
    window.resize(platform::pixelsFromTwips(width, screen.twipsPerPixelX()) - frameExtra.width(),
                  platform::pixelsFromTwips(height, screen.twipsPerPixelY()) - frameExtra.height());
}

} // namespace app
