// The main window over a real database file, on Qt's offscreen platform with the platform fakes:
// menus, toolbar and layout, the list's sorting, pointer and key rules, the item commands, Exit and
// the unloading of every window, the start-up that hands over to it, and its saved position.
#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <algorithm>
#include <optional>

#include "app/database_steps.h"
#include "app/startup.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "support/window_fixture.h"
#include "ui/common/single_window.h"
#include "ui/main/main_window.h"
#include "ui/main/window_openers.h"

using platform::Answer;
using support::action;
using support::child;
using support::clickToolbar;
using support::kThreeRows;
using support::Row;
using support::rowCentre;
using support::Rows;
using ui::MainWindow;

namespace {

const QString kExitFailed = QStringLiteral("There was an error in exiting the program: ");

QTreeView* itemList(const MainWindow& window) {
    return child<QTreeView>(&window, "itemList");
}

// Clicks the header of column `column` (from 0).
void clickHeader(MainWindow& window, int column) {
    QHeaderView* header = itemList(window)->header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

void drag(MainWindow& window, const QPoint& from, const QPoint& to) {
    QWidget* viewport = itemList(window)->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
}

// Records the order in which `windows` receive their close event.
class CloseRecorder final : public QObject {
public:
    explicit CloseRecorder(std::initializer_list<QWidget*> windows) {
        for (QWidget* window : windows)
            window->installEventFilter(this);
    }
    QStringList order;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && !order.contains(watched->objectName()))
            order.append(watched->objectName());
        return false;
    }
};

