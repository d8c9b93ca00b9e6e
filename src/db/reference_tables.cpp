#include "db/reference_tables.h"

#include <QFile>

#include <sys/stat.h>

#include "db/engine.h"
#include "jet/error.h"
#include "jet/recordset.h"

namespace db {
namespace {

using Identity = std::pair<unsigned long long, unsigned long long>;

std::optional<Identity> identityOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return Identity{info.st_dev, info.st_ino};
}

QString textOf(const jet::Value& value) {
    const std::string text =
        value.kind() == jet::Value::Kind::Text ? value.asText() : value.toString();
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ReferenceTable::ReferenceTable(const QString& path, const char* table, const char* field)
    : m_path(path), m_table(table), m_field(field) {
    try {
        open(jet::OpenMode::ReadWrite);
    } catch (const jet::Error&) {
        open(jet::OpenMode::ReadOnly);
    }
    m_identity = identityOf(m_path);
    const jet::Recordset rows = m_database->openTable(m_table);
    const int index = rows.fieldIndex(m_field);
    if (index < 0)
        throw jet::Error(jet::ErrorKind::NotFound,
                         "Table '" + m_table + "' has no field '" + m_field + "'.");
    // A Text field's length is in bytes, two for each character it holds.
    const jet::ColumnDef& column = rows.definition().columns.at(static_cast<std::size_t>(index));
    if (column.type == jet::ColumnType::Text)
        m_capacity = column.length / 2;
}

void ReferenceTable::open(jet::OpenMode mode) {
    m_database.reset(); // an open handle of ours would hold up the other one's commits
    m_database.emplace(openDatabase(m_path, mode));
}

bool ReferenceTable::writable() const {
    return m_database && m_database->isWritable();
}

QStringList ReferenceTable::entries() {
    if (!m_database)
        open(jet::OpenMode::ReadOnly);
    QStringList result;
    jet::Recordset rows = m_database->openTable(m_table);
    const int field = rows.fieldIndex(m_field);
    for (; !rows.eof(); rows.moveNext())
        result.append(textOf(rows.field(field)));
    return result;
}

void ReferenceTable::prepareChange() {
    const bool there = fileSystem()->exists(enginePath(m_path));
    if (!there || (m_identity && identityOf(m_path) != m_identity))
        throw jet::Error(jet::ErrorKind::NotFound,
                         "The database file '" + m_path.toStdString() +
                             "' was moved, replaced or deleted while the list was open.");
    beforeChange(m_path);
    if (writable())
        return;
    try {
        open(jet::OpenMode::ReadWrite);
    } catch (const jet::Error&) {
        try {
            open(jet::OpenMode::ReadOnly); // still show the list; the change is refused
        } catch (const jet::Error&) {
        }
        throw;
    }
}

void ReferenceTable::add(const QString& text) {
    prepareChange();
    jet::Transaction transaction(*m_database);
    jet::Recordset rows = m_database->openTable(m_table);
    rows.addNew();
    rows.setField(m_field, jet::Value::text(text.toStdString()));
    rows.update();
    rows.close();
    transaction.commit();
}

int ReferenceTable::removeFirstOfEach(const QStringList& texts) {
    if (texts.isEmpty())
        return 0;
    prepareChange();
    jet::Transaction transaction(*m_database);
    int removed = 0;
    for (const QString& text : texts) {
        jet::Recordset rows = m_database->openTable(m_table);
        const int field = rows.fieldIndex(m_field);
        for (; !rows.eof(); rows.moveNext()) {
            if (textOf(rows.field(field)) == text) {
                rows.deleteCurrent();
                ++removed;
                break;
            }
        }
    }
    transaction.commit();
    return removed;
}

} // namespace db
