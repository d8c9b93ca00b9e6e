// The INI settings store, against real files in a temporary $XDG_CONFIG_HOME, and the registry
// stand-in over an INI file. Where the program keeps its settings is checked on the installed
// program (tests/install).
#include "platform/error.h"
#include "platform/settings_store.h"
#include "platform/system_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::IniSettingsStore;
using platform::RegistryRoot;
using platform::RegistryType;

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

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
    writeFile(iniPath(), "; edited by hand\r\n"
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

TEST(IniSystemRegistry, ReadsStringsAndNumbersUnderBackslashKeyPaths) {
    QTemporaryDir temp;
    const QString ini = temp.filePath("registry.ini");
    writeFile(ini, "[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
                   "PATH=/usr/bin/sysinfo\n"
                   "Quoted=\" /opt/my tools, too \"\n"
                   "Count=dword:00000201\n"
                   "Max=DWORD:ffffffff\n"
                   "Bad=dword:12x4\n"
                   "Long=dword:123456789\n"
                   "[SOFTWARE/Other]\n"
                   "Empty=\n");
    platform::IniSystemRegistry registry(ini);
    const QString key = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const struct {
        QString key;
        QString value;
        std::optional<RegistryType> type; // nothing: no value
        QByteArray data;
    } cases[] = {
        {key, "PATH", RegistryType::String, QByteArray("/usr/bin/sysinfo\0", 17)},
        {key, "Quoted", RegistryType::String, QByteArray(" /opt/my tools, too \0", 21)},
        {key, "Count", RegistryType::DWord, QByteArray("\x01\x02\0\0", 4)},
        {key, "Max", RegistryType::DWord, QByteArray("\xff\xff\xff\xff", 4)},
        {"SOFTWARE\\Other", "Empty", RegistryType::String, QByteArray(1, '\0')},
        {key, "Bad", std::nullopt, {}},
        {key, "Long", std::nullopt, {}},
        {"SOFTWARE\\Microsoft\\Shared Tools", "MSINFO\\PATH", std::nullopt, {}},
    };
    for (const auto& c : cases) {
        const auto value = registry.queryValue(RegistryRoot::LocalMachine, c.key, c.value);
        ASSERT_EQ(value.has_value(), c.type.has_value()) << c.value.toStdString();
        if (value) {
            EXPECT_EQ(value->type, *c.type) << c.value.toStdString();
            EXPECT_EQ(value->data, c.data) << c.value.toStdString();
        }
    }
    EXPECT_FALSE(platform::IniSystemRegistry(temp.filePath("none.ini"))
                     .queryValue(RegistryRoot::LocalMachine, key, "PATH"));
    EXPECT_TRUE(platform::IniSystemRegistry().filePath().endsWith("/tarnwick/registry.ini"));
}

} // namespace
