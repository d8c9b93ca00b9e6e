#include "db/routines.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <unordered_map>

#include "db/date_text.h"
#include "db/engine.h"
#include "db/schema.h"
#include "jet/database.h"
#include "jet/error.h"
#include "jet/recordset.h"
#include "platform/error.h"
#include "platform/services.h"

namespace db {
namespace {

const QString kNotValid = QStringLiteral(" is not a valid Tarnwick database.");
const QString kCouldNotCreate =
    QStringLiteral("Could not create Tarnwick.  Please try again.  Error description: ");
const QString kCreationFailed = QStringLiteral("Error in creating a new Tarnwick: ");
const QString kListsFailed = QStringLiteral("Error in populating initial lists: ");

void showMessage(const QString& text) {
    platform::Services::messageBoxes().message(text);
}

void releaseSharedHandles() {
    SharedRecordset.reset();
    SharedConnection.reset();
}

// Replaces the shared handles by a connection to the data source of `path`'s connection text.
void openSharedConnection(const QString& path) {
    releaseSharedHandles();
    const QString text = connectionText(path);
    SharedConnection.emplace(
        Connection{text, openDatabase(dataSourceOf(text), jet::OpenMode::ReadOnly)});
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A field's value as the list shows it. Null gives the empty text; callers that must tell
// null apart test for it first.
QString textOf(const jet::Value& value) {
    switch (value.kind()) {
    case jet::Value::Kind::Null:
        return {};
    case jet::Value::Kind::Text:
        return fromUtf8(value.asText());
    case jet::Value::Kind::DateTime:
        return textFromDate(value.asDateTime());
    case jet::Value::Kind::Boolean:
        return value.asBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return fromUtf8(value.toString());
    }
}

// Appends `field` of every row from the current one on to `list`.
void appendNames(jet::Recordset& records, const char* field, QStringList& list) {
    const int index = records.requireField(field);
    for (; !records.eof(); records.moveNext()) {
        const jet::Value value = records.field(index);
        if (value.isNull())
            throw std::runtime_error(std::string("A row of the table '") +
                                     records.definition().name + "' has no value in the field '" +
                                     field + "'.");
        list.append(textOf(value));
    }
}

// The UTF-16 units of `text`, as the engine takes texts.
std::u16string_view unitsOf(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// A field's value as text, no value counting as the empty text.
QString textOrEmpty(const jet::Recordset& records, int field) {
    return textOf(records.field(field));
}

// The texts of values that repeat down a long list (priorities, names, dates), each made once
// and then shared: a copy of a QString shares its characters, so a hundred thousand items of
// five priorities hold five priority strings, and a date seen before is not formatted again.
// Each table is emptied when it reaches kLimit entries, so texts that do not repeat cost a
// lookup and no lasting memory.
class SharedTexts {
public:
    const QString& of(const jet::Value& value) {
        if (value.kind() == jet::Value::Kind::DateTime)
            return find(dates_, value.asDateTime());
        if (value.kind() == jet::Value::Kind::Text)
            return find(texts_, value.asText());
        scratch_ = textOf(value);
        return scratch_;
    }

private:
    static constexpr std::size_t kLimit = 4096;
    template <typename Key>
    const QString& find(std::unordered_map<Key, QString>& map, const Key& key) {
        auto it = map.find(key);
        if (it != map.end())
            return it->second;
        if (map.size() >= kLimit)
            map.clear();
        QString made;
        if constexpr (std::is_same_v<Key, double>)
            made = textFromDate(key);
        else
            made = fromUtf8(key);
        return map.emplace(key, std::move(made)).first->second;
    }

    std::unordered_map<double, QString> dates_;
    std::unordered_map<std::string, QString> texts_;
    QString scratch_;
};

// Runs `change` on "Things To Do" of the file at `path`, open for writing, as one transaction.
template <typename Change> void changeToDoItems(const QString& path, Change&& change) {
    jet::Database database = openDatabase(path, jet::OpenMode::ReadWrite);
    jet::Transaction transaction(database);
    jet::Recordset items = database.openTable(schema::kThingsToDo);
    change(items);
    items.close();
    transaction.commit();
    database.close();
}

} // namespace

bool IsValidDatabase(QString& path) {
    try {
        openSharedConnection(path);
        if (SharedConnection->database.hasPassword())
            throw jet::Error(jet::ErrorKind::Unsupported,
                             "The database is protected by a password.");
        for (const char* table : schema::kValidityTables) {
            SharedRecordset.reset();
            SharedRecordset.emplace(SharedConnection->database.openTable(table));
            SharedRecordset->close();
        }
        releaseSharedHandles();
        return true;
    } catch (...) {
        releaseSharedHandles();
        showMessage(path + kNotValid);
        return false;
    }
}

bool CreateNewDatabase(const QString& path,
                       const std::function<void(QString&)>& updateRecentDatabases) {
    try {
        CreationWorkspace = fileSystem();
        CreationDatabase.reset();
        CreationDatabase.emplace(schema::createDatabase(enginePath(path), CreationWorkspace));
        if (!CreationDatabase->isOpen()) {
            // The engine reports every failure by an error, so this is a safeguard only.
            CreationDatabase.reset();
            showMessage(kCouldNotCreate);
            return false;
        }
        CreationDatabase->close();
        CreationDatabase.reset();
        if (updateRecentDatabases) {
            QString copy = path;
            updateRecentDatabases(copy);
        }
        return true;
    } catch (...) {
        CreationDatabase.reset();
        platform::showError(kCreationFailed, std::current_exception());
        return false;
    }
}

void LoadReferenceLists(const QString& path, ReferenceLists& lists) {
    try {
        openSharedConnection(path);
        SharedRecordset.emplace(SharedConnection->database.openTable(schema::kClients));
        lists = ReferenceLists();
        if (!SharedRecordset->eof()) {
            SharedRecordset->moveFirst();
            appendNames(*SharedRecordset, schema::kClient, lists.clients);
        }
        SharedRecordset->close();
        SharedRecordset.reset();
        SharedRecordset.emplace(SharedConnection->database.openTable(schema::kProjects));
        appendNames(*SharedRecordset, schema::kProject, lists.projects);
        releaseSharedHandles();
    } catch (...) {
        releaseSharedHandles();
        platform::showError(kListsFailed, std::current_exception());
    }
}

void LoadToDoItems(const QString& path, ToDoList& list) {
    jet::Database database = openDatabase(path, jet::OpenMode::ReadOnly);
    jet::Recordset items = database.openTable(schema::kThingsToDo);
    // The fields are looked up with the first record, as each record reads them by name: a
    // table without records loads whatever its fields are.
    int priority = -1, client = -1, project = -1, thingToDo = -1, startDate = -1, deadline = -1;
    if (!items.eof()) {
        priority = items.requireField(schema::kTtdPriority);
        client = items.requireField(schema::kTtdClient);
        project = items.requireField(schema::kTtdProject);
        thingToDo = items.requireField(schema::kThingToDo);
        startDate = items.requireField(schema::kStartDate);
        deadline = items.requireField(schema::kDeadline);
    }

    list.expectRows(static_cast<int>(std::min<std::size_t>(items.recordCount(), INT_MAX)));
    SharedTexts shared;
    // `repeats`: the column's texts are likely to recur (not the things to do).
    auto setCell = [&](int column, int field, bool repeats) {
        const jet::Value value = items.field(field);
        if (value.isNull())
            return;
        const QString text = repeats ? shared.of(value) : textOf(value);
        if (column >= 4 && value.kind() == jet::Value::Kind::DateTime)
            list.setCurrentRowDate(column, text, value.asDateTime());
        else
            list.setCurrentRowCell(column, text);
    };
    for (; !items.eof(); items.moveNext()) {
        list.appendRow(shared.of(items.field(priority)));
        setCell(2, client, true);
        setCell(2, project, true);
        setCell(3, thingToDo, false);
        setCell(4, startDate, true);
        setCell(5, deadline, true);
    }
    items.close();
    database.close();
}

namespace {

// Writes to-do records into an open "Things To Do", the fields set as every writer sets them.
class ItemWriter {
public:
    explicit ItemWriter(jet::Recordset& items)
        : items_(items), priority_(items.requireField(schema::kTtdPriority)),
          client_(items.requireField(schema::kTtdClient)),
          project_(items.requireField(schema::kTtdProject)),
          thingToDo_(items.requireField(schema::kThingToDo)),
          startDate_(items.requireField(schema::kStartDate)),
          deadline_(items.requireField(schema::kDeadline)) {}

    /// Adds one record holding `item`: its name in "TTD Client" or "TTD Project" (the other
    /// stays null), a date without a value null.
    void write(const ToDoItem& item) {
        write(unitsOf(item.priority), item.ofClient, unitsOf(item.name), unitsOf(item.thingToDo),
              item.startDate, item.deadline);
    }
    /// The same from the item's texts as UTF-16 units.
    void write(std::u16string_view priority, bool ofClient, std::u16string_view name,
               std::u16string_view thingToDo, std::optional<double> startDate,
               std::optional<double> deadline) {
        items_.addNew();
        items_.setField(priority_, priority);
        items_.setField(ofClient ? client_ : project_, name);
        items_.setField(thingToDo_, thingToDo);
        setDate(startDate_, startDate);
        setDate(deadline_, deadline);
        items_.update();
    }

private:
    void setDate(int field, std::optional<double> days) {
        if (days)
            items_.setDateTime(field, *days);
    }

    jet::Recordset& items_;
    int priority_, client_, project_, thingToDo_, startDate_, deadline_;
};

// Whether a name names a client: it contains ", ".
bool namesClient(std::u16string_view name) {
    for (std::size_t i = 1; i < name.size(); ++i)
        if (name[i] == u' ' && name[i - 1] == u',')
            return true;
    return false;
}

// Writes row `row` of `list` as an item. The texts are read in place (`scratch` serves lists
// that make them).
void writeRow(ItemWriter& writer, const ToDoList& list, int row, QString (&scratch)[3]) {
    const std::u16string_view name = unitsOf(list.cellTextView(row, 2, scratch[1]));
    writer.write(unitsOf(list.cellTextView(row, 1, scratch[0])), namesClient(name), name,
                 unitsOf(list.cellTextView(row, 3, scratch[2])), list.cellDate(row, 4),
                 list.cellDate(row, 5));
}

} // namespace

void RewriteToDoItems(const QString& path, const ToDoList& list) {
    changeToDoItems(path, [&list](jet::Recordset& items) {
        items.deleteAll();
        // An empty list needs no field: a file whose empty table lacks one stores it as well.
        const int rows = list.rowCount();
        if (rows == 0)
            return;
        ItemWriter writer(items);
        QString scratch[3];
        for (int row = 1; row <= rows; ++row)
            writeRow(writer, list, row, scratch);
    });
}

ReferenceLists ReadReferenceTables(const QString& path, bool withClientsAndProjects) {
    jet::Database database = openDatabase(path, jet::OpenMode::ReadOnly);
    ReferenceLists lists;
    auto read = [&database](const char* table, const char* field, QStringList& list) {
        jet::Recordset rows = database.openTable(table);
        const int index = rows.requireField(field);
        for (; !rows.eof(); rows.moveNext()) {
            const jet::Value value = rows.field(index);
            if (!value.isNull())
                list.append(textOf(value));
        }
        rows.close();
    };
    if (withClientsAndProjects) {
        read(schema::kClients, schema::kClient, lists.clients);
        read(schema::kProjects, schema::kProject, lists.projects);
    }
    read(schema::kActivities, schema::kActivity, lists.activities);
    database.close();
    return lists;
}

void AddToDoItem(const QString& path, const ToDoItem& item) {
    changeToDoItems(path, [&item](jet::Recordset& items) { ItemWriter(items).write(item); });
}

bool ReplaceToDoItem(const QString& path, const StoredItemKey& old, const ToDoItem& replacement) {
    bool deleted = false;
    changeToDoItems(path, [&](jet::Recordset& items) {
        if (!items.eof()) {
            const int client = items.requireField(schema::kTtdClient);
            const int project = items.requireField(schema::kTtdProject);
            const int priority = items.requireField(schema::kTtdPriority);
            const int thingToDo = items.requireField(schema::kThingToDo);
            for (; !items.eof(); items.moveNext()) {
                if (textOrEmpty(items, priority) != old.priority ||
                    textOrEmpty(items, thingToDo) != old.thingToDo)
                    continue;
                const jet::Value clientValue = items.field(client);
                const jet::Value projectValue = items.field(project);
                if ((!clientValue.isNull() && textOf(clientValue) == old.client) ||
                    (!projectValue.isNull() && textOf(projectValue) == old.project)) {
                    items.deleteCurrent();
                    deleted = true;
                    break;
                }
            }
        }
        ItemWriter(items).write(replacement);
    });
    return deleted;
}

void AppendToDoItems(const QString& path, const std::vector<ToDoItem>& items) {
    changeToDoItems(path, [&items](jet::Recordset& records) {
        ItemWriter writer(records);
        for (const ToDoItem& item : items)
            writer.write(item);
    });
}

bool HoldDatabase(const QString& path, FileHold& hold) {
    try {
        hold = FileHold::take(enginePath(path));
        return true;
    } catch (const FileInUse& refusal) {
        showMessage(QString::fromUtf8(refusal.what()));
        return false;
    }
}

} // namespace db
