#include "platform/twips.h"

#include <QRect>
#include <QWidget>

#include <cmath>

#include "platform/services.h"

namespace platform {

double twipsPerPixel(double logicalDpi) {
    return kTwipsPerInch / (logicalDpi > 0 ? logicalDpi : 96.0);
}

int pixelsFromTwips(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

double twipsFromPixels(int pixels, double twipsPerPixel) {
    return pixels * twipsPerPixel;
}

TwipsScale TwipsScale::ofScreen() {
    ScreenMetrics& screen = Services::screen();
    return {screen.twipsPerPixelX(), screen.twipsPerPixelY()};
}

QRect TwipsScale::pixels(double left, double top, double width, double height) const {
    return QRect(pixelsX(left), pixelsY(top), pixelsX(width), pixelsY(height));
}

TwipsRect outerGeometryTwips(const QWidget& window) {
    const TwipsScale scale = TwipsScale::ofScreen();
    const QRect frame = window.frameGeometry();
    return {scale.twipsX(frame.x()), scale.twipsY(frame.y()), scale.twipsX(frame.width()),
            scale.twipsY(frame.height())};
}

void moveOuterTwips(QWidget& window, double left, double top) {
    const TwipsScale scale = TwipsScale::ofScreen();
    // For a top-level window, move() places the frame's corner.
    window.move(scale.pixelsX(left), scale.pixelsY(top));
}

void resizeOuterTwips(QWidget& window, double width, double height) {
    const TwipsScale scale = TwipsScale::ofScreen();
    const QSize frameExtra = window.frameGeometry().size() - window.geometry().size();
    window.resize(scale.pixelsX(width) - frameExtra.width(),
                  scale.pixelsY(height) - frameExtra.height());
}

} // namespace platform
