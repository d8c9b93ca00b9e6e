#include "app/globals.h"

namespace app {

QString CurrentDatabasePath;

QString ProgramFontName;
QString ProgramFontSize;
QString PrintingFontName;
QString PrintingFontSize;

QString EditPriority;
QString EditClient;
QString EditProject;
QString EditThingToDo;
QString EditStartDate;
QString EditDeadline;

QString StartingAddress;

void resetGlobals() {
    for (QString* value : {&CurrentDatabasePath, &ProgramFontName, &ProgramFontSize,
                           &PrintingFontName, &PrintingFontSize, &EditPriority, &EditClient,
                           &EditProject, &EditThingToDo, &EditStartDate, &EditDeadline})
        value->clear();
    StartingAddress.clear();
}

} // namespace app
