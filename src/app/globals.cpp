#include "app/globals.h"

namespace app {
namespace {

QStringList g_recentDatabases;
db::ReferenceLists g_referenceLists;
EditInputs g_editInputs;
db::FileHold g_databaseHold;

} // namespace

QString CurrentDatabasePath;

QString ProgramFontName;
QString ProgramFontSize;
QString PrintingFontName;
QString PrintingFontSize;

QString StartingAddress;

QStringList& recentDatabases() {
    return g_recentDatabases;
}

db::FileHold& databaseHold() {
    return g_databaseHold;
}

db::ReferenceLists& referenceLists() {
    return g_referenceLists;
}

EditInputs& editInputs() {
    return g_editInputs;
}

void resetGlobals() {
    for (QString* value : {&CurrentDatabasePath, &ProgramFontName, &ProgramFontSize,
                           &PrintingFontName, &PrintingFontSize, &StartingAddress})
        value->clear();
    g_recentDatabases.clear();
    g_referenceLists = {};
    g_editInputs.clear();
    g_databaseHold.release();
}

} // namespace app
