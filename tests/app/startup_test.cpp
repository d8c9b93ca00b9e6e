// The start-up sequence, scenario by scenario, with the platform's fakes, real database files in
// a temporary folder, and a show step that only counts. The start-up that hands over
// to the real main window is tested with the window (tests/ui).
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "app/session.h"
#include "app/startup.h"
#include "db/engine.h"
#include "db/routines.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "support/fake_platform.h"
#include "support/hold_process.h"

using platform::Answer;
using platform::fakes::FakePlatform;
using platform::fakes::MessageBoxCall;
using Kind = platform::fakes::MessageBoxCall::Kind;

namespace {

const QString kRecent = "MostRecentToDoDatabases";

// One run of the start-up sequence: a program folder, the fakes and a session.
struct StartupRun {
    StartupRun() { fakes.files.setProgramFolder(dir.path()); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString newDatabase(const QString& name) const {
        db::schema::createDatabase(db::enginePath(path(name)));
        return path(name);
    }
    // Runs the start-up: the main window is shown (here: counted) exactly when it proceeds, and
    // every answer scripted is asked for.
    bool load() {
        int shown = 0;
        const bool proceeded = app::StartUp(session, [&shown] { ++shown; });
        EXPECT_EQ(shown, proceeded ? 1 : 0);
        EXPECT_TRUE(fakes.errors().isEmpty());
        EXPECT_EQ(fakes.messageBoxes.unusedAnswers(), 0);
        return proceeded;
    }
    // The file in use is the database at `name`, new with its default lists.
    void expectNewDatabase(const QString& name) {
        EXPECT_EQ(session.databasePath(), path(name));
        EXPECT_EQ(db::LoadReferenceLists(path(name)).projects.size(),
                  qsizetype(db::schema::defaultProjects().size()));
        EXPECT_TRUE(session.holdsDatabase());
    }

    QTemporaryDir dir;
    FakePlatform fakes{platform::fakes::FakeFiles::Mode::RealFileSystem};
    app::Session session;
};

// The first run makes TODO.MDB in the program folder and lists it; a first slot whose file has
// gone gets it made again. Neither says anything, and nothing is due.
TEST(Startup, TheFirstSlotsFileOrTodoMdbIsMadeWhenMissing) {
    for (const bool firstRun : {true, false}) {
        StartupRun run;
        const QString file = run.path(firstRun ? "TODO.MDB" : "gone.mdb");
        if (!firstRun) {
            run.fakes.settings.preset(kRecent, "First", file);
            run.fakes.settings.preset(kRecent, "Third", run.path("c.mdb"));
        }
        EXPECT_TRUE(run.load());
        run.expectNewDatabase(QFileInfo(file).fileName());
        EXPECT_EQ(run.fakes.settings.value(kRecent, "First"), file);
        EXPECT_EQ(run.session.recentDatabases(),
                  firstRun ? QStringList() : QStringList({file, run.path("c.mdb")}));
        EXPECT_TRUE(firstRun || run.fakes.settings.writes().isEmpty()) << "already first";
        EXPECT_TRUE(run.fakes.messageBoxes.calls().isEmpty());
        EXPECT_TRUE(run.fakes.notifications.asked().isEmpty()) << "nothing is due";
    }
}

// The first slot names a file that is no Tarnwick database: No ends the program, Yes replaces
// the file, and a removal that fails ends the program too. What is not replaced is untouched.
TEST(Startup, AnInvalidFileIsReplacedOnlyWhenTheUserSaysYes) {
    const struct {
        Answer answer;
        bool removalFails, proceeds;
        QString last; // the message after the question; empty: none
    } cases[] = {
        {Answer::No, false, false,
         "Unable to proceed with this program unless you delete or rename %1."},
        {Answer::Yes, false, true, ""},
        {Answer::Yes, true, false, "Error in loading frmInitial module: Permission denied."},
    };
    for (const auto& c : cases) {
        StartupRun run;
        const QString path = run.path("notes.mdb");
        dbtest::writeBytes(path, "Pay the rent.");
        run.fakes.settings.preset(kRecent, "First", path);
        run.fakes.messageBoxes.answerNext(c.answer);
        if (c.removalFails)
            run.fakes.files.failRemoval(path, "Permission denied.");
        EXPECT_EQ(run.load(), c.proceeds);

        QList<MessageBoxCall> shown = {
            {Kind::Message, path + " is not a valid Tarnwick database.", "Tarnwick", Answer::No},
            {Kind::Question,
             path + " already exists but it is not a valid Tarnwick.  Do you wish to overwrite it "
                    "and create a new Tarnwick?",
             path + " already exists.", Answer::Yes}};
        if (!c.last.isEmpty())
            shown.append(
                {Kind::Message, QString(c.last).replace("%1", path), "Tarnwick", Answer::No});
        EXPECT_EQ(run.fakes.messageBoxes.calls(), shown);
        EXPECT_EQ(run.fakes.files.removals(),
                  c.answer == Answer::Yes ? QStringList{path} : QStringList());
        if (c.proceeds) {
            run.expectNewDatabase("notes.mdb");
        } else {
            EXPECT_EQ(dbtest::fileBytes(path), "Pay the rent.");
            EXPECT_TRUE(run.fakes.settings.writes().isEmpty());
            EXPECT_TRUE(run.session.databasePath().isEmpty());
        }
    }
}

// Another Tarnwick has the file: the program ends after the message, before anything touches
// the file or the settings. Once that Tarnwick has been killed, the next start proceeds and
// holds the file itself.
TEST(Startup, FileInUseElsewhere) {
    StartupRun run;
    const QString path = run.newDatabase("held.mdb");
    run.fakes.settings.preset(kRecent, "First", path);
    const QByteArray before = dbtest::fileBytes(path);
    support::HoldProcess other(path.toStdString());
    ASSERT_EQ(other.firstLine(), "held");
    const std::string inUse = db::FileInUse(path.toStdString(), db::FileHold::self()).what();

    EXPECT_FALSE(run.load());
    EXPECT_EQ(run.fakes.messageBoxes.texts(), QStringList{QString::fromStdString(inUse)});
    EXPECT_EQ(dbtest::fileBytes(path), before);
    EXPECT_TRUE(run.fakes.settings.writes().isEmpty());
    EXPECT_TRUE(run.session.databasePath().isEmpty());

    other.kill();
    EXPECT_TRUE(run.load());
    EXPECT_EQ(run.fakes.messageBoxes.calls().size(), 1);
    EXPECT_EQ(support::HoldProcess::probe(path.toStdString()), inUse);
}

// Items overdue and due today at start are told to the desktop once, after the main window
// has loaded them; the notice's texts are tested on their own.
TEST(Startup, WhatIsDueIsToldAtStart) {
    StartupRun run;
    const QString path = run.newDatabase("due.mdb");
    run.fakes.settings.preset(kRecent, "First", path);
    const double today = db::ItemDate::chosen(QDate::currentDate())->days;
    db::RewriteToDoItems(path, {dbtest::item("1", "Doe, Jane", "Call", today - 5, today - 1),
                                dbtest::item("2", "MARKETING", "Plan", today - 5, today),
                                dbtest::item("3", "PAY BILLS", "Later", today - 5, today + 1)});
    EXPECT_TRUE(run.load());
    ASSERT_EQ(run.fakes.notifications.asked().size(), 1);
    EXPECT_EQ(run.fakes.notifications.asked().at(0).summary,
              "1 item is overdue and 1 item is due today");
}

} // namespace
