// New, Open and the recently used entries of the main window, over real database files, with
// the file dialog and message boxes answered by fakes.
#include <QTest>
#include <QTreeView>

#include <tuple>

#include "db/file_hold.h"
#include "db/routines.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "support/hold_process.h"
#include "support/window_fixture.h"
#include "ui/main/main_window.h"

using platform::Answer;
using platform::fakes::MessageBoxCall;
using support::action;
using support::kThreeRows;
using support::Rows;

namespace {

const Rows kOtherRows = {{"4", "Doe, Jane", "Review the will", "1/5/2027", "2/1/2027"}};

// The message of a file that another Tarnwick of this user and machine has in use.
QString inUseMessage(const QString& path) {
    return db::FileInUse(path.toStdString(), db::FileHold::self()).what();
}

} // namespace

class DatabaseCommandsTest : public QObject {
    Q_OBJECT
    std::optional<support::WindowFixture> m_fx;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { m_fx.emplace(); }
    void cleanup() { m_fx.reset(); }

    // Each row is named "command target [answer to the overwrite question]": the command New,
    // Open, Open-button or Recent (the third entry); the dialog cancelled, or the chosen name
    // blank, the file in use, no file, a non-database, a database, or a database that another
    // Tarnwick has in use. "? " marks a question, %1 stands for the chosen name.
    void commands_data() {
        QTest::addColumn<bool>("switches");
        QTest::addColumn<QStringList>("shown");
        const QString notValid = "%1 is not a valid Tarnwick database.";
        const QString another =
            "The selected file is not a valid Tarnwick database.  Please try another file.";
        const QString overwrite = "? %1 already exists.  Do you wish to overwrite it?";
        const QString overwriteDb =
            "? %1 is a valid Tarnwick.  Are you sure you want to overwrite it?";
        const QStringList inUse = {"This file is already open."};
        auto row = [](const char* how, bool switches, const QStringList& shown) {
            QTest::newRow(how) << switches << shown;
        };
        row("New cancel", false, {"Error in creating new Tarnwick: Cancel was selected."});
        row("Open-button cancel", false, {"Error in opening Tarnwick: Cancel was selected."});
        row("New blank", false,
            {"You have not created a valid name for a Tarnwick database.  Please try again."});
        row("New in-use", false, inUse);
        row("Open in-use", false, inUse);
        row("New junk No", false, {notValid, overwrite});
        row("New junk Yes", true, {notValid, overwrite});
        row("New database No", false, {overwriteDb});
        row("New database Yes", true, {overwriteDb});
        row("New none", true, {});
        row("Open junk", false, {notValid, another});
        row("Open none", false, {notValid, another});
        row("Open database", true, {});
        row("Recent none", false, {"Could not open %1"});
        row("Recent junk", false, {notValid, another});
        row("Recent database", true, {});
        row("Recent in-use", true, {});
        for (const char* how : {"New held", "Open held", "Recent held"})
            row(how, false, {inUseMessage("%1")});
    }

