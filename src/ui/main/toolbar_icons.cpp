#include "ui/main/toolbar_icons.h"

#include <QFile>

#include <array>

namespace ui {
namespace {

struct Picture {
    const char* key;
    /// Freedesktop icon-naming name tried in the desktop's theme first.
    const char* themeName;
    /// Base name of the bundled files, :/tarnwick/icons/<name>-<size>.png.
    const char* file;
};

constexpr std::array<Picture, 9> kPictures = {{
    {"New", "document-new", "new"},
    {"Open", "document-open", "open"},
    {"Small Caps", "preferences-desktop-font", "program-font"},
    {"Spell Check", "document-page-setup", "print-font"},
    {"View Details", "list-add", "add-item"},
    {"Properties", "document-properties", "edit-item"},
    {"Delete", "edit-delete", "delete-item"},
    {"Print", "document-print", "print"},
    {"Help", "help-contents", "help"},
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

QIcon bundledToolbarIcon(const QString& key) {
    for (const Picture& picture : kPictures) {
        if (key == QLatin1String(picture.key))
            return bundled(QLatin1String(picture.file));
    }
    return {};
}

QHash<QString, QIcon> toolbarIcons() {
    // "hicolor" is the theme every theme falls back to, and Qt's own choice when the desktop
    // names none; it holds no pictures of this kind. Looking them up there costs a scan of
    // every one of its folders (150 ms at start-up on a plain Debian), so only a theme the
    // desktop chose is asked.
    const QString theme = QIcon::themeName();
    const bool askTheme = !theme.isEmpty() && theme != QLatin1String("hicolor");
    QHash<QString, QIcon> icons;
    for (const Picture& picture : kPictures) {
        QIcon icon = bundled(QLatin1String(picture.file));
        if (askTheme)
            icon = QIcon::fromTheme(QLatin1String(picture.themeName), icon);
        icons.insert(QLatin1String(picture.key), icon);
    }
    return icons;
}

QIcon windowIcon() {
    return bundled(QStringLiteral("tarnwick"));
}

} // namespace ui
