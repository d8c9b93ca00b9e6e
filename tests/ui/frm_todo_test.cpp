// The main window over a real database file, on Qt's offscreen platform with the platform
// fakes: its menus and toolbar, the list's sorting, pointer and key rules, the item commands,
// Exit and the unloading of every window.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>
#include <vector>

#include "app/frm_initial.h"
#include "app/globals.h"
#include "db/routines.h"
#include "db/schema.h"
#include "support/fake_platform.h"
#include "ui/main/frm_todo.h"
#include "ui/main/todo_list_model.h"
#include "ui/main/todo_list_view.h"
#include "ui/main/window_openers.h"
#include "ui/main/window_registry.h"

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

namespace {

// A plain list of rows, for putting rows into a table and reading them back.
class RowList final : public db::ToDoList {
public:
    RowList() = default;
    explicit RowList(Rows rows) : m_rows(std::move(rows)) {}
    void appendRow(const QString& column1) override {
        m_rows.append({column1, QString(), QString(), QString(), QString()});
    }
    void setCurrentRowCell(int column, const QString& text) override {
        m_rows.last()[column - 1] = text;
    }
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    QString cellText(int row, int column) const override {
        return m_rows.at(row - 1).at(column - 1);
    }
    const Rows& rows() const { return m_rows; }

private:
    Rows m_rows;
};

const Rows kThreeRows = {
    {"1", "Smith, Ann", "Call about the lease", "11/2/2026", "12/5/2026"},
    {"2", "Harbour Project", "Draft the brief", "11/3/2026", "9/30/2026"},
    {"3", "Jones, Bob", "Court appearance re appeal", "11/4/2026", "10/1/2026"},
};

Rows listRows(frmToDo& window) {
    Rows rows;
    for (int row = 1; row <= window.rowCount(); ++row) {
        QStringList texts;
        for (int column = 1; column <= 5; ++column)
            texts.append(window.cellText(row, column));
        rows.append(texts);
    }
    return rows;
}

QPoint rowCentre(frmToDo& window, int row) {
    return window.ListView1->visualRect(window.listModel().index(row - 1, 0)).center();
}

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
    std::unique_ptr<platform::fakes::FakePlatform> m_fakes;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    QPointer<frmInitial> m_initial;

    frmToDo* openMainWindow(const Rows& rows, const QStringList& recent = {}) {
        db::RewriteToDoItems(m_path, RowList(rows));
        m_initial->List2 = recent;
        frmToDo* window = frmToDo::showWindow();
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("main window not exposed");
        return window;
    }

    Rows tableRows() {
        RowList list;
        db::LoadToDoItems(m_path, list);
        return list.rows();
    }

