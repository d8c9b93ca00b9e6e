// What every window test needs, for one test function: the platform's fakes (screen at 15
// twips per pixel), a new database from the program's schema in a temporary folder as the file
// in use, the module-wide values reset (program font "Ariel" 9), the program's window openers,
// and frmInitial loaded first as the program loads it. The destructor destroys every loaded
// window, latest first, puts everything back, and fails the running test when a fake was
// called unscripted or a scripted answer was left unused (so destroy it in cleanup()).
#pragma once

#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>

#include "app/frm_initial.h"
#include "db/todo_list.h"
#include "memory_todo_list.h"
#include "support/fake_platform.h"

class frmToDo;

namespace support {

using dbtest::Row;
using Rows = QList<Row>;

/// Three items as the main list shows them: two clients' and a project's.
extern const Rows kThreeRows;

/// The rows of `list`, five texts each.
Rows rowsOf(const db::ToDoList& list);
/// The centre of row `row` (from 1) of the main window's list.
QPoint rowCentre(frmToDo& window, int row);
/// The texts of a list box's entries, in order.
QStringList entries(const QListWidget& list);

struct WindowFixture {
    using Files = platform::fakes::FakeFiles::Mode;
    explicit WindowFixture(Files files = Files::RealFileSystem);
    ~WindowFixture();

    /// The database's to-do items: replaced, and read in stored order.
    void storeItems(const Rows& rows) const;
    Rows storedItems() const;
    /// Stores `rows`, gives frmInitial the recently used list `recent` and shows the main
    /// window, waiting until it is on the screen.
    frmToDo* openMainWindow(const Rows& rows, const QStringList& recent = {}) const;
    /// From now on the engine opens files for reading only, as for a file made read-only.
    void makeDatabaseReadOnly() const;

    platform::fakes::FakePlatform fakes;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("todo.mdb"));
    QPointer<frmInitial> initial;
};

} // namespace support
