#include "support/fake_screen.h"

namespace platform::fakes {

void FakeScreenMetrics::setSizeTwips(double width, double height) {
    m_width = width;
    m_height = height;
}

void FakeScreenMetrics::setTwipsPerPixel(double x, double y) {
    m_twipsPerPixelX = x;
    m_twipsPerPixelY = y;
}

void FakeMousePointer::setBusy() {
    m_calls.append(Call::SetBusy);
    m_busy = true;
}

void FakeMousePointer::setNormal() {
    m_calls.append(Call::SetNormal);
    m_busy = false;
}

} // namespace platform::fakes
