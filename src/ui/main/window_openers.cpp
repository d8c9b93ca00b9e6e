#include "ui/main/window_openers.h"

#include "app/globals.h"
#include "ui/help/browser_window.h"
#include "ui/help/frm_about.h"
#include "ui/help/web_addresses.h"
#include "ui/items/frm_add_to_todo.h"
#include "ui/items/frm_edit_todo.h"
#include "ui/lists/frm_activity.h"
#include "ui/lists/frm_client.h"
#include "ui/lists/frm_project.h"

namespace ui {

WindowOpeners& windowOpeners() {
    static WindowOpeners openers;
    return openers;
}

void installWindowOpeners() {
    // Each window adds its line here as it is built, e.g.
    //     openers.addItem = [] { frmAddToToDo::showWindow(); };
    WindowOpeners& openers = windowOpeners();
    openers.addItem = [] { frmAddToToDo::showWindow(); };
    openers.editItem = [] { frmEditToDo::showWindow(); };
    openers.activities = [] { frmActivity::showWindow(); };
    openers.clients = [] { frmClient::showWindow(); };
    openers.projects = [] { frmProject::showWindow(); };
    openers.about = [] { frmAbout::showWindow(); };
    openers.learnAboutVellumtide = [] { showBrowserWindow(); };
    openers.visitMakerSite = [] {
        app::StartingAddress = help::makerSiteAddress();
        showBrowserWindow();
    };
}

} // namespace ui
