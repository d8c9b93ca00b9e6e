#include "ui/help/browser_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QOpenGLContext>

#include "platform/error.h"

// Qt's own setter of the context every OpenGL context of the program shares with, exported by
// QtGui (its declaration is in a header Qt does not install). QtWebEngine, when it is set up
// before the application object, makes this context itself.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace ui {

namespace {

// The module's file name and its one entry, an extern "C" function taking the session
// (help/browser_module.cpp).
constexpr char kModuleFile[] = "tarnwick_browser.so";
constexpr char kEntry[] = "tarnwick_show_browser";

using Entry = void (*)(app::Session&);

Entry linkedWindow = nullptr;

// The module sits beside the executable in the build folder, and in the install's library
// folder (TARNWICK_BROWSER_MODULE_DIR: relative to the executable's folder) when installed.
// Loaded once and never unloaded: the window's code and QtWebEngine stay for the process.
Entry loadModule() {
    // QtWebEngine shows its pages through a context shared with this one; it must be there
    // before the library is loaded, as QtWebEngine's own set-up leaves it: made even where it
    // cannot be created (no OpenGL on the display), and then the module draws in software.
    if (!QOpenGLContext::globalShareContext()) {
        auto* context = new QOpenGLContext(QCoreApplication::instance());
        context->create();
        qt_gl_set_global_share_context(context);
    }
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QStringList candidates{
        programDir.filePath(QLatin1String(kModuleFile)),
        QDir::cleanPath(programDir.filePath(QStringLiteral(TARNWICK_BROWSER_MODULE_DIR "/") +
                                            QLatin1String(kModuleFile)))};
    QString failure;
    for (const QString& path : candidates) {
        if (!QFileInfo::exists(path))
            continue;
        QLibrary module(path);
        module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (auto entry = reinterpret_cast<Entry>(module.resolve(kEntry)))
            return entry;
        failure = module.errorString();
        break;
    }
    if (failure.isEmpty())
        failure = QStringLiteral("%1 was not found in %2.")
                      .arg(QLatin1String(kModuleFile), candidates.join(QStringLiteral(" or ")));
    throw platform::Error(QStringLiteral("The web browser window could not be loaded: ") + failure);
}

} // namespace

void linkBrowserWindow(Entry show) {
    linkedWindow = show;
}

void showBrowserWindow(app::Session& session) {
    static Entry moduleEntry = nullptr;
    if (linkedWindow) {
        linkedWindow(session);
        return;
    }
    if (!moduleEntry)
        moduleEntry = loadModule();
    moduleEntry(session);
}

} // namespace ui
