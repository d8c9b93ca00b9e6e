// A configurable Files service that records removals.
//
// In memory (the default) it knows only the files added to it. On the real file system,
// fileExists() and removeFile() act on real files (tests of the database routines use
// temporary files) while the folders stay the configured ones.
#pragma once

#include "platform/files.h"

#include <QHash>
#include <QSet>

namespace platform::fakes {

class FakeFiles final : public Files {
public:
    enum class Mode { InMemory, RealFileSystem };

    explicit FakeFiles(Mode mode = Mode::InMemory) : m_mode(mode) {}

    /// In memory: makes `path` an existing file.
    void addFile(const QString& path) { m_files.insert(path); }
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }
    /// Empty (the default): the program folder.
    void setDatabaseFolder(const QString& folder) { m_databaseFolder = folder; }
    /// Where dataFilePath(name) points; names not set point beside the program.
    void setDataFilePath(const QString& name, const QString& path) {
        m_dataFiles.insert(name, path);
    }
    /// Makes removing `path` throw platform::Error with `description`, leaving the file.
    void failRemoval(const QString& path, const QString& description);

    /// Every removeFile() call's path, in order, whether it succeeded or not.
    const QStringList& removals() const { return m_removals; }

    bool fileExists(const QString& path) override;
    void removeFile(const QString& path) override;
    QString programFolder() override { return m_programFolder; }
    QString databaseFolder() override;
    QString dataFilePath(const QString& name) override;

private:
    Mode m_mode;
    QSet<QString> m_files;
    QString m_programFolder = QStringLiteral("/opt/tarnwick");
    QString m_databaseFolder;
    QHash<QString, QString> m_dataFiles;
    QHash<QString, QString> m_removalFailures;
    QStringList m_removals;
};

} // namespace platform::fakes
