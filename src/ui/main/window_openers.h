// How the main window's commands reach the windows they open.
//
// The main window's menu items and toolbar buttons exist whether or not the window they open
// has been built into the program. Each command calls its entry here; an empty entry does
// nothing. installWindowOpeners() fills the entries with the program's windows, each made over
// the session; tests put their own stand-ins in.
//
// Every entry shows its window at most once: it brings an open one forward, or creates it.
// An entry may throw; the command that called it reports or ignores the error as its caller
// (menu, toolbar, key) requires.
#pragma once

#include <functional>

namespace app {
class Session;
}

namespace ui {

struct WindowOpeners {
    /// The Add item dialog, modeless.
    std::function<void()> addItem;
    /// The Edit item dialog, modal, for the item at `row` (from 0) of the session's items.
    std::function<void(int row)> editItem;
    /// The Activities, Clients and Projects dialogs, each modal.
    std::function<void()> activities;
    std::function<void()> clients;
    std::function<void()> projects;
    /// The About box, modeless.
    std::function<void()> about;
    /// The browser window on the sibling product's page, and on the maker's site.
    std::function<void()> learnAboutVellumtide;
    std::function<void()> visitMakerSite;
};

/// The table in use; installWindowOpeners() fills it at start-up.
WindowOpeners& windowOpeners();

/// Puts the program's own windows, made over `session`, into windowOpeners().
void installWindowOpeners(app::Session& session);

} // namespace ui
