#include "ui/main/window_openers.h"

namespace ui {

WindowOpeners& windowOpeners() {
    static WindowOpeners openers;
    return openers;
}

void installWindowOpeners() {
    // Each window adds its line here as it is built, e.g.
    //     openers.addItem = [] { frmAddToToDo::showWindow(); };
    WindowOpeners& openers = windowOpeners();
    (void)openers;
}

} // namespace ui
