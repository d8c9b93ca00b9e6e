// Files and folders: existence, deletion, and the folders the program works in.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

/// `folder` and `name` joined by one '/' ("/" + "TODO.MDB" is "/TODO.MDB").
QString joinPath(const QString& folder, const QString& name);

class Files {
public:
    virtual ~Files() = default;

    /// Whether `path` names a regular file (or a link to one); false for a folder.
    virtual bool fileExists(const QString& path) = 0;

    /// Deletes the file at `path`. Throws Error, naming the path and the reason, on failure
    /// (including when there is no such file).
    virtual void removeFile(const QString& path) = 0;

    /// Absolute path of the folder holding the running executable, without a trailing
    /// separator except for the root folder "/".
    virtual QString programFolder() = 0;

    /// The folder for the default database: the program folder when it is writable, otherwise
    /// the per-user data folder of the program, created when missing (throws Error when that
    /// fails). Same form as programFolder().
    virtual QString databaseFolder() = 0;

    /// Full path of the read-only program file `name` (e.g. "tarnwick.gif"): the first that
    /// exists of the one beside the executable and those in the install's data folders; when
    /// none exists, the one beside the executable.
    virtual QString dataFilePath(const QString& name) = 0;
};

/// The local file system.
class LocalFiles final : public Files {
public:
    struct Options {
        /// Empty: the folder of the running executable.
        QString programFolder;
        /// Where the default database goes when the program folder is not writable. Empty:
        /// `$XDG_DATA_HOME/tarnwick` (`~/.local/share/tarnwick` when the variable is unset).
        QString userDataFolder;
        /// Searched, in order, for read-only program files not found beside the executable.
        /// Empty: `<program folder>/../share/tarnwick`, then `<install prefix>/share/tarnwick`.
        QStringList installDataFolders;
        /// Whether the program may create files in a folder. Empty: the access() test for
        /// write and search permission, which also reports a read-only file system. Tests set
        /// this, since permission bits do not stop a process running as root.
        std::function<bool(const QString& folder)> isWritableFolder;
    };

    LocalFiles();
    explicit LocalFiles(Options options);

    bool fileExists(const QString& path) override;
    void removeFile(const QString& path) override;
    QString programFolder() override;
    QString databaseFolder() override;
    QString dataFilePath(const QString& name) override;

private:
    Options m_options;
};

} // namespace platform
