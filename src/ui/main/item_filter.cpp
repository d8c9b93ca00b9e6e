#include "ui/main/item_filter.h"

#include "app/item_store.h"

namespace ui {

ItemFilter::ItemFilter(const app::ItemStore& store, QAbstractItemModel& source, QObject* parent)
    : QSortFilterProxyModel(parent), m_store(store) {
    setSourceModel(&source);
    // The store keeps the order; the filter only leaves rows out.
    setDynamicSortFilter(false);
}

void ItemFilter::setSought(const QString& text) {
    if (text == m_sought)
        return;
    m_sought = text;
    m_dateMatches.clear();
    invalidateRowsFilter();
}

bool ItemFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (m_sought.isEmpty() || sourceRow < 0 || sourceRow >= m_store.size())
        return true;
    const db::ToDoItem& item = m_store.at(sourceRow);
    auto holds = [this](const QString& text) {
        return text.contains(m_sought, Qt::CaseInsensitive);
    };
    if (holds(item.party) || holds(item.text) || holds(item.priority.text()))
        return true;
    for (const std::optional<db::ItemDate>& date : {item.startDate, item.deadline}) {
        if (!date)
            continue;
        const std::pair<double, int> key{date->days, static_cast<int>(date->form)};
        auto found = m_dateMatches.find(key);
        if (found == m_dateMatches.end())
            found = m_dateMatches.emplace(key, holds(date->text())).first;
        if (found->second)
            return true;
    }
    return false;
}

} // namespace ui
