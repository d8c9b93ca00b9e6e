#include "support/window_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

#include "app/globals.h"
#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "ui/common/window_registry.h"
#include "ui/main/window_openers.h"

namespace support {

WindowFixture::WindowFixture(platform::fakes::FakeFiles::Mode files)
    : m_filesMode(files), m_fakes(std::make_unique<platform::fakes::FakePlatform>(files)),
      m_databasePath(m_dir.filePath(QStringLiteral("todo.mdb"))) {
    db::schema::createDatabase(m_databasePath.toStdString());
    app::resetGlobals();
    app::CurrentDatabasePath = m_databasePath;
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
    delete initial.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ui::windowOpeners() = {};
    app::resetGlobals();
}

void WindowFixture::renewFakes() {
    m_fakes.reset(); // only one set of fakes may be installed at a time
    m_fakes = std::make_unique<platform::fakes::FakePlatform>(m_filesMode);
}

void WindowFixture::verifyFakesAnsweredAsScripted() {
    QVERIFY2(m_fakes->errors().isEmpty(), qPrintable(m_fakes->errors().join('\n')));
    QCOMPARE(m_fakes->messageBoxes.unusedAnswers(), 0);
}

void WindowFixture::storeItems(const Rows& rows) const {
    db::RewriteToDoItems(m_databasePath, dbtest::MemoryToDoList(rows));
}

Rows WindowFixture::storedItems() const {
    dbtest::MemoryToDoList list;
    db::LoadToDoItems(m_databasePath, list);
    return list.rows;
}

QByteArray WindowFixture::fileBytes(const QString& path) const {
    QFile file(path.isEmpty() ? m_databasePath : path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace support
