#include "ui/main/frm_todo.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>

#include "app/font_commands.h"
#include "app/globals.h"
#include "app/settings_routines.h"
#include "db/routines.h"
#include "platform/error.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "print/todo_printout.h"
#include "ui/common/commands.h"
#include "ui/common/fonts.h"
#include "ui/common/key_codes.h"
#include "ui/common/single_window.h"
#include "ui/common/toolbar_icons.h"
#include "ui/common/window_registry.h"
#include "ui/main/database_commands.h"
#include "ui/main/todo_list_model.h"
#include "ui/main/todo_list_view.h"
#include "ui/main/window_openers.h"

namespace {

using ui::ToDoListModel;

// The list's background, also the window's own.
const QColor kLightCyan(192, 255, 255);

// Column width shares, columns 1 to 5.
constexpr std::array<double, ToDoListModel::kColumns> kWidthShares = {0.09, 0.25, 0.42, 0.12, 0.12};

// Geometry of the list in twips.
constexpr double kListTop = 420;
constexpr double kToolbarHeight = 420;

// The window's size before its saved position is applied.
constexpr double kDesignWidth = 12000;
constexpr double kDesignHeight = 7200;

using platform::ignoreErrors;

const QString kExitFailed = QStringLiteral("There was an error in exiting the program: ");

// Opens a modeless window (ui/main/window_openers.h); an empty entry does nothing.
ui::Command<frmToDo> opens(std::function<void()> ui::WindowOpeners::*opener) {
    return [opener](frmToDo&) {
        if (const std::function<void()>& open = ui::windowOpeners().*opener)
            open();
    };
}

// Opens a modal window and, once it has closed, makes the main window the active window again,
// as the desktop normally does, at its saved position.
ui::Command<frmToDo> opensModal(std::function<void()> ui::WindowOpeners::*opener) {
    return [opener](frmToDo& window) {
        const std::function<void()>& open = ui::windowOpeners().*opener;
        if (!open)
            return;
        QPointer<frmToDo> guard = &window;
        open();
        if (!guard || !guard->isVisible())
            return;
        guard->restorePositionAfterDialog();
        if (!guard->isActiveWindow())
            guard->activateWindow();
    };
}

using W = frmToDo;
using ui::WindowOpeners;

// The recently used entries mnuFileName(0) to (5) go in before mnuSeparator4 (createMenus).
const ui::MenuLine<W> kMenus[] = {
    {0, &W::mnuFile, "mnuFile", "&File"},
    {1, &W::mnuNewToDoDatabase, "mnuNewToDoDatabase", "&New To Do database",
     &W::mnuNewToDoDatabase_Click},
    {1, &W::mnuOpenToDoDatabase, "mnuOpenToDoDatabase", "&Open To Do database",
     &W::mnuOpenToDoDatabase_Click},
    {1, &W::mnuSeparator2, "mnuSeparator2", "-"},
    {1, &W::mnuFonts, "mnuFonts", "&Fonts"},
    {2, &W::mnuProgramFont, "mnuProgramFont", "&Program Font", &W::mnuProgramFont_Click},
    {2, &W::mnuPrintFont, "mnuPrintFont", "P&rint Font", &W::mnuPrintFont_Click},
    {1, &W::mnuSeparator, "mnuSeparator", "-"},
    {1, &W::mnuSeparator4, "mnuSeparator4", "-"},
    {1, &W::mnuExit, "mnuExit", "&Exit", &W::mnuExit_Click},
    {0, &W::mnuAddItem, "mnuAddItem", "&Add item", &W::AddItem,
     "There was an error in adding an item: "},
    {0, &W::mnuDeleteItem, "mnuDeleteItem", "&Delete selected item", &W::DeleteSelectedItem,
     "There was an error in deleting the selected item: "},
    {0, &W::mnuEditItem, "mnuEditItem", "&Edit selected item", &W::EditSelectedItem,
     "There was an error in editing the selected item: "},
    {0, &W::mnuLists, "mnuLists", "&Lists"},
    {1, &W::mnuActivities, "mnuActivities", "&Activiities", opensModal(&WindowOpeners::activities),
     "There was an error in opening the activities: "},
    {1, &W::mnuClients, "mnuClients", "&Clients", opensModal(&WindowOpeners::clients),
     "There was an error in opening the clients: "},
    {1, &W::mnuProjects, "mnuProjects", "&Projects", opensModal(&WindowOpeners::projects),
     "There was an error in opening the projects: "},
    {0, &W::mnuPrint, "mnuPrint", "&Print", &W::mnuPrint_Click},
    {0, &W::mnuHelp, "mnuHelp", "&Help"},
    {1, &W::mnuVellumtide, "mnuVellumtide", "Learn about &Vellumtide",
     opens(&WindowOpeners::learnAboutVellumtide), "There was an error in opening the browser: "},
    {1, &W::mnuVisit, "mnuVisit", "&Visit Brackenfold's website",
     opens(&WindowOpeners::visitMakerSite), "There was an error in opening the browser: "},
    {1, &W::mnuAbout, "mnuAbout", "&About Tarnwick", opens(&WindowOpeners::about),
     "There was an error in opening the About box: "},
};

const ui::ToolbarButton<W> kToolbar[] = {
    {"New", "New To Do database", &W::mnuNewToDoDatabase_Click},
    {"Open", "Open To Do database", &W::mnuOpenToDoDatabase_Click},
    {"Small Caps", "Change program font", &W::mnuProgramFont_Click},
    {"Spell Check", "Change print font", &W::mnuPrintFont_Click},
    {"View Details", "Add item", &W::AddItem},
    {"Properties", "Edit item", &W::EditSelectedItem},
    {"Delete", "Delete item", &W::DeleteSelectedItem},
    {"Print", "Print", &W::mnuPrint_Click},
    {"Help", "Help", opens(&WindowOpeners::learnAboutVellumtide)},
};

} // namespace

