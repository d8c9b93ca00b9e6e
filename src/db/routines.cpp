#include "db/routines.h"

#include <cstring>
#include <stdexcept>
#include <string>

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

int requireField(const jet::Recordset& records, const char* name) {
    const int index = records.fieldIndex(name);
    if (index < 0)
        throw jet::Error(jet::ErrorKind::NotFound,
                         "Table '" + records.definition().name + "' has no field '" + name + "'.");
    return index;
}

// Appends `field` of every row from the current one on to `list`.
void appendNames(jet::Recordset& records, const char* field, QStringList& list) {
    const int index = requireField(records, field);
    for (; !records.eof(); records.moveNext()) {
        const jet::Value value = records.field(index);
        if (value.isNull())
            throw std::runtime_error(std::string("A row of the table '") +
                                     records.definition().name + "' has no value in the field '" +
                                     field + "'.");
        list.append(textOf(value));
    }
}

// `text` as UTF-8 in `out`, whose memory is reused from call to call. ASCII, what list texts
// almost always are, is narrowed directly, four characters at a time.
void utf8Into(const QString& text, std::string& out) {
    const std::size_t n = static_cast<std::size_t>(text.size());
    const ushort* units = text.utf16();
    out.resize(n);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        std::uint64_t four;
        std::memcpy(&four, units + i, sizeof four);
        if (four & 0xFF80FF80FF80FF80ULL)
            break;
        for (std::size_t k = 0; k < 4; ++k)
            out[i + k] = static_cast<char>(four >> (16 * k));
    }
    for (; i < n; ++i) {
        if (units[i] >= 0x80) {
            const QByteArray utf8 = text.toUtf8();
            out.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
            return;
        }
        out[i] = static_cast<char>(units[i]);
    }
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
        priority = requireField(items, schema::kTtdPriority);
        client = requireField(items, schema::kTtdClient);
        project = requireField(items, schema::kTtdProject);
        thingToDo = requireField(items, schema::kThingToDo);
        startDate = requireField(items, schema::kStartDate);
        deadline = requireField(items, schema::kDeadline);
    }

    auto setCell = [&](int column, int field) {
        const jet::Value value = items.field(field);
        if (!value.isNull())
            list.setCurrentRowCell(column, textOf(value));
    };
    for (; !items.eof(); items.moveNext()) {
        list.appendRow(textOf(items.field(priority)));
        setCell(2, client);
        setCell(2, project);
        setCell(3, thingToDo);
        setCell(4, startDate);
        setCell(5, deadline);
    }
    items.close();
    database.close();
}

void RewriteToDoItems(const QString& path, const ToDoList& list) {
    jet::Database database = openDatabase(path, jet::OpenMode::ReadWrite);
    jet::Transaction transaction(database);
    jet::Recordset items = database.openTable(schema::kThingsToDo);
    if (!items.eof()) {
        items.moveFirst();
        while (!items.eof()) {
            items.deleteCurrent();
            items.moveNext();
        }
    }
    const int priority = requireField(items, schema::kTtdPriority);
    const int client = requireField(items, schema::kTtdClient);
    const int project = requireField(items, schema::kTtdProject);
    const int thingToDo = requireField(items, schema::kThingToDo);
    const int startDate = requireField(items, schema::kStartDate);
    const int deadline = requireField(items, schema::kDeadline);
    DateTextReader dateFromText;
    auto setDate = [&](int field, const QString& text) {
        if (const std::optional<double> days = dateFromText(text))
            items.setField(field, jet::Value::dateTime(*days));
    };
    std::string utf8; // one buffer for every text: no allocation per cell
    auto setText = [&](int field, const QString& text) {
        utf8Into(text, utf8);
        items.setField(field, std::string_view(utf8));
    };
    const int rows = list.rowCount();
    for (int row = 1; row <= rows; ++row) {
        items.addNew();
        setText(priority, list.cellText(row, 1));
        const QString clientOrProject = list.cellText(row, 2);
        setText(clientOrProject.contains(QLatin1String(", ")) ? client : project, clientOrProject);
        setText(thingToDo, list.cellText(row, 3));
        setDate(startDate, list.cellText(row, 4));
        setDate(deadline, list.cellText(row, 5));
        items.update();
    }
    items.close();
    transaction.commit();
    database.close();
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
