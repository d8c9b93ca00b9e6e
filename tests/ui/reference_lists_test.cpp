// The Clients, Activities and Projects dialogs over a real database file, on Qt's offscreen
// platform with the platform fakes: what they store and refuse, Delete, their keys, Done and the
// activity lists of open item dialogs, printing, layout, and database errors.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "db/engine.h"
#include "db/reference_tables.h"
#include "support/window_fixture.h"
#include "ui/common/single_window.h"
#include "ui/items/add_item_dialog.h"
#include "ui/lists/reference_lists.h"
#include "ui/main/main_window.h"

using Dialog = std::unique_ptr<ui::ReferenceListDialog>;
using support::action;
using support::child;

namespace {

enum Kind { Clients, Activities, Projects };
const char* const kTables[][2] = {
    {"Clients", "Client"}, {"Activities", "Activity"}, {"Projects", "Project"}};

Dialog open(Kind kind, app::Session& session) {
    Dialog dialog = kind == Clients      ? Dialog(new ui::ClientListDialog(session))
                    : kind == Activities ? Dialog(new ui::ActivityListDialog(session))
                                         : Dialog(new ui::ProjectListDialog(session));
    dialog->show();
    return dialog;
}

// The dialog's controls by name: the first box (a client's first name, or the entry), the last
// name's box (null in a dialog with one box), and the list with its entries.
QLineEdit* firstBox(const Dialog& dialog) {
    if (auto* box = dialog->findChild<QLineEdit*>("firstNameBox"))
        return box;
    return child<QLineEdit>(dialog.get(), "entryBox");
}
QLineEdit* lastNameBox(const Dialog& dialog) {
    return dialog->findChild<QLineEdit*>("lastNameBox");
}
QListWidget* entryList(const Dialog& dialog) {
    return child<QListWidget>(dialog.get(), "entryList");
}
QStringList entries(const Dialog& dialog) {
    return support::entries(*entryList(dialog));
}
// Types the names in the dialog's boxes.
void enter(const Dialog& dialog, const QString& first, const QString& last) {
    firstBox(dialog)->setText(first);
    if (lastNameBox(dialog) != nullptr)
        lastNameBox(dialog)->setText(last);
}

// The stored values of the dialog's table, in stored order.
QStringList stored(const QString& path, Kind kind) {
    QStringList values;
    for (const auto& row : dbtest::tableRows(path, kTables[kind][0]))
        values.append(QString::fromStdString(row.at(0)));
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

    // Entries are listed sorted whatever their stored order; Add stores the trimmed names (a
    // client as "last, first"), clears the boxes and gives the first box the focus again. A
    // refused entry stores nothing; clients lose both names, the others keep their text.
    void addStoresOrRefuses() {
        const QString noName = "You did not enter a first name or a last name, please try again.";
        const struct {
            Kind kind;
            QString first, last;
            QString message; // empty: accepted
            QString kept;    // the first box afterwards
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
            Dialog dialog = open(c.kind, m_fx->session);
            QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
            QVERIFY(firstBox(dialog)->hasFocus());
            QTest::keyClicks(firstBox(dialog), c.first);
            if (lastNameBox(dialog) != nullptr)
                lastNameBox(dialog)->setText(c.last);
            action(dialog.get(), "addAction")->trigger();
            QCOMPARE(messages(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
            QStringList expected = {"jones, Bob", "Adams, Ann"};
            if (!c.added.isEmpty())
                expected.append(c.added);
            QCOMPARE(stored(m_fx->path, c.kind), expected);
            expected.sort(Qt::CaseInsensitive);
            QCOMPARE(entries(dialog), expected);
            QVERIFY(firstBox(dialog)->text() == c.kept && firstBox(dialog)->hasFocus());
            if (lastNameBox(dialog) != nullptr)
                QVERIFY(lastNameBox(dialog)->text().isEmpty());
        }
    }

    // The boxes take no key past what the field holds (150 characters; a client's names and the
    // ", " between them together), so a name as long as the field is stored without an error.
    void entriesStopAtTheFieldsSize() {
        const QString long200(200, 'a');
        for (const Kind kind : {Clients, Activities, Projects}) {
            seed(kind, {});
            Dialog dialog = open(kind, m_fx->session);
            if (lastNameBox(dialog) != nullptr) {
                QTest::keyClicks(lastNameBox(dialog), QString(100, 'l'));
                QTest::keyClicks(firstBox(dialog), long200);
                QCOMPARE(firstBox(dialog)->text().size(), 48);
                // The last name has no room left.
                QTest::keyClicks(lastNameBox(dialog), "xyz");
                QCOMPARE(lastNameBox(dialog)->text().size(), 100);
            } else {
                QTest::keyClicks(firstBox(dialog), long200);
                QCOMPARE(firstBox(dialog)->text().size(), 150);
            }
            action(dialog.get(), "addAction")->trigger();
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
            Dialog dialog = open(Projects, m_fx->session);
            for (int position : c.select)
                entryList(dialog)->item(position)->setSelected(true);
            support::clickToolbar(dialog.get(), "delete");
            QCOMPARE(stored(m_fx->path, Projects), c.left);
            QStringList sorted = c.left;
            sorted.sort();
            QCOMPARE(entries(dialog), sorted);
        }
    }

    // Enter and Escape in each box and in the list: which command runs.
    void keys() {
        const struct {
            Kind kind;
            const char* control;
            QString enter, escape; // "open", "added", "Return" or "Done"
        } cases[] = {{Clients, "firstNameBox", "open", "open"},
                     {Clients, "lastNameBox", "added", "Done"},
                     {Activities, "entryBox", "added", "Return"},
                     {Projects, "entryBox", "added", "Done"},
                     {Projects, "entryList", "Return", "Return"}};
        for (const auto& c : cases) {
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
                const QString outcome = key == Qt::Key_Escape ? c.escape : c.enter;
                QSignalSpy announced(&m_fx->session, &app::Session::activitiesChanged);
                Dialog dialog = open(c.kind, m_fx->session);
                enter(dialog, "Ann", "Lee");
                const int rows = int(stored(m_fx->path, c.kind).size());
                QTest::keyClick(dialog->findChild<QWidget*>(c.control), key,
                                key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
                QCOMPARE(dialog->isVisible(), outcome == "open" || outcome == "added");
                QCOMPARE(stored(m_fx->path, c.kind).size(), rows + (outcome == "added" ? 1 : 0));
                QCOMPARE(announced.count(), outcome == "Done" && c.kind == Activities ? 1 : 0);
            }
        }
    }

    // Alt+D, shared by "&Delete" and "&Done", only highlights the next of them; Enter on the
    // menu bar runs the highlighted one, Escape gives the keyboard back.
    void sharedAccessKeyHighlights() {
        seed(Projects, {"A", "B"});
        Dialog dialog = open(Projects, m_fx->session);
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        entryList(dialog)->setFocus();
        entryList(dialog)->item(0)->setSelected(true);
        auto* bar = dialog->findChild<QMenuBar*>();
        QTest::keyClick(dialog.get(), Qt::Key_D, Qt::AltModifier);
        QTest::keyClick(dialog.get(), Qt::Key_D, Qt::AltModifier);
        QCOMPARE(bar->activeAction(), action(dialog.get(), "doneAction"));
        QTest::keyClick(bar, Qt::Key_Escape);
        QVERIFY(dialog->isVisible() && entryList(dialog)->hasFocus());
        QCOMPARE(stored(m_fx->path, Projects).size(), 2);
        QTest::keyClick(dialog.get(), Qt::Key_D, Qt::AltModifier);
        QTest::keyClick(bar, Qt::Key_Return);
        QCOMPARE(stored(m_fx->path, Projects), QStringList{"B"});
        QVERIFY(dialog->isVisible() && entryList(dialog)->hasFocus());
    }

    // Only the Activities dialog's Done hands its list, in its sorted order, to an open Add
    // item dialog; Return, and the other dialogs, leave the Add dialog's lists alone.
    void doneRefreshesActivityListsOfItemDialogs() {
        seed(Activities, {"Review file", "Attend"});
        action(m_fx->openMainWindow({}), "addItemAction")->trigger();
        ui::AddItemDialog* add = ui::findWindow<ui::AddItemDialog>();
        QVERIFY(add != nullptr);
        auto listed = [add](const char* name) {
            return support::entries(*child<QListWidget>(add, name));
        };
        const QStringList clients = listed("clientList");
        QCOMPARE(listed("activityList"), (QStringList{"Review file", "Attend"}));
        for (Kind kind : {Clients, Projects, Activities}) {
            Dialog dialog = open(kind, m_fx->session);
            enter(dialog, "Zeta", "Ann");
            action(dialog.get(), "addAction")->trigger();
            action(dialog.get(), "returnAction")->trigger();
            QCOMPARE(listed("activityList"), (QStringList{"Review file", "Attend"}));
            dialog = open(kind, m_fx->session);
            action(dialog.get(), "doneAction")->trigger();
        }
        QCOMPARE(listed("activityList"), (QStringList{"Attend", "Review file", "Zeta"}));
        QCOMPARE(listed("clientList"), clients);
    }

    void printList() {
        seed(Projects, {"B", "a"});
        action(open(Projects, m_fx->session).get(), "printAction")->trigger();
        const auto& printer = m_fx->fakes.printer;
        QCOMPARE(printer.documents, QStringList{"Tarnwick Projects list"});
        QCOMPARE(printer.lines.size(), 2);
        QCOMPARE(printer.lines.at(0).text + printer.lines.at(1).text, QStringLiteral("aB"));
    }

    // The dialog covers the main window, and a resize of the dialog snaps it back there, even to a
    // main window too small for the list, without a message.
    void layoutCoversTheMainWindow() {
        ui::MainWindow* main = m_fx->openMainWindow({});
        main->setGeometry(100, 80, 600, 400);
        Dialog dialog = std::make_unique<ui::ClientListDialog>(m_fx->session, main);
        dialog->show();
        QCoreApplication::processEvents();
        QCOMPARE(dialog->frameGeometry(), main->frameGeometry());
        main->setGeometry(100, 80, 300, 60);
        dialog->resize(500, 500);
        QCoreApplication::processEvents();
        QCOMPARE(dialog->frameGeometry(), main->frameGeometry());
        QVERIFY(messages().isEmpty());
    }

    // A file that cannot be written, or that went away: the message with the description,
    // nothing stored, the list unchanged and the typed text kept.
    void databaseErrors() {
        for (bool readOnly : {true, false}) {
            seed(Projects, {"Kept"});
            if (readOnly)
                m_fx->makeDatabaseReadOnly();
            Dialog dialog = open(Projects, m_fx->session);
            if (!readOnly)
                QVERIFY(QFile::rename(m_fx->path, m_fx->path + ".moved"));
            firstBox(dialog)->setText("New");
            action(dialog.get(), "addAction")->trigger();
            entryList(dialog)->item(0)->setSelected(true);
            action(dialog.get(), "deleteAction")->trigger();
            const QStringList shown = messages();
            QCOMPARE(shown.size(), 2);
            QVERIFY2(shown.at(0).startsWith("There was an error in adding the project: ") &&
                         shown.at(1).startsWith("There was an error in deleting the selected "
                                                "projects: "),
                     qPrintable(shown.join('\n')));
            QCOMPARE(entries(dialog), QStringList{"Kept"});
            QCOMPARE(firstBox(dialog)->text(), QStringLiteral("New"));
            dialog.reset();
            db::setFileSystemForTesting(nullptr);
            QFile::rename(m_fx->path + ".moved", m_fx->path);
            QCOMPARE(stored(m_fx->path, Projects), QStringList{"Kept"});
        }
    }
};

QTEST_MAIN(ReferenceListsTest)
#include "reference_lists_test.moc"
