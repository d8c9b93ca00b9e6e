// What every window test needs, for one test function: the platform's fakes (screen at 15
// twips per pixel), a new database from the program's schema in a temporary folder as the file
// in use, the module-wide values reset (program font "Ariel" 9), the program's window openers,
// and frmInitial loaded first as the program loads it. The destructor destroys every loaded
// window, latest first, puts everything back, and fails the running test when a fake was
// called unscripted or a scripted answer was left unused (so destroy it in cleanup()).
#pragma once

#include <QPointer>
#include <QTemporaryDir>

#include <memory>

#include "app/frm_initial.h"
#include "memory_todo_list.h"
#include "support/fake_platform.h"

namespace support {

using dbtest::Row;
using Rows = QList<Row>;

struct WindowFixture {
    using Files = platform::fakes::FakeFiles::Mode;
    explicit WindowFixture(Files files = Files::RealFileSystem);
    ~WindowFixture();

    /// Uninstalls the fakes and installs fresh ones.
    void renewFakes();
    /// The database's to-do items: replaced, and read in stored order.
    void storeItems(const Rows& rows) const;
    Rows storedItems() const;

    const Files filesMode;
    std::unique_ptr<platform::fakes::FakePlatform> fakes;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("todo.mdb"));
    QPointer<frmInitial> initial;
};

} // namespace support
