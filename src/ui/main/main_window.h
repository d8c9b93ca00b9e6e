// The main window: the to-do list of the file in use, its menus and its toolbar, and the item
// commands (Add, Edit, Delete, Exit) with the Lists and Help commands.
//
// The list presents the session's items (app::ItemStore); every command acts on them there.
//
// Presentation choices of the list:
// - One whole row is selected at a time; nothing is selected after loading. No grid lines, no
//   editing in place.
// - Rows stay in loading order until a column header is clicked. The first click on a column
//   sorts ascending, a second click on the same column descending, and so on.
// - Sorting compares texts character by character and ignores letter case ("smith, ann"
//   next to "Smith, Bob"), so dates and numbers sort by their characters. Rows with equal texts
//   keep their order.
// - Sorting reorders the items themselves. Items appended or changed later (the item dialogs,
//   the drag-to-swap gesture) stay where they are until the next header click. Taking up
//   another file (the store emptied) makes the list unsorted again.
// - Rows whose deadline has passed are tinted rose, rows due today amber.
//
// The list and its file: when the start-up could not load the items (app::loadItems: the file
// is missing because its creation failed, or it cannot be read), the window opens with an empty
// list that is not loaded (app::ItemStore).
// Exit that fails shows its message. For a list that was never loaded there is nothing to lose,
// and the program ends (the window position is still saved). Otherwise the user is asked
// whether to close without storing the list, No being the default: No keeps the window open
// with its list, Yes ends the program, so a file that has gone or become read-only cannot hold
// the program open for ever.
//
// Its saved position: the window takes its saved position when it first appears, again each
// time a window of ours closes and hands it the focus (a dialog opened by one of its commands,
// or any window in ui::WindowRegistry), and each time the user comes back to it from a window
// of ours that stays open (the Add dialog, the About box, the browser). Activations from
// outside (a return from another program, a message box closing) leave it where the user put
// it.
//
// The find bar: Ctrl+F opens a bar under the toolbar (the list moves down by its height) and
// puts the keyboard in its box; typing there hides the rows none of whose five texts contains
// the text typed, ignoring letter case (ui/main/item_filter.h). Escape in the box closes the bar
// and shows every row again. Hidden rows are not touched: Delete, Exit, the drag-to-swap gesture
// and sorting act on every item exactly as without a filter; Print prints the rows shown. The
// bar adds no menu item and changes no key of the list: Enter and Escape there still run Exit.
//
// Other choices:
// - Closing the window runs Exit; a close refused by Exit leaves the window open. The window
//   lets go of the hold on the file in use as it closes, also when Exit failed and the user
//   chose to close without storing.
// - The menu items and the Delete key report errors of Delete, Edit, Add and the window
//   commands with a message; the toolbar ignores them. Nothing is selected after Delete.
// - Keys in the list are judged by their virtual-key and character codes
//   (ui/common/key_codes.h): only Delete (46, the keypad's Del included) deletes.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>

#include "db/todo_item.h"

class QAction;
class QLineEdit;
class QMenu;
class QToolBar;
class QWindow;

namespace app {
class Session;
}

namespace ui {

class ItemFilter;
class ItemListModel;
class ItemListView;
struct WindowOpeners;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    /// The name the window's position is kept under in the settings.
    static const QString kPositionTag;

    /// Creates the window on first use and shows it modeless, over the session's items as they
    /// are (the start-up loads them: app::loadItems); an open window is brought forward.
    static MainWindow* showWindow(app::Session& session);

    ~MainWindow() override;

    app::Session& session() { return m_session; }

