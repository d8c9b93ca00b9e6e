// The main window: the to-do list of the open database file, its menus and its toolbar, and
// the item commands (Add, Edit, Delete, Exit) with the Lists and Help commands.
//
// The list view ListView1 is the only copy of the to-do items while the program runs. The
// window offers it to the database routines as a db::ToDoList, and to the other windows as a
// ui::MainList (ui/common/main_list.h): rows numbered from 1, columns 1 (priority) to 5
// (deadline).
//
// Presentation choices of the list:
// - One whole row is selected at a time; nothing is selected after loading. No grid lines, no
//   editing in place.
// - Rows stay in loading order until a column header is clicked. The first click on a column
//   sorts ascending, a second click on the same column descending, and so on.
// - Sorting compares texts character by character and ignores letter case ("smith, ann"
//   next to "Smith, Bob"), so dates and numbers sort by their characters. Rows with equal texts
//   keep their order.
// - Sorting reorders the rows themselves. Rows appended or changed later (the item dialogs,
//   the drag-to-swap gesture) stay where they are until the next header click. Emptying the
//   list (another database file taken up) makes it unsorted again.
// - Rows whose deadline has passed are tinted rose, rows due today amber.
//
// The list and its file:
// - The list is "loaded" when it holds the items of the file at CurrentDatabasePath. A load
//   step that cannot read them (the file is missing because its creation failed, or it cannot
//   be read) leaves the window open with an empty list that is not loaded; a file that exists
//   but cannot be read is reported by message. Delete and Exit store only a loaded list, so
//   items that were never read are never overwritten by an empty list.
// - Exit that fails shows its message. For a list that was never loaded there is nothing to
//   lose, and the program ends (the window position is still saved). Otherwise the user is
//   asked whether to close without storing the list, No being the default: No keeps the
//   window open with its list, Yes ends the program, so a file that has gone or become
//   read-only cannot hold the program open for ever.
//
// Its saved position: the window takes its saved position when it first appears, again each
// time a window of ours closes and hands it the focus (a dialog opened by one of its commands,
// or any window in ui::WindowRegistry), and each time the user comes back to it from a window
// of ours that stays open (the Add dialog, the About box, the browser). Activations from
// outside (a return from another program, a message box closing) leave it where the user put
// it.
//
// Other choices:
// - Closing the window runs Exit; a close refused by Exit leaves the window open. The window
//   lets go of the hold on the file in use (app::databaseHold()) as it closes, also when Exit
//   failed and the user chose to close without storing.
// - The menu item and Delete key report errors of Delete, Edit, Add and the window commands
//   with a message; the toolbar ignores them. Nothing is selected after Delete.
// - Keys in the list are judged by their virtual-key and character codes
//   (ui/common/key_codes.h): only Delete (46, the keypad's Del included) deletes.
#pragma once

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QPointer>

#include <array>

#include "ui/common/main_list.h"

class QAction;
class QMenu;
class QToolBar;
class QWindow;

namespace ui {
class ToDoListModel;
class ToDoListView;
} // namespace ui

class frmToDo final : public QMainWindow, public ui::MainList {
    Q_OBJECT
public:
    /// The window's show operation: creates the window on first use (running its load step)
    /// and shows it modeless; an open window is brought forward.
    static frmToDo* showWindow();

    ~frmToDo() override;

    // db::ToDoList: rows 1..rowCount(), columns 1..5.
    void appendRow(const QString& column1) override;
    void expectRows(int count) override;
    void setCurrentRowCell(int column, const QString& text) override;
    int rowCount() const override;
    QString cellText(int row, int column) const override;
    /// The model's own text, without a copy; `scratch` is not used.
    QStringView cellTextView(int row, int column, QString& scratch) const override;
    /// Date columns keep their stored values beside their texts (ui::ToDoListModel).
    void setCurrentRowDate(int column, const QString& text, std::optional<double> value) override;
    std::optional<double> cellDate(int row, int column) const override;

    // ui::MainList: the selected row's index (0 for none); removing a row that is not there
    // removes nothing.
    int selectedIndex() const override;
    void removeRow(int row) override;

    /// Removes every row. The list is then unsorted: rows appended next stay in their order
    /// and no column shows a sort mark until a header is clicked.
    void clearRows();
    /// Appends the rows of the database at CurrentDatabasePath (db::LoadToDoItems), announced
    /// to the view at once at the end, and marks the list loaded. On failure the list is left
    /// empty and not loaded, and the error is thrown.
    void loadRows();
    /// Whether the list holds the items of the file at CurrentDatabasePath (see the top of this
    /// file). A command that makes the list stand for a file without loading it (a new, empty
    /// database) sets it.
    bool listLoaded() const { return m_listLoaded; }
    void setListLoaded(bool loaded) { m_listLoaded = loaded; }
    /// RewriteToDoItems for a loaded list; for a list that is not loaded, throws instead.
    void storeRows();
    /// Puts the window back at its saved position now when it is the active window, otherwise
    /// at its next activation. Called when a window of ours closes and hands the focus back.
    void restorePositionAfterDialog();
    /// Selects row `row` (1-based); 0 clears the selection.
    void selectRow(int row);
    /// The current row's index, 0 when there is none.
    int currentIndex() const;
    /// The index of the row under the pointer at the last button press and release in the
    /// list, 0 before the first. They are 16-bit: a row past 32767 leaves them unchanged.
    qint16 pressIndex() const { return m_pressIndex; }
    qint16 releaseIndex() const { return m_releaseIndex; }

