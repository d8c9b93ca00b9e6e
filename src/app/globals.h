// Module-wide values shared by every window and routine. Tests reset them with
// resetGlobals().
#pragma once

#include <QString>

namespace app {

/// Full path of the database file in use.
extern QString CurrentDatabasePath;

/// The program font and the print font: name and size in points, as text.
extern QString ProgramFontName;
extern QString ProgramFontSize;
extern QString PrintingFontName;
extern QString PrintingFontSize;

/// The edit inputs: the selected item's values handed to the Edit item dialog, which clears
/// them when it closes. The dates are kept as the row's texts.
extern QString EditPriority;
extern QString EditClient;
extern QString EditProject;
extern QString EditThingToDo;
extern QString EditStartDate;
extern QString EditDeadline;

/// The address the browser window starts at when it is next created; empty until the
/// browser sets it. It outlives the window.
extern QString StartingAddress;

/// Back to the values before start-up: every value empty.
void resetGlobals();

} // namespace app
