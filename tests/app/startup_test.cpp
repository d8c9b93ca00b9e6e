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
    std::optional<QString> setting(const QString& section, const QString& key) const {
        return fakes.settings.value(section, key);
    }

    QTemporaryDir dir;
    FakePlatform fakes{platform::fakes::FakeFiles::Mode::RealFileSystem};
    frmInitial form;
    std::function<void()> show = [] {};
    int shown = 0;
};

MessageBoxCall message(const QString& text) {
    return {Kind::Message, text, "Tarnwick", Answer::No};
}
MessageBoxCall notValid(const QString& path) {
    return message(path + " is not a valid Tarnwick database.");
}
MessageBoxCall overwriteQuestion(const QString& path) {
    return {Kind::Question,
            path + " already exists but it is not a valid Tarnwick.  Do you wish to overwrite it "
                   "and create a new Tarnwick?",
            path + " already exists.", Answer::Yes};
}

struct Scenario {
    const char* name;
    std::function<void(StartupRun&)> arrange;
    bool proceeds; // load() returns true and the main window is shown
    // The messages shown, in order.
    std::function<QList<MessageBoxCall>(StartupRun&)> messages;
    std::function<void(StartupRun&)> verify;
};

void expectDefaultDatabase(StartupRun& run, const QString& path, const char* scenario) {
    EXPECT_EQ(app::CurrentDatabasePath, path) << scenario;
    EXPECT_EQ(run.form.List1.projects.size(), qsizetype(db::schema::defaultProjects().size()))
        << scenario;
    EXPECT_TRUE(run.form.List1.clients.isEmpty() && run.form.List1.activities.isEmpty())
        << scenario;
}

