#include "ui/main/database_commands.h"

#include <QString>

#include <algorithm>
#include <exception>

#include "app/database_steps.h"
#include "app/session.h"
#include "app/settings_routines.h"
#include "platform/error.h"
#include "platform/services.h"
#include "ui/main/main_window.h"

namespace ui {
namespace {

using platform::Answer;
using platform::Services;

const QString kNewTitle = QStringLiteral("Creating New To Do Database File");
const QString kOpenTitle = QStringLiteral("Opening To Do Database File");

const QString kNewFailed = QStringLiteral("Error in creating new Tarnwick: ");
const QString kOpenFailed = QStringLiteral("Error in opening Tarnwick: ");

const QString kNoValidName =
    QStringLiteral("You have not created a valid name for a Tarnwick database.  Please try again.");
const QString kAlreadyOpen = QStringLiteral("This file is already open.");
const QString kNotValidFile =
    QStringLiteral("The selected file is not a valid Tarnwick database.  Please try another file.");
const QString kCouldNotOpen = QStringLiteral("Could not open ");

void showMessage(const QString& text) {
    Services::messageBoxes().message(text);
}

void setPointerBusy() {
    Services::mousePointer().setBusy();
}

void setPointerNormal() {
    Services::mousePointer().setNormal();
}

// The file dialog for New (`forNew`) or Open. New asks before making a file of a new name;
// replacing an existing one is New's own question, asked once, after the dialog. Open
// overwrites nothing and creates nothing, so its dialog asks neither question and takes only a
// file that exists.
platform::FileDialogRequest databaseFileRequest(bool forNew) {
    platform::FileDialogRequest request =
        platform::FileDialogRequest::databaseFile(forNew ? kNewTitle : kOpenTitle);
    request.promptToOverwrite = false;
    request.promptToCreate = forNew;
    request.mustExist = !forNew;
    return request;
}

QString chooseDatabaseFile(bool forNew) {
    return Services::fileDialog().chooseFile(databaseFileRequest(forNew));
}

// Nothing but spaces (other blanks make a name, however odd).
bool isBlankName(const QString& path) {
    return std::all_of(path.begin(), path.end(), [](QChar c) { return c == u' '; });
}

// One run of a file command: the file in use when it started (the fallback path), the switch
// to another file, and the handler every error of the command ends in.
class FileCommand {
public:
    enum class Target { NewFile, ExistingFile };

    FileCommand(MainWindow& window, const QString& errorPrefix)
        : m_window(window), m_session(window.session()), m_prefix(errorPrefix),
          m_fallback(m_session.databasePath()) {}

    const QString& fallback() const { return m_fallback; }

    /// Runs the command's steps; an error they throw ends the command in the handler.
    template <typename Steps> void run(Steps&& steps) {
        try {
            steps();
        } catch (...) {
            fail(std::current_exception());
        }
    }

    /// Takes the hold on `path` for the switch to come (a file made since is held again).
    /// When another Tarnwick has the file: its message, and the command ends without a switch.
    bool hold(const QString& path) {
        std::optional<db::FileHold> taken = app::holdDatabase(path);
        if (!taken) {
            setPointerNormal();
            return false;
        }
        m_hold = std::move(*taken);
        return true;
    }

    /// Makes the window stand for `path`, which has passed the command's checks: the caption,
    /// the list emptied and (for an existing file) refilled after its reference lists are read,
    /// then the recently used list, and last the session's file in use with its hold. This is
    /// the one place where the program takes up another file.
    void switchTo(const QString& path, Target target) {
        m_switchBegun = true;
        m_window.showDatabaseInTitle(path);
        app::ItemStore& items = m_session.items();
        if (target == Target::NewFile) {
            setPointerNormal();
            // A new file holds no items. When its creation failed and left no file, there is
            // nothing the list could stand for.
            items.clear(Services::files().fileExists(path));
        } else {
            items.clear(false);
            app::checkReferenceLists(path);
            setPointerNormal();
            items.load(path);
        }
        QString entered = path;
        app::UpdateRecentDatabases(entered);
        m_session.takeUp(path, std::move(m_hold));
    }

private:
    void fail(std::exception_ptr error) {
        platform::ignoreErrors(setPointerNormal);
        platform::showError(m_prefix, error);
        if (m_switchBegun)
            returnToFallback();
    }

    // The window back on the file in use after a switch failed part-way.
    void returnToFallback() {
        platform::ignoreErrors([this] {
            m_window.showDatabaseInTitle(m_fallback);
            m_session.items().clear(false);
            app::checkReferenceLists(m_fallback);
            m_session.items().load(m_fallback);
        });
    }

    MainWindow& m_window;
    app::Session& m_session;
    const QString m_prefix;
    const QString m_fallback;
    db::FileHold m_hold; // the chosen file's, until the switch completes
    bool m_switchBegun = false;
};

using Target = FileCommand::Target;

} // namespace

void NewToDoDatabase(MainWindow& window) {
    FileCommand command(window, kNewFailed);
    command.run([&] {
        setPointerBusy();
        const QString path = chooseDatabaseFile(true);
        if (isBlankName(path)) {
            showMessage(kNoValidName);
            setPointerNormal();
            return;
        }
        if (path == command.fallback()) {
            setPointerNormal();
            showMessage(kAlreadyOpen);
            return;
        }
        if (Services::files().fileExists(path)) {
            if (!command.hold(path))
                return;
            const QString question =
                app::checkDatabase(path)
                    ? path + QStringLiteral(
                                 " is a valid Tarnwick.  Are you sure you want to overwrite it?")
                    : path + QStringLiteral(" already exists.  Do you wish to overwrite it?");
            const Answer answer = Services::messageBoxes().question(
                question, path + QStringLiteral(" already exists."), Answer::No);
            if (answer != Answer::Yes) {
                setPointerNormal();
                return;
            }
            app::removeForReplacing(path);
        }
        app::createDatabase(path);
        if (!command.hold(path))
            return;
        command.switchTo(path, Target::NewFile);
    });
}

void OpenToDoDatabase(MainWindow& window) {
    FileCommand command(window, kOpenFailed);
    command.run([&] {
        setPointerBusy();
        const QString path = chooseDatabaseFile(false);
        if (path == command.fallback()) {
            setPointerNormal();
            showMessage(kAlreadyOpen);
            return;
        }
        if (!command.hold(path))
            return;
        if (!app::checkDatabase(path)) {
            showMessage(kNotValidFile);
            setPointerNormal();
            return;
        }
        command.switchTo(path, Target::ExistingFile);
    });
}

void OpenRecentDatabase(MainWindow& window, const QString& path) {
    FileCommand command(window, kOpenFailed);
    command.run([&] {
        if (!Services::files().fileExists(path)) {
            showMessage(kCouldNotOpen + path);
            return;
        }
        if (!command.hold(path))
            return;
        if (!app::checkDatabase(path)) {
            showMessage(kNotValidFile);
            return;
        }
        command.switchTo(path, Target::ExistingFile);
    });
}

} // namespace ui
