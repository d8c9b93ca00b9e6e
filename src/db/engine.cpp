#include "db/engine.h"

#include <QFile>

namespace db {
namespace {

std::shared_ptr<jet::FileSystem>& installedFileSystem() {
    static std::shared_ptr<jet::FileSystem> files;
    return files;
}

std::function<void(const QString&)>& installedHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

} // namespace

void setBeforeChange(std::function<void(const QString& path)> hook) {
    installedHook() = std::move(hook);
}

void beforeChange(const QString& path) {
    if (const auto& hook = installedHook())
        hook(path);
}

std::shared_ptr<jet::FileSystem> fileSystem() {
    const auto& files = installedFileSystem();
    return files ? files : jet::FileSystem::native();
}

void setFileSystemForTesting(std::shared_ptr<jet::FileSystem> files) {
    installedFileSystem() = std::move(files);
}

std::string enginePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

jet::Database openDatabase(const QString& path, jet::OpenMode mode) {
    jet::OpenOptions options;
    options.mode = mode;
    options.fileSystem = fileSystem();
    return jet::Database::open(enginePath(path), options);
}

} // namespace db
