#include "app/item_store.h"

#include <algorithm>
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

void ItemStore::sort(db::Column column, bool descending) {
    // Case-folded keys once, then plain comparisons: the order of a case-insensitive compare at
    // a fraction of its cost on long lists.
    const int count = size();
    std::vector<QString> keys;
    keys.reserve(m_items.size());
    for (const db::ToDoItem& item : m_items)
        keys.push_back(db::itemText(item, column).toCaseFolded());
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
