#include "ui/main/item_list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include "ui/common/key_codes.h"

namespace ui {

ItemListView::ItemListView(QWidget* parent) : QTreeView(parent) {
    // The list sits on a background of its own colour; it needs no frame, and without one
    // the columns, which share the list's width, fit inside it.
    setFrameShape(QFrame::NoFrame);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    header()->setSectionResizeMode(QHeaderView::Interactive);
}

void ItemListView::mousePressEvent(QMouseEvent* event) {
    QPointer<ItemListView> self = this;
    QTreeView::mousePressEvent(event);
    if (self)
        emit mouseDown(event->position().toPoint());
}

void ItemListView::mouseReleaseEvent(QMouseEvent* event) {
    QPointer<ItemListView> self = this;
    QTreeView::mouseReleaseEvent(event);
    if (self)
        emit mouseUp(event->position().toPoint());
}

void ItemListView::keyPressEvent(QKeyEvent* event) {
    const int key = keys::virtualKeyCode(*event);
    const int character = keys::characterCode(*event);
    QPointer<ItemListView> self = this;
    emit keyDown(key);
    if (self && character != 0)
        emit keyPress(character);
    if (!self)
        return;
    // Delete, Enter and Escape are the main window's; other keys keep their usual meaning in
    // the list (moving through the rows, finding a row by its first letters).
    if (key == keys::kDelete || keys::typed(character) != keys::Typed::Other)
        event->accept();
    else
        QTreeView::keyPressEvent(event);
}

} // namespace ui
