// The Add item and Edit item dialogs, opened by the main window's commands over a real database
// file, on Qt's offscreen platform with the platform fakes.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

#include "app/globals.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "platform/services.h"
#include "support/modal_script.h"
#include "support/window_fixture.h"
#include "ui/common/single_window.h"
#include "ui/items/date_picker.h"
#include "ui/items/frm_add_to_todo.h"
#include "ui/items/frm_edit_todo.h"
#include "ui/main/frm_todo.h"

using support::entries;
using support::Row;
using support::Rows;
using Records = std::vector<std::vector<std::string>>;

namespace {

const Rows kRows = {
    {"1", "Smith, Ann", "Call about the lease", "11/2/2026", "12/5/2026"},
    {"5", "Harbour Project", "Draft the brief", "11/3/2026", ""},
};
const QString kNoChoice = "You must select a client or a project.  Try again.";
const QString kNotStored = "The to-do item could not be stored in %1.  What you entered is still "
                           "in the window.  Error description: ";

std::string iso(const QDate& date) {
    return date.toString(Qt::ISODate).toStdString() + "T00:00:00";
}

void choose(QListWidget* list, const QString& text) {
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly).value(0));
}

// How Done is run: 0 the menu, 1 the toolbar, 2 Enter in the dialog's text box `box`.
void runDone(ui::ItemDialog& dialog, int how, QLineEdit* box) {
    if (how == 0)
        dialog.mnuDone->trigger();
    else if (how == 1)
        dialog.Toolbar1_ButtonClick("Forward");
    else
        QTest::keyClick(box, Qt::Key_Return);
}

} // namespace

class ItemDialogsTest : public QObject {
    Q_OBJECT

private:
    std::optional<support::WindowFixture> m_fx;
    frmToDo* m_main = nullptr;

    Records records() const { return dbtest::tableRows(m_fx->path, "Things To Do"); }
    QStringList messages() const { return m_fx->fakes.messageBoxes.texts(); }

    frmAddToToDo* openAdd() {
        m_main->mnuAddItem->trigger();
        return ui::findWindow<frmAddToToDo>();
    }

    // Runs the Edit command on `row`; `act` is the user's part while the dialog is open.
    void edit(int row, const std::function<void(frmEditToDo&)>& act) {
        m_main->selectRow(row);
        support::ModalScript script(
            {[&act](QWidget* window) { act(*qobject_cast<frmEditToDo*>(window)); }});
        m_main->mnuEditItem->trigger();
    }

