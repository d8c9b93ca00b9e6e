// What every window test needs, for one test function: the platform's fakes (screen at 15
// twips per pixel), a new database from the program's schema in a temporary folder as the
// session's file in use (program font "Ariel" 9, print font "Ariel" 12), and the program's
// window openers over that session. The destructor destroys every loaded window, latest first,
// puts everything back, and fails the running test when a fake was called unscripted or a
// scripted answer was left unused (so destroy it in cleanup()). Tests reach a window's controls as
// a user names them to the program's code: by object name (child(), action(), clickToolbar()).
#pragma once

#include <QAction>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>

#include "app/session.h"
#include "db_test_util.h"
#include "support/fake_platform.h"

namespace ui {
class MainWindow;
}

namespace support {

using dbtest::Row;
using dbtest::Rows;

/// Three items as the main list shows them: two clients' and a project's.
extern const Rows kThreeRows;

/// The items rows of texts stand for, their dates read as the list writes them under the
/// current locale (a test's way of writing items; the program never reads texts back).
std::vector<db::ToDoItem> itemsOf(const Rows& rows);

/// The child of `parent` named `name` and of type T; throws naming it when there is none, so a
/// test that looks for a control that is not there fails at once.
template <typename T = QWidget> T* child(const QObject* parent, const QString& name) {
    if (T* found = parent->findChild<T*>(name))
        return found;
    throw std::runtime_error("no control named " + name.toStdString());
}
/// The action (menu item) `name` of `window`.
inline QAction* action(const QObject* window, const QString& name) {
    return child<QAction>(window, name);
}
/// Clicks the toolbar button of `window` with the key `key`.
void clickToolbar(const QObject* window, const QString& key);

/// The centre of row `row` (from 0) of the main window's list.
QPoint rowCentre(ui::MainWindow& window, int row);
/// The texts of a list box's entries, in order.
QStringList entries(const QListWidget& list);

struct WindowFixture {
    using Files = platform::fakes::FakeFiles::Mode;
    explicit WindowFixture(Files files = Files::RealFileSystem);
    ~WindowFixture();

    /// The database's to-do items: replaced, and read in stored order.
    void storeItems(const Rows& rows) const;
    Rows storedItems() const;
    /// The session's items as the main list shows them.
    Rows shownRows() const;
    /// Stores `rows`, gives the session the recently used list `recent` and shows the main
    /// window, waiting until it is on the screen.
    ui::MainWindow* openMainWindow(const Rows& rows, const QStringList& recent = {});
    /// From now on the engine opens files for reading only, as for a file made read-only.
    void makeDatabaseReadOnly() const;

    platform::fakes::FakePlatform fakes;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("todo.mdb"));
    app::Session session;
};

} // namespace support
