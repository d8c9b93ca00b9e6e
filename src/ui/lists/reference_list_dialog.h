// The reference-list dialogs (ui/lists/reference_lists.h): one window design, three
// configurations. Each shows every entry of its table in a sorted list, adds the entry typed
// in its box or boxes, deletes the entries selected in the list, and prints the list; the
// Activities dialog's Done hands its list to the open item dialogs.
//
// The dialog is modal over the main window and always covers the main window's rectangle: on
// every resize, its first showing included, it takes the main window's outer left, top, width
// and height, then places its controls in twips from its inner area (below the menu bar). A
// control whose size would come out negative keeps its last place; the others are still placed.
//
// The database file is held open from the opening until the dialog closes (db::ReferenceTable
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
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QMenuBar;

namespace app {
class Session;
}

namespace db {
class ReferenceTable;
}

namespace ui {

/// What a key does in one of the dialog's boxes.
enum class KeyCommand { None, Add, Return, Done };

/// What tells the three dialogs apart: texts, table, refusal rules and key rules.
struct ReferenceListConfig {
    /// The window's name and caption.
    const char* name;
    const char* caption;
    /// The table and its field; the list shows exactly the stored values.
    const char* table;
    const char* field;
    /// The first box's frame and tooltip: the first name for clients, the entry for the others.
    const char* firstFrame;
    const char* firstToolTip;
    /// The last name's frame and tooltip; nullptr for a dialog with one box.
    const char* secondFrame;
    const char* secondToolTip;
    /// The list's frame and tooltip.
    const char* listFrame;
    const char* listToolTip;
    /// The toolbar buttons' tooltips, for Return, Add, Delete, Print List and Done.
    std::array<const char*, 5> toolTips;
    /// Add refused: the message for an empty entry (with two boxes: either name empty) and,
    /// when set, the message for an entry containing ", " as typed.
    const char* emptyRefusal;
    const char* clientMarkRefusal;
    /// Enter and Escape in the first box and in the second.
    KeyCommand enterInFirst, escapeInFirst, enterInSecond, escapeInSecond;
    /// Done hands the list to the open item dialogs (app::Session::announceActivities).
    bool announcesActivities;
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

    /// Closes the dialog and releases the database file.
    void done(int result) override;

protected:
    /// Builds the dialog and runs its opening (loads the list from the table, holding the file
    /// open). Throws what the opening throws. `parent`: the main window, or nullptr.
    ReferenceListDialog(const ReferenceListConfig& config, app::Session& session, QWidget* parent);

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void load();
    /// The entry boxes refuse typing or pasting past what the table's field holds.
    void limitEntries();
    void followMainWindow();
    void placeControls();
    void run(KeyCommand command);
    /// The entries of the list in list order.
    QStringList entries() const;
    /// The entry Add would store, or an empty text after showing why it is refused.
    QString acceptedEntry();
    /// Gives the keyboard back to the control that had it before a shared access key took it
    /// to the menu bar.
    void leaveMenuBar();
    /// Runs `change` on the open table with the busy pointer; a failure is shown as
    /// `failurePrefix` followed by its description. Returns whether it succeeded.
    bool write(const char* failurePrefix, const std::function<void(db::ReferenceTable&)>& change);

    // The commands. Add and Delete report database errors themselves; none of them throws.
    void returnToMainWindow();
    void add();
    void deleteSelected();
    void printList();
    void finish();

    const ReferenceListConfig& m_config;
    app::Session& m_session;
    QMenuBar* m_menuBar = nullptr;
    /// The inner area below the menu bar, where the layout's twips are measured.
    QWidget* m_area = nullptr;
    QWidget* m_toolbar = nullptr;
    QGroupBox* m_firstFrame = nullptr;
    QLineEdit* m_firstBox = nullptr;
    /// The last name's frame and box; nullptr with one box.
    QGroupBox* m_secondFrame = nullptr;
    QLineEdit* m_secondBox = nullptr;
    QGroupBox* m_listFrame = nullptr;
    /// Sorted, extended selection (Ctrl-click adds an entry to the selection).
    QListWidget* m_list = nullptr;
    QPointer<QWidget> m_focusBeforeMenu;
    std::unique_ptr<db::ReferenceTable> m_table;
};

} // namespace ui
