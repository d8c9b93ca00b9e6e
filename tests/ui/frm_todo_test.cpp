// The main window over a real database file, on Qt's offscreen platform with the platform
// fakes: its menus and toolbar, the list's sorting, pointer and key rules, the item commands,
// Exit and the unloading of every window, the start-up that hands over to it, and its saved
// position.
#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <optional>

#include "app/globals.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "support/window_fixture.h"
#include "ui/common/single_window.h"
#include "ui/main/frm_todo.h"
#include "ui/main/todo_list_model.h"
#include "ui/main/todo_list_view.h"
#include "ui/main/window_openers.h"

using platform::Answer;
using support::kThreeRows;
using support::Row;
using support::rowCentre;
using support::Rows;

namespace {

const QString kExitFailed = QStringLiteral("There was an error in exiting the program: ");

void clickHeader(frmToDo& window, int column) {
    QHeaderView* header = window.ListView1->header();
    const int x = header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

void drag(frmToDo& window, const QPoint& from, const QPoint& to) {
    QWidget* viewport = window.ListView1->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
}

// Records the order in which windows receive their close event.
class CloseRecorder final : public QObject {
public:
    void watch(QWidget* window) { window->installEventFilter(this); }
    QStringList order;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && !order.contains(watched->objectName()))
            order.append(watched->objectName());
        return false;
    }
};

} // namespace

class FrmToDoTest : public QObject {
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

    void menusToolbarAndRecentEntries() {
        const QStringList recent = {"/data/a.mdb", "/data/b&c.mdb", "/data/d.mdb"};
        frmToDo* window = m_fx->openMainWindow({}, recent);
        auto texts = [](QWidget* owner) {
            QStringList list;
            for (QAction* action : owner->actions())
                list.append(action->isSeparator() ? "-"
                            : action->isVisible() ? action->text()
                                                  : "(hidden)");
            return list;
        };
        QCOMPARE(texts(window->menuBar()),
                 (QStringList{"&File", "&Add item", "&Delete selected item", "&Edit selected item",
                              "&Lists", "&Print", "&Help"}));
        // An ampersand in a path is shown, not taken as an access key.
        QCOMPARE(texts(window->mnuFile),
                 (QStringList{"&New To Do database", "&Open To Do database", "-", "&Fonts", "-",
                              "/data/a.mdb", "/data/b&&c.mdb", "/data/d.mdb", "(hidden)",
                              "(hidden)", "(hidden)", "-", "&Exit"}));
        QCOMPARE(window->mnuFileName[1]->data().toString(), recent[1]);
        QStringList buttons;
        for (QAction* button : window->Toolbar1->actions())
            buttons.append(button->data().toString() + ": " + button->toolTip() +
                           (button->icon().isNull() ? " (no picture)" : ""));
        QCOMPARE(buttons,
                 (QStringList{"New: New To Do database", "Open: Open To Do database",
                              "Small Caps: Change program font", "Spell Check: Change print font",
                              "View Details: Add item", "Properties: Edit item",
                              "Delete: Delete item", "Print: Print", "Help: Help"}));
    }

