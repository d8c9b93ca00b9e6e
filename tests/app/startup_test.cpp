// The start-up sequence of frmInitial, scenario by scenario, with the platform's fakes, real
// database files in a temporary folder, and a show step that only counts. The start-up that
// hands over to the real main window is tested with the window (tests/ui).
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/frm_initial.h"
#include "app/globals.h"
#include "db/engine.h"
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

// One run of the start-up sequence: a program folder, the fakes and the start-up window.
struct StartupRun {
    StartupRun() {
        app::resetGlobals();
        fakes.files.setProgramFolder(dir.path());
    }
    ~StartupRun() { app::resetGlobals(); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString newDatabase(const QString& name) const {
        db::schema::createDatabase(db::enginePath(path(name)));
        return path(name);
    }
    // Runs the start-up: the main window is shown exactly when it proceeds, frmInitial never,
    // and every answer scripted is asked for.
    bool load() {
        int shown = 0;
        const bool proceeded = form.load([&shown] { ++shown; });
        EXPECT_EQ(shown, proceeded ? 1 : 0);
        EXPECT_FALSE(form.isVisible());
        EXPECT_TRUE(fakes.errors().isEmpty());
        EXPECT_EQ(fakes.messageBoxes.unusedAnswers(), 0);
        return proceeded;
    }
    // The main list shows the database at `name`, new with its default lists.
    void expectNewDatabase(const QString& name) {
        EXPECT_EQ(app::CurrentDatabasePath, path(name));
        EXPECT_EQ(form.List1.projects.size(), qsizetype(db::schema::defaultProjects().size()));
        EXPECT_TRUE(form.List1.clients.isEmpty() && form.List1.activities.isEmpty());
    }

    QTemporaryDir dir;
    FakePlatform fakes{platform::fakes::FakeFiles::Mode::RealFileSystem};
    frmInitial form;
};

TEST(Startup, FirstRunMakesTheDefaultDatabaseInTheProgramFolder) {
    StartupRun run;
    EXPECT_TRUE(run.load());
    run.expectNewDatabase("TODO.MDB");
    EXPECT_EQ(run.fakes.settings.value(kRecent, "First"), run.path("TODO.MDB"));
    EXPECT_TRUE(run.form.List2.isEmpty());
    EXPECT_TRUE(run.fakes.messageBoxes.calls().isEmpty());
    EXPECT_EQ(QStringList({app::ProgramFontName, app::ProgramFontSize, app::PrintingFontName,
                           app::PrintingFontSize}),
              QStringList({"Ariel", "9", "Ariel", "12"}));
}

TEST(Startup, TheFirstSlotsFileIsMadeAgainWhenItHasGone) {
    StartupRun run;
    run.fakes.settings.preset(kRecent, "First", run.path("gone.mdb"));
    run.fakes.settings.preset(kRecent, "Third", run.path("c.mdb"));
    EXPECT_TRUE(run.load());
    run.expectNewDatabase("gone.mdb");
    EXPECT_EQ(run.form.List2, QStringList({run.path("gone.mdb"), run.path("c.mdb")}));
    EXPECT_TRUE(run.fakes.settings.writes().isEmpty()) << "already first";
    EXPECT_TRUE(run.fakes.messageBoxes.calls().isEmpty());
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
            EXPECT_TRUE(run.form.List1.projects.isEmpty());
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
    EXPECT_TRUE(run.form.List1.projects.isEmpty());

    other.kill();
    EXPECT_TRUE(run.load());
    EXPECT_EQ(run.fakes.messageBoxes.calls().size(), 1);
    EXPECT_EQ(support::HoldProcess::probe(path.toStdString()), inUse);
}

} // namespace
