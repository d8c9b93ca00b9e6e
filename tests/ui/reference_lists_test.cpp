// The Clients, Activities and Projects dialogs over a real database file, on Qt's offscreen
// platform with the platform fakes: what they store and refuse, Delete, their keys, Done and the
// activity lists of open item dialogs, printing, layout, and database errors.
#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <memory>

#include "app/globals.h"
#include "db/engine.h"
#include "db/reference_tables.h"
#include "platform/twips.h"
#include "support/window_fixture.h"
#include "ui/common/single_window.h"
#include "ui/items/frm_add_to_todo.h"
#include "ui/lists/frm_activity.h"
#include "ui/lists/frm_client.h"
#include "ui/lists/frm_project.h"
#include "ui/main/frm_todo.h"

using Dialog = std::unique_ptr<ui::ReferenceListDialog>;
using support::entries;

namespace {

enum Kind { Clients, Activities, Projects };
const char* const kTables[][2] = {
    {"Clients", "Client"}, {"Activities", "Activity"}, {"Projects", "Project"}};

Dialog open(Kind kind) {
    Dialog dialog = kind == Clients      ? Dialog(new frmClient)
                    : kind == Activities ? Dialog(new frmActivity)
                                         : Dialog(new frmProject);
    dialog->show();
    return dialog;
}

// The stored values of the dialog's table, in stored order.
QStringList stored(const QString& path, Kind kind) {
    jet::Database database = db::openDatabase(path, jet::OpenMode::ReadOnly);
    jet::Recordset rows = database.openTable(kTables[kind][0]);
    QStringList values;
    for (; !rows.eof(); rows.moveNext())
        values.append(QString::fromStdString(rows.field(kTables[kind][1]).toString()));
    return values;
}

} // namespace

class ReferenceListsTest : public QObject {
    Q_OBJECT

private:
    std::optional<support::WindowFixture> m_fx;

    QStringList messages() {
        QStringList texts = m_fx->fakes.messageBoxes.texts();
        m_fx->fakes.messageBoxes.clear();
        return texts;
    }
    void seed(Kind kind, const QStringList& texts) {
        db::ReferenceTable table(m_fx->path, kTables[kind][0], kTables[kind][1]);
        table.removeFirstOfEach(table.entries());
        for (const QString& text : texts)
            table.add(text);
    }

private slots:
    void init() { m_fx.emplace(); }
    void cleanup() { m_fx.reset(); }

    void controlsCaptionsAndTooltips() {
        for (Kind kind : {Clients, Activities, Projects}) {
            Dialog dialog = open(kind);
            QStringList texts{dialog->windowTitle()};
            for (QAction* action : dialog->findChild<QMenuBar*>()->actions())
                texts.append(action->text());
            for (QAction* button : dialog->Toolbar1->actions())
                texts.append(button->data().toString() + ": " + button->toolTip());
            for (QGroupBox* frame : dialog->findChildren<QGroupBox*>())
                texts.append(frame->objectName() + ": " + frame->title());
            for (QWidget* control :
                 {static_cast<QWidget*>(dialog->Text1), static_cast<QWidget*>(dialog->List1)})
                texts.append(control->toolTip());
            const QStringList menus = {"&Return", "&Add", "&Delete", "&Print List", "&Done"};
            const QStringList expected[] = {
                QStringList{"Clients"} + menus +
                    QStringList{"Back: Return", "Redo: Add client",
                                "Delete: Delete selected client", "Print: Print client list",
                                "Forward: Done", "Frame1: Add first name", "Frame2: Add last name",
                                "Frame3: List of clients",
                                "Press [Enter] when first and last names have been added",
                                "Use [Ctrl] to select multiple clients for deletion"},
                QStringList{"Activities"} + menus +
                    QStringList{"Back: Return", "Redo: Add activity", "Delete: Delete activity",
                                "Print: Print activity list", "Forward: Done",
                                "Frame1: Add activity", "Frame2: List of activities",
                                "Enter activity here",
                                "Use [Ctrl] to select multiple activities for deletion"},
                QStringList{"Projects"} + menus +
                    QStringList{"Back: Return", "Redo: Add project",
                                "Delete: Delete selected project", "Print: Print project list",
                                "Forward: Done", "Frame1: Add Project Here", "Frame2: Projects",
                                "Enter project here",
                                "Use [Ctrl] to select multiple projects for deletion"},
            };
            QCOMPARE(texts, expected[kind]);
        }
    }

