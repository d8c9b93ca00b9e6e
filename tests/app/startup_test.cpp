// The start-up sequence of frmInitial, scenario by scenario, with the platform's fakes, real
// database files in a temporary folder, and a show step that only counts. The start-up that
// hands over to the real main window is tested with the window (tests/ui).
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "app/frm_initial.h"
#include "app/globals.h"
#include "db/engine.h"
#include "db/schema.h"
#include "db_test_util.h"
#include "platform/error.h"
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
    // The first recently-used slot names `name`, which holds `bytes` when there are any.
    void remember(const QString& name, const QByteArray& bytes = {}) {
        if (!bytes.isEmpty())
            dbtest::writeBytes(path(name), bytes);
        fakes.settings.preset(kRecent, "First", path(name));
    }

    QTemporaryDir dir;
    FakePlatform fakes{platform::fakes::FakeFiles::Mode::RealFileSystem};
    frmInitial form;
    int shown = 0;
};

void expectDefaultDatabase(StartupRun& run, const QString& path, const char* scenario) {
    EXPECT_EQ(app::CurrentDatabasePath, path) << scenario;
    EXPECT_EQ(run.form.List1.projects.size(), qsizetype(db::schema::defaultProjects().size()))
        << scenario;
    EXPECT_TRUE(run.form.List1.clients.isEmpty() && run.form.List1.activities.isEmpty())
        << scenario;
}