    QByteArray fileBytes() {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    int positionWrites() {
        int count = 0;
        for (const auto& write : m_fakes->settings.writes())
            count += write.section == QLatin1String("FormPosition") ? 1 : 0;
        return count;
    }

    bool loaded(QWidget* window) { return ui::WindowRegistry::instance().contains(window); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init() {
        m_fakes = std::make_unique<platform::fakes::FakePlatform>(
            platform::fakes::FakeFiles::Mode::RealFileSystem);
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("todo.mdb"));
        db::schema::createDatabase(m_path.toStdString());
        app::resetGlobals();
        app::CurrentDatabasePath = m_path;
        app::ProgramFontName = QStringLiteral("Ariel");
        app::ProgramFontSize = QStringLiteral("9");
        m_initial = new frmInitial;
        ui::WindowRegistry::instance().add(m_initial);
    }

    void cleanup() {
        ui::WindowRegistry& registry = ui::WindowRegistry::instance();
        while (registry.count() > 0) {
            QWidget* window = registry.at(registry.count() - 1);
            registry.remove(window);
            delete window;
        }
        delete m_initial.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ui::windowOpeners() = {};
        QVERIFY2(m_fakes->errors().isEmpty(), qPrintable(m_fakes->errors().join('\n')));
        m_fakes.reset();
        m_dir.reset();
    }

    void recentEntries_data() {
        QTest::addColumn<QStringList>("recent");
        QTest::newRow("none") << QStringList();
        QTest::newRow("three") << QStringList{"/data/a.mdb", "/data/b&c.mdb", "/data/d.mdb"};
    }

    void recentEntries() {
        QFETCH(QStringList, recent);
        frmToDo* window = openMainWindow({}, recent);
        QCOMPARE(window->mnuSeparator->isVisible(), !recent.isEmpty());
        QCOMPARE(window->mnuSeparator->isEnabled(), !recent.isEmpty());
        for (int i = 0; i < 6; ++i) {
            QAction* entry = window->mnuFileName[i];
            const bool filled = i < recent.size();
            QCOMPARE(entry->isVisible(), filled);
            QCOMPARE(entry->isEnabled(), filled);
            QCOMPARE(entry->data().toString(), filled ? recent.at(i) : QString());
        }
        if (!recent.isEmpty()) // an ampersand in a path is shown, not taken as an access key
            QCOMPARE(window->mnuFileName[1]->text(), QStringLiteral("/data/b&&c.mdb"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Tarnwick - ") + m_path);
    }

    void menusAndToolbar() {
        frmToDo* window = openMainWindow({});
        QStringList bar;
        for (QAction* action : window->menuBar()->actions())
            bar.append(action->text());
        QCOMPARE(bar, (QStringList{"&File", "&Add item", "&Delete selected item",
                                   "&Edit selected item", "&Lists", "&Print", "&Help"}));
        QStringList file;
        for (QAction* action : window->mnuFile->actions())
            file.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(file, (QStringList{"&New To Do database", "&Open To Do database", "-", "&Fonts",
                                    "-", "FileName", "FileName", "FileName", "FileName", "FileName",
                                    "FileName", "-", "&Exit"}));
        QCOMPARE(window->mnuActivities->text(), QStringLiteral("&Activiities"));
        for (QAction* action : window->findChildren<QAction*>())
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->text()));

        QStringList keys;
        QStringList tips;
        for (QAction* button : window->Toolbar1->actions()) {
            keys.append(button->data().toString());
            tips.append(button->toolTip());
            QVERIFY(!button->icon().isNull());
        }
        QCOMPARE(keys, (QStringList{"New", "Open", "Small Caps", "Spell Check", "View Details",
                                    "Properties", "Delete", "Print", "Help"}));
        QCOMPARE(tips, (QStringList{"New To Do database", "Open To Do database",
                                    "Change program font", "Change print font", "Add item",
                                    "Edit item", "Delete item", "Print", "Help"}));
        QCOMPARE(window->ListView1->toolTip(),
                 QStringLiteral("This list displays your Things To Do"));
        QCOMPARE(window->ListView1->palette().color(QPalette::Base), QColor(192, 255, 255));
    }

    // Layout in twips at 15 twips per pixel: the list 100 twips narrower and 1200 twips lower
    // than the window, below the toolbar; columns share the list's width less 25 twips.
    void layoutFollowsTheWindow() {
        frmToDo* window = openMainWindow(kThreeRows);
        window->resize(640, 480);
        QCoreApplication::processEvents();
        const QSize outer = window->frameGeometry().size();
        QCOMPARE(window->ListView1->geometry(),
                 QRect(0, 28, outer.width() - 7, outer.height() - 80));
        const double listTwips = window->ListView1->width() * 15.0 - 25;
        const double shares[] = {0.09, 0.25, 0.42, 0.12, 0.12};
        for (int column = 0; column < 5; ++column)
            QCOMPARE(window->ListView1->header()->sectionSize(column),
                     qRound(listTwips * shares[column] / 15));

        window->resize(1, 1); // the smallest size: no message, nothing thrown
        QCoreApplication::processEvents();
        QVERIFY(m_fakes->messageBoxes.calls().isEmpty());
    }

    // Header clicks sort by the column's text, first ascending, then toggling; another
    // column starts ascending again.
    void sortByHeaderClick() {
        frmToDo* window = openMainWindow(kThreeRows);
        auto column = [window](int c) {
            QStringList texts;
            for (const QStringList& row : listRows(*window))
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
        frmToDo* window = openMainWindow(kThreeRows);
        drag(*window, rowCentre(*window, 1), rowCentre(*window, 3));
        QCOMPARE(window->pressIndex(), qint16(1));
        QCOMPARE(window->releaseIndex(), qint16(3));
        QCOMPARE(window->currentIndex(), 3);
        Rows expected = {
            {"1", "Jones, Bob", "Court appearance re appeal", "11/4/2026", "10/1/2026"},
            {"2", "Harbour Project", "Draft the brief", "11/3/2026", "9/30/2026"},
            {"3", "Smith, Ann", "Call about the lease", "11/2/2026", "12/5/2026"},
        };
        QCOMPARE(listRows(*window), expected);

        const QPoint belowLast = rowCentre(*window, 3) + QPoint(0, 40);
        drag(*window, rowCentre(*window, 2), belowLast);
        QCOMPARE(window->releaseIndex(), qint16(3));
        QCOMPARE(window->currentIndex(), 0);
        std::swap(expected[1], expected[2]);
        expected[1][0] = "2";
        expected[2][0] = "3";
        QCOMPARE(listRows(*window), expected);
        QCOMPARE(tableRows(), kThreeRows); // the swap is in the list only
    }

    void keysInTheList_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("exits");
        QTest::addColumn<int>("rowsLeft");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true << 3;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true << 3;
        QTest::newRow("letter") << int(Qt::Key_Q) << false << 3;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << false << 2;
    }

    void keysInTheList() {
        QFETCH(int, key);
        QFETCH(bool, exits);
        QFETCH(int, rowsLeft);
        frmToDo* window = openMainWindow(kThreeRows);
        QPointer<frmToDo> guard = window;
        window->selectRow(2);
        const QByteArray before = fileBytes();
        QTest::keyClick(window->ListView1, Qt::Key(key));
        QCOMPARE(loaded(window), !exits);
        QCOMPARE(loaded(m_initial), !exits);
        if (!exits)
            QCOMPARE(window->rowCount(), rowsLeft);
        if (key == Qt::Key_Q)
            QCOMPARE(fileBytes(), before);
        else
            QCOMPARE(tableRows().size(), rowsLeft);
        QVERIFY(m_fakes->messageBoxes.calls().isEmpty());
    }

    void deleteOnEmptyListTouchesNothing() {
        frmToDo* window = openMainWindow({});
        const QByteArray before = fileBytes();
        window->mnuDeleteItem->trigger();
        QCOMPARE(fileBytes(), before);
        QVERIFY(m_fakes->messageBoxes.calls().isEmpty());
    }

    void deleteSelectedRow_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<Rows>("expected");
        QTest::newRow("middle of three") << 2 << Rows{kThreeRows[0], kThreeRows[2]};
        QTest::newRow("none selected") << 0 << kThreeRows;
    }

