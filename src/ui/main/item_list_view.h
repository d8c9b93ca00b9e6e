// The main window's list view: the to-do items in detail layout, one whole row selected at a
// time, not editable in place. It reports the pointer and key events the main window acts on.
#pragma once

#include <QTreeView>

namespace ui {

class ItemListView final : public QTreeView {
    Q_OBJECT
public:
    explicit ItemListView(QWidget* parent = nullptr);

signals:
    /// A mouse button went down or up over the rows area, at `position` in viewport
    /// coordinates. Emitted after the view has updated its selection.
    void mouseDown(const QPoint& position);
    void mouseUp(const QPoint& position);
    /// A key went down: its virtual-key code (ui/common/key_codes.h), 0 for a key without one.
    void keyDown(int keyCode);
    /// A character was typed: its character code (13 for Enter, 27 for Escape).
    void keyPress(int charCode);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace ui
