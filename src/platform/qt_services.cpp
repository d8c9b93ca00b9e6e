#include "platform/services.h"

namespace platform {

void installQtServices(const QString& appName) {
    Services::setMessageBoxes(std::make_shared<QtMessageBoxes>());
    Services::setSettings(std::make_shared<IniSettingsStore>(appName));
    Services::setFiles(std::make_shared<LocalFiles>());
    Services::setScreen(std::make_shared<QtScreenMetrics>());
    Services::setMousePointer(std::make_shared<QtMousePointer>());
    Services::setFileDialog(std::make_shared<QtFileDialog>());
    Services::setFontDialog(std::make_shared<QtFontDialog>());
    Services::setSystemRegistry(std::make_shared<IniSystemRegistry>());
    Services::setProgramLauncher(std::make_shared<QtProgramLauncher>());
    Services::setPrinter(std::make_shared<QtPrinter>());
    Services::setNotifications(std::make_shared<DBusNotifications>());
}

} // namespace platform
