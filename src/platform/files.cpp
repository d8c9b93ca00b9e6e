#include "platform/files.h"

#include "executable.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace platform {

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

LocalFiles::LocalFiles() : LocalFiles(Options{}) {}

LocalFiles::LocalFiles(Options options) : m_options(std::move(options)) {
    if (m_options.programFolder.isEmpty())
        m_options.programFolder = QFileInfo(executableFilePath()).absolutePath();
    if (m_options.userDataFolder.isEmpty())
        m_options.userDataFolder =
            joinPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                     QStringLiteral("tarnwick"));
    if (m_options.installDataFolders.isEmpty())
        m_options.installDataFolders = {
            QDir::cleanPath(m_options.programFolder + QStringLiteral("/../share/tarnwick")),
            QStringLiteral(TARNWICK_INSTALL_DATADIR)};
    if (!m_options.isWritableFolder)
        m_options.isWritableFolder = [](const QString& folder) {
            return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
        };
}

bool LocalFiles::fileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void LocalFiles::removeFile(const QString& path) {
    if (::unlink(QFile::encodeName(path).constData()) != 0)
        throw Error(QStringLiteral("Cannot delete the file %1: %2.")
                        .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

QString LocalFiles::programFolder() {
    return m_options.programFolder;
}

QString LocalFiles::databaseFolder() {
    if (m_options.isWritableFolder(m_options.programFolder))
        return m_options.programFolder;
    const QString& folder = m_options.userDataFolder;
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("Cannot create the folder %1.").arg(folder));
    return folder;
}

QString LocalFiles::dataFilePath(const QString& name) {
    const QString besideProgram = joinPath(m_options.programFolder, name);
    if (fileExists(besideProgram))
        return besideProgram;
    for (const QString& folder : m_options.installDataFolders) {
        const QString path = joinPath(folder, name);
        if (fileExists(path))
            return path;
    }
    return besideProgram;
}

} // namespace platform
