// The database file commands of the main window's File menu: New, Open and the recently used
// entries. Each either switches the program to another database file (the caption names it,
// the list shows its items, the recently used list in the settings store gains it) or ends
// with the file in use, the caption and the list as they were.
//
// Every command keeps the file in use when it started (the fallback path); the session's file
// in use changes only when a switch has gone through. Every error ends the command in one
// handler: the normal pointer, and a message of the command's prefix ("Error in creating new
// Tarnwick: ", "Error in opening Tarnwick: ") followed by the description; a cancelled file
// dialog is such an error ("Cancel was selected.").
//
// Switching writes nothing to the file being left: a drag-to-swap not yet stored is dropped.
// The File menu's recently used entries stay as they were until the next start.
//
// The hold on the file in use (app::Session, db/file_hold.h) moves with it: each command
// takes the chosen file's before it reads or changes the file, and it replaces the old file's
// hold when the switch completes. A file that another Tarnwick has is refused with the hold's
// message (path + " is open in another Tarnwick (user ... on host ...).  Close it there
// first."), before New asks to overwrite it, and the command ends as any refused switch does.
//
// Choices made here:
// - Overwriting an existing file with New asks with No as the default button, so that Enter
//   does not destroy a file.
// - Replacing an existing file is New's one question; New's file dialog asks none of its own.
// - Open's file dialog asks no question: it takes only a file that exists, refusing any other
//   name, and never offers to create one.
// - New whose creation fails (the creation reports why) still switches to the chosen name.
//   The empty list then stands for that file when a file is there after all; when none is,
//   the list is "never loaded" and Exit stores nothing.
// - An error after the switch has begun (the chosen file's items cannot be read, the settings
//   cannot be written) leaves the window on the file in use, not half on the chosen one:
//   after the message the caption names the fallback file again and its reference lists and
//   items are read back. A list that cannot be read back stays empty and "never loaded".
// - The recently used entries set no hourglass, as they never have; every ending still shows
//   the normal pointer.
#pragma once

class QString;

namespace ui {

class MainWindow;

/// "&New To Do database": a new database file, chosen in the file dialog, made current.
void NewToDoDatabase(MainWindow& window);

/// "&Open To Do database": an existing database file, chosen in the file dialog, made current.
void OpenToDoDatabase(MainWindow& window);

/// A recently used entry: the file at `path` made current. The file in use is reloaded, not
/// refused.
void OpenRecentDatabase(MainWindow& window, const QString& path);

} // namespace ui
