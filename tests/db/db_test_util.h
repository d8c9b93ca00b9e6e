// Helpers for tests of the database routines: files, databases made directly with the engine,
// and the locale the date texts follow.
#pragma once

#include <QFile>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "db/engine.h"
#include "db/todo_item.h"
#include "jet/database.h"
#include "jet/datetime.h"
#include "jet/schema.h"

namespace dbtest {

/// The stored Date/Time value of a calendar date and time.
inline double storedDate(int year, int month, int day, int hour = 0, int minute = 0,
                         int second = 0) {
    return jet::fromDateTimeParts({year, month, day, hour, minute, second});
}

#ifdef TARNWICK_FIXTURES_DIR
inline QString fixture(const QString& name) {
    return QStringLiteral(TARNWICK_FIXTURES_DIR "/") + name;
}
#endif

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

inline jet::FieldSpec textField(const char* name, std::uint16_t size = 150) {
    return {name, jet::ColumnType::Text, size, true, false};
}

/// A database at `path` with exactly `tables`, no rows.
inline void makeDatabase(const QString& path, const std::vector<jet::TableSpec>& tables) {
    jet::Database database = jet::Database::create(db::enginePath(path));
    for (const jet::TableSpec& table : tables)
        database.createTable(table);
}

using Record = std::vector<std::pair<const char*, jet::Value>>;

inline jet::Database openForWriting(const QString& path) {
    return jet::Database::open(db::enginePath(path),
                               {.mode = jet::OpenMode::ReadWrite, .fileSystem = nullptr});
}

/// Adds one row per record (fields not named stay null).
inline void addRecords(const QString& path, const char* table, const std::vector<Record>& records) {
    jet::Database database = openForWriting(path);
    jet::Recordset rows = database.openTable(table);
    for (const Record& record : records) {
        rows.addNew();
        for (const auto& [field, value] : record)
            rows.setField(field, value);
        rows.update();
    }
}

/// Every row of `table` in stored order, each field rendered by jet::Value::toString() with
/// null as "<null>", so that null and empty text differ.
inline std::vector<std::vector<std::string>> tableRows(const QString& path, const char* table) {
    jet::Database database = jet::Database::open(db::enginePath(path));
    jet::Recordset rows = database.openTable(table);
    std::vector<std::vector<std::string>> result;
    for (; !rows.eof(); rows.moveNext()) {
        std::vector<std::string> row;
        for (std::size_t i = 0; i < rows.definition().columns.size(); ++i) {
            const jet::Value value = rows.field(static_cast<int>(i));
            row.push_back(value.isNull() ? "<null>" : value.toString());
        }
        result.push_back(row);
    }
    return result;
}

inline jet::Value text(const char* value) {
    return jet::Value::text(value);
}

inline QStringList qtList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts)
        list.append(QString::fromStdString(text));
    return list;
}

/// An item as a file of ours stores it; dates loaded from the file (the locale's form).
inline db::ToDoItem item(const QString& priority, const QString& party, const QString& text,
                         std::optional<double> startDate = std::nullopt,
                         std::optional<double> deadline = std::nullopt) {
    auto date = [](std::optional<double> days) {
        return days ? std::optional(db::ItemDate{*days, db::ItemDate::Form::Locale}) : std::nullopt;
    };
    return {db::Priority::fromText(priority), party, text, date(startDate), date(deadline)};
}

/// Items as the main list shows them: five texts each.
using Row = std::array<QString, 5>;
using Rows = QList<Row>;
inline Rows rowsOf(const std::vector<db::ToDoItem>& items) {
    Rows rows;
    for (const db::ToDoItem& each : items) {
        Row row;
        for (int column = 0; column < db::kColumnCount; ++column)
            row[static_cast<std::size_t>(column)] =
                db::itemText(each, static_cast<db::Column>(column));
        rows.append(row);
    }
    return rows;
}

/// Sets the locale the date texts follow for one test; puts the old one back.
struct LocaleGuard {
    explicit LocaleGuard(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(old); }
    const QLocale old; // the default before
};

} // namespace dbtest