    // The list is 100 twips narrower and 1200 twips lower than the window, below the toolbar;
    // the smallest window resizes without a message.
    void layoutFollowsTheWindow() {
        frmToDo* window = m_fx->openMainWindow(kThreeRows);
        window->resize(640, 480);
        QCoreApplication::processEvents();
        const QSize outer = window->frameGeometry().size();
        QCOMPARE(window->ListView1->geometry(),
                 QRect(0, 28, outer.width() - 7, outer.height() - 80));
        window->resize(1, 1);
        QCoreApplication::processEvents();
        QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());
    }

    // Header clicks sort by the column's text, first ascending, then toggling; another
    // column starts ascending again.
    void sortByHeaderClick() {
        frmToDo* window = m_fx->openMainWindow(kThreeRows);
        auto column = [window](int c) {
            QStringList texts;
            for (const Row& row : support::rowsOf(*window))
                texts.append(row.at(c - 1));
            return texts;
        };
        clickHeader(*window, 5);
        QCOMPARE(column(5), (QStringList{"10/1/2026", "12/5/2026", "9/30/2026"}));
        clickHeader(*window, 5);
        QCOMPARE(column(5), (QStringList{"9/30/2026", "12/5/2026", "10/1/2026"}));
        clickHeader(*window, 1);
        QCOMPARE(column(1), (QStringList{"1", "2", "3"}));
        QCOMPARE(column(5), (QStringList{"12/5/2026", "9/30/2026", "10/1/2026"}));
        clickHeader(*window, 1);
        QCOMPARE(column(1), (QStringList{"3", "2", "1"}));
    }

    void sortIgnoresCaseAndKeepsTies() {
        ui::ToDoListModel model;
        for (const char* text : {"b", "A", "a", "B", "a"}) {
            model.append(QString::number(model.size() + 1));
            model.setText(model.size() - 1, 1, QLatin1String(text));
        }
        model.sortByColumn(1, Qt::AscendingOrder);
        QStringList order;
        for (int row = 0; row < model.size(); ++row)
            order.append(model.text(row, 0) + model.text(row, 1));
        QCOMPARE(order, (QStringList{"2A", "3a", "5a", "1b", "4B"}));
    }

    // Press on row 1, release on row 3: the rows exchange columns 2 to 5 and keep their
    // priorities. Then press on row 2 and release below the last row: over no row the release
    // index keeps its value 3, so rows 2 and 3 exchange.
    void dragToSwap() {
        frmToDo* window = m_fx->openMainWindow(kThreeRows);
        auto swapped = [](Rows rows, int a, int b) {
            for (int column = 1; column < 5; ++column)
                std::swap(rows[a][column], rows[b][column]);
            return rows;
        };
        drag(*window, rowCentre(*window, 1), rowCentre(*window, 3));
        QCOMPARE(window->currentIndex(), 3);
        QCOMPARE(support::rowsOf(*window), swapped(kThreeRows, 0, 2));
        drag(*window, rowCentre(*window, 2), rowCentre(*window, 3) + QPoint(0, 40));
        QCOMPARE(window->currentIndex(), 0);
        QCOMPARE(support::rowsOf(*window), swapped(swapped(kThreeRows, 0, 2), 1, 2));
        QCOMPARE(m_fx->storedItems(), kThreeRows); // the swap is in the list only
    }

    // Every printable character and the keypad's keys leave the list and the file alone; only
    // Delete and the keypad's Del delete the selected row, as do the menu and the toolbar. With
    // nothing selected nothing changes, and an empty list is not even rewritten.
    void onlyTheDeleteCommandsDelete() {
        const Row fourth = {"4", "Doe, Jane", "Review the will", "", ""};
        frmToDo* window = m_fx->openMainWindow(Rows(kThreeRows) << fourth);
        const QByteArray before = dbtest::fileBytes(m_fx->path);
        auto press = [window](auto key, Qt::KeyboardModifiers modifiers) {
            window->selectRow(2);
            QTest::keyClick(window->ListView1, key, modifiers);
        };
        for (char c = ' '; c <= '~'; ++c) {
            press(c, Qt::NoModifier);
            QVERIFY2(window->rowCount() == 4, qPrintable(QStringLiteral("typed ") + QChar(c)));
        }
        for (int key = Qt::Key_0; key <= Qt::Key_9; ++key)
            press(Qt::Key(key), Qt::KeypadModifier);
        for (Qt::Key key : {Qt::Key_Period, Qt::Key_Comma, Qt::Key_Plus, Qt::Key_Minus,
                            Qt::Key_Asterisk, Qt::Key_Slash, Qt::Key_Insert, Qt::Key_Home,
                            Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Left,
                            Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Clear})
            press(key, Qt::KeypadModifier);
        QCOMPARE(window->rowCount(), 4);
        QCOMPARE(dbtest::fileBytes(m_fx->path), before);
        QVERIFY(loaded(window) && m_fx->fakes.messageBoxes.calls().isEmpty());

        press(Qt::Key_Delete, Qt::NoModifier);
        press(Qt::Key_Delete, Qt::KeypadModifier);
        QCOMPARE(m_fx->storedItems(), (Rows{kThreeRows[0], fourth}));
        window->selectRow(2);
        window->Toolbar1_ButtonClick("Delete");
        QCOMPARE(window->selectedIndex(), 0);
        window->mnuDeleteItem->trigger(); // nothing selected
        QCOMPARE(support::rowsOf(*window), Rows{kThreeRows[0]});
        QCOMPARE(m_fx->storedItems(), Rows{kThreeRows[0]});
        window->selectRow(1);
        window->mnuDeleteItem->trigger();
        const QByteArray empty = dbtest::fileBytes(m_fx->path);
        window->Toolbar1_ButtonClick("Delete");
        QCOMPARE(m_fx->storedItems(), Rows());
        QCOMPARE(dbtest::fileBytes(m_fx->path), empty);
        QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());
    }

    // Exit (from the menu, or Enter or Escape in the list) stores the list as it is, a
    // drag-to-swap included, and unloads every window, the latest first and frmInitial last,
    // without letting the open dialog store anything. Closing the main window then runs Exit a
    // second time (a second position save), which finds UnloadAllForms running. The close box
    // closes the main window first and runs Exit once.
    void exitUnloadsEveryWindow() {
        // 0: the menu, -1: the close box
        for (const int key :
             {0, -1, int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Escape)}) {
            m_fx.emplace();
            frmToDo* window = m_fx->openMainWindow(kThreeRows);
            drag(*window, rowCentre(*window, 1), rowCentre(*window, 2));
            const Rows swapped = support::rowsOf(*window);
            QVERIFY(swapped != kThreeRows);
            // A modeless dialog opened after the main window, with an item not yet stored.
            auto* dialog = new QWidget;
            dialog->setObjectName(QStringLiteral("frmAddToToDo"));
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            ui::WindowRegistry::instance().add(dialog);
            dialog->show();
            CloseRecorder recorder;
            for (QWidget* w : {static_cast<QWidget*>(m_fx->initial.data()),
                               static_cast<QWidget*>(window), dialog})
                recorder.watch(w);
            QSignalSpy ended(&ui::WindowRegistry::instance(),
                             &ui::WindowRegistry::lastWindowUnloaded);

            if (key < 0)
                window->close();
            else if (key == 0)
                window->mnuExit->trigger();
            else
                QTest::keyClick(window->ListView1, Qt::Key(key),
                                key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);

            const QStringList latestFirst = {"frmAddToToDo", "frmToDo", "frmInitial"};
            const QStringList mainFirst = {"frmToDo", "frmAddToToDo", "frmInitial"};
            QCOMPARE(recorder.order, key < 0 ? mainFirst : latestFirst);
            QCOMPARE(ui::WindowRegistry::instance().count(), 0);
            QCOMPARE(ended.count(), 1);
            QCOMPARE(positionWrites(), key < 0 ? 1 : 2);
            QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());
            QCOMPARE(m_fx->storedItems(), swapped);
            QVERIFY(!ui::isUnloadingAllForms());
        }
    }

    // Exit over a file that has become read-only: the message and a question whose default
    // is No. No keeps the program open with its list and its hold on the file; Yes ends it, the
    // file untouched and no longer held.
    void failedExitAsksBeforeClosing() {
        for (const bool byCloseBox : {false, true}) {
            m_fx.emplace();
            QPointer<frmToDo> window = m_fx->openMainWindow(kThreeRows);
            const QByteArray before = dbtest::fileBytes(m_fx->path);
            app::databaseHold() = db::FileHold::take(m_fx->path.toStdString());
            m_fx->makeDatabaseReadOnly();
            auto exit = [&] { byCloseBox ? void(window->close()) : window->mnuExit->trigger(); };

            m_fx->fakes.messageBoxes.answerNext(Answer::No);
            exit();
            QVERIFY(loaded(window) && loaded(m_fx->initial) && window->isVisible());
            QCOMPARE(support::rowsOf(*window), kThreeRows);
            QCOMPARE(positionWrites(), 0);
            QVERIFY(app::databaseHold().holds());

            m_fx->fakes.messageBoxes.answerNext(Answer::Yes);
            exit();
            QCOMPARE(ui::WindowRegistry::instance().count(), 0);
            QCOMPARE(positionWrites(), 1);
            QCOMPARE(dbtest::fileBytes(m_fx->path), before);
            QVERIFY(!app::databaseHold().holds());
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
            if (contents.isEmpty()) {
                m_fx->fakes.settings.preset("MostRecentToDoDatabases", "First", path);
                QVERIFY(m_fx->initial->load([] { frmToDo::showWindow(); }));
            } else {
                dbtest::writeBytes(path, contents);
                app::CurrentDatabasePath = path;
                frmToDo::showWindow();
            }
            QStringList texts = m_fx->fakes.messageBoxes.texts();
            QCOMPARE(texts.size(), startMessages.size());
            for (int i = 0; i < texts.size(); ++i)
                QVERIFY2(texts[i].startsWith(QString(startMessages[i]).replace("%1", path)),
                         qPrintable(texts[i]));
            frmToDo* window = ui::findWindow<frmToDo>();
            QVERIFY(window && window->isVisible() && !window->listLoaded());
            QCOMPARE(window->rowCount(), 0);
            QCOMPARE(window->windowTitle(), "Tarnwick - " + path);

            QSignalSpy ended(&ui::WindowRegistry::instance(),
                             &ui::WindowRegistry::lastWindowUnloaded);
            window->mnuExit->trigger();
            QCOMPARE(m_fx->fakes.messageBoxes.texts().mid(texts.size()),
                     QStringList{kExitFailed + "The to-do items of " + path +
                                 " were never loaded, so the list was not stored there."});
            QCOMPARE(ended.count(), 1);
            QCOMPARE(positionWrites(), 1);
            QCOMPARE(dbtest::fileBytes(path), contents);
            QCOMPARE(QFile::exists(path), !contents.isEmpty());
        }
    }

    // The window appears at its saved position and returns to it when a window of ours closes
    // (a modal dialog, a modeless one); activated from another program it stays where it was
    // moved.
    void savedPositionComesBackAfterOurWindowsOnly() {
        m_fx->fakes.settings.preset("FormPosition", "frmToDo", "1200, 900, 9600, 7200");
        frmToDo* window = m_fx->openMainWindow(kThreeRows);
        const QRect saved(80, 60, 640, 480);
        QTRY_COMPARE(window->frameGeometry(), saved);
        QVERIFY(QTest::qWaitForWindowActive(window));
        const QPoint moved(300, 200);
        window->move(moved);

        QWidget otherProgram;
        otherProgram.show();
        otherProgram.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&otherProgram));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->frameGeometry().topLeft(), moved);

        ui::windowOpeners().editItem = [window] {
            QDialog dialog(window);
            QTimer::singleShot(20, &dialog, &QDialog::accept);
            dialog.exec();
        };
        window->selectRow(1);
        window->mnuEditItem->trigger();
        QTRY_COMPARE(window->frameGeometry(), saved);

        window->move(moved);
        auto* about = new QWidget;
        about->setAttribute(Qt::WA_DeleteOnClose);
        ui::WindowRegistry::instance().add(about);
        about->show();
        about->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(about));
        window->activateWindow(); // back from a window of ours that stays open
        QTRY_COMPARE(window->frameGeometry(), saved);
        window->move(moved);
        about->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(about));
        about->close();
        window->activateWindow();
        QTRY_COMPARE(window->frameGeometry(), saved);
    }

    // A file of other fields whose "Things To Do" is empty: it loads as an empty list, and
    // Exit stores that list without a word.
    void emptyTableOfOtherFieldsExitsQuietly() {
        std::vector<jet::TableSpec> tables = db::schema::tables();
        tables.back().fields.erase(tables.back().fields.begin()); // no "ThingToDo"
        QFile::remove(m_fx->path);
        dbtest::makeDatabase(m_fx->path, tables);
        frmToDo* window = frmToDo::showWindow();
        QCOMPARE(window->rowCount(), 0);
        window->mnuExit->trigger();
        QCOMPARE(ui::WindowRegistry::instance().count(), 0);
        QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());
    }

    void toolbarIgnoresErrors() {
        frmToDo* window = m_fx->openMainWindow(kThreeRows);
        ui::windowOpeners().addItem = [] { throw std::runtime_error("no dialog"); };
        ui::windowOpeners().editItem = ui::windowOpeners().addItem;
        window->mnuEditItem->trigger(); // nothing selected: nothing opens
        window->Toolbar1_ButtonClick(QStringLiteral("View Details"));
        window->Toolbar1_ButtonClick(QStringLiteral("No such key"));
        QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());
        window->mnuAddItem->trigger();
        QCOMPARE(m_fx->fakes.messageBoxes.texts(),
                 QStringList{"There was an error in adding an item: no dialog"});
    }

    void deadlinesStandOut() {
        using Urgency = ui::ToDoListModel::Urgency;
        const std::pair<const char*, Urgency> cases[] = {
            {"12/4/2026", Urgency::Overdue},
            {"12/5/2026", Urgency::DueToday},
            {"12/5/2026 2:30:05 PM", Urgency::DueToday},
            {"1/2/2027", Urgency::None},
            {"", Urgency::None},
            {"soon", Urgency::None},
        };
        ui::ToDoListModel model;
        model.setToday(QDate(2026, 12, 5));
        for (const auto& [deadline, urgency] : cases) {
            model.append("1");
            model.setText(model.size() - 1, 4, QLatin1String(deadline));
            QCOMPARE(int(model.urgency(model.size() - 1)), int(urgency));
            QCOMPARE(model.data(model.index(model.size() - 1, 2), Qt::BackgroundRole).isValid(),
                     urgency != Urgency::None);
        }
    }
};

QTEST_MAIN(FrmToDoTest)
#include "frm_todo_test.moc"
