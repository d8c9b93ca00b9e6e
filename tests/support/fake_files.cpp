#include "support/fake_files.h"

#include "platform/error.h"

#include <QFileInfo>

namespace platform::fakes {

void FakeFiles::failRemoval(const QString& path, const QString& description) {
    m_removalFailures.insert(path, description);
}

bool FakeFiles::fileExists(const QString& path) {
    if (m_mode == Mode::RealFileSystem)
        return !path.isEmpty() && QFileInfo(path).isFile();
    return m_files.contains(path);
}

void FakeFiles::removeFile(const QString& path) {
    m_removals.append(path);
    if (const auto failure = m_removalFailures.constFind(path); failure != m_removalFailures.cend())
        throw Error(*failure);
    if (m_mode == Mode::RealFileSystem) {
        LocalFiles().removeFile(path);
        return;
    }
    if (!m_files.remove(path))
        throw Error(
            QStringLiteral("Cannot delete the file %1: No such file or directory.").arg(path));
}

QString FakeFiles::databaseFolder() {
    return m_databaseFolder.isEmpty() ? m_programFolder : m_databaseFolder;
}

QString FakeFiles::dataFilePath(const QString& name) {
    return m_dataFiles.value(name, joinPath(m_programFolder, name));
}

} // namespace platform::fakes
