// How the main window's commands reach the windows they open.
//
// The main window's menu items and toolbar buttons exist whether or not the window they open
// has been built into the program yet. Each command calls its entry here; an empty entry does
// nothing. A window's code fills its entry in installWindowOpeners() (window_openers.cpp), and
// tests put their own stand-ins in.
//
// Every entry shows its window at most once: it brings an open one forward, or creates it.
// An entry may throw; the command that called it reports or ignores the error as its caller
// (menu, toolbar, key) requires.
#pragma once

#include <functional>

namespace ui {

struct WindowOpeners {
    /// frmAddToToDo, modeless.
    std::function<void()> addItem;
    /// frmEditToDo, modal; the edit inputs are filled before it is called.
    std::function<void()> editItem;
    /// frmActivity, frmClient, frmProject, each modal.
    std::function<void()> activities;
    std::function<void()> clients;
    std::function<void()> projects;
    /// frmAbout, modeless.
    std::function<void()> about;
    /// frmBrowser on the sibling product's page, and on the maker's site.
    std::function<void()> learnAboutVellumtide;
    std::function<void()> visitMakerSite;
};

/// The table in use; installWindowOpeners() fills it at start-up.
WindowOpeners& windowOpeners();

/// Puts the program's own windows into windowOpeners(). Called once by main().
void installWindowOpeners();

} // namespace ui
