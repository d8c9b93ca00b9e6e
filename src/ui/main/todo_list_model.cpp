#include "ui/main/todo_list_model.h"

#include "db/date_text.h"

#include <QBrush>
#include <QColor>

#include <cmath>

#include <algorithm>
#include <numeric>

namespace ui {
namespace {

const std::array<const char*, ToDoListModel::kColumns> kHeaders = {
    "Priority", "Client or Project", "Thing To Do", "Start Date", "Deadline"};

// Urgent rows on the list's light cyan: a soft tint behind dark text keeps the contrast high
// and still reads as "look here". Overdue is rose with dark red text, due today amber.
const QColor kOverdueBackground(255, 205, 205);
const QColor kOverdueText(140, 0, 0);
const QColor kDueTodayBackground(255, 236, 160);
const QColor kDueTodayText(90, 60, 0);

Qt::Alignment alignment(int column) {
    // The first column is left-aligned, the others centred.
    return (column == 0 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter;
}

// The day of a stored date value.
std::optional<qint64> dayOf(std::optional<double> value) {
    if (!value)
        return std::nullopt;
    // Stored dates count days from 30 December 1899; the fraction is the time of day.
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(*value))).toJulianDay();
}

} // namespace

ToDoListModel::ToDoListModel(QObject* parent) : QAbstractTableModel(parent) {}

int ToDoListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

int ToDoListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ToDoListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(index.column()));
    case Qt::BackgroundRole:
        switch (urgency(index.row())) {
        case Urgency::Overdue:
            return QBrush(kOverdueBackground);
        case Urgency::DueToday:
            return QBrush(kDueTodayBackground);
        case Urgency::None:
            break;
        }
        return {};
    case Qt::ForegroundRole:
        switch (urgency(index.row())) {
        case Urgency::Overdue:
            return QBrush(kOverdueText);
        case Urgency::DueToday:
            return QBrush(kDueTodayText);
        case Urgency::None:
            break;
        }
        return {};
    default:
        return {};
    }
}

QVariant ToDoListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kHeaders[section]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(section));
    return {};
}

Qt::ItemFlags ToDoListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ToDoListModel::setText(int row, int column, const QString& text) {
    Row& target = m_rows.at(row);
    target.texts.at(column) = text;
    if (column >= kFirstDate)
        target.datesKnown.at(column - kFirstDate) = Known::No;
    cellChanged(row, column);
}

void ToDoListModel::setDate(int row, int column, const QString& text, std::optional<double> value) {
    Row& target = m_rows.at(row);
    target.texts.at(column) = text;
    target.keepDate(column - kFirstDate, value);
    cellChanged(row, column);
}

std::optional<double> ToDoListModel::dateValue(int row, int column) const {
    const Row& target = m_rows.at(row);
    if (target.datesKnown.at(column - kFirstDate) != Known::No)
        return target.keptDate(column - kFirstDate);
    return db::dateFromText(target.texts.at(column));
}

void ToDoListModel::cellChanged(int row, int column) {
    if (column == 4)
        m_rows.at(row).deadlineDayKnown = Known::No;
    if (!m_bulk) {
        // Column 5 decides the colour of the whole row.
        const QModelIndex first = index(row, column == 4 ? 0 : column);
        emit dataChanged(first, index(row, column));
    }
}

void ToDoListModel::reserve(int count) {
    if (count > 0)
        m_rows.reserve(m_rows.size() + static_cast<std::size_t>(count));
}

void ToDoListModel::append(const QString& column1) {
    const int row = size();
    if (!m_bulk)
        beginInsertRows({}, row, row);
    Row added;
    added.texts[0] = column1;
    m_rows.push_back(std::move(added));
    m_current = row;
    if (!m_bulk)
        endInsertRows();
}

void ToDoListModel::removeAt(int row) {
    if (row < 0 || row >= size())
        return;
    if (!m_bulk)
        beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    if (m_current == row)
        m_current = -1;
    else if (m_current > row)
        --m_current;
    if (!m_bulk)
        endRemoveRows();
}

void ToDoListModel::clear() {
    if (!m_bulk)
        beginResetModel();
    m_rows.clear();
    m_current = -1;
    if (!m_bulk)
        endResetModel();
}

void ToDoListModel::swapTexts(int rowA, int rowB, int column) {
    Row& a = m_rows.at(rowA);
    Row& b = m_rows.at(rowB);
    std::swap(a.texts.at(column), b.texts.at(column));
    if (column >= kFirstDate) {
        const std::size_t i = static_cast<std::size_t>(column - kFirstDate);
        std::swap(a.dates.at(i), b.dates.at(i));
        std::swap(a.datesKnown.at(i), b.datesKnown.at(i));
    }
    if (column == 4) {
        std::swap(a.deadlineDay, b.deadlineDay);
        std::swap(a.deadlineDayKnown, b.deadlineDayKnown);
    }
    if (!m_bulk) {
        emit dataChanged(index(rowA, 0), index(rowA, kColumns - 1));
        emit dataChanged(index(rowB, 0), index(rowB, kColumns - 1));
    }
}

void ToDoListModel::sortByColumn(int column, Qt::SortOrder order) {
    const int count = size();
    // Case-folded keys once, then plain comparisons: the same order as a case-insensitive
    // compare, at a fraction of its cost on long lists.
    std::vector<QString> keys;
    keys.reserve(count);
    for (const Row& row : m_rows)
        keys.push_back(row.texts[column].toCaseFolded());
    std::vector<int> order0(count);
    std::iota(order0.begin(), order0.end(), 0);
    if (order == Qt::AscendingOrder) {
        std::stable_sort(order0.begin(), order0.end(),
                         [&keys](int a, int b) { return keys[a] < keys[b]; });
    } else {
        std::stable_sort(order0.begin(), order0.end(),
                         [&keys](int a, int b) { return keys[b] < keys[a]; });
    }

    if (!m_bulk)
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPosition(count);
    std::vector<Row> sorted;
    sorted.reserve(count);
    for (int i = 0; i < count; ++i) {
        newPosition[order0[i]] = i;
        sorted.push_back(std::move(m_rows[order0[i]]));
    }
    m_rows = std::move(sorted);
    if (m_current >= 0)
        m_current = newPosition[m_current];
    if (!m_bulk) {
        // Selection and the view's current index follow their rows.
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& old : before)
            after.append(index(newPosition[old.row()], old.column()));
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
}

void ToDoListModel::beginBulkAppend() {
    if (m_bulk)
        return;
    beginResetModel();
    m_bulk = true;
}

void ToDoListModel::endBulkAppend() {
    if (!m_bulk)
        return;
    m_bulk = false;
    endResetModel();
}

ToDoListModel::Urgency ToDoListModel::urgency(int row) const {
    const Row& target = m_rows.at(row);
    if (target.deadlineDayKnown == Known::No) {
        const std::optional<qint64> day = dayOf(dateValue(row, 4));
        target.deadlineDayKnown = day ? Known::Value : Known::NoValue;
        target.deadlineDay = day.value_or(0);
    }
    if (target.deadlineDayKnown == Known::NoValue)
        return Urgency::None;
    const qint64 deadline = target.deadlineDay;
    const qint64 today = m_today.value_or(QDate::currentDate()).toJulianDay();
    if (deadline < today)
        return Urgency::Overdue;
    if (deadline == today)
        return Urgency::DueToday;
    return Urgency::None;
}

} // namespace ui