    // The main list and the file hold `rows` again, loaded under the current locale.
    void reload(const Rows& rows) {
        m_fx->storeItems(rows);
        m_main->clearRows();
        m_main->loadRows();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init() {
        m_fx.emplace();
        dbtest::addRecords(m_fx->path, "Clients",
                           {{{"Client", dbtest::text("Young, Zoe")}},
                            {{"Client", dbtest::text("adams, Al")}},
                            {{"Client", dbtest::text("Baker, Bo")}}});
        dbtest::addRecords(m_fx->path, "Projects",
                           {{{"Project", dbtest::text("Harbour Project")}}});
        m_main = m_fx->openMainWindow(kRows);
    }

    void cleanup() { m_fx.reset(); }

    // Captions, place, the lists (activities in table order), the focus; each opening starts
    // afresh, and a second Add command brings the open dialog forward as it is.
    void addOpensAfresh() {
        frmAddToToDo* dialog = openAdd();
        QCOMPARE(
            QStringList({dialog->windowTitle(), dialog->Label1->text(), dialog->Label4->text(),
                         dialog->Frame1->title(), dialog->Label2->text(), dialog->Label3->text(),
                         dialog->mnuReturn->text(), dialog->mnuDone->text()}),
            QStringList({"Add to the To Do list", "Client:", "Project:", "Priority Level:",
                         "Deadline Date:", "Thing To Do:", "&Return", "&Done"}));
        QCOMPARE(dialog->frameGeometry().topLeft(),
                 m_main->frameGeometry().topLeft() + QPoint(13, 13));
        QVERIFY(dialog->focusWidget() == dialog->List1);
        QCOMPARE(entries(*dialog->List1), QStringList({"adams, Al", "Baker, Bo", "Young, Zoe"}));
        QCOMPARE(entries(*dialog->List2),
                 QStringList({"ADMINISTRATION", "CONTINUING EDUCATION", "Harbour Project",
                              "MARKETING", "MONTHLY STATEMENTS", "PAY BILLS", "REVIEW CASES"}));
        QStringList activities;
        for (const std::string& activity : db::schema::defaultActivities())
            activities.append(QString::fromStdString(activity));
        QCOMPARE(entries(*dialog->List3), activities);

        for (int opening = 0; opening < 2; ++opening) {
            QCOMPARE(dialog->selectedPriority(), "3");
            QCOMPARE(dialog->DTPicker1->chosenDate(), std::optional(QDate::currentDate()));
            QVERIFY(dialog->Text1->text().isEmpty() && !dialog->activityListShown());
            QVERIFY(dialog->List1->selectedItems().isEmpty());
            dialog->Option1[0]->click();
            dialog->DTPicker1->setDate(QDate(2027, 1, 2));
            QTest::keyClicks(dialog->Text1, "Draft");
            choose(dialog->List1, "Baker, Bo");
            QTest::keyClick(dialog->Text1, Qt::Key_F3);
            QCOMPARE(openAdd(), dialog); // brought forward as it is
            QCOMPARE(dialog->Text1->text(), "Draft");
            QTest::keyClick(dialog->List3, Qt::Key_Escape);
            QTest::keyClick(dialog->Text1, Qt::Key_Escape); // Return
            QTRY_VERIFY(!ui::findWindow<frmAddToToDo>());
            dialog = openAdd();
        }
        dialog->Toolbar1_ButtonClick("Back");
        QTRY_VERIFY(!ui::findWindow<frmAddToToDo>());
        QCOMPARE(support::rowsOf(*m_main), kRows);
        QVERIFY(messages().isEmpty());
    }

    // Escape returns only from the text box whose rule says so; in a list, a priority button or
    // the picker it keeps everything entered. The close box still closes.
    void escapeReturnsOnlyFromItsTextBox() {
        frmAddToToDo* add = openAdd();
        QTest::keyClicks(add->Text1, "Draft");
        choose(add->List1, "Baker, Bo");
        for (QWidget* control : std::initializer_list<QWidget*>{add->List1, add->List2,
                                                                add->Option1[2], add->DTPicker1})
            QTest::keyClick(control, Qt::Key_Escape);
        QCOMPARE(ui::findWindow<frmAddToToDo>(), add);
        QCOMPARE(add->Text1->text(), "Draft");
        add->close();
        QTRY_VERIFY(!ui::findWindow<frmAddToToDo>());

        edit(2, [](frmEditToDo& dialog) {
            QTest::keyClicks(dialog.Text2, " now");
            for (QWidget* control :
                 std::initializer_list<QWidget*>{dialog.Text1, dialog.Option1[0], dialog.DTPicker1})
                QTest::keyClick(control, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
            QTest::keyClick(dialog.Text2, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(support::rowsOf(*m_main), kRows);
        QVERIFY(messages().isEmpty());
    }

    // A file made elsewhere with a wider "ThingToDo": a stored text past the box's usual 150
    // characters is shown whole, and Done stores exactly what the box holds.
    void editKeepsATextLongerThanTheBox() {
        std::vector<jet::TableSpec> tables = db::schema::tables();
        tables.back().fields.front().size = 255;
        QFile::remove(m_fx->path);
        dbtest::makeDatabase(m_fx->path, tables);
        const QString text = QString("Review the lease ").repeated(12).left(200);
        reload({{"2", "Harbour Project", text, "11/3/2026", ""}});
        edit(1, [&](frmEditToDo& dialog) {
            QCOMPARE(dialog.Text2->text(), text);
            dialog.Option1[0]->click();
            dialog.mnuDone->trigger();
        });
        QCOMPARE(support::rowsOf(*m_main), Rows({{"1", "Harbour Project", text, "11/3/2026", ""}}));
        QCOMPARE(records().at(0).at(0), text.toStdString());
        QVERIFY(messages().isEmpty());
    }

    // Done by menu, toolbar or Enter: one record and one row at the end, made current (a client
    // before a project); without a client or a project, the message, and nothing written.
    void addStoresOneItem() {
        const struct {
            QString client, project, text;
            int how;
        } cases[] = {{"Baker, Bo", "", "Call re lease", 0},
                     {"", "PAY BILLS", "", 1},
                     {"Young, Zoe", "MARKETING", "x", 2},
                     {"", "", "kept", 2}};
        const QDate today = QDate::currentDate();
        Records expected = records();
        Rows rows = kRows;
        for (const auto& c : cases) {
            frmAddToToDo* dialog = openAdd();
            choose(dialog->List1, c.client);
            choose(dialog->List2, c.project);
            dialog->Option1[3]->click();
            dialog->DTPicker1->setDate(QDate(2027, 2, 28));
            QTest::keyClicks(dialog->Text1, c.text);
            runDone(*dialog, c.how, dialog->Text1);
            const QString name = c.client.isEmpty() ? c.project : c.client;
            if (!name.isEmpty()) {
                expected.push_back({c.text.toStdString(),
                                    c.client.isEmpty() ? "<null>" : name.toStdString(),
                                    c.client.isEmpty() ? name.toStdString() : "<null>", "4",
                                    iso(today), "2027-02-28T00:00:00"});
                rows.append({"4", name, c.text, today.toString("M/d/yyyy"), "2/28/2027"});
                QTRY_VERIFY(!ui::findWindow<frmAddToToDo>());
                QCOMPARE(m_main->currentIndex(), int(rows.size()));
            }
            QCOMPARE(records(), expected);
            QCOMPARE(support::rowsOf(*m_main), rows);
        }
        QCOMPARE(messages(), QStringList{kNoChoice});
        QCOMPARE(ui::findWindow<frmAddToToDo>()->Text1->text(), "kept");
    }

    // F3 opens the activity list over the dialog; Enter or Escape puts a blank and the chosen
    // activity in place of the selected text, or at the caret; nothing chosen only removes the
    // selected text.
    void activityListFillsTheText() {
        const QString phone = "Telephone conference with";
        const struct {
            QString before;
            int start, length; // length -1: the caret at `start`
            QString activity;
            Qt::Key key;
            QString after;
        } cases[] = {
            {"keep this gone", 5, 5, "", Qt::Key_Return, "keep gone"}, // nothing chosen
            {"", 0, -1, phone, Qt::Key_Return, " " + phone},
            {"", 0, -1, phone, Qt::Key_Escape, " " + phone},
            {"Smith re lease", 5, -1, "Attend", Qt::Key_Return, "Smith Attend re lease"},
            {"Call Smith", 0, 4, "Attend", Qt::Key_Return, " Attend Smith"},
        };
        frmAddToToDo* dialog = openAdd();
        for (const auto& c : cases) {
            dialog->Text1->setText(c.before);
            if (c.length < 0)
                dialog->Text1->setCursorPosition(c.start);
            else
                dialog->Text1->setSelection(c.start, c.length);
            QTest::keyClick(dialog->Text1, Qt::Key_F3);
            QVERIFY(dialog->List3->geometry().contains(dialog->Text1->geometry()));
            QVERIFY(dialog->focusWidget() == dialog->List3);
            if (!c.activity.isEmpty())
                choose(dialog->List3, c.activity);
            QTest::keyClick(dialog->List3, c.key);
            QCOMPARE(dialog->Text1->text(), c.after);
            QVERIFY(!dialog->activityListShown() && dialog->focusWidget() == dialog->Text1);
        }
    }

    // Done stores in the file in use when it runs, after File > Open switched files while the
    // dialog was open, and appends to the list as it then is. A file whose Activities table is
    // empty leaves the in-memory activities alone.
    void addUsesTheFileInUseAtDone() {
        frmAddToToDo* dialog = openAdd();
        const Records before = records();
        const QString other = m_fx->dir.filePath("other.mdb");
        dbtest::makeDatabase(other, db::schema::tables());
        m_fx->fakes.fileDialog.chooseNext(other);
        m_main->mnuOpenToDoDatabase->trigger();
        QCOMPARE(app::CurrentDatabasePath, other);
        choose(dialog->List2, "MARKETING");
        dialog->mnuDone->trigger();
        QCOMPARE(records(), before);
        QCOMPARE(m_main->rowCount(), 1);
        const Records stored = dbtest::tableRows(other, "Things To Do");
        QCOMPARE(stored.size(), std::size_t(1));
        QCOMPARE(stored[0][2], std::string("MARKETING"));

        const QStringList activities = app::referenceLists().activities;
        QTRY_VERIFY(!ui::findWindow<frmAddToToDo>());
        dialog = openAdd();
        QCOMPARE(dialog->List3->count(), 0);
        QCOMPARE(app::referenceLists().activities, activities);
    }

    // Opened with the selected row's values; Text1 undoes every change and Escape there does
    // nothing. Done (each way) replaces the first matching record, keeps the start date and
    // stores the picker's deadline; the row goes to the end. The inputs are cleared.
    void editReplacesTheItem() {
        struct Case {
            Row row;        // as loaded
            int how;        // as runDone; 3: Enter in Text1
            QString shown;  // the priority shown
            int option;     // the priority button clicked, -1 for none
            QDate deadline; // the date chosen, invalid for none
            Row replaced;   // the row afterwards; its text is typed into Text2
            std::vector<std::string> record;
        };
        const std::string start = "2026-11-02T00:00:00";
        // clang-format off
        const Case cases[] = {
            {kRows[0], 0, "1", 3, {},
             {"4", "Smith, Ann", "Call about the lease", "11/2/2026", "12/5/2026"},
             {"Call about the lease", "Smith, Ann", "<null>", "4", start, "2026-12-05T00:00:00"}},
            {{"", "Harbour Project", "Brief", "11/2/2026", ""}, 1, "3", -1, {2027, 1, 15},
             {"3", "Harbour Project", "Brief!", "11/2/2026", "1/15/2027"},
             {"Brief!", "<null>", "Harbour Project", "3", start, "2027-01-15T00:00:00"}},
            {{"7", "PAY BILLS", "Odd", "11/2/2026", ""}, 2, "", -1, {},
             {"7", "PAY BILLS", "Odd", "11/2/2026", ""},
             {"Odd", "<null>", "PAY BILLS", "7", start, "<null>"}},
            {{"5", "Jones, Bo", "Appeal", "11/2/2026", "1/9/2027"}, 3, "5", -1, {},
             {"5", "Jones, Bo", "Appeal", "11/2/2026", "1/9/2027"},
             {"Appeal", "Jones, Bo", "<null>", "5", start, "2027-01-09T00:00:00"}},
        };
        // clang-format on
        for (const Case& c : cases) {
            const Row other = {"2", "MARKETING", "Flyers", "", ""};
            reload({c.row, other, c.row});
            Records expected = {records()[1], records()[2], c.record};
            edit(1, [&c](frmEditToDo& dialog) {
                QCOMPARE(dialog.windowTitle(), "Edit To Do Item");
                QVERIFY(dialog.focusWidget() == dialog.Text2);
                QCOMPARE(QStringList({dialog.selectedPriority(), dialog.Text1->text(),
                                      dialog.Text2->text()}),
                         QStringList({c.shown, c.row[1], c.row[2]}));
                const QDate shownDeadline = QDate::fromString(c.row[4], "M/d/yyyy");
                QCOMPARE(dialog.DTPicker1->chosenDate().value_or(QDate()), shownDeadline);
                QTest::keyClicks(dialog.Text1, "x");
                QTest::keyClick(dialog.Text1, Qt::Key_Backspace);
                QTest::keyClick(dialog.Text1, Qt::Key_Escape);
                QCOMPARE(dialog.Text1->text(), c.row[1]);
                QVERIFY(dialog.isVisible());
                if (c.option >= 0)
                    dialog.Option1[c.option]->click();
                if (c.deadline.isValid())
                    dialog.DTPicker1->setDate(c.deadline);
                dialog.Text2->setText(c.replaced[2]);
                runDone(dialog, std::min(c.how, 2), c.how == 3 ? dialog.Text1 : dialog.Text2);
            });
            QCOMPARE(records(), expected);
            QCOMPARE(support::rowsOf(*m_main), Rows({other, c.row, c.replaced}));
            QCOMPARE(m_main->currentIndex(), 3);
            QVERIFY(app::editInputs().Client.isEmpty() && app::editInputs().Project.isEmpty());
        }
        QVERIFY(messages().isEmpty());
    }

    // A client's item left with Return (Escape in Text2), then a project's item: the second
    // dialog shows the project alone and Done stores the item under it.
    void editAfterReturnCarriesOnlyTheNewItem() {
        const Records before = records();
        edit(1, [](frmEditToDo& dialog) { QTest::keyClick(dialog.Text2, Qt::Key_Escape); });
        QCOMPARE(support::rowsOf(*m_main), kRows);
        edit(2, [](frmEditToDo& dialog) {
            QCOMPARE(dialog.Text1->text(), "Harbour Project");
            dialog.mnuDone->trigger();
        });
        QCOMPARE(records(), before);
    }

    // A file that cannot be written when Done runs: the message, nothing stored, the list as
    // it was, and the dialog open with what was entered.
    void doneOnAReadOnlyFileKeepsTheDialog() {
        const QByteArray before = dbtest::fileBytes(m_fx->path);
        const QString message =
            kNotStored.arg(m_fx->path) + "Could not open '" + m_fx->path + "': denied.";
        frmAddToToDo* dialog = openAdd();
        choose(dialog->List1, "Baker, Bo");
        QTest::keyClicks(dialog->Text1, "Call");
        m_fx->makeDatabaseReadOnly();
        dialog->Toolbar1_ButtonClick("Forward");
        QCOMPARE(messages(), QStringList{message});
        QVERIFY(dialog->isVisible() && ui::findWindow<frmAddToToDo>() == dialog);
        QCOMPARE(dialog->Text1->text(), "Call");
        QCOMPARE(dialog->List1->selectedItems().value(0)->text(), "Baker, Bo");
        dialog->mnuReturn->trigger();

        edit(1, [](frmEditToDo& dialog) {
            dialog.Text2->setText("Changed");
            QTest::keyClick(dialog.Text2, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.Text2->text(), "Changed");
            dialog.mnuReturn->trigger();
        });
        QCOMPARE(messages(), QStringList({message, message}));
        QCOMPARE(support::rowsOf(*m_main), kRows);
        QCOMPARE(dbtest::fileBytes(m_fx->path), before);
    }

    // Under a day-first locale the new rows show "M/d/yyyy" beside rows loaded in the locale's
    // form, and Exit stores every date the user saw, none misread or lost.
    void datesSurviveExitUnderEveryLocale() {
        for (const QString locale : {"en_GB", "de_DE"}) {
            init();
            const dbtest::LocaleGuard guard{QLocale(locale)};
            m_main->clearRows(); // the file's items shown under the locale
            m_main->loadRows();
            QCOMPARE(m_main->cellText(1, 5), locale == "de_DE" ? "05.12.2026" : "05/12/2026");
            frmAddToToDo* dialog = openAdd();
            choose(dialog->List2, "MARKETING");
            dialog->DTPicker1->setDate(QDate(2026, 12, 5));
            dialog->mnuDone->trigger();
            QCOMPARE(m_main->cellText(3, 5), "12/5/2026");
            edit(1, [](frmEditToDo& d) {
                d.DTPicker1->setDate(QDate(2027, 1, 12));
                d.mnuDone->trigger();
            });
            QCOMPARE(m_main->cellText(3, 5), "1/12/2027");
            m_main->mnuExit->trigger();
            QCOMPARE(ui::WindowRegistry::instance().count(), 0);
            const std::string today = iso(QDate::currentDate());
            QCOMPARE(records(),
                     Records({{"Draft the brief", "<null>", "Harbour Project", "5",
                               "2026-11-03T00:00:00", "<null>"},
                              {"", "<null>", "MARKETING", "3", today, "2026-12-05T00:00:00"},
                              {"Call about the lease", "Smith, Ann", "<null>", "1",
                               "2026-11-02T00:00:00", "2027-01-12T00:00:00"}}));
        }
    }

    // On paper under a day-first desktop (its own ctest entry runs it under
    // LC_ALL=en_GB.UTF-8): an item added with a deadline of 4 March shows "3/4/2027" in the
    // list, the dialogs' form, and is printed as the desktop writes dates, never as 3 April.
    void addedItemPrintsUnderADayFirstDesktop() {
        if (QLocale::system().name() != "en_GB")
            QSKIP("runs under LC_ALL=en_GB.UTF-8 (ctest: ui_item_dialogs_day_first_print)");
        const dbtest::LocaleGuard guard{QLocale::system()};
        app::PrintingFontName = "Ariel";
        app::PrintingFontSize = "10"; // a day-first date at 12 points fills its column
        QTemporaryDir folder;
        const QString pdf = folder.filePath("list.pdf");
        platform::Services::setPrinter(
            std::make_shared<platform::QtPrinter>(platform::QtPrinter::Options{pdf}));
        m_main->clearRows();
        frmAddToToDo* dialog = openAdd();
        choose(dialog->List1, "Baker, Bo");
        dialog->DTPicker1->setDate(QDate(2027, 3, 4));
        dialog->mnuDone->trigger();
        const QDate today = QDate::currentDate();
        QCOMPARE(support::rowsOf(*m_main),
                 Rows({{"3", "Baker, Bo", "", today.toString("M/d/yyyy"), "3/4/2027"}}));

        m_main->mnuPrint->trigger();
        QCOMPARE(messages(), QStringList());
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        const QString row = text.split('\n').filter("Baker, Bo").value(0).simplified();
        QCOMPARE(row, "3 Baker, Bo " + today.toString("dd/MM/yyyy") + " 04/03/2027");
    }
};

QTEST_MAIN(ItemDialogsTest)
#include "item_dialogs_test.moc"
