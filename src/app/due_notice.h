// The notice at start of what is overdue and due today, as texts for a desktop notification.
#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

#include "db/todo_item.h"

namespace app {

struct DueNotice {
    /// One line of counts: "1 item is overdue and 2 items are due today".
    QString summary;
    /// Up to dueNoticeNamed lines "Overdue: <party> – <text>" or "Due today: <party> – <text>",
    /// each at most dueNoticeLineLength characters, then "and N more" when more are due;
    /// separated by '\n', plain text.
    QString body;
};

/// How many items the body names.
inline constexpr int dueNoticeNamed = 3;
/// The longest line of the body, in UTF-16 code units, the elision mark included.
inline constexpr int dueNoticeLineLength = 60;

/// How an item's deadline stands against a day.
enum class Urgency { None, DueToday, Overdue };

/// Overdue when the deadline of `item` is before `today`, DueToday when it is `today`; None
/// without a deadline or with one no calendar date can show.
Urgency urgencyOf(const db::ToDoItem& item, QDate today);

/// The notice for `items` on the day `today`, or nothing when no item is overdue or due today
/// (urgencyOf). The body names the most urgent first: oldest deadline first, items of one
/// deadline in their order in `items`.
std::optional<DueNotice> dueNotice(const std::vector<db::ToDoItem>& items, QDate today);

} // namespace app
