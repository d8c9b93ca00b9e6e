// What every window test needs, set up for one test function and torn down after it: the
// platform's fakes, a new database made from the program's schema in a temporary folder as the
// file in use, the module-wide values reset, the program's window openers, and frmInitial
// loaded first as the program loads it.
//
//     void init() { m_fixture = std::make_unique<support::WindowFixture>(); }
//     void cleanup() {
//         m_fixture->verifyFakesAnsweredAsScripted();
//         m_fixture.reset();
//     }
#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "app/frm_initial.h"
#include "memory_todo_list.h"
#include "support/fake_platform.h"

namespace support {

using dbtest::Row;
using Rows = QList<Row>;

class WindowFixture {
public:
    /// The fakes' files are the real file system's unless `files` says otherwise; the screen
    /// has 15 twips per pixel. The program font is "Ariel", 9 points.
    explicit WindowFixture(
        platform::fakes::FakeFiles::Mode files = platform::fakes::FakeFiles::Mode::RealFileSystem);
    /// Destroys every loaded window, the latest first and frmInitial last, and puts back the
    /// engine's file system, the window openers and the module-wide values.
    ~WindowFixture();
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    platform::fakes::FakePlatform& fakes() { return *m_fakes; }
    /// Uninstalls the fakes and installs fresh ones, which have recorded nothing.
    void renewFakes();
    /// Fails the running test when a fake was called without a scripted answer, or an answer
    /// was left unused.
    void verifyFakesAnsweredAsScripted();

    /// `name` in the temporary folder.
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    /// The database, CurrentDatabasePath when the test began.
    const QString& databasePath() const { return m_databasePath; }
    /// Replaces the database's to-do items with `rows`.
    void storeItems(const Rows& rows) const;
    /// The database's to-do items, in stored order.
    Rows storedItems() const;
    /// The bytes of `path` (the database when empty); empty when it cannot be read.
    QByteArray fileBytes(const QString& path = QString()) const;

    QPointer<frmInitial> initial;

private:
    platform::fakes::FakeFiles::Mode m_filesMode;
    std::unique_ptr<platform::fakes::FakePlatform> m_fakes;
    QTemporaryDir m_dir;
    QString m_databasePath;
};

} // namespace support
