#include "ui/main/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <exception>
#include <limits>
#include <span>

#include "app/session.h"
#include "app/settings_routines.h"
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
#include "ui/main/item_filter.h"
#include "ui/main/item_list_model.h"
#include "ui/main/item_list_view.h"
#include "ui/main/window_openers.h"

namespace ui {
namespace {

// The list's background, also the window's own.
const QColor kLightCyan(192, 255, 255);

// Column width shares, left to right.
constexpr std::array<double, db::kColumnCount> kWidthShares = {0.09, 0.25, 0.42, 0.12, 0.12};

// Geometry of the list in twips.
constexpr double kListTop = 420;
constexpr double kToolbarHeight = 420;

// The window's size before its saved position is applied.
constexpr double kDesignWidth = 12000;
constexpr double kDesignHeight = 7200;

using platform::ignoreErrors;

const QString kExitFailed = QStringLiteral("There was an error in exiting the program: ");

using W = MainWindow;

} // namespace

const QString MainWindow::kPositionTag = QStringLiteral("frmToDo");

MainWindow* MainWindow::showWindow(app::Session& session) {
    return showModeless<MainWindow>([&session] {
        auto* window = new MainWindow(session);
        WindowRegistry::instance().setMainWindow(window);
        // Placed before it first appears, so it does not jump when it is first activated.
        ignoreErrors([window] { app::RestoreFormPosition(*window, kPositionTag); });
        return window;
    });
}

MainWindow::MainWindow(app::Session& session) : m_session(session) {
    setObjectName(QStringLiteral("mainWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(windowIcon());

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
    createFindBar();

    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    resize(scale.pixelsX(kDesignWidth), scale.pixelsY(kDesignHeight));

    load();
    // A window of ours closing hands the focus back to this one, at its saved position. When
    // every window is being closed nothing is put back.
    connect(&WindowRegistry::instance(), &WindowRegistry::windowClosed, this,
            [this](QWidget* window) {
                if (window != this && !isClosingAllWindows() && !m_leaving)
                    restorePositionAfterDialog();
            });
    // Coming back from a window of ours that stays open (the Add dialog, the About box, the
    // browser) is an activation of the program's own as well.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainWindow::focusMovedTo);
    connect(&m_session, &app::Session::databaseSwitched, this, &MainWindow::showDatabaseInTitle);
    connect(&m_session, &app::Session::programFontChanged, this,
            [this](const app::FontSetting& font) { applyProgramFont(font, {m_list}); });
    // Delete and Edit remove the selected item; the view would select the next one, and with no
    // confirmation before deleting, a second Delete must not take another item unasked.
    connect(&m_session.items(), &app::ItemStore::removed, this,
            [this] { m_list->clearSelection(); });
    // Items replaced (another file taken up) are in stored order: the list forgets its sort.
    connect(&m_session.items(), &app::ItemStore::reset, this, [this] {
        m_sortColumn.reset();
        m_sortDescending = false;
        m_list->header()->setSortIndicatorShown(false);
    });
}

MainWindow::~MainWindow() {
    if (WindowRegistry::instance().mainWindow() == this)
        WindowRegistry::instance().setMainWindow(nullptr);
}

void MainWindow::createMenus() {
    using M = MenuLine<W>;
    // The recently used entries go in before the separator above Exit (below).
    static const M kMenus[] = {
        {0, &W::m_fileMenu, "fileMenu", "&File"},
        {1, {}, "newDatabaseAction", "&New To Do database", &W::newDatabase},
        {1, {}, "openDatabaseAction", "&Open To Do database", &W::openDatabase},
        {1, {}, "fontsSeparator", "-"},
        {1, Submenu{}, "fontsMenu", "&Fonts"},
        {2, {}, "programFontAction", "&Program Font", &W::chooseProgramFont},
        {2, {}, "printFontAction", "P&rint Font", &W::choosePrintFont},
        {1, &W::m_recentSeparator, "recentSeparator", "-"},
        {1, &W::m_closingSeparator, "exitSeparator", "-"},
        {1, &W::m_exitAction, "exitAction", "&Exit", [](W& w) { w.exit(); }},
        {0,
         {},
         "addItemAction",
         "&Add item",
         &W::addItem,
         "There was an error in adding an item: "},
        {0, &W::m_deleteAction, "deleteItemAction", "&Delete selected item", &W::deleteSelectedItem,
         "There was an error in deleting the selected item: "},
        {0,
         {},
         "editItemAction",
         "&Edit selected item",
         &W::editSelectedItem,
         "There was an error in editing the selected item: "},
        {0, Submenu{}, "listsMenu", "&Lists"},
        {1,
         {},
         "activitiesAction",
         "&Activiities",
         [](W& w) { w.openWindow(&WindowOpeners::activities, true); },
         "There was an error in opening the activities: "},
        {1,
         {},
         "clientsAction",
         "&Clients",
         [](W& w) { w.openWindow(&WindowOpeners::clients, true); },
         "There was an error in opening the clients: "},
        {1,
         {},
         "projectsAction",
         "&Projects",
         [](W& w) { w.openWindow(&WindowOpeners::projects, true); },
         "There was an error in opening the projects: "},
        {0, {}, "printAction", "&Print", &W::printItems},
        {0, Submenu{}, "helpMenu", "&Help"},
        {1,
         {},
         "siblingProductAction",
         "Learn about &Vellumtide",
         [](W& w) { w.openWindow(&WindowOpeners::learnAboutVellumtide, false); },
         "There was an error in opening the browser: "},
        {1,
         {},
         "makerSiteAction",
         "&Visit Brackenfold's website",
         [](W& w) { w.openWindow(&WindowOpeners::visitMakerSite, false); },
         "There was an error in opening the browser: "},
        {1,
         {},
         "aboutAction",
         "&About Tarnwick",
         [](W& w) { w.openWindow(&WindowOpeners::about, false); },
         "There was an error in opening the About box: "},
    };
    buildMenus(*this, *menuBar(), kMenus);
    for (int i = 0; i < static_cast<int>(m_recentEntries.size()); ++i) {
        QAction* entry = new QAction(QStringLiteral("FileName"), m_fileMenu);
        entry->setObjectName(QStringLiteral("recentDatabaseAction%1").arg(i));
        entry->setVisible(false);
        entry->setEnabled(false);
        m_fileMenu->insertAction(m_closingSeparator, entry);
        connect(entry, &QAction::triggered, this, [this, i] { openRecentDatabase(i); });
        m_recentEntries[static_cast<std::size_t>(i)] = entry;
    }
}

// The toolbar's buttons, each told apart by its key, and the commands they run.
void MainWindow::createToolbar() {
    static const ToolbarButton<W> kButtons[] = {
        {"newDatabase", "New To Do database", &W::newDatabase},
        {"openDatabase", "Open To Do database", &W::openDatabase},
        {"programFont", "Change program font", &W::chooseProgramFont},
        {"printFont", "Change print font", &W::choosePrintFont},
        {"addItem", "Add item", &W::addItem},
        {"editItem", "Edit item", &W::editSelectedItem},
        {"deleteItem", "Delete item", &W::deleteSelectedItem},
        {"print", "Print", &W::printItems},
        {"help", "Help", [](W& w) { w.openWindow(&WindowOpeners::learnAboutVellumtide, false); }},
    };
    m_toolbar = makeToolbar(*m_clientArea, QStringLiteral("toolbar"));
    // The toolbar keeps the desktop's colours; only the area below it is cyan.
    m_toolbar->setPalette(QPalette());
    m_toolbar->setAutoFillBackground(true);
    buildToolbar(*m_toolbar, kButtons,
                 [this](const QString& key) { runToolbarButton(*this, std::span(kButtons), key); });
}

void MainWindow::createList() {
    m_model = new ItemListModel(m_session.items(), this);
    m_list = new ItemListView(m_clientArea);
    m_list->setObjectName(QStringLiteral("itemList"));
    m_list->setToolTip(QStringLiteral("This list displays your Things To Do"));
    m_list->setAccessibleName(QStringLiteral("Things To Do"));
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, kLightCyan);
    palette.setColor(QPalette::Window, kLightCyan);
    m_list->setPalette(palette);
    m_list->setModel(m_model);

    connect(m_list->header(), &QHeaderView::sectionClicked, this, &MainWindow::headerClicked);
    connect(m_list, &ItemListView::keyDown, this, &MainWindow::listKeyDown);
    connect(m_list, &ItemListView::keyPress, this, &MainWindow::listKeyPress);
    connect(m_list, &ItemListView::mouseDown, this, &MainWindow::listMouseDown);
    connect(m_list, &ItemListView::mouseUp, this, &MainWindow::listMouseUp);
}

void MainWindow::createFindBar() {
    m_findBar = new QWidget(m_clientArea);
    m_findBar->setObjectName(QStringLiteral("findBar"));
    m_findBar->setPalette(QPalette());
    m_findBar->setAutoFillBackground(true);
    auto* label = new QLabel(QStringLiteral("Find:"), m_findBar);
    label->setObjectName(QStringLiteral("findLabel"));
    m_findBox = new QLineEdit(m_findBar);
    m_findBox->setObjectName(QStringLiteral("findBox"));
    m_findBox->setClearButtonEnabled(true);
    m_findBox->setToolTip(QStringLiteral("Shows only the rows that contain this text"));
    label->setBuddy(m_findBox);
    auto* layout = new QHBoxLayout(m_findBar);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(label);
    layout->addWidget(m_findBox, 1);
    m_findBar->hide();
    connect(m_findBox, &QLineEdit::textChanged, this, [this](const QString& text) {
        // A list that hides its current row selects the next one in its place; the selection
        // is the user's alone (Delete acts on it), so it is put back as it was, or cleared when
        // the selected row is hidden now.
        const int selected = selectedRow();
        filterRows(text);
        selectRow(selected);
    });
    keys::watch(*m_findBox, [this](int, int charCode) {
        if (keys::typed(charCode) != keys::Typed::Escape)
            return false;
        closeFindBar();
        return true;
    });
    auto* find = new QAction(this);
    find->setObjectName(QStringLiteral("findAction"));
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, &MainWindow::openFindBar);
    addAction(find);
}

void MainWindow::openFindBar() {
    if (!m_findBar->isVisible()) {
        m_findBar->show();
        ignoreErrors([this] { applyResizeRule(); });
    }
    m_findBox->setFocus();
    m_findBox->selectAll();
}

void MainWindow::closeFindBar() {
    m_findBox->clear();
    m_findBar->hide();
    ignoreErrors([this] { applyResizeRule(); });
    m_list->setFocus();
}

void MainWindow::filterRows(const QString& text) {
    // The filter stands between the list and its model only while it hides rows: a filter
    // follows every change of the items, which a long list would pay for at every sort and
    // exit for nothing.
    auto showModel = [this](QAbstractItemModel* model) {
        QItemSelectionModel* old = m_list->selectionModel(); // the list makes a new one
        m_list->setModel(model);
        delete old;
    };
    if (text.isEmpty()) {
        if (m_filter == nullptr)
            return;
        showModel(m_model);
        delete m_filter;
        m_filter = nullptr;
    } else if (m_filter != nullptr) {
        m_filter->setSought(text);
        return;
    } else {
        m_filter = new ItemFilter(m_session.items(), *m_model, this);
        m_filter->setSought(text);
        showModel(m_filter);
    }
    // A new model on the list: the columns' widths and the sort mark as they were.
    ignoreErrors([this] { applyResizeRule(); });
    m_list->header()->setSortIndicatorShown(m_sortColumn.has_value());
    if (m_sortColumn)
        m_list->header()->setSortIndicator(static_cast<int>(*m_sortColumn),
                                           m_sortDescending ? Qt::DescendingOrder
                                                            : Qt::AscendingOrder);
}

QModelIndex MainWindow::shownIndex(int row) const {
    if (row < 0 || row >= m_model->rowCount())
        return {};
    const QModelIndex index = m_model->index(row, 0);
    return m_filter != nullptr ? m_filter->mapFromSource(index) : index;
}

int MainWindow::itemRow(const QModelIndex& shown) const {
    if (!shown.isValid())
        return -1;
    return m_filter != nullptr ? m_filter->mapToSource(shown).row() : shown.row();
}

std::vector<db::ToDoItem> MainWindow::shownItems() const {
    const app::ItemStore& items = m_session.items();
    if (m_filter == nullptr)
        return items.items();
    std::vector<db::ToDoItem> shown;
    shown.reserve(static_cast<std::size_t>(m_filter->rowCount()));
    for (int row = 0; row < m_filter->rowCount(); ++row)
        shown.push_back(items.at(m_filter->mapToSource(m_filter->index(row, 0)).row()));
    return shown;
}

// ---- Load, resize, activate, close ----

void MainWindow::load() {
    fillRecentEntries();
    showDatabaseInTitle(m_session.databasePath());
    applyProgramFont(m_session.programFont(), {m_list});

    // First placement of the list and its columns; the resize rule takes over at display.
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    const platform::TwipsRect outer = platform::outerGeometryTwips(*this);
    const double listWidth = std::max(0.0, outer.width - 500);
    m_list->setGeometry(scale.pixels(0, kListTop, listWidth, outer.height));
    for (int column = 0; column < db::kColumnCount; ++column) {
        const double width = (listWidth - 170) * kWidthShares[static_cast<std::size_t>(column)];
        m_list->header()->resizeSection(column, scale.pixelsX(std::max(0.0, width)));
    }
}

void MainWindow::fillRecentEntries() {
    const QStringList& recent = m_session.recentDatabases();
    if (recent.isEmpty()) {
        m_recentSeparator->setVisible(false);
        m_recentSeparator->setEnabled(false);
        return;
    }
    for (int i = 0; i < static_cast<int>(m_recentEntries.size()); ++i) {
        if (i >= recent.size() || recent.at(i).isEmpty())
            break;
        QAction* entry = m_recentEntries[static_cast<std::size_t>(i)];
        entry->setEnabled(true);
        // The path is shown as it is: an ampersand in it is not an access key.
        entry->setText(QString(recent.at(i)).replace(QLatin1Char('&'), QLatin1String("&&")));
        entry->setData(recent.at(i));
        entry->setVisible(true);
    }
}

void MainWindow::applyResizeRule() {
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    const platform::TwipsRect outer = platform::outerGeometryTwips(*this);

    // The toolbar spans the top of the client area.
    m_toolbar->setGeometry(0, 0, m_clientArea->width(), scale.pixelsY(kToolbarHeight));

    // The list sits at (0, 420) twips, 100 twips narrower and 1200 twips shorter than the
    // window's outer size; the columns share its width less 25 twips. A size below zero is
    // refused and that step skipped, so the smallest window resizes without complaint. An open
    // find bar takes the top of the list's place, and the list moves down by its height.
    const int barHeight = m_findBar->isVisible() ? m_findBar->sizeHint().height() : 0;
    m_findBar->setGeometry(0, scale.pixelsY(kListTop), m_clientArea->width(), barHeight);
    m_list->move(0, scale.pixelsY(kListTop) + barHeight);
    const double listWidth = outer.width - 100;
    if (listWidth >= 0)
        m_list->resize(scale.pixelsX(listWidth), m_list->height());
    const double listHeight = outer.height - 1200 - scale.twipsY(barHeight);
    if (listHeight >= 0)
        m_list->resize(m_list->width(), scale.pixelsY(listHeight));

    const double actualWidth = scale.twipsX(m_list->width());
    for (int column = 0; column < db::kColumnCount; ++column) {
        const double width = (actualWidth - 25) * kWidthShares[static_cast<std::size_t>(column)];
        if (width >= 0)
            m_list->header()->resizeSection(column, scale.pixelsX(width));
    }
}

void MainWindow::restorePosition() {
    // A settings store that cannot be read leaves the window where it is.
    ignoreErrors([this] { app::RestoreFormPosition(*this, kPositionTag); });
}

void MainWindow::restorePositionAfterDialog() {
    if (isActiveWindow()) {
        m_restorePending = false;
        restorePosition();
    } else {
        m_restorePending = true;
    }
}

void MainWindow::focusMovedTo(QWindow* window) {
    QWidget* before = m_focusBefore;
    m_focusBefore = WindowRegistry::instance().windowOf(window);
    if (window == nullptr || window != windowHandle() || before == nullptr || before == this)
        return;
    if (!isClosingAllWindows() && !m_leaving && !m_restorePending)
        restorePosition();
}

bool MainWindow::event(QEvent* event) {
    const bool result = QMainWindow::event(event);
    // Only the activations that follow the first showing and a window of ours closing put the
    // window back; a return from another program or a message box leaves it where it is.
    if (event->type() == QEvent::WindowActivate && m_restorePending) {
        m_restorePending = false;
        restorePosition();
    }
    return result;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ignoreErrors([this] { applyResizeRule(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window is Exit. When Exit fails and the user keeps the program open, the
    // window stays with its list. When the close comes from closeAllWindows, the Exit that
    // started it has stored the items already (or decided to go without them), and the window
    // goes.
    if (m_leaving || exit() || isClosingAllWindows()) {
        event->accept();
        // Nothing writes the file after this: another Tarnwick may take it up.
        m_session.releaseHold();
        WindowRegistry::instance().remove(this);
    } else {
        event->ignore();
    }
}

// ---- What other parts of the program ask of the window ----

void MainWindow::showDatabaseInTitle(const QString& path) {
    setWindowTitle(QStringLiteral("Tarnwick - ") + path);
}

int MainWindow::selectedRow() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : itemRow(rows.first());
}

void MainWindow::selectRow(int row) {
    const QModelIndex shown = shownIndex(row);
    if (!shown.isValid()) {
        m_list->clearSelection();
        return;
    }
    m_list->setCurrentIndex(shown);
}

int MainWindow::rowAt(const QPoint& position) const {
    const QModelIndex index = m_list->indexAt(position);
    return itemRow(index);
}

// ---- Item commands ----

void MainWindow::openWindow(std::function<void()> WindowOpeners::*opener, bool modal) {
    const std::function<void()>& open = windowOpeners().*opener;
    if (!open)
        return;
    if (!modal) {
        open();
        return;
    }
    QPointer<MainWindow> guard = this;
    open();
    if (guard)
        guard->returnFromModal();
}

void MainWindow::returnFromModal() {
    if (!isVisible())
        return;
    restorePositionAfterDialog();
    if (!isActiveWindow())
        activateWindow();
}

void MainWindow::addItem() {
    openWindow(&WindowOpeners::addItem, false);
}

void MainWindow::editSelectedItem() {
    if (m_session.items().size() == 0)
        return;
    const int row = selectedRow();
    if (row < 0 || !windowOpeners().editItem)
        return;
    const std::function<void(int)> open = windowOpeners().editItem;
    QPointer<MainWindow> guard = this;
    open(row);
    if (guard)
        guard->returnFromModal();
}

void MainWindow::deleteSelectedItem() {
    app::ItemStore& items = m_session.items();
    if (items.size() == 0)
        return;
    const int row = selectedRow();
    if (row >= 0)
        items.remove(row);
    items.store(m_session.databasePath());
}

bool MainWindow::exit() {
    bool stored = false;
    try {
        m_session.items().store(m_session.databasePath());
        stored = true;
        app::SaveFormPosition(*this, kPositionTag);
        closeAllWindows();
        return true;
    } catch (...) {
        platform::showError(kExitFailed, std::current_exception());
    }
    // The second run, as closeAllWindows closes this window: the first stored the items.
    if (isClosingAllWindows())
        return false;
    if (!closeAfterFailedExit(stored))
        return false;
    leaveWithoutStoring();
    return true;
}

bool MainWindow::closeAfterFailedExit(bool itemsStored) {
    // A list that was never loaded has nothing to lose.
    if (!m_session.items().loaded())
        return true;
    const QString path = m_session.databasePath();
    const QString question =
        itemsStored ? QStringLiteral("The to-do list was stored in ") + path +
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

void MainWindow::leaveWithoutStoring() {
    m_leaving = true;
    ignoreErrors([this] { app::SaveFormPosition(*this, kPositionTag); });
    ignoreErrors([] { closeAllWindows(); });
}

// ---- File and font commands, printing ----

void MainWindow::newDatabase() {
    NewToDoDatabase(*this);
}

void MainWindow::openDatabase() {
    OpenToDoDatabase(*this);
}

void MainWindow::openRecentDatabase(int entry) {
    if (entry < 0 || entry >= static_cast<int>(m_recentEntries.size()))
        return;
    OpenRecentDatabase(*this, m_recentEntries[static_cast<std::size_t>(entry)]->data().toString());
}

void MainWindow::chooseProgramFont() {
    // Cancel, or any failure, ends the command silently; values set before it stay set. The
    // list takes the font the session announces.
    ignoreErrors([this] { app::ChooseProgramFont(m_session); });
}

void MainWindow::choosePrintFont() {
    // Nothing on screen changes: the next print-out takes the new font.
    ignoreErrors([this] { app::ChoosePrintFont(m_session); });
}

void MainWindow::printItems() {
    // Reports its own errors and goes on; an empty list prints nothing. With the find bar open,
    // the rows it shows.
    print::PrintToDoList(shownItems(), m_session.printFont());
}

// ---- The list's own events ----

void MainWindow::headerClicked(int section) {
    const auto column = static_cast<db::Column>(section);
    if (m_sortColumn != column) {
        m_sortColumn = column;
        m_sortDescending = false;
    } else {
        m_sortDescending = !m_sortDescending;
    }
    m_session.items().sort(column, m_sortDescending);
    m_list->header()->setSortIndicatorShown(true);
    m_list->header()->setSortIndicator(section,
                                       m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void MainWindow::listKeyDown(int keyCode) {
    if (keyCode == keys::kDelete)
        m_deleteAction->trigger();
}

void MainWindow::listKeyPress(int charCode) {
    if (keys::typed(charCode) != keys::Typed::Other)
        exit();
}

void MainWindow::listMouseDown(const QPoint& position) {
    // Over no row the row keeps its value; a 16-bit row cannot go past 32767.
    const int row = rowAt(position) + 1;
    if (row != 0 && row <= std::numeric_limits<qint16>::max())
        m_pressRow = static_cast<qint16>(row);
}

void MainWindow::listMouseUp(const QPoint& position) {
    const int row = rowAt(position) + 1;
    if (row != 0 && row <= std::numeric_limits<qint16>::max())
        m_releaseRow = static_cast<qint16>(row);
    // Drag-to-swap: the two items exchange all but their priorities, so they trade priorities.
    // A row that names no item exchanges nothing.
    m_session.items().exchangeAllButPriority(m_pressRow - 1, m_releaseRow - 1);
}

} // namespace ui