    /// "Tarnwick - " followed by `path`.
    void showDatabaseInTitle(const QString& path);
    /// The list's font: family `name`, `size` in points as text (the user's locale or C
    /// form). A size that is not a positive number leaves the size as it is.
    void setListFont(const QString& name, const QString& size);

    ui::ToDoListModel& listModel() { return *m_model; }

    // The window's controls, named as the rest of the program refers to them.
    QMenu* mnuFile = nullptr;
    QAction* mnuNewToDoDatabase = nullptr;
    QAction* mnuOpenToDoDatabase = nullptr;
    QAction* mnuSeparator2 = nullptr;
    QMenu* mnuFonts = nullptr;
    QAction* mnuProgramFont = nullptr;
    QAction* mnuPrintFont = nullptr;
    QAction* mnuSeparator = nullptr;
    /// The recently used database entries; each one's data() is its path.
    std::array<QAction*, 6> mnuFileName{};
    QAction* mnuSeparator4 = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuAddItem = nullptr;
    QAction* mnuDeleteItem = nullptr;
    QAction* mnuEditItem = nullptr;
    QMenu* mnuLists = nullptr;
    QAction* mnuActivities = nullptr;
    QAction* mnuClients = nullptr;
    QAction* mnuProjects = nullptr;
    QAction* mnuPrint = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuVellumtide = nullptr;
    QAction* mnuVisit = nullptr;
    QAction* mnuAbout = nullptr;
    /// The toolbar; each button's data() is its key ("New", "Open", ..., "Help").
    QToolBar* Toolbar1 = nullptr;
    /// The toolbar's pictures, each under its button's key.
    QHash<QString, QIcon> imlToolbarIcons;
    ui::ToDoListView* ListView1 = nullptr;

    // Commands, reached from the menus, the toolbar and the keys (the tables in
    // frm_todo.cpp). Those without an error trap of their own throw; their callers decide.
    void AddItem();
    void EditSelectedItem();
    void DeleteSelectedItem();
    /// Rewrites the table, saves the window position and unloads every window. Reports a
    /// failure itself ("There was an error in exiting the program: " + description); then
    /// a list that was never loaded ends the program all the same, and a loaded one asks
    /// whether to close without storing it. Returns false when the program stays open.
    bool Exit();
    // The commands with a trap of their own.
    /// The database file commands (ui/main/database_commands.h); `index` names a recently
    /// used entry, 0 to 5.
    void mnuNewToDoDatabase_Click();
    void mnuOpenToDoDatabase_Click();
    void mnuFileName_Click(int index);
    /// The font commands (app/font_commands.h), the program font re-fonting ListView1 at once.
    /// Cancel and errors end them without a message.
    void mnuProgramFont_Click();
    void mnuPrintFont_Click();
    void mnuPrint_Click();
    void mnuExit_Click();

    // Event handlers.
    /// Runs the command of the button with `key`; an unknown key does nothing. Errors are
    /// ignored.
    void Toolbar1_ButtonClick(const QString& key);
    /// `column` is 1-based.
    void ListView1_ColumnClick(int column);
    void ListView1_KeyDown(int keyCode);
    void ListView1_KeyPress(int charCode);
    void ListView1_MouseDown(const QPoint& position);
    void ListView1_MouseUp(const QPoint& position);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    /// The text the model holds at row `row`, column `column` (both from 1); throws
    /// std::out_of_range ("Index out of bounds.") outside the list.
    const QString& heldText(int row, int column) const;
    frmToDo();
    void createMenus();
    void createToolbar();
    void createList();
    void Form_Load();
    void Form_Resize();
    void resizeRule();
    void Form_Activate();
    /// The load step's rows: loadRows(), a failure reported when the file exists.
    void loadRowsAtStart();
    /// After Exit failed: whether to end the program all the same.
    bool closeAfterFailedExit(bool rowsStored);
    /// Saves the position and unloads every window once Exit has decided to end without a
    /// stored list; errors are ignored, since nothing more can be done about them.
    void leaveWithoutStoring();
    void fillRecentEntries();
    /// The row under `position` (viewport coordinates), 1-based, 0 for none.
    int rowAt(const QPoint& position) const;

    QWidget* m_clientArea = nullptr;
    ui::ToDoListModel* m_model = nullptr;
    qint16 m_pressIndex = 0;
    qint16 m_releaseIndex = 0;
    /// Notes where the focus went; the main window taking it from a window of ours restores
    /// the saved position.
    void focusMovedTo(QWindow* window);
    /// The registered window of ours that last had the focus, or null when the focus was last
    /// elsewhere (another program, a message box, nowhere).
    QPointer<QWidget> m_focusBefore;
    /// The list's sort state: the column last sorted by (0 before the first header click,
    /// when the list is not sorted) and its direction.
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_listLoaded = false;
    /// The next activation restores the saved position (the first one, and one that follows
    /// a window of ours closing).
    bool m_restorePending = true;
    /// Exit has decided to end without storing the list: closing the window runs no Exit.
    bool m_leaving = false;
};
