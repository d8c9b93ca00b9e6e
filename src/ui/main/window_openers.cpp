#include "ui/main/window_openers.h"

#include "app/session.h"
#include "ui/help/about_box.h"
#include "ui/help/browser_window.h"
#include "ui/help/web_addresses.h"
#include "ui/items/add_item_dialog.h"
#include "ui/items/edit_item_dialog.h"
#include "ui/lists/reference_lists.h"

namespace ui {

WindowOpeners& windowOpeners() {
    static WindowOpeners openers;
    return openers;
}

void installWindowOpeners(app::Session& session) {
    app::Session* s = &session;
    WindowOpeners& openers = windowOpeners();
    openers.addItem = [s] { AddItemDialog::showWindow(*s); };
    openers.editItem = [s](int row) { EditItemDialog::showWindow(*s, row); };
    openers.activities = [s] { ActivityListDialog::showWindow(*s); };
    openers.clients = [s] { ClientListDialog::showWindow(*s); };
    openers.projects = [s] { ProjectListDialog::showWindow(*s); };
    openers.about = [] { AboutBox::showWindow(); };
    openers.learnAboutVellumtide = [s] { showBrowserWindow(*s); };
    openers.visitMakerSite = [s] {
        s->setStartAddress(help::makerSiteAddress());
        showBrowserWindow(*s);
    };
}

} // namespace ui