TEST(Startup, Scenarios) {
    const struct {
        const char* name;
        std::function<void(StartupRun&)> arrange;
        bool proceeds;        // load() returns true and the main window is shown
        QStringList messages; // the texts shown, in order; %1 is the program folder
        std::function<void(StartupRun&)> verify;
    } scenarios[] = {
        {"first run with no settings",
         [](StartupRun&) {},
         true,
         {},
         [](StartupRun& run) {
             expectDefaultDatabase(run, run.path("TODO.MDB"), "first run");
             EXPECT_EQ(run.fakes.settings.value(kRecent, "First"), run.path("TODO.MDB"));
             EXPECT_TRUE(run.form.List2.isEmpty());
             EXPECT_EQ(QStringList({app::ProgramFontName, app::ProgramFontSize,
                                    app::PrintingFontName, app::PrintingFontSize}),
                       QStringList({"Ariel", "9", "Ariel", "12"}));
         }},
        {"first slot names a file that has gone, the second none",
         [](StartupRun& run) {
             QDir(run.dir.path()).mkdir("cases");
             run.remember("cases/gone.mdb");
             run.fakes.settings.preset(kRecent, "Third", run.path("c.mdb"));
         },
         true,
         {},
         [](StartupRun& run) {
             expectDefaultDatabase(run, run.path("cases/gone.mdb"), "gone");
             EXPECT_EQ(run.form.List2,
                       QStringList({run.path("cases/gone.mdb"), run.path("c.mdb")}));
             EXPECT_TRUE(run.fakes.settings.writes().isEmpty()) << "already first";
         }},
        {"invalid file, answer No",
         [](StartupRun& run) {
             run.remember("notes.mdb", "Pay the rent.");
             run.fakes.messageBoxes.answerNext(Answer::No);
         },
         false,
         {"%1/notes.mdb is not a valid Tarnwick database.",
          "%1/notes.mdb already exists but it is not a valid Tarnwick.  Do you wish to overwrite "
          "it and create a new Tarnwick?",
          "Unable to proceed with this program unless you delete or rename %1/notes.mdb."},
         [](StartupRun& run) {
             const QStringList texts = run.fakes.messageBoxes.texts();
             EXPECT_EQ(
                 run.fakes.messageBoxes.calls(),
                 QList<MessageBoxCall>({{Kind::Message, texts.value(0), "Tarnwick", Answer::No},
                                        {Kind::Question, texts.value(1),
                                         run.path("notes.mdb") + " already exists.", Answer::Yes},
                                        {Kind::Message, texts.value(2), "Tarnwick", Answer::No}}));
             EXPECT_EQ(dbtest::fileBytes(run.path("notes.mdb")), "Pay the rent.");
             EXPECT_TRUE(run.fakes.files.removals().isEmpty());
             EXPECT_TRUE(run.fakes.settings.writes().isEmpty());
             EXPECT_TRUE(run.form.List1.projects.isEmpty());
         }},
        {"invalid file, answer Yes",
         [](StartupRun& run) {
             run.remember("notes.mdb", "Pay the rent.");
             run.fakes.messageBoxes.answerNext(Answer::Yes);
         },
         true,
         {"%1/notes.mdb is not a valid Tarnwick database.",
          "%1/notes.mdb already exists but it is not a valid Tarnwick.  Do you wish to overwrite "
          "it and create a new Tarnwick?"},
         [](StartupRun& run) {
             expectDefaultDatabase(run, run.path("notes.mdb"), "answer Yes");
             EXPECT_EQ(run.fakes.files.removals(), QStringList{run.path("notes.mdb")});
         }},
        {"the invalid file cannot be deleted",
         [](StartupRun& run) {
             run.remember("locked.mdb", "x");
             run.fakes.messageBoxes.answerNext(Answer::Yes);
             run.fakes.files.failRemoval(run.path("locked.mdb"), "Permission denied.");
         },
         false,
         {"%1/locked.mdb is not a valid Tarnwick database.",
          "%1/locked.mdb already exists but it is not a valid Tarnwick.  Do you wish to overwrite "
          "it and create a new Tarnwick?",
          "Error in loading frmInitial module: Permission denied."},
         [](StartupRun& run) { EXPECT_EQ(dbtest::fileBytes(run.path("locked.mdb")), "x"); }},
    };

    for (const auto& scenario : scenarios) {
        StartupRun run;
        scenario.arrange(run);
        const bool proceeded = run.form.load([&run] { ++run.shown; });
        EXPECT_EQ(proceeded, scenario.proceeds) << scenario.name;
        EXPECT_EQ(run.shown, scenario.proceeds ? 1 : 0) << scenario.name;
        EXPECT_FALSE(run.form.isVisible()) << scenario.name;
        QStringList expected;
        for (const QString& text : scenario.messages)
            expected.append(QString(text).arg(run.dir.path()));
        EXPECT_EQ(run.fakes.messageBoxes.texts(), expected) << scenario.name;
        EXPECT_TRUE(run.fakes.errors().isEmpty()) << scenario.name;
        EXPECT_EQ(run.fakes.messageBoxes.unusedAnswers(), 0) << scenario.name;
        scenario.verify(run);
    }
}

// Another Tarnwick has the file: the program ends after the message, before anything touches
// the file or the settings. Once that Tarnwick has been killed, the next start proceeds and
// holds the file itself.
TEST(Startup, FileInUseElsewhere) {
    StartupRun run;
    const QString path = run.newDatabase("held.mdb");
    run.remember("held.mdb");
    const QByteArray before = dbtest::fileBytes(path);
    support::HoldProcess other(path.toStdString());
    ASSERT_EQ(other.firstLine(), "held");
    const std::string inUse = db::FileInUse(path.toStdString(), db::FileHold::self()).what();

    EXPECT_FALSE(run.form.load([] {}));
    EXPECT_EQ(run.fakes.messageBoxes.texts(), QStringList{QString::fromStdString(inUse)});
    EXPECT_EQ(dbtest::fileBytes(path), before);
    EXPECT_TRUE(run.fakes.settings.writes().isEmpty());
    EXPECT_TRUE(run.form.List1.projects.isEmpty());

    other.kill();
    EXPECT_TRUE(run.form.load([] {}));
    EXPECT_EQ(run.fakes.messageBoxes.calls().size(), 1);
    EXPECT_EQ(support::HoldProcess::probe(path.toStdString()), inUse);
}

} // namespace
