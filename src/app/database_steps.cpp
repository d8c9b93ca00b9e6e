#include "app/database_steps.h"

#include <exception>

#include "app/session.h"
#include "app/settings_routines.h"
#include "db/backups.h"
#include "db/engine.h"
#include "db/routines.h"
#include "platform/error.h"
#include "platform/services.h"

namespace app {

bool checkDatabase(const QString& path) {
    if (db::IsValidDatabase(path))
        return true;
    platform::Services::messageBoxes().message(
        path + QStringLiteral(" is not a valid Tarnwick database."));
    return false;
}

bool createDatabase(const QString& path) {
    return platform::reportErrors(QStringLiteral("Error in creating a new Tarnwick: "), [&] {
        db::CreateNewDatabase(path);
        QString entered = path;
        UpdateRecentDatabases(entered);
    });
}

void loadItems(Session& session) {
    const QString path = session.databasePath();
    try {
        session.items().load(path);
    } catch (...) {
        bool exists = true;
        platform::ignoreErrors([&] { exists = platform::Services::files().fileExists(path); });
        if (exists)
            platform::showError(QStringLiteral("The to-do items of ") + path +
                                    QStringLiteral(" could not be loaded.  The list stays empty "
                                                   "and is not stored in that file.  Error "
                                                   "description: "),
                                std::current_exception());
    }
}

void checkReferenceLists(const QString& path) {
    platform::reportErrors(QStringLiteral("Error in populating initial lists: "),
                           [&] { db::LoadReferenceLists(path); });
}

std::optional<db::FileHold> holdDatabase(const QString& path) {
    try {
        return db::FileHold::take(db::enginePath(path));
    } catch (const db::FileInUse& refusal) {
        platform::Services::messageBoxes().message(QString::fromUtf8(refusal.what()));
        return std::nullopt;
    }
}

void installBackups() {
    db::setBeforeChange([](const QString& path) {
        const std::optional<std::string> failure = db::BackupBeforeFirstWrite(db::enginePath(path));
        if (failure)
            platform::ignoreErrors([&] {
                platform::Services::messageBoxes().message(QString::fromStdString(*failure));
            });
    });
}

void removeForReplacing(const QString& path) {
    db::beforeChange(path);
    platform::Services::files().removeFile(path);
}

} // namespace app
