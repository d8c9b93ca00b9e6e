// The start-up sequence, which settles the database file before the main window opens.
#pragma once

#include <functional>

namespace app {

class Session;

/// Runs the start-up sequence into `session`; `showMainWindow` shows the main window (the last
/// step). Returns false when the program must end (a refusal, or a start-up error), after the
/// messages were shown.
///
/// In order: the six recently-used slots into the session's recently used list; the program and
/// print fonts (defaults "Ariel" 9 and "Ariel" 12); the file in use, from the slot "First", or
/// "TODO.MDB" in the platform's database folder (the program's folder, or the per-user data
/// folder when the program's is not writable). A missing file is created; an existing one is
/// held (when another Tarnwick has it, the program ends after the message, before the file or
/// the settings are touched), validated, and replaced when it is not valid and the user agrees
/// (the program ends, the file untouched, when not); a file made here is held once made. Then
/// the file becomes the session's file in use, its reference lists are checked, its items are
/// loaded (a list that cannot be is left empty and never stored: loadItems), the main window is
/// shown, and the desktop is told what is overdue and due today (app/due_notice.h),
/// where it has a notification service. Failures of the database steps (app/database_steps.h) are
/// reported by them and the sequence goes on. Any other error ends it with "Error in loading
/// frmInitial module: "
/// + description and a false result; when it comes from `showMainWindow`, the caller is to
/// close whatever that left open.
bool StartUp(Session& session, const std::function<void()>& showMainWindow);

} // namespace app
