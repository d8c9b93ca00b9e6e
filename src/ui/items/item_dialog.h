// What the Add item and the Edit item dialogs share: the "&Return" and "&Done" commands on the
// menu bar and on the toolbar, the priority buttons, the deadline picker, the activity list,
// the placement by the main window, and how a database failure is shown.
//
// Layout: each dialog gives its controls' places in twips within its client area, the part of
// the window below the menu bar, with the toolbar along its top edge. The window has a fixed
// size. The labels, the frame and the priority buttons use "MS Sans Serif" (8 points, or the
// desktop's stand-in for that family); the lists and text boxes each dialog names take the
// program font; the activity list keeps the dialog's font.
//
// The activity list: F3 in the dialog's text box opens it over the whole client area with the
// focus; Enter or Escape there puts the activity phrase in place of the text box's selected
// text (at the caret when none is selected) and hides the list, and the focus goes back to the
// text box. The phrase is a blank followed by the selected activity, or empty when none is
// selected. A double click on an activity takes it as Enter does. Other keys do what a list
// does (move the selection, find an entry by its first letter); the first arrow key in a list
// without a selection selects its first entry. When the Activities dialog closes with Done
// (app::Session::activitiesChanged), the list takes its entries.
//
// Ending: Return closes without writing; Escape in the text box whose rule says so and the
// window's close box run Return too. Escape anywhere else (a list, a priority button, the
// picker) does nothing: one stray key must not throw away what was entered. Done writes and
// closes, or shows why not and stays open with everything entered. The menu items, toolbar
// buttons and keys all run the same Return and Done; an error that escapes them is ignored
// (Done reports database failures itself).
#pragma once

#include <QDialog>
#include <QRectF>
#include <QStringList>

#include <array>
#include <functional>

#include "db/todo_item.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace app {
class Session;
}

namespace ui {

class DatePicker;

/// Places of the shared controls, in twips: left/top/width/height, or left/top for labels.
struct ItemDialogLayout {
    double clientWidth;
    double clientHeight;
    QRectF frame;
    QPointF deadlineLabel;
    QRectF deadlinePicker;
    QPointF textLabel;
};

class ItemDialog : public QDialog {
    Q_OBJECT
public:
    ~ItemDialog() override;

protected:
    /// Builds the window `name` with `caption` and the shared controls at their places in
    /// `layout`. The dialog adds its own controls to clientArea().
    ItemDialog(app::Session& session, const char* name, const QString& caption,
               const ItemDialogLayout& layout);

    /// Return: closes the dialog without writing anything.
    virtual void discard() = 0;
    /// Done: writes the item and closes the dialog, or stays open with a message.
    virtual void storeItem() = 0;

    app::Session& session() const { return m_session; }
    QWidget* clientArea() const { return m_clientArea; }
    DatePicker& deadlinePicker() const { return *m_deadlinePicker; }
    QLabel& textLabel() const { return *m_textLabel; }
    QRadioButton* priorityButton(int index) const { return m_priorityButtons.at(index); }
    /// A label at (`left`, `top`) twips in the client area, sized to its text.
    QLabel* addLabel(const char* name, const QString& text, QPointF place);
    /// Gives `control` its place in twips in its parent.
    static void place(QWidget& control, const QRectF& twips);

    /// The priority: the caption of the first selected priority button, or the empty text
    /// when none is selected.
    QString selectedPriority() const;
    /// Selects the button captioned `priority` ("1" to "5"); any other text selects none.
    void selectPriority(const QString& priority);

    /// Makes `list` the activity list for the text box `target` (see the top of this file).
    void setUpActivityList(QListWidget& list, QLineEdit& target);
    /// Fills the activity list from `activities` read from the table; when there are none, the
    /// list stays as it is.
    void fillActivityList(const QStringList& activities);

    /// Key rules of a text box: Enter runs Done, Escape runs Return when `escapeReturns` and
    /// does nothing otherwise, and F3 opens the activity list when this box is its target.
    void watchTextBox(QLineEdit& box, bool escapeReturns);

    /// Places the window 200 twips right of and below the main window's top-left corner.
    void placeByMainWindow();
    /// Ends the dialog: hides and destroys it (Return and Done, once they are through).
    void closeDialog();

    /// Shows that the file could not be read or written: `what` + ".  Error description: " +
    /// the current exception's description. Call from a catch block.
    static void reportDatabaseError(const QString& what);
    /// Runs `write` on the file in use. When it fails, says that the item could not be stored
    /// there and that what was entered is still in the window, and returns false.
    bool writeItem(const std::function<void(const QString& path)>& write);
    /// `item` as the list shows it: a client or project of blanks only is no name.
    static db::ToDoItem asShown(db::ToDoItem item);

    /// The close box runs Return.
    void reject() override;
    /// Escape runs Return only where a text box's rule says so (watchTextBox); in a list, a
    /// priority button or the picker it does nothing, so that what was entered is not lost.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void replaceActivityList(const QStringList& activities);
    void showActivityList();
    void takeActivityPhrase();

    app::Session& m_session;
    QWidget* m_clientArea = nullptr;
    std::array<QRadioButton*, 5> m_priorityButtons{};
    DatePicker* m_deadlinePicker = nullptr;
    QLabel* m_textLabel = nullptr;
    QListWidget* m_activityList = nullptr;
    QLineEdit* m_activityTarget = nullptr;
    /// The target's selection (start, length) or caret (start, -1) when the list opened: the
    /// text box loses its selection with the focus.
    int m_targetStart = 0;
    int m_targetLength = -1;
    bool m_closing = false;
};

} // namespace ui
