#include "db/schema.h"

namespace db::schema {

std::vector<jet::TableSpec> tables() {
    auto text = [](const char* name, std::uint16_t size) {
        return jet::FieldSpec{name, jet::ColumnType::Text, size, true, false};
    };
    auto date = [](const char* name) {
        return jet::FieldSpec{name, jet::ColumnType::DateTime, 0, false, false};
    };
    return {
        {kClients, {text(kClient, kTextSize)}},
        {kActivities, {text(kActivity, kTextSize)}},
        {kProjects, {text(kProject, kTextSize)}},
        {kThingsToDo,
         {text(kThingToDo, kTextSize), text(kTtdClient, kTextSize), text(kTtdProject, kTextSize),
          text(kTtdPriority, 4), date(kStartDate), date(kDeadline)}},
    };
}

const std::vector<std::string>& defaultActivities() {
    static const std::vector<std::string> list = {
        "Telephone conference with",
        "Attempted telephone conference with",
        "Conference in office with",
        "Consultation in office with",
        "Review file",
        "Attend",
        "Court appearance re",
        "Legal research",
        "Preparation for",
        "Prepare and send letter",
        "Review letter from",
        "Take deposition of",
        "Analysis and evaluation of",
        "Factual investigation re",
        "Document inspection",
    };
    return list;
}

const std::vector<std::string>& defaultProjects() {
    static const std::vector<std::string> list = {
        "ADMINISTRATION", "CONTINUING EDUCATION", "MARKETING", "MONTHLY STATEMENTS",
        "PAY BILLS",      "REVIEW CASES",
    };
    return list;
}

jet::Database createDatabase(const std::string& path, std::shared_ptr<jet::FileSystem> files) {
    jet::CreateOptions options;
    options.locale = kLocale;
    options.fileSystem = std::move(files);
    jet::Database db = jet::Database::create(path, options);
    jet::Transaction tx(db);
    for (const jet::TableSpec& t : tables())
        db.createTable(t);
    auto fill = [&](const char* table, const char* field, const std::vector<std::string>& rows) {
        jet::Recordset rs = db.openTable(table);
        for (const std::string& r : rows) {
            rs.addNew();
            rs.setField(field, jet::Value::text(r));
            rs.update();
        }
    };
    fill(kActivities, kActivity, defaultActivities());
    fill(kProjects, kProject, defaultProjects());
    tx.commit();
    return db;
}

} // namespace db::schema
