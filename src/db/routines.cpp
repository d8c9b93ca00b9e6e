#include "db/routines.h"

#include <stdexcept>
#include <string>
#include <unordered_map>

#include "db/date_text.h"
#include "db/engine.h"
#include "db/schema.h"
#include "jet/database.h"
#include "jet/error.h"
#include "jet/recordset.h"

namespace db {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A field's value as text. Null gives the empty text; callers that must tell null apart test
// for it first. Values of other types (in files made elsewhere) show as the list shows them:
// Booleans "True"/"False", dates in the short date form, numbers in their shortest form.
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

// Appends `field` of every row of `records` to `list`; a row without a value is a failure.
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

// The date a stored field holds: its value when it is a Date/Time, else what its text reads as.
std::optional<ItemDate> dateOf(const jet::Value& value) {
    if (value.kind() == jet::Value::Kind::DateTime)
        return ItemDate{value.asDateTime(), ItemDate::Form::Locale};
    if (value.isNull())
        return std::nullopt;
    if (const std::optional<double> days = dateFromText(textOf(value)))
        return ItemDate{*days, ItemDate::Form::Locale};
    return std::nullopt;
}

// The priority a field holds; the usual "1" to "5" without making a text.
Priority priorityOf(const jet::Value& value) {
    if (value.kind() == jet::Value::Kind::Text && value.asText().size() == 1) {
        const char digit = value.asText()[0];
        if (digit >= '1' && digit <= '5')
            return Priority::of(digit - '0');
    }
    return Priority::fromText(textOf(value));
}

// Names repeat down a long list (a client has many items): each distinct name is made once and
// its copies share its characters, so a hundred thousand items of a thousand clients hold a
// thousand names. The table is emptied when it reaches kLimit entries, so names that do not
// repeat cost a lookup and no lasting memory.
class Names {
public:
    QString of(const jet::Value& value) {
        if (value.kind() != jet::Value::Kind::Text)
            return textOf(value);
        const std::string& key = value.asText();
        const auto found = m_names.find(key);
        if (found != m_names.end())
            return found->second;
        if (m_names.size() >= kLimit)
            m_names.clear();
        return m_names.emplace(key, fromUtf8(key)).first->second;
    }

private:
    static constexpr std::size_t kLimit = 4096;
    std::unordered_map<std::string, QString> m_names;
};

// Runs `change` on "Things To Do" of the file at `path`, open for writing, as one transaction.
template <typename Change> void changeToDoItems(const QString& path, Change&& change) {
    beforeChange(path);
    jet::Database database = openDatabase(path, jet::OpenMode::ReadWrite);
    jet::Transaction transaction(database);
    jet::Recordset items = database.openTable(schema::kThingsToDo);
    change(items);
    items.close();
    transaction.commit();
    database.close();
}

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

    /// Adds one record holding `item`, its party in the field of `kind` (the other stays
    /// null), a date without a value null.
    void write(const ToDoItem& item, PartyKind kind) {
        items_.addNew();
        if (item.priority.number() != 0) {
            const char16_t digit = static_cast<char16_t>(u'0' + item.priority.number());
            items_.setField(priority_, std::u16string_view(&digit, 1));
        } else {
            items_.setField(priority_, unitsOf(item.priority.text()));
        }
        items_.setField(kind == PartyKind::Client ? client_ : project_, unitsOf(item.party));
        items_.setField(thingToDo_, unitsOf(item.text));
        setDate(startDate_, item.startDate);
        setDate(deadline_, item.deadline);
        items_.update();
    }

private:
    void setDate(int field, const std::optional<ItemDate>& date) {
        if (date)
            items_.setDateTime(field, date->days);
    }

    jet::Recordset& items_;
    int priority_, client_, project_, thingToDo_, startDate_, deadline_;
};

void writeAll(jet::Recordset& records, const std::vector<ToDoItem>& items) {
    if (items.empty())
        return;
    ItemWriter writer(records);
    for (const ToDoItem& item : items)
        writer.write(item, item.partyKind());
}

} // namespace

