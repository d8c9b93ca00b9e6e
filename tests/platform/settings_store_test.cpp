// The INI settings store against real files in a temporary $XDG_CONFIG_HOME. Where the program
// keeps it is checked on the installed program (tests/install).
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
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }

    QString iniPath() const { return m_config.path() + "/tarnwick/tarnwick.ini"; }

    QTemporaryDir m_config;
};

// Values with commas and blanks at either end read back as written, from another store object;
// a missing key gives the default.
TEST_F(SettingsStoreTest, EveryValueReadsBackExactlyInAnotherStoreObject) {
    EXPECT_EQ(IniSettingsStore("tarnwick").read("DefaultFontSize", "Default Font Size", "9"), "9");
    const QString values[] = {"1200, 900, 9600, 7200", "/home/pat/Smith, Jones/todo.mdb", "a,b,,c,",
                              "  leading, trailing  ", ""};
    for (const QString& value : values) {
        IniSettingsStore("tarnwick").write("DefaultFontName", "Default Font Name", value);
        EXPECT_EQ(IniSettingsStore("tarnwick").read("DefaultFontName", "Default Font Name", "-"),
                  value)
            << value.toStdString();
    }
}

TEST_F(SettingsStoreTest, HandEditedValuesReadAsTheTextInTheFile) {
    QDir().mkpath(m_config.path() + "/tarnwick");
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; edited by hand\r\n"
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
    file.close();
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

TEST_F(SettingsStoreTest, AFailedWriteAndNamesThatWouldNestGroupsThrow) {
    IniSettingsStore store("tarnwick");
    for (const QString& name : {QString(), QString("a/b"), QString("a\\b")}) {
        EXPECT_THROW(store.write(name, "key", "v"), platform::Error);
        EXPECT_THROW(store.read("Section", name, ""), platform::Error);
    }
    // A file where the store's folder should be: the folder cannot be made.
    QFile blocker(m_config.path() + "/tarnwick");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(store.write("FormPosition", "frmToDo", "1, 2, 3, 4"), platform::Error);
}

} // namespace
