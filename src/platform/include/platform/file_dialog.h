// The file dialog used to open or create a file.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class MessageBoxes;

struct FileDialogRequest {
    QString title;
    /// Qt name filters, "Description (patterns)", in the order shown.
    QStringList filters;
    /// The filter selected when the dialog opens, counted from 1.
    int filterIndex = 1;
    /// Without the dot; appended to a name chosen without a suffix.
    QString defaultSuffix;
    /// The text in the file-name box when the dialog opens. A name with wildcards ('*', '?')
    /// acts as a filter: choosing it shows the matching files instead of returning it.
    QString initialName;
    /// The folder shown first. Empty: the folder last shown by a file dialog during the run,
    /// at first the working folder.
    QString initialFolder;
    /// Ask before returning a file that does not exist, and before returning one that does.
    bool promptToCreate = true;
    bool promptToOverwrite = true;
    /// Return only a file that exists: a name that does not is refused with a message and the
    /// dialog is shown again (no create question is asked then).
    bool mustExist = false;

    /// The request for a database file: "*.mdb" files or all files, suffix "mdb", initial name
    /// "*.MDB", both prompts.
    static FileDialogRequest databaseFile(const QString& title);

    friend bool operator==(const FileDialogRequest&, const FileDialogRequest&) = default;
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    /// Shows the dialog and returns the full path of the chosen file. The working folder is
    /// left as it was. Throws CancelledError when the user cancels.
    virtual QString chooseFile(const FileDialogRequest& request) = 0;
};

/// Asks the questions the dialog asks about a chosen file before returning it, through
/// `boxes`, with the request's title: whether to create a file that does not exist (Yes is
/// the default button) and whether to overwrite one that does (No is the default); or, for a
/// request whose file must exist, says that a missing one was not found. Returns whether the
/// choice stands; when it does not, the dialog is shown again.
bool confirmChosenFile(const QString& path, const FileDialogRequest& request, MessageBoxes& boxes);

/// Qt's own (non-native) QFileDialog over the active window. The prompts go through the
/// installed message-box service.
class QtFileDialog final : public FileDialog {
public:
    QString chooseFile(const FileDialogRequest& request) override;
};

} // namespace platform
