#include "app/frm_initial.h"

#include "app/globals.h"
#include "app/settings_keys.h"
#include "app/settings_routines.h"
#include "platform/error.h"
#include "platform/services.h"

namespace {

const QString kDefaultDatabaseName = QStringLiteral("TODO.MDB");

} // namespace

frmInitial::frmInitial(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmInitial"));
    setWindowTitle(QStringLiteral("frmInitial"));
}

frmInitial::~frmInitial() = default;

bool frmInitial::load(const std::function<void()>& showMainWindow) {
    using namespace app;
    using namespace app::settings_keys;
    using platform::Services;
    try {
        platform::SettingsStore& settings = Services::settings();
        List2.clear();
        for (const QString& slot : kRecentSlots) {
            const QString path = settings.read(kRecentSection, slot, QString());
            if (!path.isEmpty())
                List2.append(path);
        }

        ProgramFontName =
            settings.read(kProgramFontNameSection, kProgramFontNameKey, kDefaultFontName);
        PrintingFontName =
            settings.read(kPrintFontNameSection, kPrintFontNameKey, kDefaultFontName);
        ProgramFontSize =
            settings.read(kProgramFontSizeSection, kProgramFontSizeKey, kDefaultProgramFontSize);
        PrintingFontSize =
            settings.read(kPrintFontSizeSection, kPrintFontSizeKey, kDefaultPrintFontSize);

        CurrentDatabasePath = settings.read(kRecentSection, kRecentSlots[0], QString());
        platform::Files& files = Services::files();
        if (CurrentDatabasePath.isEmpty())
            CurrentDatabasePath = platform::joinPath(files.databaseFolder(), kDefaultDatabaseName);

        // The file is held before anything reads or changes it, and held again once this
        // sequence has made it. When another Tarnwick has it, the program ends after the
        // message, the file and the settings untouched.
        auto hold = [] { return db::HoldDatabase(CurrentDatabasePath, databaseHold()); };
        if (!files.fileExists(CurrentDatabasePath)) {
            db::CreateNewDatabase(CurrentDatabasePath, UpdateRecentDatabases);
        } else if (!hold()) {
            return false;
        } else if (!db::IsValidDatabase(CurrentDatabasePath)) {
            const QString path = CurrentDatabasePath;
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
            files.removeFile(path);
            db::CreateNewDatabase(path, UpdateRecentDatabases);
        }
        if (!hold())
            return false;

        db::LoadReferenceLists(CurrentDatabasePath, List1);
        showMainWindow();
        return true;
    } catch (...) {
        platform::showError(QStringLiteral("Error in loading frmInitial module: "),
                            std::current_exception());
        return false;
    }
}