    void deleteSelectedRow() {
        QFETCH(int, selected);
        QFETCH(Rows, expected);
        frmToDo* window = openMainWindow(kThreeRows);
        window->selectRow(selected);
        window->mnuDeleteItem->trigger();
        QCOMPARE(listRows(*window), expected);
        QCOMPARE(tableRows(), expected);
        QCOMPARE(window->selectedIndex(), 0);
    }

    // A drag-to-swap reaches the table with the next rewrite, whichever command makes it.
    void swapIsStored_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("Delete, nothing selected") << "delete";
        QTest::newRow("Delete from the toolbar") << "toolbar delete";
        QTest::newRow("Exit") << "exit";
        QTest::newRow("close box") << "close";
    }

    void swapIsStored() {
        QFETCH(QString, command);
        frmToDo* window = openMainWindow(kThreeRows);
        drag(*window, rowCentre(*window, 1), rowCentre(*window, 2));
        const Rows swapped = listRows(*window);
        QVERIFY(swapped != kThreeRows);
        window->ListView1->clearSelection();
        if (command == "delete")
            window->mnuDeleteItem->trigger();
        else if (command == "toolbar delete")
            window->Toolbar1_ButtonClick(QStringLiteral("Delete"));
        else if (command == "exit")
            window->mnuExit->trigger();
        else
            QVERIFY(window->close());
        QCOMPARE(tableRows(), swapped);
    }

    // Exit unloads every window, the latest first and frmInitial last, without letting the
    // open dialog store anything. From the menu, closing the main window runs Exit a second
    // time (a second position save), which finds UnloadAllForms running; the close box closes
    // the main window first and runs Exit once.
    void exitUnloadsEveryWindow_data() {
        QTest::addColumn<bool>("byCloseBox");
        QTest::addColumn<int>("positionSaves");
        QTest::addColumn<QStringList>("closeOrder");
        QTest::newRow("menu") << false << 2 << QStringList{"frmAddToToDo", "frmToDo", "frmInitial"};
        QTest::newRow("close box")
            << true << 1 << QStringList{"frmToDo", "frmAddToToDo", "frmInitial"};
    }

    void exitUnloadsEveryWindow() {
        QFETCH(bool, byCloseBox);
        QFETCH(int, positionSaves);
        QFETCH(QStringList, closeOrder);
        frmToDo* window = openMainWindow(kThreeRows);
        // A modeless dialog opened after the main window, with an item not yet stored.
        auto* dialog = new QWidget;
        dialog->setObjectName(QStringLiteral("frmAddToToDo"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        ui::WindowRegistry::instance().add(dialog);
        dialog->show();
        CloseRecorder recorder;
        for (QWidget* w :
             {static_cast<QWidget*>(m_initial.data()), static_cast<QWidget*>(window), dialog})
            recorder.watch(w);
        QSignalSpy ended(&ui::WindowRegistry::instance(), &ui::WindowRegistry::lastWindowUnloaded);

        if (byCloseBox)
            window->close();
        else
            window->mnuExit->trigger();

        QCOMPARE(recorder.order, closeOrder);
        QCOMPARE(ui::WindowRegistry::instance().count(), 0);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(positionWrites(), positionSaves);
        QCOMPARE(tableRows(), kThreeRows);
        QVERIFY(!ui::isUnloadingAllForms());
    }

    // A rewrite that fails shows its message and leaves the program as it was, also when the
    // main window's close box started it.
    void failedExitKeepsTheProgramOpen_data() {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("menu") << false;
        QTest::newRow("close box") << true;
    }

    void failedExitKeepsTheProgramOpen() {
        QFETCH(bool, byCloseBox);
        frmToDo* window = openMainWindow(kThreeRows);
        QVERIFY(QFile::remove(m_path));
        QString description;
        try {
            db::RewriteToDoItems(m_path, RowList(kThreeRows));
        } catch (const std::exception& e) {
            description = QString::fromUtf8(e.what());
        }
        QVERIFY(!description.isEmpty());

        if (byCloseBox)
            QVERIFY(!window->close());
        else
            window->mnuExit->trigger();

        QCOMPARE(m_fakes->messageBoxes.texts(),
                 QStringList{"There was an error in exiting the program: " + description});
        QCOMPARE(m_fakes->messageBoxes.calls().first().title, QStringLiteral("Tarnwick"));
        QVERIFY(loaded(window) && loaded(m_initial));
        QVERIFY(window->isVisible());
        QCOMPARE(listRows(*window), kThreeRows);
        QCOMPARE(positionWrites(), 0);
    }

    void editFillsTheInputs_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("project");
        QTest::newRow("client") << 1 << "Smith, Ann"
                                << "";
        QTest::newRow("project") << 2 << ""
                                 << "Harbour Project";
    }

    void editFillsTheInputs() {
        QFETCH(int, row);
        QFETCH(QString, client);
        QFETCH(QString, project);
        frmToDo* window = openMainWindow(kThreeRows);
        int opened = 0;
        ui::windowOpeners().editItem = [&opened] { ++opened; };

        window->mnuEditItem->trigger(); // nothing selected: nothing happens
        QCOMPARE(opened, 0);
        window->selectRow(row);
        window->Toolbar1_ButtonClick(QStringLiteral("Properties"));
        QCOMPARE(opened, 1);
        const QStringList& texts = kThreeRows[row - 1];
        QCOMPARE(app::EditPriority, texts[0]);
        QCOMPARE(app::EditClient, client);
        QCOMPARE(app::EditProject, project);
        QCOMPARE(app::EditThingToDo, texts[2]);
        QCOMPARE(app::EditStartDate, texts[3]);
        QCOMPARE(app::EditDeadline, texts[4]);
    }

    // Each activation puts the window back where it was saved, also when a modal dialog
    // hands the focus back.
    void returnsToSavedPositionAfterDialog() {
        m_fakes->settings.preset("FormPosition", "frmToDo", "1200, 900, 9600, 7200");
        frmToDo* window = openMainWindow(kThreeRows);
        const QRect saved(80, 60, 640, 480);
        QTRY_COMPARE(window->frameGeometry(), saved);
        window->setGeometry(300, 200, 500, 400);
        QVERIFY(window->frameGeometry() != saved);

        ui::windowOpeners().editItem = [window] {
            QDialog dialog(window);
            QTimer::singleShot(20, &dialog, &QDialog::accept);
            dialog.exec();
        };
        window->selectRow(1);
        window->mnuEditItem->trigger();
        QTRY_COMPARE(window->frameGeometry(), saved);
    }

    void toolbarIgnoresErrors() {
        frmToDo* window = openMainWindow(kThreeRows);
        ui::windowOpeners().addItem = [] { throw std::runtime_error("no dialog"); };
        window->Toolbar1_ButtonClick(QStringLiteral("View Details"));
        window->Toolbar1_ButtonClick(QStringLiteral("No such key"));
        QVERIFY(m_fakes->messageBoxes.calls().isEmpty());
        window->mnuAddItem->trigger();
        QCOMPARE(m_fakes->messageBoxes.texts(),
                 QStringList{"There was an error in adding an item: no dialog"});
    }

    void deadlinesStandOut_data() {
        QTest::addColumn<QString>("deadline");
        QTest::addColumn<int>("urgency");
        QTest::newRow("passed") << "12/4/2026" << int(ui::ToDoListModel::Urgency::Overdue);
        QTest::newRow("today") << "12/5/2026" << int(ui::ToDoListModel::Urgency::DueToday);
        QTest::newRow("today, with a time")
            << "12/5/2026 2:30:05 PM" << int(ui::ToDoListModel::Urgency::DueToday);
        QTest::newRow("ahead") << "1/2/2027" << int(ui::ToDoListModel::Urgency::None);
        QTest::newRow("empty") << "" << int(ui::ToDoListModel::Urgency::None);
        QTest::newRow("not a date") << "soon" << int(ui::ToDoListModel::Urgency::None);
    }

    void deadlinesStandOut() {
        QFETCH(QString, deadline);
        QFETCH(int, urgency);
        ui::ToDoListModel model;
        model.setToday(QDate(2026, 12, 5));
        model.append("1");
        model.setText(0, 4, deadline);
        QCOMPARE(int(model.urgency(0)), urgency);
        const bool tinted = urgency != int(ui::ToDoListModel::Urgency::None);
        QCOMPARE(model.data(model.index(0, 2), Qt::BackgroundRole).isValid(), tinted);
    }
};

QTEST_MAIN(FrmToDoTest)
#include "frm_todo_test.moc"
