// A top-level window's outer geometry (frame included) in twips, the unit in which window
// positions are stored and laid out. Conversions use the primary screen's twips per pixel from
// platform::Services::screen().
#pragma once

class QWidget;

namespace app {

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

} // namespace app
