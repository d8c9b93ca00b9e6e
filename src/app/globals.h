// Module-wide values shared by every window and routine: the file in use and its hold, the
// fonts, the hidden lists of the start-up window, the edit inputs and the browser's starting
// address.
// Tests reset them with resetGlobals().
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "db/routines.h"

namespace app {

/// Full path of the database file in use.
extern QString CurrentDatabasePath;

/// The hold on the file in use (db/file_hold.h), which keeps every other Tarnwick from taking it
/// up: taken by the start-up and by each switch of file, released when the main window closes.
/// Empty while the file in use is missing.
db::FileHold& databaseHold();

/// The program font (the lists and text boxes of every window) and the print font: family and
/// size in points, as text.
extern QString ProgramFontName;
extern QString ProgramFontSize;
extern QString PrintingFontName;
extern QString PrintingFontSize;

/// The recently used database paths as read at start-up, "First" to "Sixth", empty slots
/// skipped, never refreshed during the run (frmInitial's List2).
QStringList& recentDatabases();

/// The in-memory reference lists (frmInitial's List1): filled at start-up and after a switch of
/// file, the activities by the item dialogs, each list rebuilt by its dialog's Done.
db::ReferenceLists& referenceLists();

/// The edit inputs: the selected item's values that the Edit item command hands to the Edit item
/// dialog, which clears them when it closes. The dates are the row's texts, each with the stored
/// value the row keeps beside it (nullopt: no value).
struct EditInputs {
    QString Priority;
    QString Client;
    QString Project;
    QString ThingToDo;
    QString StartDate;
    QString Deadline;
    std::optional<double> StartDateValue;
    std::optional<double> DeadlineValue;

    void clear() { *this = EditInputs(); }
};
EditInputs& editInputs();

/// The address the browser window starts at when it is next created; empty until the
/// browser sets it. It outlives the window.
extern QString StartingAddress;

/// Back to the values before start-up: every value empty.
void resetGlobals();

} // namespace app
