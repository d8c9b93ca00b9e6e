#include "platform/services.h"

#include "platform/error.h"

namespace platform {
namespace {

struct Registry {
    std::shared_ptr<MessageBoxes> messageBoxes;
    std::shared_ptr<SettingsStore> settings;
    std::shared_ptr<Files> files;
    std::shared_ptr<ScreenMetrics> screen;
    std::shared_ptr<MousePointer> mousePointer;
    std::shared_ptr<FileDialog> fileDialog;
    std::shared_ptr<FontDialog> fontDialog;
    std::shared_ptr<SystemRegistry> systemRegistry;
    std::shared_ptr<ProgramLauncher> programLauncher;
    std::shared_ptr<Printer> printer;
    std::shared_ptr<Notifications> notifications;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

template <typename Service>
Service& require(const std::shared_ptr<Service>& service, const char* name) {
    if (!service)
        throw Error(QStringLiteral("The %1 service is not installed.").arg(QLatin1String(name)));
    return *service;
}

} // namespace

MessageBoxes& Services::messageBoxes() {
    return require(registry().messageBoxes, "message-box");
}
SettingsStore& Services::settings() {
    return require(registry().settings, "settings");
}
Files& Services::files() {
    return require(registry().files, "file");
}
ScreenMetrics& Services::screen() {
    return require(registry().screen, "screen");
}
MousePointer& Services::mousePointer() {
    return require(registry().mousePointer, "mouse-pointer");
}
FileDialog& Services::fileDialog() {
    return require(registry().fileDialog, "file-dialog");
}
FontDialog& Services::fontDialog() {
    return require(registry().fontDialog, "font-dialog");
}
SystemRegistry& Services::systemRegistry() {
    return require(registry().systemRegistry, "system registry");
}
ProgramLauncher& Services::programLauncher() {
    return require(registry().programLauncher, "program-launcher");
}
Printer& Services::printer() {
    return require(registry().printer, "printer");
}
Notifications& Services::notifications() {
    return require(registry().notifications, "notification");
}

void Services::setMessageBoxes(std::shared_ptr<MessageBoxes> service) {
    registry().messageBoxes = std::move(service);
}
void Services::setSettings(std::shared_ptr<SettingsStore> service) {
    registry().settings = std::move(service);
}
void Services::setFiles(std::shared_ptr<Files> service) {
    registry().files = std::move(service);
}
void Services::setScreen(std::shared_ptr<ScreenMetrics> service) {
    registry().screen = std::move(service);
}
void Services::setMousePointer(std::shared_ptr<MousePointer> service) {
    registry().mousePointer = std::move(service);
}
void Services::setFileDialog(std::shared_ptr<FileDialog> service) {
    registry().fileDialog = std::move(service);
}
void Services::setFontDialog(std::shared_ptr<FontDialog> service) {
    registry().fontDialog = std::move(service);
}
void Services::setSystemRegistry(std::shared_ptr<SystemRegistry> service) {
    registry().systemRegistry = std::move(service);
}
void Services::setProgramLauncher(std::shared_ptr<ProgramLauncher> service) {
    registry().programLauncher = std::move(service);
}
void Services::setPrinter(std::shared_ptr<Printer> service) {
    registry().printer = std::move(service);
}
void Services::setNotifications(std::shared_ptr<Notifications> service) {
    registry().notifications = std::move(service);
}

void Services::reset() {
    registry() = Registry{};
}

} // namespace platform
