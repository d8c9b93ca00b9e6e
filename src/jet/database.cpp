#include "jet/database.h"

#include <chrono>
#include <ctime>
#include <random>

#include "blank.h"
#include "jet/datetime.h"
#include "jet/error.h"
#include "recordset_impl.h"

namespace jet {
namespace {

std::string stripBrackets(std::string_view name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
        return std::string(name.substr(1, name.size() - 2));
    return std::string(name);
}

DatabaseImpl& require(const std::shared_ptr<DatabaseImpl>& impl) {
    if (!impl)
        throw Error(ErrorKind::InvalidState, "The database is closed.");
    return *impl;
}

// The table of that name ("[Things To Do]" accepted for "Things To Do"); throws NotFound.
std::shared_ptr<const Table> requireTable(DatabaseImpl& db, std::string_view name) {
    const std::string bare = stripBrackets(name);
    const CatalogEntry* e = db.findTable(bare);
    if (!e)
        throw Error(ErrorKind::NotFound, "The database has no table named '" + bare + "'.");
    return db.table(*e);
}

} // namespace

Database::Database(std::shared_ptr<DatabaseImpl> impl) : impl_(std::move(impl)) {}
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;
Database::~Database() {
    close();
}

Database Database::open(const std::string& path, const OpenOptions& options) {
    return Database(std::make_shared<DatabaseImpl>(path, options));
}

Database Database::create(const std::string& path, const CreateOptions& options) {
    auto fs = options.fileSystem ? options.fileSystem : FileSystem::native();
    if (fs->exists(path))
        throw Error(ErrorKind::AlreadyExists,
                    "Could not create '" + path + "': a file of that name already exists.");
    const BlankOptions blank = parseBlankOptions(options);
    const std::vector<std::uint8_t> bytes = buildBlankDatabase(blank);

    // Write a complete file under a temporary name and give it its name only when it is on
    // the disk, so that a failure or crash never leaves a half-made database at `path`.
    std::random_device rd;
    const std::string temp = path + ".tmp-" + std::to_string(rd() % 1000000);
    try {
        auto file = fs->open(temp, FileSystem::OpenFlags::CreateNew);
        file->writeAt(0, bytes.data(), bytes.size());
        file->sync();
        file.reset();
        // A journal beside a file that does not exist belongs to a database deleted after a
        // crash. Rolled back into the new file at the next open, it would overwrite its pages
        // with the old file's, so it goes before the new file takes the name.
        const std::string journal = Pager::journalPath(path);
        if (fs->exists(journal))
            fs->remove(journal);
        fs->renameNoReplace(temp, path);
        fs->syncDirectory(path);
    } catch (const Error& e) {
        try {
            fs->remove(temp);
        } catch (...) {
        }
        if (e.kind() == ErrorKind::AlreadyExists)
            throw Error(ErrorKind::AlreadyExists,
                        "Could not create '" + path + "': a file of that name already exists.");
        // The failure happened to the temporary file; name the file the caller asked for.
        std::string reason = e.what();
        const auto cut = reason.find("': ");
        if (cut != std::string::npos)
            reason = reason.substr(cut + 3);
        throw Error(e.kind(), "Could not create '" + path + "': " + reason);
    }
    OpenOptions open;
    open.mode = OpenMode::ReadWrite;
    open.fileSystem = fs;
    return Database::open(path, open);
}

const std::string& Database::path() const {
    return require(impl_).pager.path();
}
bool Database::hasPassword() const {
    return !require(impl_).header.password.empty();
}
bool Database::isOpen() const {
    return impl_ != nullptr;
}
bool Database::isWritable() const {
    return require(impl_).pager.writable();
}

std::vector<std::string> Database::tableNames() const {
    std::vector<std::string> out;
    for (const CatalogEntry& e : require(impl_).catalog)
        if (e.isUserTable())
            out.push_back(e.name);
    return out;
}

std::vector<std::string> Database::allTableNames() const {
    std::vector<std::string> out;
    for (const CatalogEntry& e : require(impl_).catalog)
        if (e.isTable())
            out.push_back(e.name);
    return out;
}

bool Database::hasTable(std::string_view name) const {
    return require(impl_).findTable(stripBrackets(name)) != nullptr;
}

TableDef Database::tableDef(std::string_view name) const {
    return requireTable(require(impl_), name)->def;
}

Recordset Database::openTable(std::string_view name) {
    auto table = requireTable(require(impl_), name);
    return Recordset(std::make_unique<RecordsetImpl>(impl_, std::move(table)));
}

void Database::createTable(const TableSpec& spec) {
    require(impl_).createTable(spec);
}

void Database::beginTransaction() {
    auto& db = require(impl_);
    if (db.pager.inTransaction())
        throw Error(ErrorKind::InvalidState, "A transaction is already running.");
    db.begin(true);
}

void Database::commit() {
    auto& db = require(impl_);
    if (!db.explicitTransaction())
        throw Error(ErrorKind::InvalidState, "There is no transaction to commit.");
    db.commit();
}

void Database::rollback() {
    auto& db = require(impl_);
    if (db.pager.inTransaction())
        db.rollback();
}

bool Database::inTransaction() const {
    return impl_ && impl_->pager.inTransaction() && impl_->explicitTransaction();
}

CheckReport Database::check() const {
    return require(impl_).check();
}

void Database::close() {
    if (!impl_)
        return;
    try {
        if (impl_->pager.inTransaction())
            impl_->rollback();
    } catch (...) {
    }
    impl_.reset();
}

} // namespace jet
