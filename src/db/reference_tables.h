// A reference table ("Clients", "Activities" or "Projects") held open while its dialog is
// shown: the dialog reads its entries once, and each addition and deletion is written at once,
// as one transaction, through the same open file.
//
// Why the file is held open for writing. The engine lets one writer at a time change a file,
// and a writer's commit waits until no other handle has the file open. So the table is opened
// for writing when the dialog opens and every change goes through that one handle: no other
// program can change the table while the dialog shows it, which keeps the dialog's list and
// the table in agreement, and no second handle of our own is left to block our own commits.
// Another program that wants to write the file meanwhile is told the file is locked.
//
// When the file cannot be opened for writing (read-only, or another program is writing it),
// it is held open for reading instead, so the list can still be shown and printed; each change
// then tries again to open it for writing and, failing that, throws the reason.
//
// Before each change the path must still name the file that is held open. A file deleted,
// moved or replaced while the dialog is shown would otherwise take the change with it out of
// sight; instead the change is refused with an error and nothing is written anywhere.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

#include "jet/database.h"

namespace db {

class ReferenceTable {
public:
    /// Opens the file at `path` and checks that it has `table` with `field`. Throws
    /// jet::Error when it cannot be opened even for reading, or lacks the table or field.
    ReferenceTable(const QString& path, const char* table, const char* field);

    /// Every row's value of the field, in stored order. A row without a value gives "".
    QStringList entries();

    /// Adds a row holding `text`. Throws on failure, leaving the table as it was.
    void add(const QString& text);

    /// For each of `texts` in order, deletes the first stored row whose value is exactly that
    /// text ("" also matching a row without a value); a text no row holds deletes nothing. One
    /// transaction: on failure no row is deleted. Returns the number of rows deleted.
    int removeFirstOfEach(const QStringList& texts);

    /// Whether the file is held open for writing.
    bool writable() const;

    /// How many characters (UTF-16 units, as the engine counts them) the field holds; nullopt
    /// for a field that is not Text (a Memo in a file made elsewhere), which sets no limit here.
    std::optional<int> capacity() const { return m_capacity; }

private:
    /// Makes sure the held handle can write and is still the file at the path; throws the
    /// reason otherwise.
    void prepareChange();
    void open(jet::OpenMode mode);

    QString m_path;
    std::string m_table;
    std::string m_field;
    std::optional<jet::Database> m_database;
    /// The device and inode the path named when the file was opened; empty when the file
    /// system in use has none (a test's).
    std::optional<std::pair<unsigned long long, unsigned long long>> m_identity;
    std::optional<int> m_capacity;
};

} // namespace db
