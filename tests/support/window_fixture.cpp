#include "support/window_fixture.h"

#include <QCoreApplication>
#include <QTest>

#include "app/globals.h"
#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "ui/common/window_registry.h"
#include "ui/main/window_openers.h"

namespace support {

WindowFixture::WindowFixture(Files files) : filesMode(files) {
    renewFakes();
    db::schema::createDatabase(path.toStdString());
    app::resetGlobals();
    app::CurrentDatabasePath = path;
    app::ProgramFontName = QStringLiteral("Ariel");
    app::ProgramFontSize = QStringLiteral("9");
    ui::installWindowOpeners();
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
    QVERIFY2(fakes->errors().isEmpty(), qPrintable(fakes->errors().join('\n')));
    QCOMPARE(fakes->messageBoxes.unusedAnswers(), 0);
}

void WindowFixture::renewFakes() {
    fakes.reset(); // one set of fakes at a time
    fakes = std::make_unique<platform::fakes::FakePlatform>(filesMode);
}

void WindowFixture::storeItems(const Rows& rows) const {
    db::RewriteToDoItems(path, dbtest::MemoryToDoList(rows));
}

Rows WindowFixture::storedItems() const {
    dbtest::MemoryToDoList list;
    db::LoadToDoItems(path, list);
    return list.rows;
}

} // namespace support
