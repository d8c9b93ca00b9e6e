// The registry stand-in over an INI file.
#include "platform/system_registry.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::RegistryRoot;
using platform::RegistryType;

namespace {

void write(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(text);
}

TEST(IniSystemRegistry, ReadsStringsAndNumbersUnderBackslashKeyPaths) {
    QTemporaryDir temp;
    const QString ini = temp.filePath("registry.ini");
    write(ini, "[SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
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
