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
#include "support/modal_script.h"
#include "support/window_fixture.h"
#include "ui/common/activity_lists.h"
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
    Dialog dialog;
    if (kind == Clients)
        dialog = std::make_unique<frmClient>();
    else if (kind == Activities)
        dialog = std::make_unique<frmActivity>();
    else
        dialog = std::make_unique<frmProject>();
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
            QCOMPARE(dialog->List1->selectionMode(), QAbstractItemView::ExtendedSelection);
            QCOMPARE(dialog->Text1->font().family(), QStringLiteral("Ariel"));
            QVERIFY(!dialog->Toolbar1->actions().at(1)->icon().isNull());
        }
    }

    // Entries are listed sorted whatever their stored order; Add stores the trimmed names,
    // clears the boxes and gives the first box the focus again.
    void clientsAreStoredAsLastCommaFirst() {
        seed(Clients, {"jones, Bob", "Adams, Ann"});
        Dialog dialog = open(Clients);
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QVERIFY(dialog->Text1->hasFocus());
        dialog->Text1->setText("John");
        QTest::keyClick(dialog->Text1, Qt::Key_Tab);
        QVERIFY(dialog->Text2->hasFocus());
        QTest::keyClicks(dialog->Text2, " Smith ");
        QTest::keyClick(dialog->Text2, Qt::Key_Return);
        QCOMPARE(stored(m_fx->path, Clients),
                 (QStringList{"jones, Bob", "Adams, Ann", "Smith, John"}));
        QCOMPARE(dialog->entries(), (QStringList{"Adams, Ann", "jones, Bob", "Smith, John"}));
        QVERIFY(dialog->Text1->text().isEmpty() && dialog->Text2->text().isEmpty());
        QVERIFY(dialog->Text1->hasFocus());
        QVERIFY(messages().isEmpty());
    }

    void addRefusals_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("kept");    // Text1 afterwards
        const char* noName = "You did not enter a first name or a last name, please try again.";
        const char* comma = "Please do not use a comma followed by a space, or it will be "
                            "interpreted as the name of a client.  Try again.";
        auto row = [](const char* name, Kind kind, const char* first, const char* last,
                      const char* message, const char* kept) {
            QTest::newRow(name) << int(kind) << QString(first) << QString(last) << QString(message)
                                << QString(kept);
        };
        row("last name only", Clients, "", "Smith", noName, "");
        row("first name only", Clients, "John", "  ", noName, "");
        row("blank activity", Activities, " ", "", "You did not enter an activity.", " ");
        row("blank project", Projects, "", "", "You did not enter a project.", "");
        row("client mark", Projects, "Acme, Inc", "", comma, "Acme, Inc");
        row("comma alone", Projects, "Acme,Inc ", "", "", "");
        row("activity", Activities, " Call ", "", "", "");
    }

    // A refused entry stores nothing; clients lose both names, the others keep their text.
    // Either way the first box has the focus.
    void addRefusals() {
        QFETCH(int, kind);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, message);
        QFETCH(QString, kept);
        Dialog dialog = open(Kind(kind));
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        const QStringList before = stored(m_fx->path, Kind(kind));
        dialog->Text1->setText(first);
        if (dialog->Text2 != nullptr)
            dialog->Text2->setText(last);
        dialog->mnuAdd->trigger();
        QCOMPARE(messages(), message.isEmpty() ? QStringList() : QStringList{message});
        const QStringList after = stored(m_fx->path, Kind(kind));
        QCOMPARE(after.size(), before.size() + (message.isEmpty() ? 1 : 0));
        if (message.isEmpty())
            QVERIFY(dialog->entries().contains(first.trimmed()) && after.last() == first.trimmed());
        QCOMPARE(dialog->Text1->text(), kept);
        QVERIFY(dialog->Text1->hasFocus());
    }

    void deleteSelected_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QList<int>>("select"); // list positions
        QTest::addColumn<QStringList>("left");  // stored afterwards
        auto row = [](const char* name, QStringList rows, QList<int> select, QStringList left) {
            QTest::newRow(name) << rows << select << left;
        };
        row("nothing selected", {"B", "A"}, {}, {"B", "A"});
        row("two selected", {"C", "A", "B"}, {0, 2}, {"B"});
        row("one of two equal", {"A", "B", "A"}, {1}, {"B", "A"});
        row("both equal", {"A", "B", "A"}, {0, 1}, {"B"});
    }

    void deleteSelected() {
        QFETCH(QStringList, rows);
        QFETCH(QList<int>, select);
        QFETCH(QStringList, left);
        seed(Projects, rows);
        Dialog dialog = open(Projects);
        for (int position : select)
            dialog->List1->item(position)->setSelected(true);
        dialog->Toolbar1_ButtonClick("Delete");
        QCOMPARE(stored(m_fx->path, Projects), left);
        left.sort();
        QCOMPARE(dialog->entries(), left);
    }

    // Enter and Escape in each box and in the list: which command runs.
    void keys_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("outcome"); // "open", "added", "Return" or "Done"
        auto row = [](const char* name, Kind kind, const char* control, Qt::Key key,
                      const char* outcome) {
            QTest::newRow(name) << int(kind) << QString(control) << int(key) << QString(outcome);
        };
        row("client first, Enter", Clients, "Text1", Qt::Key_Return, "open");
        row("client first, Escape", Clients, "Text1", Qt::Key_Escape, "open");
        row("client last, Enter", Clients, "Text2", Qt::Key_Enter, "added");
        row("client last, Escape", Clients, "Text2", Qt::Key_Escape, "Done");
        row("activity, Enter", Activities, "Text1", Qt::Key_Return, "added");
        row("activity, Escape", Activities, "Text1", Qt::Key_Escape, "Return");
        row("project, Enter", Projects, "Text1", Qt::Key_Return, "added");
        row("project, Escape", Projects, "Text1", Qt::Key_Escape, "Done");
        row("list, Enter", Projects, "List1", Qt::Key_Return, "Return");
        row("list, Escape", Clients, "List1", Qt::Key_Escape, "Return");
    }

    void keys() {
        QFETCH(int, kind);
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(QString, outcome);
        app::referenceLists() = {{"old"}, {"old"}, {"old"}};
        Dialog dialog = open(Kind(kind));
        dialog->Text1->setText("Ann");
        if (dialog->Text2 != nullptr)
            dialog->Text2->setText("Lee");
        const int rows = int(stored(m_fx->path, Kind(kind)).size());
        QTest::keyClick(dialog->findChild<QWidget*>(control), Qt::Key(key));
        QCOMPARE(dialog->isVisible(), outcome == "open" || outcome == "added");
        QCOMPARE(stored(m_fx->path, Kind(kind)).size(), rows + (outcome == "added" ? 1 : 0));
        const QStringList member = app::referenceLists().*dialog->config().member;
        QCOMPARE(member, outcome == "Done" ? dialog->entries() : QStringList{"old"});
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
        QCOMPARE(app::referenceLists().activities, entries(*add->List3));
        QCOMPARE(app::referenceLists().clients, QStringList{"Ann, Zeta"});
    }

    void printList() {
        seed(Clients, {});
        app::PrintingFontName = "Ariel";
        app::PrintingFontSize = "12";
        Dialog dialog = open(Clients);
        dialog->mnuPrint->trigger();
        dialog.reset(); // it holds the file for writing
        seed(Projects, {"B", "a"});
        dialog = open(Projects);
        dialog->Toolbar1_ButtonClick("Print");
        const auto& printer = m_fx->fakes.printer;
        QCOMPARE(printer.documents,
                 (QStringList{"Tarnwick Clients list", "Tarnwick Projects list"}));
        QCOMPARE(printer.lines.size(), 2);
        QCOMPARE(printer.lines.at(0).text + printer.lines.at(1).text, QStringLiteral("aB"));
        QCOMPARE(printer.lines.at(1).fontName, QStringLiteral("Ariel"));
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

    // The Lists menu opens each dialog modal, with the focus in its first box; an unreadable
    // file is reported by the menu and opens nothing.
    void listsMenuOpensTheDialogs() {
        frmToDo* main = m_fx->openMainWindow({});
        QStringList seen;
        auto look = [&seen](QWidget* window) {
            seen.append(window->objectName() + ":" + window->focusWidget()->objectName());
            QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
            if (window->isVisible())
                static_cast<ui::ReferenceListDialog*>(window)->Return();
        };
        {
            support::ModalScript script({look, look, look});
            main->mnuClients->trigger();
            main->mnuActivities->trigger();
            main->mnuProjects->trigger();
        }
        QCOMPARE(seen, (QStringList{"frmClient:Text1", "frmActivity:Text1", "frmProject:Text1"}));
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
