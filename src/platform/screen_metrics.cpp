#include "platform/screen_metrics.h"

#include "platform/error.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

namespace platform {
namespace {

QScreen& primaryScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        throw Error(QStringLiteral("No screen is available."));
    return *screen;
}

} // namespace

double QtScreenMetrics::widthTwips() {
    return twipsFromPixels(primaryScreen().geometry().width(), twipsPerPixelX());
}

double QtScreenMetrics::heightTwips() {
    return twipsFromPixels(primaryScreen().geometry().height(), twipsPerPixelY());
}

double QtScreenMetrics::twipsPerPixelX() {
    return twipsPerPixel(primaryScreen().logicalDotsPerInchX());
}

double QtScreenMetrics::twipsPerPixelY() {
    return twipsPerPixel(primaryScreen().logicalDotsPerInchY());
}

double QtScreenMetrics::scrollBarExtentTwips() {
    QStyle* style = QApplication::style();
    if (style == nullptr)
        throw Error(QStringLiteral("No widget style is available."));
    return twipsFromPixels(style->pixelMetric(QStyle::PM_ScrollBarExtent), twipsPerPixelX());
}

} // namespace platform
