// The INI settings store against real files in a temporary $XDG_CONFIG_HOME.
#include "env_guard.h"
#include "platform/error.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::IniSettingsStore;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_config.isValid());
        m_env.set("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }

    QString iniPath() const { return m_config.path() + "/tarnwick/tarnwick.ini"; }

    // Replaces the settings file with `content`, as a user editing it by hand would.
    void writeIni(const QByteArray& content) {
        QDir().mkpath(m_config.path() + "/tarnwick");
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QTemporaryDir m_config;
    EnvGuard m_env;
};

TEST_F(SettingsStoreTest, LivesInTheConfigFolderUnderTheApplicationName) {
    EXPECT_EQ(IniSettingsStore("tarnwick").filePath(), iniPath());
    // Without a name, the test executable's own name is used.
    EXPECT_EQ(IniSettingsStore().filePath(),
              m_config.path() + "/platform_tests/platform_tests.ini");

    m_env.set("XDG_CONFIG_HOME", {});
    m_env.set("HOME", QFile::encodeName(m_config.path()));
    EXPECT_EQ(IniSettingsStore("tarnwick").filePath(),
              m_config.path() + "/.config/tarnwick/tarnwick.ini");
}

TEST_F(SettingsStoreTest, EveryValueReadsBackExactlyInAnotherStoreObject) {
    const QString values[] = {
        "1200, 900, 9600, 7200",
        "/home/pat/Smith, Jones/todo.mdb",
        "a,b,,c,",
        ",",
        "  leading",
        "trailing  ",
        "   ",
        "",
        "Zürich – Москва – 東京 😀",
        "key=value",
        "semi;colon",
        "#hash",
        "; looks like a comment",
        "back\\slash\\",
        "\"quoted\"",
        "it's",
        "@Rect(1 2 3 4)",
        "@",
        "tab\there",
        "line\nbreak",
        "%20 and %U0041",
        "[Section]",
    };
    for (const QString& value : values) {
        IniSettingsStore("tarnwick").write("FormPosition", "frmToDo", value);
        EXPECT_EQ(IniSettingsStore("tarnwick").read("FormPosition", "frmToDo", "default"), value)
            << value.toStdString();
    }
}

TEST_F(SettingsStoreTest, KeysWithBlanksAndSectionsAreKeptApart) {
    IniSettingsStore store("tarnwick");
    store.write("DefaultFontName", "Default Font Name", "Ariel");
    store.write("DefaultPrintFontName", "Default Font Name", "Courier");
    store.write("MostRecentToDoDatabases", "First", "/a.mdb");
    store.write("MostRecentToDoDatabases", "first", "/b.mdb");

    EXPECT_EQ(store.read("DefaultFontName", "Default Font Name", ""), "Ariel");
    EXPECT_EQ(store.read("DefaultPrintFontName", "Default Font Name", ""), "Courier");
    EXPECT_EQ(store.read("MostRecentToDoDatabases", "First", ""), "/a.mdb");
    EXPECT_EQ(store.read("MostRecentToDoDatabases", "first", ""), "/b.mdb");
}

TEST_F(SettingsStoreTest, MissingKeysGiveTheDefaultButEmptyValuesDoNot) {
    IniSettingsStore store("tarnwick");
    EXPECT_EQ(store.read("DefaultFontSize", "Default Font Size", "9"), "9"); // no file yet
    store.write("MostRecentToDoDatabases", "Second", "");
    EXPECT_EQ(store.read("MostRecentToDoDatabases", "First", "none"), "none");
    EXPECT_EQ(store.read("MostRecentToDoDatabases", "Second", "none"), "");
}

TEST_F(SettingsStoreTest, HandEditedValuesReadAsTheTextInTheFile) {
    writeIni("; edited by hand\r\n"
             "[FormPosition]\r\n"
             "frmToDo=1, 2, 3, 4\r\n"
             "[MostRecentToDoDatabases]\n"
             "First = /srv/Smith,Jones/todo.mdb\n"
             "Second=  p ,  q  ; a note\n"
             "Third=\"q, r\" , s\n"
             "Fourth=@Rect(1 2 3 4)\n"
             "Fifth=a\\tb, \\x41\n"
             "Sixth=old, value\n"
             "Sixth=new, value\n"
             "[DefaultFontName]\n"
             "Default%20Font%20Name=Times, Roman\n"
             "Default Font Name=Times, New\n");
    const struct {
        const char* section;
        const char* key;
        QString expected;
    } cases[] = {
        {"FormPosition", "frmToDo", "1, 2, 3, 4"},
        {"MostRecentToDoDatabases", "First", "/srv/Smith,Jones/todo.mdb"},
        {"MostRecentToDoDatabases", "Second", "p ,  q"},
        {"MostRecentToDoDatabases", "Third", "q, r , s"},
        {"MostRecentToDoDatabases", "Fourth", "@Rect(1 2 3 4)"},
        {"MostRecentToDoDatabases", "Fifth", "a\tb, A"},
        {"MostRecentToDoDatabases", "Sixth", "new, value"},
        {"DefaultFontName", "Default Font Name", "Times, New"},
    };
    IniSettingsStore store("tarnwick");
    for (const auto& c : cases)
        EXPECT_EQ(store.read(c.section, c.key, "default"), c.expected) << c.section << "/" << c.key;
}

TEST_F(SettingsStoreTest, WritingKeepsHandEditedValuesReadable) {
    writeIni("[FormPosition]\nfrmToDo=1, 2, 3, 4\n");
    IniSettingsStore store("tarnwick");
    store.write("MostRecentToDoDatabases", "First", "/x.mdb");
    EXPECT_EQ(store.read("FormPosition", "frmToDo", ""), "1, 2, 3, 4");
}

TEST_F(SettingsStoreTest, AFailedWriteThrows) {
    // A file where the store's folder should be: the folder cannot be made.
    QFile blocker(m_config.path() + "/tarnwick");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniSettingsStore store("tarnwick");
    EXPECT_THROW(store.write("FormPosition", "frmToDo", "1, 2, 3, 4"), platform::Error);
}

TEST_F(SettingsStoreTest, NamesThatWouldNestGroupsAreRefused) {
    IniSettingsStore store("tarnwick");
    for (const QString& name : {QString(), QString("a/b"), QString("a\\b")}) {
        EXPECT_THROW(store.write(name, "key", "v"), platform::Error);
        EXPECT_THROW(store.read("Section", name, ""), platform::Error);
    }
}

} // namespace