    /// "Tarnwick - " followed by `path`.
    void showDatabaseInTitle(const QString& path);
    /// The selected row (from 0), -1 when none is selected.
    int selectedRow() const;
    /// Selects row `row`; -1 clears the selection.
    void selectRow(int row);
    /// Puts the window back at its saved position now when it is the active window, otherwise
    /// at its next activation. Called when a window of ours closes and hands the focus back.
    void restorePositionAfterDialog();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit MainWindow(app::Session& session);
    void createMenus();
    void createToolbar();
    void createList();
    void createFindBar();
    /// Opens the find bar with the keyboard in its box; the filter follows what is typed.
    void openFindBar();
    /// Closes the find bar and shows every row again.
    void closeFindBar();
    /// Shows only the rows that hold `text` (all for the empty text).
    void filterRows(const QString& text);
    /// The list's index of the item at `row`, invalid when the find bar hides it; and the other
    /// way round, -1 for an invalid index.
    QModelIndex shownIndex(int row) const;
    int itemRow(const QModelIndex& shown) const;
    /// The items as the list shows them: all, or those the find bar leaves shown.
    std::vector<db::ToDoItem> shownItems() const;
    void load();
    void applyResizeRule();
    void restorePosition();
    void fillRecentEntries();
    /// The row under `position` (viewport coordinates), -1 for none.
    int rowAt(const QPoint& position) const;
    /// Notes where the focus went; the window taking it from a window of ours restores the
    /// saved position.
    void focusMovedTo(QWindow* window);

    // The commands, reached from the menus, the toolbar and the keys (the tables in
    // main_window.cpp). Those without an error trap of their own throw; their callers decide.
    void addItem();
    void editSelectedItem();
    void deleteSelectedItem();
    /// Stores the items, saves the window position and closes every window. Reports a failure
    /// itself ("There was an error in exiting the program: " + description); then a list that
    /// was never loaded ends the program all the same, and a loaded one asks whether to close
    /// without storing it. Returns false when the program stays open.
    bool exit();
    /// After Exit failed: whether to end the program all the same.
    bool closeAfterFailedExit(bool itemsStored);
    /// Saves the position and closes every window once Exit has decided to end without stored
    /// items; errors are ignored, since nothing more can be done about them.
    void leaveWithoutStoring();
    void newDatabase();
    void openDatabase();
    void openRecentDatabase(int entry);
    void chooseProgramFont();
    void choosePrintFont();
    void printItems();
    void headerClicked(int column);
    void listKeyDown(int keyCode);
    void listKeyPress(int charCode);
    void listMouseDown(const QPoint& position);
    void listMouseUp(const QPoint& position);
    /// Opens a window through its entry in ui::windowOpeners(); an empty entry does nothing. A
    /// modal one hands the focus back to this window at its saved position when it closes.
    void openWindow(std::function<void()> WindowOpeners::*opener, bool modal);
    /// A modal window opened by a command has closed: this window is the active window again,
    /// as the desktop normally makes it, at its saved position.
    void returnFromModal();

    app::Session& m_session;
    QWidget* m_clientArea = nullptr;
    QToolBar* m_toolbar = nullptr;
    ItemListModel* m_model = nullptr;
    /// The rows the find bar leaves shown; null while it hides none.
    ItemFilter* m_filter = nullptr;
    ItemListView* m_list = nullptr;
    QWidget* m_findBar = nullptr;
    QLineEdit* m_findBox = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    QAction* m_closingSeparator = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_exitAction = nullptr;
    /// The recently used database entries; each one's data() is its path.
    std::array<QAction*, 6> m_recentEntries{};

    /// The rows under the pointer at the last button press and release in the list, from 1,
    /// 0 before the first. They are 16-bit: a row past 32767 leaves them unchanged.
    qint16 m_pressRow = 0;
    qint16 m_releaseRow = 0;
    /// The column last sorted by (none before the first header click, and after the items were
    /// replaced) and its direction.
    std::optional<db::Column> m_sortColumn;
    bool m_sortDescending = false;
    /// The next activation restores the saved position (the first one, and one that follows a
    /// window of ours closing).
    bool m_restorePending = true;
    /// Exit has decided to end without storing the items: closing the window runs no Exit.
    bool m_leaving = false;
    /// The registered window of ours that last had the focus, or null when the focus was last
    /// elsewhere (another program, a message box, nowhere).
    QPointer<QWidget> m_focusBefore;
};

} // namespace ui
