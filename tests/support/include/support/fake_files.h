// A configurable Files service that records removals. In memory (the default) no file exists. On
// the real file system, fileExists() and removeFile() act on real files (tests of the database
// routines use temporary files) while the program folder stays the configured one, which is also
// the database folder and the folder of the program's data files.
#pragma once

#include "platform/error.h"
#include "platform/files.h"

#include <QFileInfo>
#include <QHash>

namespace platform::fakes {

class FakeFiles final : public Files {
public:
    enum class Mode { InMemory, RealFileSystem };

    explicit FakeFiles(Mode mode = Mode::InMemory) : m_mode(mode) {}

    void setProgramFolder(const QString& folder) { m_programFolder = folder; }
    /// Makes removing `path` throw platform::Error with `description`, leaving the file.
    void failRemoval(const QString& path, const QString& description) {
        m_removalFailures.insert(path, description);
    }

    /// Every removeFile() call's path, in order, whether it succeeded or not.
    const QStringList& removals() const { return m_removals; }

    bool fileExists(const QString& path) override {
        return m_mode == Mode::RealFileSystem && !path.isEmpty() && QFileInfo(path).isFile();
    }
    void removeFile(const QString& path) override {
        m_removals.append(path);
        if (m_removalFailures.contains(path))
            throw Error(m_removalFailures.value(path));
        if (m_mode != Mode::RealFileSystem)
            throw Error("Cannot delete the file " + path + ": No such file or directory.");
        LocalFiles().removeFile(path);
    }
    QString programFolder() override { return m_programFolder; }
    QString databaseFolder() override { return m_programFolder; }
    QString dataFilePath(const QString& name) override { return joinPath(m_programFolder, name); }

private:
    Mode m_mode;
    QString m_programFolder = QStringLiteral("/opt/tarnwick");
    QHash<QString, QString> m_removalFailures;
    QStringList m_removals;
};

} // namespace platform::fakes
