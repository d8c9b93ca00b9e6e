// The Add item and Edit item dialogs, opened by the main window's commands over a real database
// file, on Qt's offscreen platform with the platform fakes.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

#include "db/schema.h"
#include "db_test_util.h"
#include "platform/services.h"
#include "support/modal_script.h"
#include "support/window_fixture.h"
#include "ui/common/single_window.h"
#include "ui/items/add_item_dialog.h"
#include "ui/items/date_picker.h"
#include "ui/items/edit_item_dialog.h"
#include "ui/main/main_window.h"

using support::action;
using support::child;
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

// The dialogs' controls, by name.
QListWidget* listOf(const QWidget& dialog, const char* name) {
    return child<QListWidget>(&dialog, name);
}
QLineEdit* boxOf(const QWidget& dialog, const char* name) {
    return child<QLineEdit>(&dialog, name);
}
ui::DatePicker* pickerOf(const QWidget& dialog) {
    return child<ui::DatePicker>(&dialog, "deadlinePicker");
}
// The priority button captioned `index` + 1.
QRadioButton* priorityOf(const QWidget& dialog, int index) {
    return child<QRadioButton>(&dialog, QStringLiteral("priorityButton%1").arg(index + 1));
}
QString selectedPriority(const QWidget& dialog) {
    for (int index = 0; index < 5; ++index)
        if (priorityOf(dialog, index)->isChecked())
            return priorityOf(dialog, index)->text();
    return {};
}

void choose(QListWidget* list, const QString& text) {
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly).value(0));
}

// How Done is run: 0 the menu, 1 the toolbar, 2 Enter in the dialog's text box `box`.
void runDone(QWidget& dialog, int how, QLineEdit* box) {
    if (how == 0)
        action(&dialog, "doneAction")->trigger();
    else if (how == 1)
        support::clickToolbar(&dialog, "done");
    else
        QTest::keyClick(box, Qt::Key_Return);
}

} // namespace

class ItemDialogsTest : public QObject {
    Q_OBJECT

private:
    std::optional<support::WindowFixture> m_fx;
    ui::MainWindow* m_main = nullptr;

    Records records() const { return dbtest::tableRows(m_fx->path, "Things To Do"); }
    QStringList messages() const { return m_fx->fakes.messageBoxes.texts(); }

    ui::AddItemDialog* openAdd() {
        action(m_main, "addItemAction")->trigger();
        return ui::findWindow<ui::AddItemDialog>();
    }

    // Runs the Edit command on row `row` (from 1); `act` is the user's part while the dialog is
    // open.
    void edit(int row, const std::function<void(ui::EditItemDialog&)>& act) {
        m_main->selectRow(row - 1);
        support::ModalScript script(
            {[&act](QWidget* window) { act(*qobject_cast<ui::EditItemDialog*>(window)); }});
        action(m_main, "editItemAction")->trigger();
    }