frmToDo* frmToDo::showWindow() {
    return ui::showModeless<frmToDo>([] {
        auto* window = new frmToDo;
        // Placed before it first appears, so it does not jump when it is first activated.
        ignoreErrors([window] { app::RestoreFormPosition(*window); });
        return window;
    });
}

frmToDo::frmToDo() {
    setObjectName(QStringLiteral("frmToDo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(ui::windowIcon());

    m_clientArea = new QWidget(this);
    m_clientArea->setObjectName(QStringLiteral("clientArea"));
    QPalette palette = m_clientArea->palette();
    palette.setColor(QPalette::Window, kLightCyan);
    m_clientArea->setPalette(palette);
    m_clientArea->setAutoFillBackground(true);
    setCentralWidget(m_clientArea);

    createMenus();
    createToolbar();
    createList();

    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    resize(scale.pixelsX(kDesignWidth), scale.pixelsY(kDesignHeight));

    Form_Load();
    // A window of ours closing hands the focus back to this one, at its saved position. At
    // exit the windows close for good and nothing is put back.
    connect(&ui::WindowRegistry::instance(), &ui::WindowRegistry::windowClosed, this,
            [this](QWidget* window) {
                if (window != this && !ui::isUnloadingAllForms() && !m_leaving)
                    restorePositionAfterDialog();
            });
    // Coming back from a window of ours that stays open (the Add dialog, the About box, the
    // browser) is an activation of the program's own as well.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmToDo::focusMovedTo);
}

void frmToDo::focusMovedTo(QWindow* window) {
    QWidget* before = m_focusBefore;
    m_focusBefore = ui::WindowRegistry::instance().windowOf(window);
    if (window == nullptr || window != windowHandle() || before == nullptr || before == this)
        return;
    if (!ui::isUnloadingAllForms() && !m_leaving && !m_restorePending)
        Form_Activate();
}

frmToDo::~frmToDo() = default;

void frmToDo::createMenus() {
    ui::buildMenus(*this, *menuBar(), kMenus);
    for (int i = 0; i < static_cast<int>(mnuFileName.size()); ++i) {
        QAction* entry = new QAction(QStringLiteral("FileName"), mnuFile);
        entry->setObjectName(QStringLiteral("mnuFileName%1").arg(i));
        entry->setVisible(false);
        entry->setEnabled(false);
        mnuFile->insertAction(mnuSeparator4, entry);
        connect(entry, &QAction::triggered, this, [this, i] { mnuFileName_Click(i); });
        mnuFileName[i] = entry;
    }
}

void frmToDo::createToolbar() {
    Toolbar1 = new QToolBar(m_clientArea);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1->setIconSize(QSize(20, 20));
    // The toolbar keeps the desktop's colours; only the area below it is cyan.
    Toolbar1->setPalette(QPalette());
    Toolbar1->setAutoFillBackground(true);
    imlToolbarIcons = ui::buildToolbar(*Toolbar1, kToolbar,
                                       [this](const QString& key) { Toolbar1_ButtonClick(key); });
}

void frmToDo::createList() {
    m_model = new ToDoListModel(this);
    ListView1 = new ui::ToDoListView(m_clientArea);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setToolTip(QStringLiteral("This list displays your Things To Do"));
    ListView1->setAccessibleName(QStringLiteral("Things To Do"));
    QPalette palette = ListView1->palette();
    palette.setColor(QPalette::Base, kLightCyan);
    palette.setColor(QPalette::Window, kLightCyan);
    ListView1->setPalette(palette);
    ListView1->setModel(m_model);

    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { ListView1_ColumnClick(section + 1); });
    connect(ListView1, &ui::ToDoListView::keyDown, this, &frmToDo::ListView1_KeyDown);
    connect(ListView1, &ui::ToDoListView::keyPress, this, &frmToDo::ListView1_KeyPress);
    connect(ListView1, &ui::ToDoListView::mouseDown, this, &frmToDo::ListView1_MouseDown);
    connect(ListView1, &ui::ToDoListView::mouseUp, this, &frmToDo::ListView1_MouseUp);
}

// ---- Load, resize, activate, close ----

void frmToDo::Form_Load() {
    fillRecentEntries();
    showDatabaseInTitle(app::CurrentDatabasePath);
    setListFont(app::ProgramFontName, app::ProgramFontSize);

    // First placement of the list and its columns; the resize rule takes over at display.
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    const platform::TwipsRect outer = platform::outerGeometryTwips(*this);
    const double windowHeight = outer.height;
    const double listWidth = std::max(0.0, outer.width - 500);
    ListView1->setGeometry(scale.pixels(0, kListTop, listWidth, windowHeight));
    for (int column = 0; column < ToDoListModel::kColumns; ++column) {
        const double width = (listWidth - 170) * kWidthShares[column];
        ListView1->header()->resizeSection(column, scale.pixelsX(std::max(0.0, width)));
    }

    loadRowsAtStart();
}

void frmToDo::loadRowsAtStart() {
    try {
        loadRows();
    } catch (...) {
        // A missing file was reported when its creation failed at start-up; a file that is
        // there but cannot be read is reported here. Either way the window opens, so that the
        // user can create or open another file.
        bool exists = true;
        ignoreErrors([&exists] {
            exists = platform::Services::files().fileExists(app::CurrentDatabasePath);
        });
        if (exists)
            platform::showError(QStringLiteral("The to-do items of ") + app::CurrentDatabasePath +
                                    QStringLiteral(" could not be loaded.  The list stays empty "
                                                   "and is not stored in that file.  Error "
                                                   "description: "),
                                std::current_exception());
    }
}

void frmToDo::fillRecentEntries() {
    const QStringList& recent = app::recentDatabases();
    if (recent.isEmpty()) {
        mnuSeparator->setVisible(false);
        mnuSeparator->setEnabled(false);
        return;
    }
    for (int i = 0; i < static_cast<int>(mnuFileName.size()); ++i) {
        if (i >= recent.size() || recent.at(i).isEmpty())
            break;
        QAction* entry = mnuFileName[i];
        entry->setEnabled(true);
        // The path is shown as it is: an ampersand in it is not an access key.
        entry->setText(QString(recent.at(i)).replace(QLatin1Char('&'), QLatin1String("&&")));
        entry->setData(recent.at(i));
        entry->setVisible(true);
    }
}

void frmToDo::Form_Resize() {
    ignoreErrors([this] { resizeRule(); });
}

void frmToDo::resizeRule() {
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    const platform::TwipsRect outer = platform::outerGeometryTwips(*this);
    const double windowWidth = outer.width;
    const double windowHeight = outer.height;

    // The toolbar spans the top of the client area.
    Toolbar1->setGeometry(0, 0, m_clientArea->width(), scale.pixelsY(kToolbarHeight));

    // The list sits at (0, 420) twips, 100 twips narrower and 1200 twips shorter than the
    // window's outer size; the columns share its width less 25 twips. A size below zero is
    // refused and that step skipped, so the smallest window resizes without complaint.
    ListView1->move(0, scale.pixelsY(kListTop));
    const double listWidth = windowWidth - 100;
    if (listWidth >= 0)
        ListView1->resize(scale.pixelsX(listWidth), ListView1->height());
    const double listHeight = windowHeight - 1200;
    if (listHeight >= 0)
        ListView1->resize(ListView1->width(), scale.pixelsY(listHeight));

    const double actualWidth = scale.twipsX(ListView1->width());
    for (int column = 0; column < ToDoListModel::kColumns; ++column) {
        const double width = (actualWidth - 25) * kWidthShares[column];
        if (width >= 0)
            ListView1->header()->resizeSection(column, scale.pixelsX(width));
    }
}

void frmToDo::Form_Activate() {
    // A settings store that cannot be read leaves the window where it is.
    ignoreErrors([this] { app::RestoreFormPosition(*this); });
}

void frmToDo::restorePositionAfterDialog() {
    if (isActiveWindow()) {
        m_restorePending = false;
        Form_Activate();
    } else {
        m_restorePending = true;
    }
}

bool frmToDo::event(QEvent* event) {
    const bool result = QMainWindow::event(event);
    // Only the activations that follow the first showing and a window of ours closing put the
    // window back; a return from another program or a message box leaves it where it is.
    if (event->type() == QEvent::WindowActivate && m_restorePending) {
        m_restorePending = false;
        Form_Activate();
    }
    return result;
}

void frmToDo::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmToDo::closeEvent(QCloseEvent* event) {
    // Closing the window is Exit. When Exit fails and the user keeps the program open, the
    // window stays with its list. When the close comes from UnloadAllForms, the Exit that
    // started it has stored the list already (or decided to go without it), and the window goes.
    if (m_leaving || Exit() || ui::isUnloadingAllForms()) {
        event->accept();
        // Nothing writes the file after this: another Tarnwick may take it up.
        app::databaseHold().release();
        ui::WindowRegistry::instance().remove(this);
    } else {
        event->ignore();
    }
}

// ---- The list as the database routines and the dialogs see it ----

void frmToDo::appendRow(const QString& column1) {
    m_model->append(column1);
}

void frmToDo::expectRows(int count) {
    m_model->reserve(count);
}

void frmToDo::setCurrentRowCell(int column, const QString& text) {
    const int row = m_model->currentRow();
    if (row < 0 || column < 2 || column > ToDoListModel::kColumns)
        throw std::out_of_range("There is no current row, or no such column.");
    m_model->setText(row, column - 1, text);
}

void frmToDo::setCurrentRowDate(int column, const QString& text, std::optional<double> value) {
    const int row = m_model->currentRow();
    if (row < 0 || column < 4 || column > ToDoListModel::kColumns)
        throw std::out_of_range("There is no current row, or no such date column.");
    m_model->setDate(row, column - 1, text, value);
}

std::optional<double> frmToDo::cellDate(int row, int column) const {
    if (row < 1 || row > m_model->size() || column < 4 || column > ToDoListModel::kColumns)
        throw std::out_of_range("Index out of bounds.");
    return m_model->dateValue(row - 1, column - 1);
}

int frmToDo::rowCount() const {
    return m_model->size();
}

QString frmToDo::cellText(int row, int column) const {
    return heldText(row, column);
}

QStringView frmToDo::cellTextView(int row, int column, QString& scratch) const {
    (void)scratch;
    return heldText(row, column);
}

const QString& frmToDo::heldText(int row, int column) const {
    if (row < 1 || row > m_model->size() || column < 1 || column > ToDoListModel::kColumns)
        throw std::out_of_range("Index out of bounds.");
    return m_model->text(row - 1, column - 1);
}

void frmToDo::removeRow(int row) {
    if (row < 1 || row > m_model->size())
        return;
    const bool wasSelected = selectedIndex() == row;
    m_model->removeAt(row - 1);
    // The view would select the next row; with no confirmation before deleting, a second
    // Delete must not take another item unasked.
    if (wasSelected)
        ListView1->clearSelection();
}

void frmToDo::clearRows() {
    m_model->clear();
    m_sortColumn = 0;
    m_sortOrder = Qt::AscendingOrder;
    ListView1->header()->setSortIndicatorShown(false);
}

void frmToDo::loadRows() {
    m_listLoaded = false;
    m_model->beginBulkAppend();
    struct EndBulk {
        ToDoListModel* model;
        ~EndBulk() { model->endBulkAppend(); }
    } endBulk{m_model};
    try {
        db::LoadToDoItems(app::CurrentDatabasePath, *this);
    } catch (...) {
        // Part of a file's items would look like all of them.
        m_model->clear();
        throw;
    }
    m_listLoaded = true;
}

void frmToDo::storeRows() {
    if (!m_listLoaded)
        throw std::runtime_error(
            (QStringLiteral("The to-do items of ") + app::CurrentDatabasePath +
             QStringLiteral(" were never loaded, so the list was not stored there."))
                .toStdString());
    db::RewriteToDoItems(app::CurrentDatabasePath, *this);
}

int frmToDo::selectedIndex() const {
    const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void frmToDo::selectRow(int row) {
    if (row < 1 || row > m_model->size()) {
        ListView1->clearSelection();
        return;
    }
    ListView1->setCurrentIndex(m_model->index(row - 1, 0));
}

int frmToDo::currentIndex() const {
    return m_model->currentRow() + 1;
}

void frmToDo::showDatabaseInTitle(const QString& path) {
    setWindowTitle(QStringLiteral("Tarnwick - ") + path);
}

void frmToDo::setListFont(const QString& name, const QString& size) {
    ListView1->setFont(ui::fontWith(ListView1->font(), name, size));
}

int frmToDo::rowAt(const QPoint& position) const {
    const QModelIndex index = ListView1->indexAt(position);
    return index.isValid() ? index.row() + 1 : 0;
}

// ---- Item commands ----

void frmToDo::AddItem() {
    opens (&WindowOpeners::addItem)(*this);
}

void frmToDo::EditSelectedItem() {
    if (rowCount() == 0)
        return;
    const int row = selectedIndex();
    if (row == 0)
        return;
    // Only one of client and project is set; the dialog left the other empty.
    app::EditInputs& inputs = app::editInputs();
    inputs.Priority = cellText(row, 1);
    const QString clientOrProject = cellText(row, 2);
    (clientOrProject.contains(QLatin1String(", ")) ? inputs.Client : inputs.Project) =
        clientOrProject;
    inputs.ThingToDo = cellText(row, 3);
    inputs.StartDate = cellText(row, 4);
    inputs.Deadline = cellText(row, 5);
    inputs.StartDateValue = cellDate(row, 4);
    inputs.DeadlineValue = cellDate(row, 5);
    opensModal (&WindowOpeners::editItem)(*this);
}

void frmToDo::DeleteSelectedItem() {
    if (rowCount() == 0)
        return;
    const int row = selectedIndex();
    if (row != 0)
        removeRow(row);
    storeRows();
}

bool frmToDo::Exit() {
    bool stored = false;
    try {
        storeRows();
        stored = true;
        app::SaveFormPosition(*this);
        ui::UnloadAllForms();
        return true;
    } catch (...) {
        platform::showError(kExitFailed, std::current_exception());
    }
    // The second run, as UnloadAllForms closes this window: the first stored the list.
    if (ui::isUnloadingAllForms())
        return false;
    if (!closeAfterFailedExit(stored))
        return false;
    leaveWithoutStoring();
    return true;
}

bool frmToDo::closeAfterFailedExit(bool rowsStored) {
    // A list that was never loaded has nothing to lose.
    if (!m_listLoaded)
        return true;
    const QString path = app::CurrentDatabasePath;
    const QString question =
        rowsStored ? QStringLiteral("The to-do list was stored in ") + path +
                         QStringLiteral(".  Do you want to close Tarnwick anyway?")
                   : QStringLiteral("The to-do list was not stored in ") + path +
                         QStringLiteral(".  Do you want to close Tarnwick without storing it?");
    platform::Answer answer = platform::Answer::No;
    ignoreErrors([&] {
        answer = platform::Services::messageBoxes().question(question, QStringLiteral("Tarnwick"),
                                                             platform::Answer::No);
    });
    return answer == platform::Answer::Yes;
}

void frmToDo::leaveWithoutStoring() {
    m_leaving = true;
    ignoreErrors([this] { app::SaveFormPosition(*this); });
    ignoreErrors([] { ui::UnloadAllForms(); });
}

// ---- Menu items ----

void frmToDo::mnuNewToDoDatabase_Click() {
    ui::NewToDoDatabase(*this);
}

void frmToDo::mnuOpenToDoDatabase_Click() {
    ui::OpenToDoDatabase(*this);
}

void frmToDo::mnuFileName_Click(int index) {
    if (index < 0 || index >= static_cast<int>(mnuFileName.size()))
        return;
    ui::OpenRecentDatabase(*this, mnuFileName[index]->data().toString());
}

void frmToDo::mnuProgramFont_Click() {
    // Cancel, or any failure, ends the command silently; values set before it stay set.
    ignoreErrors([this] {
        app::ChooseProgramFont();
        setListFont(app::ProgramFontName, app::ProgramFontSize);
    });
}

void frmToDo::mnuPrintFont_Click() {
    // Nothing on screen changes: the next print-out takes the new font.
    ignoreErrors([] { app::ChoosePrintFont(); });
}

void frmToDo::mnuPrint_Click() {
    // Reports its own errors and goes on; an empty list prints nothing.
    print::PrintToDoList(*this);
}

void frmToDo::mnuExit_Click() {
    Exit();
}

// ---- Toolbar ----

void frmToDo::Toolbar1_ButtonClick(const QString& key) {
    ui::runToolbarButton(*this, kToolbar, key);
}

// ---- The list's own events ----

void frmToDo::ListView1_ColumnClick(int column) {
    if (m_sortColumn != column) {
        m_sortColumn = column;
        m_sortOrder = Qt::AscendingOrder;
    } else {
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    m_model->sortByColumn(column - 1, m_sortOrder);
    ListView1->header()->setSortIndicatorShown(true);
    ListView1->header()->setSortIndicator(column - 1, m_sortOrder);
}

void frmToDo::ListView1_KeyDown(int keyCode) {
    if (keyCode == ui::keys::kDelete)
        mnuDeleteItem->trigger();
}

void frmToDo::ListView1_KeyPress(int charCode) {
    if (charCode == ui::keys::kEnterChar || charCode == ui::keys::kEscapeChar)
        mnuExit_Click();
}

void frmToDo::ListView1_MouseDown(const QPoint& position) {
    const int row = rowAt(position);
    m_model->setCurrentRow(row - 1);
    // Over no row the index keeps its value; a 16-bit index cannot take a row past 32767.
    if (row != 0 && row <= std::numeric_limits<qint16>::max())
        m_pressIndex = static_cast<qint16>(row);
}

void frmToDo::ListView1_MouseUp(const QPoint& position) {
    const int row = rowAt(position);
    m_model->setCurrentRow(row - 1);
    if (row != 0 && row <= std::numeric_limits<qint16>::max())
        m_releaseIndex = static_cast<qint16>(row);

    // Drag-to-swap: the two rows exchange columns 2 to 5 and keep their priorities, so the
    // two items trade priorities. An index that names no row exchanges nothing.
    const int count = m_model->size();
    const int from = m_pressIndex;
    const int to = m_releaseIndex;
    if (from < 1 || from > count || to < 1 || to > count || from == to)
        return;
    for (int column = 1; column < ToDoListModel::kColumns; ++column)
        m_model->swapTexts(from - 1, to - 1, column);
}
