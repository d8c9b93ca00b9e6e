#include "app/item_store.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <stdexcept>

#include "db/routines.h"

namespace app {

ItemStore::ItemStore(QObject* parent) : QObject(parent) {}

void ItemStore::replaceAll(std::vector<db::ToDoItem> items, bool loaded) {
    emit aboutToReset();
    m_items = std::move(items);
    m_loaded = loaded;
    emit reset();
}

void ItemStore::load(const QString& path) {
    replaceAll({}, false);
    replaceAll(db::LoadToDoItems(path), true);
}

void ItemStore::clear(bool standsForFile) {
    replaceAll({}, standsForFile);
}

void ItemStore::store(const QString& path) const {
    if (!m_loaded)
        throw std::runtime_error((QStringLiteral("The to-do items of ") + path +
                                  QStringLiteral(" were never loaded, so the list was not "
                                                 "stored there."))
                                     .toStdString());
    db::RewriteToDoItems(path, m_items);
}

void ItemStore::append(db::ToDoItem item) {
    const int row = size();
    emit aboutToInsert(row);
    m_items.push_back(std::move(item));
    emit inserted(row);
}

void ItemStore::remove(int row) {
    if (row < 0 || row >= size())
        return;
    emit aboutToRemove(row);
    m_items.erase(m_items.begin() + row);
    emit removed(row);
}

void ItemStore::exchangeAllButPriority(int a, int b) {
    if (a < 0 || a >= size() || b < 0 || b >= size() || a == b)
        return;
    db::ToDoItem& first = m_items[static_cast<std::size_t>(a)];
    db::ToDoItem& second = m_items[static_cast<std::size_t>(b)];
    std::swap(first.party, second.party);
    std::swap(first.text, second.text);
    std::swap(first.startDate, second.startDate);
    std::swap(first.deadline, second.deadline);
    emit changed(a);
    emit changed(b);
}

namespace {

// The case-folded text `column` shows for each item: sorting compares these, which orders as a
// case-insensitive compare does at a fraction of its cost on long lists. Priorities and dates
// repeat down a long list, so each distinct one is made into text once.
std::vector<QString> sortKeys(const std::vector<db::ToDoItem>& items, db::Column column) {
    std::vector<QString> keys;
    keys.reserve(items.size());
    switch (column) {
    case db::Column::Party:
        for (const db::ToDoItem& item : items)
            keys.push_back(item.party.toCaseFolded());
        return keys;
    case db::Column::Text:
        for (const db::ToDoItem& item : items)
            keys.push_back(item.text.toCaseFolded());
        return keys;
    case db::Column::Priority:
    case db::Column::StartDate:
    case db::Column::Deadline:
        break;
    }
    std::map<std::pair<double, int>, QString> made; // (days or priority, form) to its key
    for (const db::ToDoItem& item : items) {
        std::pair<double, int> value{0, -1}; // no date
        if (column == db::Column::Priority) {
            if (item.priority.number() == 0) {
                keys.push_back(item.priority.text().toCaseFolded());
                continue;
            }
            value = {item.priority.number(), 0};
        } else if (const std::optional<db::ItemDate>& date =
                       column == db::Column::StartDate ? item.startDate : item.deadline) {
            value = {date->days, static_cast<int>(date->form)};
        }
        auto found = made.find(value);
        if (found == made.end())
            found = made.emplace(value, db::itemText(item, column).toCaseFolded()).first;
        keys.push_back(found->second);
    }
    return keys;
}

} // namespace

void ItemStore::sort(db::Column column, bool descending) {
    const int count = size();
    const std::vector<QString> keys = sortKeys(m_items, column);
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys, descending](int a, int b) {
        return descending ? keys[static_cast<std::size_t>(b)] < keys[static_cast<std::size_t>(a)]
                          : keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
    });

    emit aboutToReorder();
    std::vector<int> newRowOf(static_cast<std::size_t>(count));
    std::vector<db::ToDoItem> sorted;
    sorted.reserve(m_items.size());
    for (int row = 0; row < count; ++row) {
        const int old = order[static_cast<std::size_t>(row)];
        newRowOf[static_cast<std::size_t>(old)] = row;
        sorted.push_back(std::move(m_items[static_cast<std::size_t>(old)]));
    }
    m_items = std::move(sorted);
    emit reordered(newRowOf);
}

} // namespace app
