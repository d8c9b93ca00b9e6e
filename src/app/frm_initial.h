// The hidden start-up window: runs the start-up sequence and holds the hidden lists for the
// whole run. It is never shown. Its lists are module-wide values (app/globals.h), which is how
// the windows reach them; List1 and List2 are their names here.
#pragma once

#include <functional>

#include <QStringList>
#include <QWidget>

#include "app/globals.h"

class frmInitial : public QWidget {
    Q_OBJECT
public:
    explicit frmInitial(QWidget* parent = nullptr);
    ~frmInitial() override;

    /// The recently used database paths (app::recentDatabases()).
    QStringList& List2 = app::recentDatabases();
    /// The in-memory reference lists (app::referenceLists()).
    db::ReferenceLists& List1 = app::referenceLists();

    /// The load step: runs the start-up sequence. `showMainWindow` shows the main window
    /// (step 9). Returns false when the program must end (refusal or start-up error), after
    /// the messages were shown.
    ///
    /// In order: the six recently-used slots into List2; the four font settings into the
    /// module-wide values (defaults "Ariel", "9", "Ariel", "12"); CurrentDatabasePath from the
    /// slot "First", or "TODO.MDB" in the platform's database folder (the program's folder, or
    /// the per-user data folder when the program's is not writable); a missing file is created,
    /// an existing one held (app::databaseHold(); when another Tarnwick has it, the program ends
    /// after the message, before the file or the settings are touched), validated, and replaced
    /// when invalid and the user agrees (the program ends, the file untouched, when not); a file
    /// made here is held once made; the reference lists; the show step. Failures of the
    /// database routines are reported by them and the sequence goes on. Any other error ends the
    /// sequence with "Error in loading frmInitial module: " + description and a false result;
    /// when it comes from `showMainWindow`, the caller is to close whatever that left open.
    bool load(const std::function<void()>& showMainWindow);
};