// A window of ours besides the main window, named `name`, open and deleted when closed.
QWidget* openOurWindow(const QString& name) {
    auto* window = new QWidget;
    window->setObjectName(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    ui::WindowRegistry::instance().add(window);
    window->show();
    return window;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::optional<support::WindowFixture> m_fx;

    int positionWrites() {
        return int(std::ranges::count(m_fx->fakes.settings.writes(), QString("FormPosition"),
                                      &platform::fakes::SettingsWrite::section));
    }

    bool loaded(QWidget* window) { return ui::WindowRegistry::instance().contains(window); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init() { m_fx.emplace(); }

    void cleanup() { m_fx.reset(); }

    // The menus, the toolbar and the recent entries. The list is 100 twips narrower and 1200 twips
    // lower than the window, below the toolbar; the smallest window resizes without a message.
    void menusToolbarAndLayout() {
        const QStringList recent = {"/data/a.mdb", "/data/b&c.mdb", "/data/d.mdb"};
        MainWindow* window = m_fx->openMainWindow({}, recent);
        auto texts = [](QWidget* owner) {
            QStringList list;
            for (QAction* action : owner->actions())
                list.append(action->isSeparator() ? "-"
                            : action->isVisible() ? action->text()
                                                  : "(hidden)");
            return list;
        };
        // An ampersand in a path is shown, not taken as an access key.
        QCOMPARE(texts(child<QMenu>(window, "fileMenu")),
                 (QStringList{"&New To Do database", "&Open To Do database", "-", "&Fonts", "-",
                              "/data/a.mdb", "/data/b&&c.mdb", "/data/d.mdb", "(hidden)",
                              "(hidden)", "(hidden)", "-", "&Exit"}));
        QCOMPARE(action(window, "recentDatabaseAction1")->data().toString(), recent[1]);
        for (QAction* button : child<QToolBar>(window, "toolbar")->actions())
            QVERIFY2(!button->icon().isNull(), qPrintable(button->data().toString()));

        window->resize(640, 480);
        QCoreApplication::processEvents();
        const QSize outer = window->frameGeometry().size();
        QCOMPARE(itemList(*window)->geometry(),
                 QRect(0, 28, outer.width() - 7, outer.height() - 80));
        window->resize(1, 1);
        QCoreApplication::processEvents();
        QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());
    }

    // Header clicks sort by the column's text, first ascending, then toggling; another
    // column starts ascending again.
    void sortByHeaderClick() {
        MainWindow* window = m_fx->openMainWindow(kThreeRows);
        auto column = [this](int c) {
            QStringList texts;
            for (const Row& row : m_fx->shownRows())
                texts.append(row.at(c));
            return texts;
        };
        clickHeader(*window, 4);
        QCOMPARE(column(4), (QStringList{"10/1/2026", "12/5/2026", "9/30/2026"}));
        clickHeader(*window, 4);
        QCOMPARE(column(4), (QStringList{"9/30/2026", "12/5/2026", "10/1/2026"}));
        clickHeader(*window, 0);
        QCOMPARE(column(0), (QStringList{"1", "2", "3"}));
        QCOMPARE(column(4), (QStringList{"12/5/2026", "9/30/2026", "10/1/2026"}));
        clickHeader(*window, 0);
        QCOMPARE(column(0), (QStringList{"3", "2", "1"}));
    }

    // Press on the first row, release on the third: the rows exchange all but their priorities.
    // Then press on the second and release below the last row: over no row the release row
    // keeps its value, the third, so the second and third exchange.
    void dragToSwap() {
        MainWindow* window = m_fx->openMainWindow(kThreeRows);
        auto swapped = [](Rows rows, int a, int b) {
            for (int column = 1; column < 5; ++column)
                std::swap(rows[a][column], rows[b][column]);
            return rows;
        };
        drag(*window, rowCentre(*window, 0), rowCentre(*window, 2));
        QCOMPARE(m_fx->shownRows(), swapped(kThreeRows, 0, 2));
        drag(*window, rowCentre(*window, 1), rowCentre(*window, 2) + QPoint(0, 40));
        QCOMPARE(m_fx->shownRows(), swapped(swapped(kThreeRows, 0, 2), 1, 2));
        QCOMPARE(m_fx->storedItems(), kThreeRows); // the swap is in the list only
    }

    // Every printable character and the keypad's keys leave the list and the file alone; only
    // Delete and the keypad's Del delete the selected row, as do the menu and the toolbar. With
    // nothing selected nothing changes, and an empty list is not even rewritten.
    void onlyTheDeleteCommandsDelete() {
        const Row fourth = {"4", "Doe, Jane", "Review the will", "", ""};
        MainWindow* window = m_fx->openMainWindow(Rows(kThreeRows) << fourth);
        const QByteArray before = dbtest::fileBytes(m_fx->path);
        auto press = [window](auto key, Qt::KeyboardModifiers modifiers) {
            window->selectRow(1);
            QTest::keyClick(itemList(*window), key, modifiers);
        };
        const app::ItemStore& items = m_fx->session.items();
        for (char c = ' '; c <= '~'; ++c) {
            press(c, Qt::NoModifier);
            QVERIFY2(items.size() == 4, qPrintable(QStringLiteral("typed ") + QChar(c)));
        }
        for (int key = Qt::Key_0; key <= Qt::Key_9; ++key)
            press(Qt::Key(key), Qt::KeypadModifier);
        for (Qt::Key key : {Qt::Key_Period, Qt::Key_Comma, Qt::Key_Plus, Qt::Key_Minus,
                            Qt::Key_Asterisk, Qt::Key_Slash, Qt::Key_Insert, Qt::Key_Home,
                            Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Left,
                            Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Clear})
            press(key, Qt::KeypadModifier);
        QCOMPARE(items.size(), 4);
        QCOMPARE(dbtest::fileBytes(m_fx->path), before);
        QVERIFY(loaded(window) && m_fx->fakes.messageBoxes.calls().isEmpty());

        press(Qt::Key_Delete, Qt::NoModifier);
        press(Qt::Key_Delete, Qt::KeypadModifier);
        QCOMPARE(m_fx->storedItems(), (Rows{kThreeRows[0], fourth}));
        window->selectRow(1);
        clickToolbar(window, "deleteItem");
        QCOMPARE(window->selectedRow(), -1);
        action(window, "deleteItemAction")->trigger(); // nothing selected
        QCOMPARE(m_fx->shownRows(), Rows{kThreeRows[0]});
        QCOMPARE(m_fx->storedItems(), Rows{kThreeRows[0]});
        window->selectRow(0);
        action(window, "deleteItemAction")->trigger();
        const QByteArray empty = dbtest::fileBytes(m_fx->path);
        clickToolbar(window, "deleteItem");
        QCOMPARE(m_fx->storedItems(), Rows());
        QCOMPARE(dbtest::fileBytes(m_fx->path), empty);
        QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());
    }

    // Exit (from the menu, or Enter or Escape in the list) stores the list as it is, a
    // drag-to-swap included, and closes every window, the latest first and the main window last,
    // without letting the open dialog store anything. Closing the main window then runs Exit a
    // second time (a second position save), which finds closeAllWindows running. The close box
    // closes the main window first and runs Exit once.
    void exitUnloadsEveryWindow() {
        // 0: the menu, -1: the close box
        for (const int key :
             {0, -1, int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Escape)}) {
            m_fx.emplace();
            MainWindow* window = m_fx->openMainWindow(kThreeRows);
            drag(*window, rowCentre(*window, 0), rowCentre(*window, 1));
            const Rows swapped = m_fx->shownRows();
            QVERIFY(swapped != kThreeRows);
            // A modeless dialog opened after the main window, with an item not yet stored.
            CloseRecorder recorder{window, openOurWindow("addItemDialog")};
            QSignalSpy ended(&ui::WindowRegistry::instance(),
                             &ui::WindowRegistry::lastWindowUnloaded);

            if (key < 0)
                window->close();
            else if (key == 0)
                action(window, "exitAction")->trigger();
            else
                QTest::keyClick(itemList(*window), Qt::Key(key),
                                key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);

            QCOMPARE(recorder.order, (key < 0 ? QStringList{"mainWindow", "addItemDialog"}
                                              : QStringList{"addItemDialog", "mainWindow"}));
            QCOMPARE(ui::WindowRegistry::instance().count(), 0);
            QCOMPARE(ended.count(), 1);
            QCOMPARE(positionWrites(), key < 0 ? 1 : 2);
            QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());
            QCOMPARE(m_fx->storedItems(), swapped);
            QVERIFY(!ui::isClosingAllWindows());
        }
    }

    // Exit over a file that has become read-only: the message and a question whose default
    // is No. No keeps the program open with its list and its hold on the file; Yes ends it, the
    // file untouched and no longer held.
    void failedExitAsksBeforeClosing() {
        for (const bool byCloseBox : {false, true}) {
            m_fx.emplace();
            QPointer<MainWindow> window = m_fx->openMainWindow(kThreeRows);
            const QByteArray before = dbtest::fileBytes(m_fx->path);
            m_fx->session.takeUp(m_fx->path, db::FileHold::take(m_fx->path.toStdString()));
            m_fx->makeDatabaseReadOnly();
            auto exit = [&] {
                byCloseBox ? void(window->close()) : action(window, "exitAction")->trigger();
            };

            m_fx->fakes.messageBoxes.answerNext(Answer::No);
            exit();
            QVERIFY(loaded(window) && window->isVisible());
            QCOMPARE(m_fx->shownRows(), kThreeRows);
            QCOMPARE(positionWrites(), 0);
            QVERIFY(m_fx->session.holdsDatabase());

            m_fx->fakes.messageBoxes.answerNext(Answer::Yes);
            exit();
            QCOMPARE(ui::WindowRegistry::instance().count(), 0);
            QCOMPARE(positionWrites(), 1);
            QCOMPARE(dbtest::fileBytes(m_fx->path), before);
            QVERIFY(!m_fx->session.holdsDatabase());
            const QString failed = kExitFailed + "Could not open '" + m_fx->path + "': denied.";
            const QString question = "The to-do list was not stored in " + m_fx->path +
                                     ".  Do you want to close Tarnwick without storing it?";
            QCOMPARE(m_fx->fakes.messageBoxes.texts(),
                     (QStringList{failed, question, failed, question}));
            QCOMPARE(m_fx->fakes.messageBoxes.calls().at(1).defaultButton, Answer::No);
        }
    }

    // A list that was never loaded from its file (the folder has gone, or the file cannot be
    // read): the window opens empty with the file in its title, and Exit, whose rewrite is
    // refused, shows its message and ends the program without touching the file.
    void listNeverLoaded() {
        const struct {
            QString file;
            QByteArray contents; // empty: the folder has gone, and the whole start-up runs
            QStringList startMessages;
        } cases[] = {
            {"stick/TODO.MDB",
             {},
             {"Error in creating a new Tarnwick: ", "Error in populating initial lists: "}},
            {"notes.mdb",
             "Pay the rent.",
             {"The to-do items of %1 could not be loaded.  The list stays empty and is not stored "
              "in that file.  Error description: "}},
        };
        for (const auto& [file, contents, startMessages] : cases) {
            m_fx.emplace();
            const QString path = m_fx->dir.filePath(file);
            app::Session& session = m_fx->session;
            if (contents.isEmpty()) {
                m_fx->fakes.settings.preset("MostRecentToDoDatabases", "First", path);
                QVERIFY(app::StartUp(session, [&session] { MainWindow::showWindow(session); }));
            } else {
                dbtest::writeBytes(path, contents);
                session.takeUp(path, db::FileHold());
                app::loadItems(session);
                MainWindow::showWindow(session);
            }
            QStringList texts = m_fx->fakes.messageBoxes.texts();
            QCOMPARE(texts.size(), startMessages.size());
            for (int i = 0; i < texts.size(); ++i)
                QVERIFY2(texts[i].startsWith(QString(startMessages[i]).replace("%1", path)),
                         qPrintable(texts[i]));
            MainWindow* window = ui::findWindow<MainWindow>();
            QVERIFY(window && window->isVisible() && !session.items().loaded());
            QCOMPARE(session.items().size(), 0);
            QCOMPARE(window->windowTitle(), "Tarnwick - " + path);

            QSignalSpy ended(&ui::WindowRegistry::instance(),
                             &ui::WindowRegistry::lastWindowUnloaded);
            action(window, "exitAction")->trigger();
            QCOMPARE(m_fx->fakes.messageBoxes.texts().mid(texts.size()),
                     QStringList{kExitFailed + "The to-do items of " + path +
                                 " were never loaded, so the list was not stored there."});
            QCOMPARE(ended.count(), 1);
            QCOMPARE(positionWrites(), 1);
            QCOMPARE(m_fx->fakes.settings.writes().size(), 1); // the recent list is left alone
            QCOMPARE(dbtest::fileBytes(path), contents);
            QCOMPARE(QFile::exists(path), !contents.isEmpty());
        }
    }

    // The window appears at its saved position and returns to it when a window of ours closes
    // (a modal dialog, a modeless one); activated from another program it stays where it was
    // moved.
    void savedPositionComesBackAfterOurWindowsOnly() {
        m_fx->fakes.settings.preset("FormPosition", "frmToDo", "1200, 900, 9600, 7200");
        MainWindow* window = m_fx->openMainWindow(kThreeRows);
        const QRect saved(80, 60, 640, 480);
        const QPoint moved(300, 200);
        QTRY_COMPARE(window->frameGeometry(), saved);
        // Moves the main window, activates `other`, closes it when asked, and comes back.
        auto visit = [&](QWidget* other, bool close) {
            window->move(moved);
            other->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(other));
            if (close)
                other->close();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
        };
        QWidget otherProgram;
        otherProgram.show();
        visit(&otherProgram, false);
        QCOMPARE(window->frameGeometry().topLeft(), moved);

        ui::windowOpeners().editItem = [window](int) {
            QDialog dialog(window);
            QTimer::singleShot(20, &dialog, &QDialog::accept);
            dialog.exec();
        };
        window->selectRow(0);
        action(window, "editItemAction")->trigger();
        QTRY_COMPARE(window->frameGeometry(), saved);
        QWidget* about = openOurWindow("aboutBox");
        visit(about, false); // a window of ours that stays open
        QTRY_COMPARE(window->frameGeometry(), saved);
        visit(about, true);
        QTRY_COMPARE(window->frameGeometry(), saved);
    }

    // A file whose empty "Things To Do" lacks a field loads as an empty list, and Exit stores
    // that list without a word.
    void emptyTableOfOtherFieldsExitsQuietly() {
        std::vector<jet::TableSpec> tables = db::schema::tables();
        tables.back().fields.erase(tables.back().fields.begin()); // no "ThingToDo"
        QFile::remove(m_fx->path);
        dbtest::makeDatabase(m_fx->path, tables);
        app::loadItems(m_fx->session);
        action(MainWindow::showWindow(m_fx->session), "exitAction")->trigger();
        QCOMPARE(ui::WindowRegistry::instance().count(), 0);
        QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());
    }

    // Ctrl+F opens the find bar with the keyboard in its box; what is typed hides the rows none
    // of whose texts holds it, ignoring case, and Escape there closes the bar and shows them all.
    // Hidden rows are never lost: Delete, the drag-to-swap gesture, sorting and Exit act on every
    // item; Print prints the rows shown.
    void findBarFiltersTheRowsShownOnly() {
        const Row fourth = {"4", "Doe, Jane", "Review the will", "12/1/2026", ""};
        MainWindow* window = m_fx->openMainWindow(Rows(kThreeRows) << fourth);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTreeView* list = itemList(*window);
        auto* box = child<QLineEdit>(window, "findBox");
        auto shown = [list] {
            QStringList texts;
            for (int row = 0; row < list->model()->rowCount(); ++row)
                texts.append(list->model()->index(row, 2).data().toString());
            return texts;
        };
        list->setFocus();
        QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(box->isVisible() && box->hasFocus());
        QVERIFY(list->y() >= child<QWidget>(window, "findBar")->geometry().bottom());
        const struct {
            const char* typed;
            QStringList rows;
        } cases[] = {{"3", {"Draft the brief", "Court appearance re appeal"}},
                     {"SMITH", {"Call about the lease"}},
                     {"rE", {"Court appearance re appeal", "Review the will"}},
                     {"12/", {"Call about the lease", "Review the will"}},
                     {"nothing like it", {}},
                     {"", {kThreeRows[0][2], kThreeRows[1][2], kThreeRows[2][2], fourth[2]}}};
        for (const auto& c : cases) {
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, c.typed);
            if (c.typed[0] == '\0')
                QTest::keyClick(box, Qt::Key_Backspace);
            QCOMPARE(shown(), c.rows);
            QCOMPARE(window->selectedRow(), -1); // filtering selects nothing unasked
        }
        QTest::keyClick(box, Qt::Key_Escape);
        QTest::keyClick(list, Qt::Key_Delete); // nothing selected: nothing deleted
        QCOMPARE(m_fx->storedItems().size(), 4);
        QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);

        box->setText(", "); // the clients: Smith, Jones and Doe
        QCOMPARE(shown().size(), 3);
        window->selectRow(2); // Jones
        action(window, "deleteItemAction")->trigger();
        const Rows kept = {kThreeRows[0], kThreeRows[1], fourth};
        QCOMPARE(m_fx->storedItems(), kept);
        drag(*window, rowCentre(*window, 0), rowCentre(*window, 1)); // Smith and Doe, shown
        QCOMPARE(m_fx->shownRows().at(1), kThreeRows[1]);            // the hidden project stays put
        QCOMPARE(m_fx->shownRows().at(0).at(2), fourth[2]);
        clickHeader(*window, 2);
        QCOMPARE(m_fx->shownRows().at(0).at(2), kThreeRows[0][2]);
        QCOMPARE(m_fx->shownRows().at(1).at(2), kThreeRows[1][2]); // sorted with the others

        m_fx->fakes.printer = {};
        action(window, "printAction")->trigger();
        QStringList printed;
        for (const auto& line : m_fx->fakes.printer.lines)
            if (line.x == 2.7f && line.y > 1.0)
                printed.append(line.text);
        QCOMPARE(printed, (QStringList{"Call about the lease", "Review the will"}));

        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!box->isVisible() && box->text().isEmpty());
        QCOMPARE(shown().size(), 3);
        QVERIFY(ui::findWindow<MainWindow>() == window); // Escape in the box is not Exit
        box->setText("will");
        action(window, "exitAction")->trigger();
        QCOMPARE(m_fx->storedItems().size(), 3);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
