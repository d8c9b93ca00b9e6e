#include "support/window_fixture.h"

#include <QCoreApplication>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include "db/date_text.h"
#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "jet/error.h"
#include "ui/common/window_registry.h"
#include "ui/help/browser.h"
#include "ui/help/browser_window.h"
#include "ui/main/main_window.h"
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

std::vector<db::ToDoItem> itemsOf(const Rows& rows) {
    std::vector<db::ToDoItem> items;
    for (const Row& row : rows)
        items.push_back(dbtest::item(row[0], row[1], row[2], db::dateFromText(row[3]),
                                     db::dateFromText(row[4])));
    return items;
}

void clickToolbar(const QObject* window, const QString& key) {
    for (QAction* button : child<QToolBar>(window, QStringLiteral("toolbar"))->actions()) {
        if (button->data().toString() == key) {
            button->trigger();
            return;
        }
    }
    throw std::runtime_error("no toolbar button " + key.toStdString());
}

QPoint rowCentre(ui::MainWindow& window, int row) {
    auto* list = child<QTreeView>(&window, QStringLiteral("itemList"));
    return list->visualRect(list->model()->index(row, 0)).center();
}

QStringList entries(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts.append(list.item(i)->text());
    return texts;
}

WindowFixture::WindowFixture(Files files) : fakes(files) {
    db::schema::createDatabase(path.toStdString());
    session.takeUp(path, db::FileHold());
    session.setProgramFont({QStringLiteral("Ariel"), QStringLiteral("9")}, false);
    session.setPrintFont({QStringLiteral("Ariel"), QStringLiteral("12")});
    ui::installWindowOpeners(session);
    ui::linkBrowserWindow([](app::Session& s) { ui::BrowserWindow::showWindow(s); });
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
    QVERIFY2(fakes.errors().isEmpty(), qPrintable(fakes.errors().join('\n')));
    QCOMPARE(fakes.messageBoxes.unusedAnswers(), 0);
}

void WindowFixture::storeItems(const Rows& rows) const {
    db::RewriteToDoItems(path, itemsOf(rows));
}

Rows WindowFixture::storedItems() const {
    return dbtest::rowsOf(db::LoadToDoItems(path));
}

Rows WindowFixture::shownRows() const {
    return dbtest::rowsOf(session.items().items());
}

ui::MainWindow* WindowFixture::openMainWindow(const Rows& rows, const QStringList& recent) {
    storeItems(rows);
    session.setRecentDatabases(recent);
    ui::MainWindow* window = ui::MainWindow::showWindow(session);
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("main window not exposed");
    return window;
}

void WindowFixture::makeDatabaseReadOnly() const {
    db::setFileSystemForTesting(std::make_shared<ReadOnlyFiles>());
}

} // namespace support
