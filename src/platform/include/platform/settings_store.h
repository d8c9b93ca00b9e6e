// The per-user settings store: text values under an application name, a section and a key.
#pragma once

#include <QString>

namespace platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    /// The text stored under `section` and `key`, or `defaultValue` when there is none. A key
    /// stored with an empty value reads as "". Throws Error for an invalid section or key.
    virtual QString read(const QString& section, const QString& key,
                         const QString& defaultValue) = 0;

    /// Stores `value` under `section` and `key`, replacing any earlier value. The value is on
    /// disk when the call returns. Throws Error when it cannot be stored.
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
};

/// QSettings in INI format at `$XDG_CONFIG_HOME/<app>/<app>.ini` (`~/.config` when the
/// variable is unset), the section being the INI group and the key its key. Section and key
/// names must be non-empty and free of '/' and '\'; blanks are allowed.
///
/// Every value written reads back as the identical text (QSettings quotes values holding
/// commas). A value edited by hand that QSettings would read as a list (unquoted commas, as in
/// `frmToDo=1, 2, 3, 4`) or as another type (a leading '@') is read as the text written in the
/// file instead, with quotes and backslash escapes resolved and any ';' comment dropped.
///
/// Each call opens the file afresh, so values written by another copy of the program are seen.
class IniSettingsStore final : public SettingsStore {
public:
    /// The store of application `appName`; empty means the running executable's file name
    /// without its extension ("tarnwick"). The location is settled here, from the environment
    /// as it is now.
    explicit IniSettingsStore(const QString& appName = {});

    /// The file the store of `appName` lives in.
    static QString defaultFilePath(const QString& appName);

    QString filePath() const { return m_filePath; }

    QString read(const QString& section, const QString& key, const QString& defaultValue) override;
    void write(const QString& section, const QString& key, const QString& value) override;

private:
    QString m_filePath;
};

} // namespace platform