TEST(Startup, Scenarios) {
    const Scenario scenarios[] = {
        {"first run with no settings", [](StartupRun&) {}, true,
         [](StartupRun&) { return QList<MessageBoxCall>{}; },
         [](StartupRun& run) {
             const QString path = run.path("TODO.MDB");
             expectDefaultDatabase(run, path, "first run");
             EXPECT_EQ(run.setting(kRecent, "First"), path);
             EXPECT_TRUE(run.form.List2.isEmpty());
             EXPECT_EQ(QStringList({app::ProgramFontName, app::ProgramFontSize,
                                    app::PrintingFontName, app::PrintingFontSize}),
                       QStringList({"Ariel", "9", "Ariel", "12"}));
         }},
        {"first slot names a file that has gone",
         [](StartupRun& run) {
             QDir(run.dir.path()).mkdir("cases");
             run.fakes.settings.preset(kRecent, "First", run.path("cases/gone.mdb"));
         },
         true, [](StartupRun&) { return QList<MessageBoxCall>{}; },
         [](StartupRun& run) {
             expectDefaultDatabase(run, run.path("cases/gone.mdb"), "gone");
             EXPECT_EQ(run.form.List2, QStringList{run.path("cases/gone.mdb")});
             EXPECT_TRUE(run.fakes.settings.writes().isEmpty()) << "already first";
         }},
        {"invalid file, answer No",
         [](StartupRun& run) {
             dbtest::writeBytes(run.path("notes.mdb"), "Pay the rent.");
             run.fakes.settings.preset(kRecent, "First", run.path("notes.mdb"));
             run.fakes.messageBoxes.answerNext(Answer::No);
         },
         false,
         [](StartupRun& run) {
             const QString path = run.path("notes.mdb");
             return QList<MessageBoxCall>{
                 notValid(path), overwriteQuestion(path),
                 message("Unable to proceed with this program unless you delete or rename " + path +
                         ".")};
         },
         [](StartupRun& run) {
             EXPECT_EQ(dbtest::fileBytes(run.path("notes.mdb")), "Pay the rent.");
             EXPECT_TRUE(run.fakes.files.removals().isEmpty());
             EXPECT_TRUE(run.fakes.settings.writes().isEmpty());
             EXPECT_TRUE(run.form.List1.projects.isEmpty());
         }},
        {"invalid file, answer Yes",
         [](StartupRun& run) {
             dbtest::writeBytes(run.path("notes.mdb"), "Pay the rent.");
             run.fakes.settings.preset(kRecent, "First", run.path("notes.mdb"));
             run.fakes.messageBoxes.answerNext(Answer::Yes);
         },
         true,
         [](StartupRun& run) {
             const QString path = run.path("notes.mdb");
             return QList<MessageBoxCall>{notValid(path), overwriteQuestion(path)};
         },
         [](StartupRun& run) {
             expectDefaultDatabase(run, run.path("notes.mdb"), "answer Yes");
             EXPECT_EQ(run.fakes.files.removals(), QStringList{run.path("notes.mdb")});
         }},
        {"slots First and Third only, fonts stored",
         [](StartupRun& run) {
             run.fakes.settings.preset(kRecent, "First", run.newDatabase("a.mdb"));
             run.fakes.settings.preset(kRecent, "Third", run.path("c.mdb"));
             run.fakes.settings.preset("DefaultFontName", "Default Font Name", "DejaVu Sans");
             run.fakes.settings.preset("DefaultFontSize", "Default Font Size", "10.5");
             run.fakes.settings.preset("DefaultPrintFontName", "Default Print Font Name", "Serif");
             run.fakes.settings.preset("DefaultPrintFontSize", "Default Print Font Size", "11");
         },
         true, [](StartupRun&) { return QList<MessageBoxCall>{}; },
         [](StartupRun& run) {
             EXPECT_EQ(run.form.List2, QStringList({run.path("a.mdb"), run.path("c.mdb")}));
             expectDefaultDatabase(run, run.path("a.mdb"), "First and Third");
             EXPECT_EQ(QStringList({app::ProgramFontName, app::ProgramFontSize,
                                    app::PrintingFontName, app::PrintingFontSize}),
                       QStringList({"DejaVu Sans", "10.5", "Serif", "11"}));
         }},
        {"the invalid file cannot be deleted",
         [](StartupRun& run) {
             dbtest::writeBytes(run.path("locked.mdb"), "x");
             run.fakes.settings.preset(kRecent, "First", run.path("locked.mdb"));
             run.fakes.messageBoxes.answerNext(Answer::Yes);
             run.fakes.files.failRemoval(run.path("locked.mdb"), "Permission denied.");
         },
         false,
         [](StartupRun& run) {
             const QString path = run.path("locked.mdb");
             return QList<MessageBoxCall>{
                 notValid(path), overwriteQuestion(path),
                 message("Error in loading frmInitial module: Permission denied.")};
         },
         [](StartupRun& run) { EXPECT_EQ(dbtest::fileBytes(run.path("locked.mdb")), "x"); }},
        {"the main window fails to load",
         [](StartupRun& run) {
             run.show = [] { throw platform::Error("The list cannot be shown."); };
         },
         false,
         [](StartupRun&) {
             return QList<MessageBoxCall>{
                 message("Error in loading frmInitial module: The list cannot be shown.")};
         },
         [](StartupRun&) {}},
    };

    for (const Scenario& scenario : scenarios) {
        StartupRun run;
        scenario.arrange(run);
        const bool proceeded = run.form.load([&run] {
            run.show();
            ++run.shown;
        });
        EXPECT_EQ(proceeded, scenario.proceeds) << scenario.name;
        EXPECT_EQ(run.shown, scenario.proceeds ? 1 : 0) << scenario.name;
        EXPECT_FALSE(run.form.isVisible()) << scenario.name;
        EXPECT_EQ(run.fakes.messageBoxes.calls(), scenario.messages(run))
            << scenario.name << ": " << run.fakes.messageBoxes.texts().join(" | ").toStdString();
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
    run.fakes.settings.preset(kRecent, "First", path);
    const QByteArray before = dbtest::fileBytes(path);
    support::HoldProcess other(path.toStdString());
    ASSERT_EQ(other.firstLine(), "held");
    const std::string inUse = db::FileInUse(path.toStdString(), db::FileHold::self()).what();

    EXPECT_FALSE(run.form.load(run.show));
    EXPECT_EQ(run.fakes.messageBoxes.calls(), QList{message(QString::fromStdString(inUse))});
    EXPECT_EQ(dbtest::fileBytes(path), before);
    EXPECT_TRUE(run.fakes.settings.writes().isEmpty());
    EXPECT_TRUE(run.form.List1.projects.isEmpty());

    other.kill();
    EXPECT_TRUE(run.form.load(run.show));
    EXPECT_EQ(run.fakes.messageBoxes.calls().size(), 1);
    EXPECT_EQ(support::HoldProcess::probe(path.toStdString()), inUse);
}

} // namespace
