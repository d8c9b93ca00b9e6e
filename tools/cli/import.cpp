#include "import.h"

#include <QStringDecoder>
#include <stdexcept>
#include <string>

#include "csv.h"
#include "db/date_text.h"
#include "db/schema.h"
#include "jet/datetime.h"

namespace cli {
namespace {

constexpr qsizetype kTextField = db::schema::kTextSize; // "TTD Client", "TTD Project", "ThingToDo"
const char* const kFieldNames[5] = {"priority", "client or project", "text", "start date",
                                    "deadline"};

// "yyyy-MM-dd" exactly, as a stored value; nothing for any other text or a day not in the
// calendar.
std::optional<double> isoDate(const QString& text) {
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    jet::DateTimeParts parts;
    int* fields[] = {&parts.year, &parts.month, &parts.day};
    const int starts[] = {0, 5, 8}, lengths[] = {4, 2, 2};
    for (int k = 0; k < 3; ++k) {
        *fields[k] = 0;
        for (int i = starts[k]; i < starts[k] + lengths[k]; ++i) {
            if (text[i] < u'0' || text[i] > u'9')
                return std::nullopt;
            *fields[k] = *fields[k] * 10 + (text[i].unicode() - u'0');
        }
    }
    if (!jet::isValidDateTime(parts))
        return std::nullopt;
    return jet::fromDateTimeParts(parts);
}

} // namespace

std::vector<db::ToDoItem> toDoItemsFromCsv(std::string_view text) {
    std::vector<db::ToDoItem> items;
    readCsv(text, [&](const CsvRecord& record) {
        auto bad = [&](const QString& what) {
            return std::runtime_error("line " + std::to_string(record.line) + ": " +
                                      what.toStdString());
        };
        if (record.fields.size() != 5)
            throw bad(QStringLiteral("%1 fields, where an item has 5 (priority, client or "
                                     "project, text, start date, deadline)")
                          .arg(record.fields.size()));
        QString fields[5];
        for (int i = 0; i < 5; ++i) {
            QStringDecoder decode(QStringDecoder::Utf8);
            fields[i] = decode(QByteArrayView(record.fields[static_cast<std::size_t>(i)]));
            if (decode.hasError())
                throw bad(
                    QStringLiteral("the %1 is not UTF-8 text").arg(QLatin1String(kFieldNames[i])));
        }
        db::ToDoItem item;
        const QString priority = fields[0].trimmed();
        if (priority.size() != 1 || priority[0] < u'1' || priority[0] > u'5')
            throw bad(QStringLiteral("the priority \"%1\" is not 1 to 5").arg(fields[0]));
        item.priority = db::Priority::fromText(priority);
        // Stored as a client's or a project's by the main list's rule: a client's name holds ", ".
        item.party = fields[1];
        item.text = fields[2];
        for (const auto& [field, index] : {std::pair{&item.party, 1}, std::pair{&item.text, 2}})
            if (field->size() > kTextField)
                throw bad(QStringLiteral("the %1 is %2 characters long, more than the %3 its "
                                         "field holds")
                              .arg(QLatin1String(kFieldNames[index]))
                              .arg(field->size())
                              .arg(kTextField));
        for (const auto& [date, index] :
             {std::pair{&item.startDate, 3}, std::pair{&item.deadline, 4}}) {
            const QString trimmed = fields[index].trimmed();
            if (trimmed.isEmpty())
                continue;
            std::optional<double> days = isoDate(trimmed);
            if (!days)
                days = db::dateFromText(trimmed);
            if (!days)
                throw bad(QStringLiteral("the %1 \"%2\" is not a date")
                              .arg(QLatin1String(kFieldNames[index]), fields[index]));
            *date = db::ItemDate{*days, db::ItemDate::Form::Locale};
        }
        items.push_back(std::move(item));
    });
    return items;
}

} // namespace cli
