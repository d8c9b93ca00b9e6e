#include "platform/file_dialog.h"

#include "modal_cursor.h"
#include "platform/error.h"
#include "platform/message_boxes.h"
#include "platform/services.h"

#include <QFileDialog>
#include <QFileInfo>

namespace platform {
namespace {

bool hasWildcards(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

} // namespace

FileDialogRequest FileDialogRequest::databaseFile(const QString& title) {
    FileDialogRequest request;
    request.title = title;
    request.filters = {QStringLiteral("Log files *.mdb (*.mdb)"),
                       QStringLiteral("All files *.* (*)")};
    request.filterIndex = 1;
    request.defaultSuffix = QStringLiteral("mdb");
    request.initialName = QStringLiteral("*.MDB");
    return request;
}

bool confirmChosenFile(const QString& path, const FileDialogRequest& request, MessageBoxes& boxes) {
    const QFileInfo info(path);
    if (!info.exists()) {
        if (request.mustExist) {
            boxes.message(path + QStringLiteral(" was not found.  Check the name and try again."),
                          request.title);
            return false;
        }
        return !request.promptToCreate ||
               boxes.question(path + QStringLiteral(" does not exist.  Do you want to create it?"),
                              request.title, Answer::Yes) == Answer::Yes;
    }
    return !request.promptToOverwrite ||
           boxes.question(path + QStringLiteral(" already exists.  Do you want to replace it?"),
                          request.title, Answer::No) == Answer::Yes;
}

QString QtFileDialog::chooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(dialogParent(), request.title, request.initialFolder);
    // Qt's own dialog behaves the same on every desktop; the prompts are ours.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.filterIndex - 1));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);

    ArrowCursorWhileModal arrow;
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            throw CancelledError();
        const QString path = dialog.selectedFiles().value(0);
        const QFileInfo info(path);
        if (path.isEmpty())
            continue;
        if (hasWildcards(info.fileName())) {
            // QFileDialog would return the pattern as a file name; show the matches instead.
            QStringList filters = request.filters;
            filters.append(info.fileName());
            dialog.setNameFilters(filters);
            dialog.selectNameFilter(info.fileName());
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
            continue;
        }
        if (confirmChosenFile(path, request, Services::messageBoxes()))
            return path;
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
}

} // namespace platform