    // Entries are listed sorted whatever their stored order; Add stores the trimmed names (a
    // client as "last, first"), clears the boxes and gives the first box the focus again. A
    // refused entry stores nothing; clients lose both names, the others keep their text.
    void addStoresOrRefuses() {
        const QString noName = "You did not enter a first name or a last name, please try again.";
        const struct {
            Kind kind;
            QString first, last;
            QString message; // empty: accepted
            QString kept;    // Text1 afterwards
            QString added;
        } cases[] = {
            {Clients, "John", " Smith ", "", "", "Smith, John"},
            {Clients, "", "Smith", noName, "", ""},
            {Clients, "John", "  ", noName, "", ""},
            {Activities, " ", "", "You did not enter an activity.", " ", ""},
            {Activities, " Call ", "", "", "", "Call"},
            {Projects, "", "", "You did not enter a project.", "", ""},
            {Projects, "Acme, Inc", "",
             "Please do not use a comma followed by a space, or it will be interpreted as the "
             "name of a client.  Try again.",
             "Acme, Inc", ""},
            {Projects, "Acme,Inc ", "", "", "", "Acme,Inc"},
        };
        for (const auto& c : cases) {
            seed(c.kind, {"jones, Bob", "Adams, Ann"});
            Dialog dialog = open(c.kind);
            QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
            QVERIFY(dialog->Text1->hasFocus());
            QTest::keyClicks(dialog->Text1, c.first);
            if (dialog->Text2 != nullptr)
                dialog->Text2->setText(c.last);
            dialog->mnuAdd->trigger();
            QCOMPARE(messages(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
            QStringList expected = {"jones, Bob", "Adams, Ann"};
            if (!c.added.isEmpty())
                expected.append(c.added);
            QCOMPARE(stored(m_fx->path, c.kind), expected);
            expected.sort(Qt::CaseInsensitive);
            QCOMPARE(dialog->entries(), expected);
            QVERIFY(dialog->Text1->text() == c.kept && dialog->Text1->hasFocus());
            if (dialog->Text2 != nullptr)
                QVERIFY(dialog->Text2->text().isEmpty());
        }
    }

    // The boxes take no key past what the field holds (150 characters; a client's names and the
    // ", " between them together), so a name as long as the field is stored without an error.
    void entriesStopAtTheFieldsSize() {
        const QString long200(200, 'a');
        for (const Kind kind : {Clients, Activities, Projects}) {
            seed(kind, {});
            Dialog dialog = open(kind);
            if (dialog->Text2 != nullptr) {
                QTest::keyClicks(dialog->Text2, QString(100, 'l'));
                QTest::keyClicks(dialog->Text1, long200);
                QCOMPARE(dialog->Text1->text().size(), 48);
                QTest::keyClicks(dialog->Text2, "xyz"); // the last name has no room left
                QCOMPARE(dialog->Text2->text().size(), 100);
            } else {
                QTest::keyClicks(dialog->Text1, long200);
                QCOMPARE(dialog->Text1->text().size(), 150);
            }
            dialog->mnuAdd->trigger();
            QCOMPARE(messages(), QStringList());
            QCOMPARE(stored(m_fx->path, kind).value(0).size(), 150);
        }
    }

    void deleteSelected() {
        const struct {
            QStringList rows;
            QList<int> select; // list positions
            QStringList left;  // stored afterwards
        } cases[] = {{{"B", "A"}, {}, {"B", "A"}},
                     {{"C", "A", "B"}, {0, 2}, {"B"}},
                     {{"A", "B", "A"}, {1}, {"B", "A"}}, // one of two equal
                     {{"A", "B", "A"}, {0, 1}, {"B"}}};
        for (const auto& c : cases) {
            seed(Projects, c.rows);
            Dialog dialog = open(Projects);
            for (int position : c.select)
                dialog->List1->item(position)->setSelected(true);
            dialog->Toolbar1_ButtonClick("Delete");
            QCOMPARE(stored(m_fx->path, Projects), c.left);
            QStringList sorted = c.left;
            sorted.sort();
            QCOMPARE(dialog->entries(), sorted);
        }
    }

    // Enter and Escape in each box and in the list: which command runs.
    void keys() {
        const struct {
            Kind kind;
            const char* control;
            QString enter, escape; // "open", "added", "Return" or "Done"
        } cases[] = {{Clients, "Text1", "open", "open"},
                     {Clients, "Text2", "added", "Done"},
                     {Activities, "Text1", "added", "Return"},
                     {Projects, "Text1", "added", "Done"},
                     {Projects, "List1", "Return", "Return"}};
        for (const auto& c : cases) {
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                const QString outcome = key == Qt::Key_Escape ? c.escape : c.enter;
                app::referenceLists() = {{"old"}, {"old"}, {"old"}};
                Dialog dialog = open(c.kind);
                dialog->Text1->setText("Ann");
                if (dialog->Text2 != nullptr)
                    dialog->Text2->setText("Lee");
                const int rows = int(stored(m_fx->path, c.kind).size());
                QTest::keyClick(dialog->findChild<QWidget*>(c.control), key,
                                key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
                QCOMPARE(dialog->isVisible(), outcome == "open" || outcome == "added");
                QCOMPARE(stored(m_fx->path, c.kind).size(), rows + (outcome == "added" ? 1 : 0));
                const QStringList member = app::referenceLists().*dialog->config().member;
                QCOMPARE(member, outcome == "Done" ? dialog->entries() : QStringList{"old"});
            }
        }
    }

    // Alt+D, shared by "&Delete" and "&Done", only highlights the next of them; Enter on the
    // menu bar runs the highlighted one, Escape gives the keyboard back.
    void sharedAccessKeyHighlights() {
        seed(Projects, {"A", "B"});
        Dialog dialog = open(Projects);
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        dialog->List1->setFocus();
        dialog->List1->item(0)->setSelected(true);
        auto* bar = dialog->findChild<QMenuBar*>();
        QTest::keyClick(dialog.get(), Qt::Key_D, Qt::AltModifier);
        QTest::keyClick(dialog.get(), Qt::Key_D, Qt::AltModifier);
        QCOMPARE(bar->activeAction(), dialog->mnuDone);
        QTest::keyClick(bar, Qt::Key_Escape);
        QVERIFY(dialog->isVisible() && dialog->List1->hasFocus());
        QCOMPARE(stored(m_fx->path, Projects).size(), 2);
        QTest::keyClick(dialog.get(), Qt::Key_D, Qt::AltModifier);
        QTest::keyClick(bar, Qt::Key_Return);
        QCOMPARE(stored(m_fx->path, Projects), QStringList{"B"});
        QVERIFY(dialog->isVisible() && dialog->List1->hasFocus());
    }

    // Only the Activities dialog's Done hands its list, in its sorted order, to an open Add
    // item dialog; Return, and the other dialogs, leave the Add dialog's lists alone.
    void doneRefreshesActivityListsOfItemDialogs() {
        seed(Activities, {"Review file", "Attend"});
        m_fx->openMainWindow({})->mnuAddItem->trigger();
        frmAddToToDo* add = ui::findWindow<frmAddToToDo>();
        QVERIFY(add != nullptr);
        const QStringList clients = entries(*add->List1);
        QCOMPARE(entries(*add->List3), (QStringList{"Review file", "Attend"}));
        for (Kind kind : {Clients, Projects, Activities}) {
            Dialog dialog = open(kind);
            dialog->Text1->setText("Zeta");
            if (dialog->Text2 != nullptr)
                dialog->Text2->setText("Ann");
            dialog->Add();
            dialog->Return();
            QCOMPARE(entries(*add->List3), (QStringList{"Review file", "Attend"}));
            dialog = open(kind);
            dialog->Done();
        }
        QCOMPARE(entries(*add->List3), (QStringList{"Attend", "Review file", "Zeta"}));
        QCOMPARE(entries(*add->List1), clients);
    }

    void printList() {
        seed(Projects, {"B", "a"});
        app::PrintingFontName = "Ariel";
        app::PrintingFontSize = "12";
        open(Projects)->mnuPrint->trigger();
        const auto& printer = m_fx->fakes.printer;
        QCOMPARE(printer.documents, QStringList{"Tarnwick Projects list"});
        QCOMPARE(printer.lines.size(), 2);
        QCOMPARE(printer.lines.at(0).text + printer.lines.at(1).text, QStringLiteral("aB"));
    }

    // The dialog covers the main window, and a resize of the dialog snaps it back there; the list
    // stands where the twips of the inner area (W x H) put it. A main window too small for the
    // list leaves the list where it was.
    void layoutCoversTheMainWindow() {
        frmToDo* main = m_fx->openMainWindow({});
        main->setGeometry(100, 80, 600, 400);
        Dialog dialog = std::make_unique<frmClient>(main);
        dialog->show();
        QCoreApplication::processEvents();
        const QWidget* area = dialog->Frame1->parentWidget();
        const double w = area->width() * 15.0, h = area->height() * 15.0;
        QCOMPARE(dialog->frameGeometry(), main->frameGeometry());
        const QRect list = platform::TwipsScale{15, 15}.pixels(100, 200, w - 300, h - 1420);
        QCOMPARE(dialog->List1->geometry(), list);
        main->setGeometry(100, 80, 300, 60);
        dialog->resize(500, 500);
        QCoreApplication::processEvents();
        QCOMPARE(dialog->frameGeometry(), main->frameGeometry());
        QCOMPARE(dialog->List1->geometry(), list);
        QVERIFY(messages().isEmpty());
    }

    // The Lists menu reports an unreadable file and opens nothing.
    void listsMenuReportsAnUnreadableFile() {
        frmToDo* main = m_fx->openMainWindow({});
        QFile::remove(m_fx->path);
        main->mnuClients->trigger();
        QCOMPARE(messages().size(), 1);
        QVERIFY(ui::findWindow<frmClient>() == nullptr);
    }

    // A file that cannot be written, or that went away: the message with the description,
    // nothing stored, the list unchanged and the typed text kept.
    void databaseErrors() {
        for (bool readOnly : {true, false}) {
            seed(Projects, {"Kept"});
            if (readOnly)
                m_fx->makeDatabaseReadOnly();
            Dialog dialog = open(Projects);
            if (!readOnly)
                QVERIFY(QFile::rename(m_fx->path, m_fx->path + ".moved"));
            dialog->Text1->setText("New");
            dialog->Add();
            dialog->List1->item(0)->setSelected(true);
            dialog->Delete();
            const QStringList shown = messages();
            QCOMPARE(shown.size(), 2);
            QVERIFY2(shown.at(0).startsWith("There was an error in adding the project: ") &&
                         shown.at(1).startsWith("There was an error in deleting the selected "
                                                "projects: "),
                     qPrintable(shown.join('\n')));
            QCOMPARE(dialog->entries(), QStringList{"Kept"});
            QCOMPARE(dialog->Text1->text(), QStringLiteral("New"));
            dialog.reset();
            db::setFileSystemForTesting(nullptr);
            QFile::rename(m_fx->path + ".moved", m_fx->path);
            QCOMPARE(stored(m_fx->path, Projects), QStringList{"Kept"});
        }
    }
};

QTEST_MAIN(ReferenceListsTest)
#include "reference_lists_test.moc"
