// The main list's rows: the items of an app::ItemStore, five columns each, as the list shows
// them. The model holds nothing of its own: each text is made from the item when it is shown,
// and every change of the store reaches the views.
#pragma once

#include <QAbstractTableModel>

#include "app/due_notice.h"
#include "db/todo_item.h"

namespace app {
class ItemStore;
}

namespace ui {

class ItemListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ItemListModel(app::ItemStore& store, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// How the deadline of `item` stands against today.
    app::Urgency urgency(const db::ToDoItem& item) const;

private:
    app::ItemStore& m_store;
};

} // namespace ui
