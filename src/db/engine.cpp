#include "db/engine.h"

#include <QFile>

#include "jet/error.h"

namespace db {
namespace {

const QString kProviderPrefix = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;");
const QString kSecurityInfo = QStringLiteral("Persist Security Info=False;");
const QString kDataSource = QStringLiteral("Data Source=");

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

QString connectionText(const QString& path) {
    return kProviderPrefix + kSecurityInfo + kDataSource + path;
}

QString dataSourceOf(const QString& text) {
    const qsizetype at = text.indexOf(kDataSource);
    if (at < 0)
        throw jet::Error(jet::ErrorKind::InvalidArgument,
                         "The connection text names no data source.");
    return text.mid(at + kDataSource.size());
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
