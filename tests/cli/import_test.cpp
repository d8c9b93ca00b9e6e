// The import's reading of a CSV file into to-do items, checked line by line on the program's date
// texts. The file as a whole (all or nothing, read back by other readers) is tested in
// tests/interop.
#include <gtest/gtest.h>

#include <QLocale>
#include <stdexcept>

#include "import.h"

namespace {

// The items as "priority|client or project|text|start|deadline" (dates as day numbers, "-" for
// none) joined by "; ", or the error's message.
std::string read(std::string_view csv) {
    try {
        std::string out;
        auto day = [](const std::optional<db::ItemDate>& d) {
            return d ? QString::number(d->days).toStdString() : std::string("-");
        };
        for (const db::ToDoItem& item : cli::toDoItemsFromCsv(csv))
            out += (out.empty() ? "" : "; ") + item.priority.text().toStdString() + "|" +
                   item.party.toStdString() + "|" + item.text.toStdString() + "|" +
                   day(item.startDate) + "|" + day(item.deadline);
        return out;
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

TEST(CsvImport, ItemsAreCheckedLineByLineAndTheFirstBadLineIsNamed) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string long150(150, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"1,\"Smith, John\",Call,2026-01-05,05.01.2026 14:30:00\n 5 , P ,, 1/10/2026 ,",
         "1|Smith, John|Call|46027|46027.6; 5| P ||46032|-"},
        // Lone CR line ends, blank lines, quotes doubled inside quotes and left alone outside.
        {"1,a,b,,\r\r\n2,\"c \"\"d\"\", e\",f\"g,,\n\n3,\"\xC3\xA9\",\xE2\x82\xAC,,",
         "1|a|b|-|-; 2|c \"d\", e|f\"g|-|-; 3|\xC3\xA9|\xE2\x82\xAC|-|-"},
        {"3,," + long150 + ",,\n3," + long150 + "\xC3\xA9,,,",
         "line 2: the client or project is 151 characters long, more than the 150 its field "
         "holds"},
        {"1,a,b,,\n\n1,a,b,c\n", "line 3: 4 fields, where an item has 5 (priority, client or "
                                 "project, text, start date, deadline)"},
        {"1,a,b,,,", "line 1: 6 fields, where an item has 5 (priority, client or project, "
                     "text, start date, deadline)"},
        {"1,a,b,,\n7,a,b,,", "line 2: the priority \"7\" is not 1 to 5"},
        {",a,b,,", "line 1: the priority \"\" is not 1 to 5"},
        {"1,a,b,2026-02-30,", "line 1: the start date \"2026-02-30\" is not a date"},
        {"1,a,b,,31/12/2026", "line 1: the deadline \"31/12/2026\" is not a date"},
        {"1,a,\xFF,,", "line 1: the text is not UTF-8 text"},
        {"1,\"a\rb\",c,,\r\n\r2,a,b,,x", "line 4: the deadline \"x\" is not a date"},
        {"1,a,b,,\n\"open,\nstill open", "line 2: a quoted field is not closed"},
        {"1,a,b,,\n\"a\nb\"c,d", "line 3: text after the closing quote of a field"},
    };
    for (const auto& [csv, expected] : cases)
        EXPECT_EQ(read(csv), expected) << csv;
    QLocale::setDefault(QLocale::c());
}

} // namespace
