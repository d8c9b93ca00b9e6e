#include "app/due_notice.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace app {
namespace {

// A party's share of a body line, so that a long client name leaves room for the text.
constexpr int kPartyLength = 24;

const QString kOverdue = QStringLiteral("Overdue: ");
const QString kDueToday = QStringLiteral("Due today: ");

// `text` on one line (line breaks and runs of blanks become one blank), at most `length` code
// units long. A shortened text ends in "…" after the last whole word, unless that would leave
// less than half the room (then inside the word, never splitting a surrogate pair).
QString elide(const QString& text, qsizetype length) {
    const QString line = text.simplified();
    if (line.size() <= length)
        return line;
    qsizetype cut = length - 1;
    if (cut > 0 && line.at(cut) != u' ') {
        if (const qsizetype blank = line.lastIndexOf(u' ', cut - 1); blank > length / 2)
            cut = blank;
        else if (line.at(cut - 1).isHighSurrogate())
            --cut;
    }
    return line.left(cut).trimmed() + QChar(0x2026);
}

QString count(qsizetype n, const QString& state) {
    return n == 1 ? QStringLiteral("1 item is ") + state
                  : QStringLiteral("%1 items are ").arg(n) + state;
}

} // namespace

Urgency urgencyOf(const db::ToDoItem& item, QDate today) {
    const QDate deadline = item.deadline ? item.deadline->date() : QDate();
    if (!deadline.isValid() || deadline > today)
        return Urgency::None;
    return deadline < today ? Urgency::Overdue : Urgency::DueToday;
}

std::optional<DueNotice> dueNotice(const std::vector<db::ToDoItem>& items, QDate today) {
    struct Due {
        const db::ToDoItem* item;
        QDate deadline;
        Urgency urgency;
    };
    std::vector<Due> due;
    qsizetype overdue = 0;
    for (const db::ToDoItem& item : items) {
        const Urgency urgency = urgencyOf(item, today);
        if (urgency == Urgency::None)
            continue;
        due.push_back({&item, item.deadline->date(), urgency});
        if (urgency == Urgency::Overdue)
            ++overdue;
    }
    if (due.empty())
        return std::nullopt;
    const qsizetype dueToday = qsizetype(due.size()) - overdue;

    QStringList counts;
    if (overdue > 0)
        counts.append(count(overdue, QStringLiteral("overdue")));
    if (dueToday > 0)
        counts.append(count(dueToday, QStringLiteral("due today")));

    std::stable_sort(due.begin(), due.end(),
                     [](const Due& a, const Due& b) { return a.deadline < b.deadline; });
    QStringList lines;
    for (std::size_t i = 0; i < due.size() && i < std::size_t(dueNoticeNamed); ++i) {
        const db::ToDoItem& item = *due[i].item;
        const QString& state = due[i].urgency == Urgency::Overdue ? kOverdue : kDueToday;
        QStringList name;
        if (const QString party = elide(item.party, kPartyLength); !party.isEmpty())
            name.append(party);
        if (const QString text = item.text.simplified(); !text.isEmpty())
            name.append(text);
        lines.append(state + elide(name.join(QStringLiteral(" \u2013 ")),
                                   dueNoticeLineLength - state.size()));
    }
    if (due.size() > std::size_t(dueNoticeNamed))
        lines.append(QStringLiteral("and %1 more").arg(due.size() - dueNoticeNamed));

    return DueNotice{counts.join(QStringLiteral(" and ")), lines.join(u'\n')};
}

} // namespace app
