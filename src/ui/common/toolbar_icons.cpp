#include "ui/common/toolbar_icons.h"

#include <QApplication>
#include <QFile>
#include <QStyle>

#include <array>

namespace ui {
namespace {

struct Picture {
    const char* key;
    /// Freedesktop icon-naming name tried in the desktop's theme first.
    const char* themeName;
    /// Base name of the bundled files, :/tarnwick/icons/<name>-<size>.png; nullptr for none.
    const char* file;
    /// The style's picture when there is no bundled one.
    QStyle::StandardPixmap fallback;
};

constexpr std::array<Picture, 19> kPictures = {{
    // The main window's.
    {"newDatabase", "document-new", "new", QStyle::SP_CustomBase},
    {"openDatabase", "document-open", "open", QStyle::SP_CustomBase},
    {"programFont", "preferences-desktop-font", "program-font", QStyle::SP_CustomBase},
    {"printFont", "document-page-setup", "print-font", QStyle::SP_CustomBase},
    {"addItem", "list-add", "add-item", QStyle::SP_CustomBase},
    {"editItem", "document-properties", "edit-item", QStyle::SP_CustomBase},
    {"deleteItem", "edit-delete", "delete-item", QStyle::SP_CustomBase},
    {"print", "document-print", "print", QStyle::SP_CustomBase},
    {"help", "help-contents", "help", QStyle::SP_CustomBase},
    // The dialogs'.
    {"return", "go-previous", nullptr, QStyle::SP_ArrowBack},
    {"done", "go-next", nullptr, QStyle::SP_ArrowForward},
    {"add", "list-add", "add-item", QStyle::SP_CustomBase},
    {"delete", "edit-delete", "delete-item", QStyle::SP_CustomBase},
    // The browser's.
    {"back", "go-previous", nullptr, QStyle::SP_ArrowBack},
    {"forward", "go-next", nullptr, QStyle::SP_ArrowForward},
    {"stop", "process-stop", nullptr, QStyle::SP_BrowserStop},
    {"refresh", "view-refresh", nullptr, QStyle::SP_BrowserReload},
    {"home", "go-home", nullptr, QStyle::SP_DirHomeIcon},
    {"search", "edit-find", nullptr, QStyle::SP_FileDialogContentsView},
}};

constexpr std::array<int, 3> kSizes = {16, 24, 32};

QIcon bundled(const QString& file) {
    QIcon icon;
    for (int size : kSizes) {
        const QString path = QStringLiteral(":/tarnwick/icons/%1-%2.png").arg(file).arg(size);
        if (QFile::exists(path))
            icon.addFile(path, QSize(size, size));
    }
    return icon;
}

} // namespace

QIcon toolbarIcon(const QString& key) {
    for (const Picture& picture : kPictures) {
        if (key != QLatin1String(picture.key))
            continue;
        QIcon icon = picture.file != nullptr
                         ? bundled(QLatin1String(picture.file))
                         : QApplication::style()->standardIcon(picture.fallback);
        // "hicolor" is the theme every theme falls back to, and Qt's own choice when the
        // desktop names none; it holds no pictures of this kind. Looking them up there costs a
        // scan of every one of its folders (150 ms at start-up on a plain Debian), so only a
        // theme the desktop chose is asked.
        const QString theme = QIcon::themeName();
        if (!theme.isEmpty() && theme != QLatin1String("hicolor"))
            icon = QIcon::fromTheme(QLatin1String(picture.themeName), icon);
        return icon;
    }
    return {};
}

QIcon windowIcon() {
    return bundled(QStringLiteral("tarnwick"));
}

} // namespace ui
