// What every window test needs, for one test function: the platform's fakes (screen at 15
// twips per pixel), a new database from the program's schema in a temporary folder as the
// session's file in use (program font "Ariel" 9, print font "Ariel" 12), and the program's
// window openers over that session. The destructor destroys every loaded window, latest first,
// puts everything back, and fails the running test when a fake was called unscripted or a
// scripted answer was left unused (so destroy it in cleanup()). Tests reach a window's controls as
// a user names them to the program's code: by object name (child(), action(), clickToolbar()).
#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QListWidget>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include "app/database_steps.h"
#include "app/session.h"
#include "db/date_text.h"
#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "jet/error.h"
#include "support/fake_platform.h"
#include "ui/common/window_registry.h"
#include "ui/help/browser.h"
#include "ui/help/browser_window.h"
#include "ui/main/main_window.h"
#include "ui/main/window_openers.h"

namespace support {

using dbtest::Row;
using dbtest::Rows;

/// Three items as the main list shows them: two clients' and a project's.
inline const Rows kThreeRows = {
    {"1", "Smith, Ann", "Call about the lease", "11/2/2026", "12/5/2026"},
    {"2", "Harbour Project", "Draft the brief", "11/3/2026", "9/30/2026"},
    {"3", "Jones, Bob", "Court appearance re appeal", "11/4/2026", "10/1/2026"},
};

/// The items rows of texts stand for, their dates read as the list writes them under the
/// current locale (a test's way of writing items; the program never reads texts back).
inline std::vector<db::ToDoItem> itemsOf(const Rows& rows) {
    std::vector<db::ToDoItem> items;
    for (const Row& row : rows)
        items.push_back(dbtest::item(row[0], row[1], row[2], db::dateFromText(row[3]),
                                     db::dateFromText(row[4])));
    return items;
}

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
inline void clickToolbar(const QObject* window, const QString& key) {
    for (QAction* button : child<QToolBar>(window, QStringLiteral("toolbar"))->actions()) {
        if (button->data().toString() == key) {
            button->trigger();
            return;
        }
    }
    throw std::runtime_error("no toolbar button " + key.toStdString());
}

/// The centre of row `row` (from 0) of the main window's list.
inline QPoint rowCentre(ui::MainWindow& window, int row) {
    auto* list = child<QTreeView>(&window, QStringLiteral("itemList"));
    return list->visualRect(list->model()->index(row, 0)).center();
}
/// The texts of a list box's entries, in order.
inline QStringList entries(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts.append(list.item(i)->text());
    return texts;
}

// A file that has become read-only, as the engine sees it: it opens for reading only.
class ReadOnlyFiles final : public jet::FileSystem {
public:
    std::unique_ptr<jet::File> open(const std::string& path, OpenFlags flags) override {
        if (flags != OpenFlags::ReadOnly)
            throw jet::Error(jet::ErrorKind::Io, "Could not open '" + path + "': denied.");
        return m_native->open(path, flags);
    }
    bool exists(const std::string& path) override { return m_native->exists(path); }
    void remove(const std::string&) override { throw jet::Error(jet::ErrorKind::Io, "denied"); }
    void renameNoReplace(const std::string&, const std::string&) override { remove({}); }
    void syncDirectory(const std::string&) override {}

private:
    std::shared_ptr<jet::FileSystem> m_native = jet::FileSystem::native();
};

struct WindowFixture {
    using Files = platform::fakes::FakeFiles::Mode;
    explicit WindowFixture(Files files = Files::RealFileSystem) : fakes(files) {
        db::schema::createDatabase(path.toStdString());
        session.takeUp(path, db::FileHold());
        session.setProgramFont({QStringLiteral("Ariel"), QStringLiteral("9")}, false);
        session.setPrintFont({QStringLiteral("Ariel"), QStringLiteral("12")});
        ui::installWindowOpeners(session);
        ui::linkBrowserWindow([](app::Session& s) { ui::BrowserWindow::showWindow(s); });
    }
    ~WindowFixture() {
        db::setFileSystemForTesting(nullptr);
        ui::WindowRegistry& registry = ui::WindowRegistry::instance();
        while (registry.count() > 0) {
            QWidget* window = registry.at(registry.count() - 1);
            registry.remove(window);
            delete window;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ui::windowOpeners() = {};
        QVERIFY2(fakes.errors().isEmpty(), qPrintable(fakes.errors().join('\n')));
        QCOMPARE(fakes.messageBoxes.unusedAnswers(), 0);
    }

    /// The database's to-do items: replaced, and read in stored order.
    void storeItems(const Rows& rows) const { db::RewriteToDoItems(path, itemsOf(rows)); }
    Rows storedItems() const { return dbtest::rowsOf(db::LoadToDoItems(path)); }
    /// The session's items as the main list shows them.
    Rows shownRows() const { return dbtest::rowsOf(session.items().items()); }
    /// Stores `rows`, gives the session the recently used list `recent` and shows the main
    /// window, waiting until it is on the screen.
    ui::MainWindow* openMainWindow(const Rows& rows, const QStringList& recent = {}) {
        storeItems(rows);
        app::loadItems(session);
        session.setRecentDatabases(recent);
        ui::MainWindow* window = ui::MainWindow::showWindow(session);
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("main window not exposed");
        return window;
    }
    /// From now on the engine opens files for reading only, as for a file made read-only.
    void makeDatabaseReadOnly() const {
        db::setFileSystemForTesting(std::make_shared<ReadOnlyFiles>());
    }

    platform::fakes::FakePlatform fakes;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("todo.mdb"));
    app::Session session;
};

} // namespace support
