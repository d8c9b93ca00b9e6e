// The system registry of the machine, read-only: values under a key path, each with a type and
// the bytes the registry hands over.
//
// On Linux the local machine's registry is an INI file written by the administrator (see
// IniSystemRegistry). Nothing in the program writes to it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace platform {

/// The registry's root keys. Only the local machine's exists here.
enum class RegistryRoot { LocalMachine };

/// Value types, numbered as the registry numbers them.
enum class RegistryType : quint32 { String = 1, DWord = 4 };

struct RegistryValue {
    RegistryType type = RegistryType::String;
    /// The bytes a query returns: for a string, its characters in the local 8-bit encoding
    /// followed by one NUL; for a 32-bit number, four bytes, least significant first.
    QByteArray data;
};

class SystemRegistry {
public:
    virtual ~SystemRegistry() = default;

    /// Value `valueName` of key `keyName` under `root`. Key paths separate their parts with
    /// '\' ("SOFTWARE\Microsoft\Shared Tools\MSINFO"); names are case-sensitive. Nothing when
    /// the key or value is absent or cannot be read; never throws.
    virtual std::optional<RegistryValue> queryValue(RegistryRoot root, const QString& keyName,
                                                    const QString& valueName) = 0;
};

/// The local machine's registry as an INI file read through QSettings: the key path is the
/// INI section (written with '\' or '/' between its parts), the value name the key.
///
///     [SOFTWARE\Microsoft\Shared Tools\MSINFO]
///     PATH=/usr/bin/hardinfo
///     [SOFTWARE\Microsoft\Shared Tools Location]
///     MSINFO=/opt/sysinfo
///     Version=dword:00000201
///
/// A value written as "dword:" and one to eight hexadecimal digits is a 32-bit number; any
/// other value is a string. A "dword:" value with anything else after the colon cannot be
/// read. The rules of QSettings' INI files apply to the text: a value holding a comma must be
/// quoted (unquoted, its parts are joined with ", "), and a backslash must be doubled.
///
/// The file is QSettings' system-scope INI file of organisation "tarnwick" and application
/// "registry": `<first folder of $XDG_CONFIG_DIRS>/tarnwick/registry.ini`, which is
/// `/etc/xdg/tarnwick/registry.ini` when the variable is unset. It is read afresh on every
/// query; a missing or unreadable file has no values.
class IniSystemRegistry final : public SystemRegistry {
public:
    /// Reads `filePath`; empty means defaultFilePath().
    explicit IniSystemRegistry(const QString& filePath = {});

    /// The system-scope file, settled from the environment at the first call.
    static QString defaultFilePath();

    QString filePath() const { return m_filePath; }

    std::optional<RegistryValue> queryValue(RegistryRoot root, const QString& keyName,
                                            const QString& valueName) override;

    /// The value that `text`, as read from the file, stands for; nothing for a malformed
    /// "dword:" text.
    static std::optional<RegistryValue> valueFromText(const QString& text);

private:
    QString m_filePath;
};

} // namespace platform
