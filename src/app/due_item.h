// A to-do item as the due notice at start reads it (app/due_notice.h).
#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace app {

struct DueItem {
    /// The client or project, as the main list shows it.
    QString party;
    QString text;
    /// No value, or an invalid date: the item has no deadline.
    std::optional<QDate> deadline;
};

} // namespace app