bool IsValidDatabase(const QString& path) {
    try {
        jet::Database database = openDatabase(path, jet::OpenMode::ReadOnly);
        if (database.hasPassword())
            return false;
        for (const char* table : schema::kValidityTables)
            database.openTable(table).close();
        database.close();
        return true;
    } catch (...) {
        return false;
    }
}

void CreateNewDatabase(const QString& path) {
    schema::createDatabase(enginePath(path), fileSystem()).close();
}

ReferenceLists LoadReferenceLists(const QString& path) {
    jet::Database database = openDatabase(path, jet::OpenMode::ReadOnly);
    ReferenceLists lists;
    jet::Recordset clients = database.openTable(schema::kClients);
    appendNames(clients, schema::kClient, lists.clients);
    clients.close();
    jet::Recordset projects = database.openTable(schema::kProjects);
    appendNames(projects, schema::kProject, lists.projects);
    projects.close();
    database.close();
    return lists;
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

std::vector<ToDoItem> LoadToDoItems(const QString& path) {
    jet::Database database = openDatabase(path, jet::OpenMode::ReadOnly);
    jet::Recordset records = database.openTable(schema::kThingsToDo);
    std::vector<ToDoItem> items;
    if (records.eof())
        return items;
    const int priority = records.requireField(schema::kTtdPriority);
    const int client = records.requireField(schema::kTtdClient);
    const int project = records.requireField(schema::kTtdProject);
    const int thingToDo = records.requireField(schema::kThingToDo);
    const int startDate = records.requireField(schema::kStartDate);
    const int deadline = records.requireField(schema::kDeadline);

    items.reserve(records.recordCount());
    Names names;
    for (; !records.eof(); records.moveNext()) {
        ToDoItem& item = items.emplace_back();
        item.priority = priorityOf(records.field(priority));
        const jet::Value projectValue = records.field(project);
        const jet::Value party = projectValue.isNull() ? records.field(client) : projectValue;
        if (!party.isNull())
            item.party = names.of(party);
        item.text = textOf(records.field(thingToDo));
        item.startDate = dateOf(records.field(startDate));
        item.deadline = dateOf(records.field(deadline));
    }
    records.close();
    database.close();
    return items;
}

void RewriteToDoItems(const QString& path, const std::vector<ToDoItem>& items) {
    changeToDoItems(path, [&items](jet::Recordset& records) {
        records.deleteAll();
        writeAll(records, items);
    });
}

void AddToDoItem(const QString& path, const ToDoItem& item, PartyKind kind) {
    changeToDoItems(path, [&](jet::Recordset& records) { ItemWriter(records).write(item, kind); });
}

bool ReplaceToDoItem(const QString& path, const ToDoItem& old, const ToDoItem& replacement) {
    const bool ofClient = old.partyKind() == PartyKind::Client;
    const QString oldClient = ofClient ? old.party : QString();
    const QString oldProject = ofClient ? QString() : old.party;
    const QString oldPriority = old.priority.text();
    bool deleted = false;
    changeToDoItems(path, [&](jet::Recordset& records) {
        if (!records.eof()) {
            const int client = records.requireField(schema::kTtdClient);
            const int project = records.requireField(schema::kTtdProject);
            const int priority = records.requireField(schema::kTtdPriority);
            const int thingToDo = records.requireField(schema::kThingToDo);
            for (; !records.eof(); records.moveNext()) {
                if (textOf(records.field(priority)) != oldPriority ||
                    textOf(records.field(thingToDo)) != old.text)
                    continue;
                const jet::Value clientValue = records.field(client);
                const jet::Value projectValue = records.field(project);
                if ((!clientValue.isNull() && textOf(clientValue) == oldClient) ||
                    (!projectValue.isNull() && textOf(projectValue) == oldProject)) {
                    records.deleteCurrent();
                    deleted = true;
                    break;
                }
            }
        }
        ItemWriter(records).write(replacement, replacement.partyKind());
    });
    return deleted;
}

void AppendToDoItems(const QString& path, const std::vector<ToDoItem>& items) {
    changeToDoItems(path, [&items](jet::Recordset& records) { writeAll(records, items); });
}

} // namespace db
