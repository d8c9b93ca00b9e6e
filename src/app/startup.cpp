#include "app/startup.h"

#include "app/database_steps.h"
#include "app/due_notice.h"
#include "app/session.h"
#include "app/settings_keys.h"
#include "platform/error.h"
#include "platform/services.h"

namespace app {
namespace {

const QString kDefaultDatabaseName = QStringLiteral("TODO.MDB");

void readSettings(Session& session) {
    using namespace settings_keys;
    platform::SettingsStore& settings = platform::Services::settings();
    QStringList recent;
    for (const QString& slot : kRecentSlots) {
        const QString path = settings.read(kRecentSection, slot, QString());
        if (!path.isEmpty())
            recent.append(path);
    }
    session.setRecentDatabases(recent);
    const QString programName =
        settings.read(kProgramFontNameSection, kProgramFontNameKey, kDefaultFontName);
    const QString printName =
        settings.read(kPrintFontNameSection, kPrintFontNameKey, kDefaultFontName);
    const QString programSize =
        settings.read(kProgramFontSizeSection, kProgramFontSizeKey, kDefaultProgramFontSize);
    const QString printSize =
        settings.read(kPrintFontSizeSection, kPrintFontSizeKey, kDefaultPrintFontSize);
    session.setProgramFont({programName, programSize}, false);
    session.setPrintFont({printName, printSize});
}

// Tells the desktop what is overdue and due today, where it has a notification service;
// nothing else of the start depends on it.
void announceDueItems(const Session& session) {
    platform::ignoreErrors([&session] {
        if (const std::optional<DueNotice> notice =
                dueNotice(session.items().items(), QDate::currentDate()))
            platform::Services::notifications().notify(notice->summary, notice->body);
    });
}

} // namespace

bool StartUp(Session& session, const std::function<void()>& showMainWindow) {
    using platform::Services;
    try {
        readSettings(session);
        QString path = Services::settings().read(settings_keys::kRecentSection,
                                                 settings_keys::kRecentSlots[0], QString());
        platform::Files& files = Services::files();
        if (path.isEmpty())
            path = platform::joinPath(files.databaseFolder(), kDefaultDatabaseName);

        // The file is held before anything reads or changes it, and held again once this
        // sequence has made it. When another Tarnwick has it, the program ends after the
        // message, the file and the settings untouched.
        std::optional<db::FileHold> hold;
        if (!files.fileExists(path)) {
            createDatabase(path);
        } else if (!(hold = holdDatabase(path))) {
            return false;
        } else if (!checkDatabase(path)) {
            const platform::Answer answer = Services::messageBoxes().question(
                path + QStringLiteral(" already exists but it is not a valid Tarnwick.  Do you "
                                      "wish to overwrite it and create a new Tarnwick?"),
                path + QStringLiteral(" already exists."), platform::Answer::Yes);
            if (answer != platform::Answer::Yes) {
                Services::messageBoxes().message(
                    QStringLiteral("Unable to proceed with this program unless you delete or "
                                   "rename ") +
                    path + QStringLiteral("."));
                return false;
            }
            removeForReplacing(path);
            createDatabase(path);
        }
        hold = holdDatabase(path);
        if (!hold)
            return false;
        session.takeUp(path, std::move(*hold));

        checkReferenceLists(path);
        loadItems(session);
        showMainWindow();
        announceDueItems(session);
        return true;
    } catch (...) {
        platform::showError(QStringLiteral("Error in loading frmInitial module: "),
                            std::current_exception());
        return false;
    }
}

} // namespace app
