// The platform's files and folders, the INI settings store (in a temporary $XDG_CONFIG_HOME) and
// the registry stand-in over an INI file, against real files in temporary folders. Where the
// program keeps its settings is checked on the installed program (tests/install).
#include "platform/error.h"
#include "platform/files.h"
#include "platform/settings_store.h"
#include "platform/system_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::IniSettingsStore;
using platform::LocalFiles;
using platform::RegistryRoot;
using platform::RegistryType;

namespace {

// Writes `content` to `path`, making its folder.
void writeFile(const QString& path, const QByteArray& content = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_temp.isValid()); }
    QString path(const QString& name) const { return m_temp.path() + "/" + name; }

    // A program folder inside the temporary folder that is never writable.
    LocalFiles filesWithReadOnlyProgramFolder() {
        LocalFiles::Options options;
        options.programFolder = path("bin");
        options.installDataFolders = {path("share/tarnwick"), path("usr/share/tarnwick")};
        options.isWritableFolder = [](const QString&) { return false; };
        return LocalFiles(options);
    }

    QTemporaryDir m_temp;
};

TEST_F(FilesTest, OnlyRegularFilesExistAndRemovingOneThatCannotGoSaysWhichAndWhy) {
    writeFile(path("todo.mdb"));
    QDir().mkpath(path("folder.mdb"));
    LocalFiles files;
    EXPECT_TRUE(files.fileExists(path("todo.mdb")));
    EXPECT_FALSE(files.fileExists(path("folder.mdb")));
    EXPECT_FALSE(files.fileExists(""));

    files.removeFile(path("todo.mdb"));
    EXPECT_FALSE(QFileInfo::exists(path("todo.mdb")));
    try {
        files.removeFile(path("folder.mdb"));
        ADD_FAILURE() << "a folder was removed";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.description(),
                  "Cannot delete the file " + path("folder.mdb") + ": Is a directory.");
    }
    EXPECT_TRUE(QFileInfo(path("folder.mdb")).isDir());
}

// The program's folder when it is writable, else the user's data folder, made if need be (as
// the installed program, run from a read-only folder, shows in tests/install).
TEST_F(FilesTest, DatabaseFolderFallsBackToTheUserDataFolder) {
    LocalFiles::Options options;
    options.programFolder = path("bin");
    options.userDataFolder = path("user");
    QDir().mkpath(path("bin"));
    EXPECT_EQ(LocalFiles(options).databaseFolder(), path("bin"));
    options.programFolder = path("missing");
    EXPECT_EQ(LocalFiles(options).databaseFolder(), path("user"));

    writeFile(path("file")); // a file where the data folder should be
    options.userDataFolder = path("file/tarnwick");
    EXPECT_THROW(LocalFiles(options).databaseFolder(), platform::Error);
}

TEST_F(FilesTest, DataFilesAreFoundBesideTheProgramThenInTheDataFolders) {
    LocalFiles files = filesWithReadOnlyProgramFolder();
    EXPECT_EQ(files.dataFilePath("tarnwick.gif"), path("bin/tarnwick.gif")); // found nowhere
    writeFile(path("usr/share/tarnwick/tarnwick.gif"));
    EXPECT_EQ(files.dataFilePath("tarnwick.gif"), path("usr/share/tarnwick/tarnwick.gif"));
    writeFile(path("share/tarnwick/tarnwick.gif"));
    EXPECT_EQ(files.dataFilePath("tarnwick.gif"), path("share/tarnwick/tarnwick.gif"));
    writeFile(path("bin/tarnwick.gif"));
    EXPECT_EQ(files.dataFilePath("tarnwick.gif"), path("bin/tarnwick.gif"));
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