    // Every command ends either on the chosen file, its items shown (none for New), or on the
    // file in use with the list as it was, a pending drag-to-swap included. Either way nothing
    // is written to the file in use, the pointer is normal, and the File menu keeps its entries.
    void commands() {
        QFETCH(bool, switches);
        QFETCH(QStringList, shown);
        const QStringList how = QString(QTest::currentDataTag()).split(' ');
        const QString command = how[0], target = how[1], answer = how.value(2);
        auto& fakes = m_fx->fakes;
        const QString path = m_fx->path;
        const QString chosen = target == "in-use"  ? path
                               : target == "blank" ? QStringLiteral("   ")
                                                   : m_fx->dir.filePath("other.mdb");
        if (target == "junk")
            dbtest::writeBytes(chosen, "Minutes of the meeting");
        if (target == "database" || target == "held") {
            db::schema::createDatabase(chosen.toStdString());
            db::RewriteToDoItems(chosen, support::itemsOf(kOtherRows));
            dbtest::addRecords(chosen, "Clients", {{{"Client", dbtest::text("Doe, Jane")}}});
        }
        std::optional<support::HoldProcess> other;
        if (target == "held")
            other.emplace(chosen.toStdString());
        target == "cancel" ? fakes.fileDialog.cancelNext() : fakes.fileDialog.chooseNext(chosen);
        if (!answer.isEmpty())
            fakes.messageBoxes.answerNext(answer == "Yes" ? Answer::Yes : Answer::No);
        fakes.settings.preset("MostRecentToDoDatabases", "First", path);
        fakes.settings.preset("MostRecentToDoDatabases", "Second", "/old/b.mdb");
        ui::MainWindow* window = m_fx->openMainWindow(kThreeRows, {path, "/old/b.mdb", chosen});
        QWidget* rows = support::child<QTreeView>(window, "itemList")->viewport();
        QTest::mousePress(rows, Qt::LeftButton, {}, support::rowCentre(*window, 0));
        QTest::mouseRelease(rows, Qt::LeftButton, {}, support::rowCentre(*window, 2));
        const Rows swapped = m_fx->shownRows(); // a swap not yet stored
        QVERIFY(swapped != kThreeRows);
        const QByteArray inUse = dbtest::fileBytes(path), chosenBytes = dbtest::fileBytes(chosen);

        if (command == "New")
            action(window, "newDatabaseAction")->trigger();
        else if (command == "Open")
            action(window, "openDatabaseAction")->trigger();
        else if (command == "Open-button")
            support::clickToolbar(window, "openDatabase");
        else
            action(window, "recentDatabaseAction2")->trigger();

        QStringList texts;
        for (const MessageBoxCall& call : fakes.messageBoxes.calls()) {
            const bool question = call.kind == MessageBoxCall::Kind::Question;
            texts.append((question ? "? " : "") + call.text);
            QCOMPARE(call.title, question ? chosen + " already exists." : "Tarnwick");
            QCOMPARE(call.defaultButton, Answer::No);
        }
        for (QString& text : shown)
            text.replace("%1", chosen);
        QCOMPARE(texts, shown);
        const QString current = switches ? chosen : path;
        QCOMPARE(m_fx->session.databasePath(), current);
        QCOMPARE(window->windowTitle(), "Tarnwick - " + current);
        const Rows expected = !switches              ? swapped
                              : command == "New"     ? Rows()
                              : target == "database" ? kOtherRows
                                                     : kThreeRows;
        QCOMPARE(m_fx->shownRows(), expected);
        QVERIFY(m_fx->session.items().loaded());
        QCOMPARE(dbtest::fileBytes(path), inUse);
        QCOMPARE(fakes.settings.value("MostRecentToDoDatabases", "First"), current);
        QCOMPARE(action(window, "recentDatabaseAction0")->data().toString(), path);
        QVERIFY(!fakes.mousePointer.isBusy());
        if (command != "Recent") {
            // Replacing a file is New's own one question; Open neither creates nor replaces.
            const platform::FileDialogRequest& request = fakes.fileDialog.requests().at(0);
            QCOMPARE(
                std::tuple(request.promptToOverwrite, request.promptToCreate, request.mustExist),
                std::tuple(false, command == "New", command.startsWith("Open")));
        }
        if (!switches)
            QCOMPARE(dbtest::fileBytes(chosen), chosenBytes);
        else if (command == "New")
            QVERIFY(dbtest::tableRows(chosen, "Things To Do").empty() &&
                    dbtest::tableRows(chosen, "Projects").size() == 6);
        QCOMPARE(QFile::exists(chosen), !chosenBytes.isEmpty() || switches);
    }

    // Items that cannot be read after the switch began: the message, and the window back on
    // the file in use, its items read again.
    void failedSwitchGoesBack() {
        const QString other = m_fx->dir.filePath("other.mdb");
        std::vector<jet::TableSpec> tables = db::schema::tables();
        tables.back().fields.resize(1);
        dbtest::makeDatabase(other, tables);
        dbtest::addRecords(other, "Things To Do", {{{"ThingToDo", dbtest::text("Lunch")}}});
        ui::MainWindow* window = m_fx->openMainWindow(kThreeRows);
        m_fx->fakes.fileDialog.chooseNext(other);
        action(window, "openDatabaseAction")->trigger();
        QCOMPARE(m_fx->fakes.messageBoxes.texts().join(""),
                 "Error in opening Tarnwick: Table 'Things To Do' has no field 'TTD Priority'.");
        QCOMPARE(m_fx->session.databasePath(), m_fx->path);
        QCOMPARE(window->windowTitle(), "Tarnwick - " + m_fx->path);
        QCOMPARE(m_fx->shownRows(), kThreeRows);
        QVERIFY(m_fx->session.items().loaded() && !m_fx->fakes.mousePointer.isBusy());
        QVERIFY(m_fx->fakes.settings.writes().isEmpty());
    }

    // The hold moves with the file in use: a switch lets go of the old file's and holds the new
    // one, whose hold and note go when the window closes.
    void holdMovesWithTheFile() {
        const QString path = m_fx->path, other = m_fx->dir.filePath("other.mdb");
        auto probe = [](const QString& file) {
            return QString::fromStdString(support::HoldProcess::probe(file.toStdString()));
        };
        db::schema::createDatabase(other.toStdString());
        m_fx->session.takeUp(path, db::FileHold::take(path.toStdString()));
        ui::MainWindow* window = m_fx->openMainWindow(kThreeRows, {other});
        QCOMPARE(probe(path), inUseMessage(path));

        action(window, "recentDatabaseAction0")->trigger();
        QCOMPARE(m_fx->session.databasePath(), other);
        QCOMPARE(probe(path), "held");
        QCOMPARE(probe(other), inUseMessage(other));
        QVERIFY(QFile::exists(other + "-lock") && !QFile::exists(path + "-lock"));

        window->close();
        QCOMPARE(probe(other), "held");
        QVERIFY(!QFile::exists(other + "-lock"));
    }
};

QTEST_MAIN(DatabaseCommandsTest)
#include "database_commands_test.moc"