    // The main list and the file hold `rows` again, loaded under the current locale.
    void reload(const Rows& rows) {
        m_fx->storeItems(rows);
        m_fx->session.items().load(m_fx->path);
    }
    // The text of column `column` of row `row` of the main list, both from 1.
    QString cellText(int row, int column) const {
        return m_fx->shownRows().value(row - 1).at(static_cast<std::size_t>(column - 1));
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

    // Place, the lists (activities in table order), the focus; each opening starts
    // afresh, and a second Add command brings the open dialog forward as it is.
    void addOpensAfresh() {
        ui::AddItemDialog* dialog = openAdd();
        QCOMPARE(dialog->frameGeometry().topLeft(),
                 m_main->frameGeometry().topLeft() + QPoint(13, 13));
        QVERIFY(dialog->focusWidget() == listOf(*dialog, "clientList"));
        QCOMPARE(entries(*listOf(*dialog, "clientList")),
                 QStringList({"adams, Al", "Baker, Bo", "Young, Zoe"}));
        QCOMPARE(entries(*listOf(*dialog, "projectList")),
                 QStringList({"ADMINISTRATION", "CONTINUING EDUCATION", "Harbour Project",
                              "MARKETING", "MONTHLY STATEMENTS", "PAY BILLS", "REVIEW CASES"}));
        QCOMPARE(entries(*listOf(*dialog, "activityList")),
                 dbtest::qtList(db::schema::defaultActivities()));

        QLineEdit* text = boxOf(*dialog, "textBox");
        for (int opening = 0; opening < 2; ++opening) {
            QCOMPARE(selectedPriority(*dialog), "3");
            QCOMPARE(pickerOf(*dialog)->chosenDate(), std::optional(QDate::currentDate()));
            QVERIFY(text->text().isEmpty() && !listOf(*dialog, "activityList")->isVisible());
            QVERIFY(listOf(*dialog, "clientList")->selectedItems().isEmpty());
            priorityOf(*dialog, 0)->click();
            pickerOf(*dialog)->setDate(QDate(2027, 1, 2));
            QTest::keyClicks(text, "Draft");
            choose(listOf(*dialog, "clientList"), "Baker, Bo");
            QTest::keyClick(text, Qt::Key_F3);
            QCOMPARE(openAdd(), dialog); // brought forward as it is
            QCOMPARE(text->text(), "Draft");
            QTest::keyClick(listOf(*dialog, "activityList"), Qt::Key_Escape);
            QTest::keyClick(text, Qt::Key_Escape); // Return
            QTRY_VERIFY(!ui::findWindow<ui::AddItemDialog>());
            dialog = openAdd();
            text = boxOf(*dialog, "textBox");
        }
        support::clickToolbar(dialog, "return");
        QTRY_VERIFY(!ui::findWindow<ui::AddItemDialog>());
        QCOMPARE(m_fx->shownRows(), kRows);
        QVERIFY(messages().isEmpty());
    }

    // Escape returns only from the text box whose rule says so; in a list, a priority button or
    // the picker it keeps everything entered. The close box still closes.
    void escapeReturnsOnlyFromItsTextBox() {
        ui::AddItemDialog* add = openAdd();
        QTest::keyClicks(boxOf(*add, "textBox"), "Draft");
        choose(listOf(*add, "clientList"), "Baker, Bo");
        for (QWidget* control : std::initializer_list<QWidget*>{
                 listOf(*add, "clientList"), listOf(*add, "projectList"), priorityOf(*add, 2),
                 pickerOf(*add)})
            QTest::keyClick(control, Qt::Key_Escape);
        QCOMPARE(ui::findWindow<ui::AddItemDialog>(), add);
        QCOMPARE(boxOf(*add, "textBox")->text(), "Draft");
        add->close();
        QTRY_VERIFY(!ui::findWindow<ui::AddItemDialog>());

        edit(2, [](ui::EditItemDialog& dialog) {
            QTest::keyClicks(boxOf(dialog, "textBox"), " now");
            for (QWidget* control : std::initializer_list<QWidget*>{
                     boxOf(dialog, "partyBox"), priorityOf(dialog, 0), pickerOf(dialog)})
                QTest::keyClick(control, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
            QTest::keyClick(boxOf(dialog, "textBox"), Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(m_fx->shownRows(), kRows);
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
        edit(1, [&](ui::EditItemDialog& dialog) {
            QCOMPARE(boxOf(dialog, "textBox")->text(), text);
            priorityOf(dialog, 0)->click();
            action(&dialog, "doneAction")->trigger();
        });
        QCOMPARE(m_fx->shownRows(), Rows({{"1", "Harbour Project", text, "11/3/2026", ""}}));
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
            ui::AddItemDialog* dialog = openAdd();
            choose(listOf(*dialog, "clientList"), c.client);
            choose(listOf(*dialog, "projectList"), c.project);
            priorityOf(*dialog, 3)->click();
            pickerOf(*dialog)->setDate(QDate(2027, 2, 28));
            QTest::keyClicks(boxOf(*dialog, "textBox"), c.text);
            runDone(*dialog, c.how, boxOf(*dialog, "textBox"));
            const QString name = c.client.isEmpty() ? c.project : c.client;
            if (!name.isEmpty()) {
                expected.push_back({c.text.toStdString(),
                                    c.client.isEmpty() ? "<null>" : name.toStdString(),
                                    c.client.isEmpty() ? name.toStdString() : "<null>", "4",
                                    iso(today), "2027-02-28T00:00:00"});
                rows.append({"4", name, c.text, today.toString("M/d/yyyy"), "2/28/2027"});
                QTRY_VERIFY(!ui::findWindow<ui::AddItemDialog>());
            }
            QCOMPARE(records(), expected);
            QCOMPARE(m_fx->shownRows(), rows);
        }
        QCOMPARE(messages(), QStringList{kNoChoice});
        QCOMPARE(boxOf(*ui::findWindow<ui::AddItemDialog>(), "textBox")->text(), "kept");
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
        ui::AddItemDialog* dialog = openAdd();
        QLineEdit* text = boxOf(*dialog, "textBox");
        QListWidget* list = listOf(*dialog, "activityList");
        for (const auto& c : cases) {
            text->setText(c.before);
            if (c.length < 0)
                text->setCursorPosition(c.start);
            else
                text->setSelection(c.start, c.length);
            QTest::keyClick(text, Qt::Key_F3);
            QVERIFY(list->geometry().contains(text->geometry()) && dialog->focusWidget() == list);
            if (!c.activity.isEmpty())
                choose(list, c.activity);
            QTest::keyClick(list, c.key);
            QCOMPARE(text->text(), c.after);
            QVERIFY(!list->isVisible() && dialog->focusWidget() == text);
        }
    }

    // Done stores in the file in use when it runs, after File > Open switched files while the
    // dialog was open, and appends to the list as it then is. A file whose Activities table is
    // empty gives an empty activity list.
    void addUsesTheFileInUseAtDone() {
        ui::AddItemDialog* dialog = openAdd();
        const Records before = records();
        const QString other = m_fx->dir.filePath("other.mdb");
        dbtest::makeDatabase(other, db::schema::tables());
        m_fx->fakes.fileDialog.chooseNext(other);
        action(m_main, "openDatabaseAction")->trigger();
        QCOMPARE(m_fx->session.databasePath(), other);
        choose(listOf(*dialog, "projectList"), "MARKETING");
        action(dialog, "doneAction")->trigger();
        QCOMPARE(records(), before);
        QCOMPARE(m_fx->session.items().size(), 1);
        const Records stored = dbtest::tableRows(other, "Things To Do");
        QCOMPARE(stored.size(), std::size_t(1));
        QCOMPARE(stored[0][2], std::string("MARKETING"));

        QTRY_VERIFY(!ui::findWindow<ui::AddItemDialog>());
        dialog = openAdd();
        QCOMPARE(listOf(*dialog, "activityList")->count(), 0);
    }

    // Opened with the selected row's values; the client-or-project box undoes every change and
    // Escape there does nothing. Done (each way) replaces the first matching record, keeps the
    // start date and stores the picker's deadline; the row goes to the end. The inputs are cleared.
    void editReplacesTheItem() {
        struct Case {
            Row row;        // as loaded
            int how;        // as runDone; 3: Enter in the client-or-project box
            QString shown;  // the priority shown
            int option;     // the priority button clicked, -1 for none
            QDate deadline; // the date chosen, invalid for none
            Row replaced;   // the row afterwards; its text is typed into the text box
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
            edit(1, [&c](ui::EditItemDialog& dialog) {
                QCOMPARE(dialog.windowTitle(), "Edit To Do Item");
                QVERIFY(dialog.focusWidget() == boxOf(dialog, "textBox"));
                QCOMPARE(QStringList({selectedPriority(dialog), boxOf(dialog, "partyBox")->text(),
                                      boxOf(dialog, "textBox")->text()}),
                         QStringList({c.shown, c.row[1], c.row[2]}));
                const QDate shownDeadline = QDate::fromString(c.row[4], "M/d/yyyy");
                QCOMPARE(pickerOf(dialog)->chosenDate().value_or(QDate()), shownDeadline);
                QTest::keyClicks(boxOf(dialog, "partyBox"), "x");
                QTest::keyClick(boxOf(dialog, "partyBox"), Qt::Key_Backspace);
                QTest::keyClick(boxOf(dialog, "partyBox"), Qt::Key_Escape);
                QCOMPARE(boxOf(dialog, "partyBox")->text(), c.row[1]);
                QVERIFY(dialog.isVisible());
                if (c.option >= 0)
                    priorityOf(dialog, c.option)->click();
                if (c.deadline.isValid())
                    pickerOf(dialog)->setDate(c.deadline);
                boxOf(dialog, "textBox")->setText(c.replaced[2]);
                runDone(dialog, std::min(c.how, 2),
                        c.how == 3 ? boxOf(dialog, "partyBox") : boxOf(dialog, "textBox"));
            });
            QCOMPARE(records(), expected);
            QCOMPARE(m_fx->shownRows(), Rows({other, c.row, c.replaced}));
        }
        QVERIFY(messages().isEmpty());
    }

    // A file that cannot be written when Done runs: the message, nothing stored, the list as
    // it was, and the dialog open with what was entered.
    void doneOnAReadOnlyFileKeepsTheDialog() {
        const QByteArray before = dbtest::fileBytes(m_fx->path);
        const QString message =
            kNotStored.arg(m_fx->path) + "Could not open '" + m_fx->path + "': denied.";
        ui::AddItemDialog* dialog = openAdd();
        choose(listOf(*dialog, "clientList"), "Baker, Bo");
        QTest::keyClicks(boxOf(*dialog, "textBox"), "Call");
        m_fx->makeDatabaseReadOnly();
        support::clickToolbar(dialog, "done");
        QCOMPARE(messages(), QStringList{message});
        QVERIFY(dialog->isVisible() && ui::findWindow<ui::AddItemDialog>() == dialog);
        QCOMPARE(boxOf(*dialog, "textBox")->text(), "Call");
        QCOMPARE(listOf(*dialog, "clientList")->selectedItems().value(0)->text(), "Baker, Bo");
        action(dialog, "returnAction")->trigger();

        edit(1, [](ui::EditItemDialog& dialog) {
            boxOf(dialog, "textBox")->setText("Changed");
            QTest::keyClick(boxOf(dialog, "textBox"), Qt::Key_Return);
            QVERIFY(dialog.isVisible());
            QCOMPARE(boxOf(dialog, "textBox")->text(), "Changed");
            action(&dialog, "returnAction")->trigger();
        });
        QCOMPARE(messages(), QStringList({message, message}));
        QCOMPARE(m_fx->shownRows(), kRows);
        QCOMPARE(dbtest::fileBytes(m_fx->path), before);
    }

    // Under a day-first locale the new rows show "M/d/yyyy" beside rows loaded in the locale's
    // form, and Exit stores every date the user saw, none misread or lost. (How the print-out
    // writes them: addedItemPrintsUnderADayFirstDesktop.)
    void datesSurviveExitUnderEveryLocale() {
        for (const QString locale : {"en_GB", "de_DE"}) {
            init();
            const dbtest::LocaleGuard guard{QLocale(locale)};
            m_fx->session.items().load(m_fx->path); // the file's items shown under the locale
            QCOMPARE(cellText(1, 5), locale == "de_DE" ? "05.12.2026" : "05/12/2026");
            ui::AddItemDialog* dialog = openAdd();
            choose(listOf(*dialog, "projectList"), "MARKETING");
            pickerOf(*dialog)->setDate(QDate(2026, 12, 5));
            action(dialog, "doneAction")->trigger();
            QCOMPARE(cellText(3, 5), "12/5/2026");
            edit(1, [](ui::EditItemDialog& d) {
                pickerOf(d)->setDate(QDate(2027, 1, 12));
                action(&d, "doneAction")->trigger();
            });
            QCOMPARE(cellText(3, 5), "1/12/2027");
            const QDate today = QDate::currentDate();
            action(m_main, "exitAction")->trigger();
            QCOMPARE(ui::WindowRegistry::instance().count(), 0);
            QCOMPARE(records(),
                     Records({{"Draft the brief", "<null>", "Harbour Project", "5",
                               "2026-11-03T00:00:00", "<null>"},
                              {"", "<null>", "MARKETING", "3", iso(today), "2026-12-05T00:00:00"},
                              {"Call about the lease", "Smith, Ann", "<null>", "1",
                               "2026-11-02T00:00:00", "2027-01-12T00:00:00"}}));
        }
    }

    // Through the real printer into a PDF, under a day-first desktop (its own ctest entry runs it
    // under LC_ALL=en_GB.UTF-8): an item added with a deadline of 4 March is printed 04/03/2027.
    void addedItemPrintsUnderADayFirstDesktop() {
        if (QLocale::system().name() != "en_GB")
            QSKIP("runs under LC_ALL=en_GB.UTF-8 (ctest: ui_item_dialogs_day_first_print)");
        const dbtest::LocaleGuard guard{QLocale::system()};
        QTemporaryDir folder;
        const QString pdf = folder.filePath("list.pdf");
        platform::Services::setPrinter(
            std::make_shared<platform::QtPrinter>(platform::QtPrinter::Options{pdf}));
        m_fx->session.setPrintFont(
            {"Ariel", "10"}); // a day-first date at 12 points fills its column
        m_fx->session.items().clear(true);
        ui::AddItemDialog* dialog = openAdd();
        choose(listOf(*dialog, "clientList"), "Baker, Bo");
        pickerOf(*dialog)->setDate(QDate(2027, 3, 4));
        action(dialog, "doneAction")->trigger();
        action(m_main, "printAction")->trigger();
        QCOMPARE(messages(), QStringList());
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QCOMPARE(text.split('\n').filter("Baker, Bo").value(0).simplified(),
                 "3 Baker, Bo " + QDate::currentDate().toString("dd/MM/yyyy") + " 04/03/2027");
    }
};

QTEST_MAIN(ItemDialogsTest)
#include "item_dialogs_test.moc"
