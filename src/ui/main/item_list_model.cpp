#include "ui/main/item_list_model.h"

#include <QBrush>
#include <QColor>

#include <array>

#include "app/item_store.h"

namespace ui {
namespace {

const std::array<const char*, db::kColumnCount> kHeaders = {
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

} // namespace

ItemListModel::ItemListModel(app::ItemStore& store, QObject* parent)
    : QAbstractTableModel(parent), m_store(store) {
    connect(&store, &app::ItemStore::aboutToReset, this, [this] { beginResetModel(); });
    connect(&store, &app::ItemStore::reset, this, [this] { endResetModel(); });
    connect(&store, &app::ItemStore::aboutToInsert, this,
            [this](int row) { beginInsertRows({}, row, row); });
    connect(&store, &app::ItemStore::inserted, this, [this] { endInsertRows(); });
    connect(&store, &app::ItemStore::aboutToRemove, this,
            [this](int row) { beginRemoveRows({}, row, row); });
    connect(&store, &app::ItemStore::removed, this, [this] { endRemoveRows(); });
    connect(&store, &app::ItemStore::changed, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, db::kColumnCount - 1)); });
    connect(&store, &app::ItemStore::aboutToReorder, this,
            [this] { emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint); });
    connect(&store, &app::ItemStore::reordered, this, [this](const std::vector<int>& newRowOf) {
        // Selection and the views' current indexes follow their rows.
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& old : before)
            after.append(index(newRowOf.at(static_cast<std::size_t>(old.row())), old.column()));
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    });
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_store.size();
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : db::kColumnCount;
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_store.size())
        return {};
    const db::ToDoItem& item = m_store.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return db::itemText(item, static_cast<db::Column>(index.column()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(index.column()));
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: {
        const bool background = role == Qt::BackgroundRole;
        switch (urgency(item)) {
        case app::Urgency::Overdue:
            return QBrush(background ? kOverdueBackground : kOverdueText);
        case app::Urgency::DueToday:
            return QBrush(background ? kDueTodayBackground : kDueTodayText);
        case app::Urgency::None:
            break;
        }
        return {};
    }
    default:
        return {};
    }
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= db::kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kHeaders[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(section));
    return {};
}

Qt::ItemFlags ItemListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

app::Urgency ItemListModel::urgency(const db::ToDoItem& item) const {
    return app::urgencyOf(item, QDate::currentDate());
}

} // namespace ui
