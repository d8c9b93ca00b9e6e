// The texts of the notice at start of what is overdue and due today.
#include <gtest/gtest.h>

#include "app/due_notice.h"

namespace {

const QDate kToday(2026, 3, 10);

// An item due `daysFromToday` (none: without a deadline), at `hour` o'clock.
db::ToDoItem due(const QString& party, const QString& text, std::optional<int> daysFromToday,
                 double hour = 0) {
    db::ToDoItem item{db::Priority::of(3), party, text, std::nullopt, std::nullopt};
    if (daysFromToday) {
        item.deadline = db::ItemDate::chosen(kToday.addDays(*daysFromToday));
        item.deadline->days += hour / 24;
    }
    return item;
}

TEST(DueNotice, CountsAndNamesTheMostUrgentItems) {
    const struct {
        const char* name;
        std::vector<db::ToDoItem> items;
        const char* summary; // nullptr: no notice
        QString body;
    } cases[] = {
        // clang-format off
        {"no items", {}, nullptr, {}},
        {"nothing overdue or due today",
         {due("Smith, John", "Call", 1), due("Acme", "Draft lease", std::nullopt)}, nullptr, {}},
        {"a date no calendar shows is no deadline", {{db::Priority::of(3), "Smith, John", "Call",
          std::nullopt, db::ItemDate{-700000, db::ItemDate::Form::Locale}}}, nullptr, {}},
        {"one overdue", {due("Smith, John", "Call re lease", -1)},
         "1 item is overdue", "Overdue: Smith, John – Call re lease"},
        {"the time of day does not count",
         {due("Brown", "File", -1, 23.99), due("Acme", "Call", 0, 14.5), due("Roe", "A", 1, 0.1)},
         "1 item is overdue and 1 item is due today",
         "Overdue: Brown – File\nDue today: Acme – Call"},
        {"two due today keep their order",
         {due("Brown", "File motion", 0), due("Acme", "Call client", 0)},
         "2 items are due today", "Due today: Brown – File motion\nDue today: Acme – Call client"},
        {"overdue first, oldest deadline first, others left out",
         {due("Today", "C", 0), due("Future", "F", 2), due("Yesterday", "B", -1),
          due("Undated", "U", std::nullopt), due("Last week", "A", -7)},
         "2 items are overdue and 1 item is due today",
         "Overdue: Last week – A\nOverdue: Yesterday – B\nDue today: Today – C"},
        {"six: three more", {due("P", "1", 0), due("P", "2", 0), due("P", "3", 0), due("P", "4", 0),
          due("P", "5", 0), due("P", "6", -1)}, "1 item is overdue and 5 items are due today",
         "Overdue: P – 6\nDue today: P – 1\nDue today: P – 2\nand 3 more"},
        {"long party and text are shortened after a word",
         {due("Estate of Margaret Ann Featherstonehaugh",
              "Review the trust deed and the schedule of assets before the hearing", -2),
          due("Smith, John", "Telephone conference with John re lease", 0)},
         "1 item is overdue and 1 item is due today",
         "Overdue: Estate of Margaret Ann… – Review the trust deed…\n"
         "Due today: Smith, John – Telephone conference with John re…"},
        {"line breaks and blanks become one blank",
         {due("  Brown ", "Draft will\nand\tcodicil  ", 0)},
         "1 item is due today", "Due today: Brown – Draft will and codicil"},
        {"an empty party or text leaves out the dash",
         {due("", "Call the court", -1), due("Brown", "", -1)},
         "2 items are overdue", "Overdue: Call the court\nOverdue: Brown"},
        {"a long word is cut, but not inside a character outside the BMP",
         {due("", QString(47, u'x') + QString::fromUtf8("\U0001F600 tail"), 0)},
         "1 item is due today", "Due today: " + QString(47, u'x') + "…"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<app::DueNotice> notice = app::dueNotice(c.items, kToday);
        if (!c.summary) {
            EXPECT_FALSE(notice.has_value());
            continue;
        }
        ASSERT_TRUE(notice.has_value());
        EXPECT_EQ(notice->summary.toStdString(), c.summary);
        EXPECT_EQ(notice->body.toStdString(), c.body.toStdString());
        for (const QString& line : notice->body.split(u'\n'))
            EXPECT_LE(line.size(), app::dueNoticeLineLength) << line.toStdString();
    }
}

} // namespace
