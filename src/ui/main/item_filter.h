// The rows the main list shows while its find bar is open: the items one of whose five texts,
// as the list shows them, contains the text sought, ignoring letter case. The items themselves
// are not touched: a row the filter hides is still in the store, so Delete, Exit, the
// drag-to-swap gesture and sorting act on every item as if no filter were set.
#pragma once

#include <QSortFilterProxyModel>
#include <QString>

#include <map>
#include <utility>

namespace app {
class ItemStore;
}

namespace ui {

class ItemFilter final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    /// Filters the rows of `source`, the model that presents `store`.
    ItemFilter(const app::ItemStore& store, QAbstractItemModel& source, QObject* parent = nullptr);

    /// Shows only the items whose texts contain `text`; the empty text shows every item.
    void setSought(const QString& text);
    const QString& sought() const { return m_sought; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    const app::ItemStore& m_store;
    QString m_sought;
    /// Whether a date's text holds the text sought, by value and form: a long list's dates
    /// repeat, and each is made into text once per search.
    mutable std::map<std::pair<double, int>, bool> m_dateMatches;
};

} // namespace ui
