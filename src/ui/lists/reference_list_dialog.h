// The reference-list dialogs (frmClient, frmActivity, frmProject): one window design, three
// configurations. Each shows every entry of its table in a sorted list, adds the entry typed
// in its box or boxes, deletes the entries selected in the list, prints the list, and on Done
// rebuilds its member of the hidden reference lists (app::referenceLists()).
//
// The dialog is modal over the main window and always covers the main window's rectangle: on
// every resize, its first showing included, it takes the main window's outer left, top, width
// and height, then places its controls in twips from its inner area (below the menu bar). A
// control whose size would come out negative keeps its last place; the others are still placed.
//
// The database file is held open from Opening until the dialog closes (db::ReferenceTable
// says how), and Add and Delete write at once, the table first: the list changes only when the
// table did, so the two always agree.
//
// Choices of these dialogs:
// - The list sorts ignoring letter case ("smith, ann" beside "Smith, Bob"); entries equal but
//   for case sort capitals first. Equal entries may stand twice.
// - Names are trimmed of all white space at either end (blanks, and tabs pasted in).
// - The entry boxes refuse a key or a paste after which the entry would not fit the table's
//   field (150 characters in a file of ours; a client's last name, ", " and first name
//   together), so Add never meets a text the file cannot hold.
// - A text box is never less high than its text needs: where the layout's height would clip
//   the text, the box takes its natural height, which still fits inside its frame.
// - Errors of the database during Add and Delete are shown as the command's prefix followed by
//   the description, whether the command came from the menu, the toolbar or a key; nothing is
//   written, the list is unchanged and the boxes keep what was typed. An error during Opening
//   is thrown, and the Lists menu item reports it; no dialog opens.
// - A file that cannot be written (read-only, or another program writing it) still opens: the
//   list can be read and printed, and each Add or Delete reports why it cannot write.
// - Enter and Escape do only what each box's rule says; elsewhere they do nothing. The close
//   box closes as Return does.
// - Print List of an empty list makes an empty document, which writes no file.
#pragma once

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

#include "db/routines.h"

class QAction;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QToolBar;

namespace db {
class ReferenceTable;
}

namespace ui {

/// What a key does in one of the dialog's controls.
enum class KeyCommand { None, Add, Return, Done };

/// What tells the three dialogs apart: texts, table, refusal rules and key rules.
struct ReferenceListConfig {
    /// The window's class name and caption.
    const char* name;
    const char* caption;
    /// The table and its field; the list shows exactly the stored values.
    const char* table;
    const char* field;
    /// Frame1 and the box Text1 inside it: the first name for clients, the entry for the others.
    const char* firstFrame;
    const char* firstToolTip;
    /// Frame2 and Text2, the last name; nullptr for a dialog with one box.
    const char* secondFrame;
    const char* secondToolTip;
    /// The frame holding List1 (Frame3 with two boxes, Frame2 with one) and List1's tooltip.
    const char* listFrame;
    const char* listToolTip;
    /// The toolbar buttons' tooltips, for the keys "Back", "Redo", "Delete", "Print", "Forward".
    std::array<const char*, 5> toolTips;
    /// Add refused: the message for an empty entry (with two boxes: either name empty) and,
    /// when set, the message for an entry containing ", " as typed.
    const char* emptyRefusal;
    const char* clientMarkRefusal;
    /// Enter and Escape in Text1 and in Text2.
    KeyCommand enterInFirst, escapeInFirst, enterInSecond, escapeInSecond;
    /// The member of the hidden reference lists that Done rebuilds.
    QStringList db::ReferenceLists::*member;
    /// Done also replaces the activity list of each open item dialog.
    bool refreshesActivityLists;
    /// The print-out's document name.
    const char* documentName;
    /// Put before the description of a database error in Add and Delete.
    const char* addFailed;
    const char* deleteFailed;
};

class ReferenceListDialog : public QDialog {
    Q_OBJECT
public:
    ~ReferenceListDialog() override;

    const ReferenceListConfig& config() const { return m_config; }

    // The commands on the dialog's menu bar, in this order.
    QAction* mnuReturn = nullptr;
    QAction* mnuAdd = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuDone = nullptr;
    /// Each button's data() is its key: "Back", "Redo", "Delete", "Print", "Forward".
    QToolBar* Toolbar1 = nullptr;
    QHash<QString, QIcon> imlToolbarIcons;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    /// With two boxes, the frame of Text2; with one, the frame of the list.
    QGroupBox* Frame2 = nullptr;
    /// The last-name box; nullptr with one box.
    QLineEdit* Text2 = nullptr;
    /// The list's frame with two boxes; nullptr with one.
    QGroupBox* Frame3 = nullptr;
    /// Sorted, extended selection (Ctrl-click adds an entry to the selection).
    QListWidget* List1 = nullptr;

    /// The entries of List1 in list order.
    QStringList entries() const;

    // Commands. Add and Delete report database errors themselves; none of them throws.
    void Return();
    void Add();
    void Delete();
    void PrintList();
    void Done();
    /// Runs the command of the button with `key`; another key does nothing.
    void Toolbar1_ButtonClick(const QString& key);

    /// Closes the dialog and releases the database file.
    void done(int result) override;

protected:
    /// Builds the dialog and runs Opening (loads the list from the table, holding the file
    /// open). Throws what Opening throws. `parent`: the main window, or nullptr.
    ReferenceListDialog(const ReferenceListConfig& config, QWidget* parent);

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void Form_Load();
    /// The entry boxes refuse typing or pasting past what the table's field holds.
    void limitEntries();
    void Form_Resize();
    void placeControls();
    void run(KeyCommand command);
    /// The entry Add would store, or an empty text after showing why it is refused.
    QString acceptedEntry();
    /// Gives the keyboard back to the control that had it before a shared access key took it
    /// to the menu bar.
    void leaveMenuBar();
    QGroupBox* listFrame() const { return Frame3 != nullptr ? Frame3 : Frame2; }
    /// Runs `change` on the open table with the busy pointer; a failure is shown as
    /// `failurePrefix` followed by its description. Returns whether it succeeded.
    bool write(const char* failurePrefix, const std::function<void(db::ReferenceTable&)>& change);

    const ReferenceListConfig& m_config;
    QMenuBar* m_menuBar = nullptr;
    /// The inner area below the menu bar, where the layout's twips are measured.
    QWidget* m_area = nullptr;
    QPointer<QWidget> m_focusBeforeMenu;
    std::unique_ptr<db::ReferenceTable> m_table;
};

} // namespace ui
