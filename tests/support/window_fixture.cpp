#include "support/window_fixture.h"

#include <QCoreApplication>
#include <QTest>

#include "app/globals.h"
#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "jet/error.h"
#include "ui/common/window_registry.h"
#include "ui/help/browser_window.h"
#include "ui/help/frm_browser.h"
#include "ui/main/frm_todo.h"
#include "ui/main/todo_list_model.h"
#include "ui/main/todo_list_view.h"
#include "ui/main/window_openers.h"

namespace support {
namespace {

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

} // namespace

const Rows kThreeRows = {
    {"1", "Smith, Ann", "Call about the lease", "11/2/2026", "12/5/2026"},
    {"2", "Harbour Project", "Draft the brief", "11/3/2026", "9/30/2026"},
    {"3", "Jones, Bob", "Court appearance re appeal", "11/4/2026", "10/1/2026"},
};

QPoint rowCentre(frmToDo& window, int row) {
    return window.ListView1->visualRect(window.listModel().index(row - 1, 0)).center();
}

QStringList entries(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts.append(list.item(i)->text());
    return texts;
}

Rows rowsOf(const db::ToDoList& list) {
    Rows rows;
    for (int row = 1; row <= list.rowCount(); ++row) {
        Row texts;
        for (int column = 1; column <= 5; ++column)
            texts[column - 1] = list.cellText(row, column);
        rows.append(texts);
    }
    return rows;
}

WindowFixture::WindowFixture(Files files) : fakes(files) {
    db::schema::createDatabase(path.toStdString());
    app::resetGlobals();
    app::CurrentDatabasePath = path;
    app::ProgramFontName = QStringLiteral("Ariel");
    app::ProgramFontSize = QStringLiteral("9");
    ui::installWindowOpeners();
    ui::linkBrowserWindow([] { frmBrowser::showWindow(); });
    initial = new frmInitial;
    ui::WindowRegistry::instance().add(initial);
}

WindowFixture::~WindowFixture() {
    db::setFileSystemForTesting(nullptr);
    ui::WindowRegistry& registry = ui::WindowRegistry::instance();
    while (registry.count() > 0) {
        QWidget* window = registry.at(registry.count() - 1);
        registry.remove(window);
        delete window;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ui::windowOpeners() = {};
    app::resetGlobals();
    QVERIFY2(fakes.errors().isEmpty(), qPrintable(fakes.errors().join('\n')));
    QCOMPARE(fakes.messageBoxes.unusedAnswers(), 0);
}

void WindowFixture::storeItems(const Rows& rows) const {
    db::RewriteToDoItems(path, dbtest::MemoryToDoList(rows));
}

Rows WindowFixture::storedItems() const {
    dbtest::MemoryToDoList list;
    db::LoadToDoItems(path, list);
    return list.rows;
}

frmToDo* WindowFixture::openMainWindow(const Rows& rows, const QStringList& recent) const {
    storeItems(rows);
    initial->List2 = recent;
    frmToDo* window = frmToDo::showWindow();
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("main window not exposed");
    return window;
}

void WindowFixture::makeDatabaseReadOnly() const {
    db::setFileSystemForTesting(std::make_shared<ReadOnlyFiles>());
}

} // namespace support
