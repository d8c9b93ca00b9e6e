// The registry through which windows and routines reach the platform services.
//
// The program installs the Qt implementations once at start-up (installQtServices()); tests
// install fakes and call reset() when done. Reaching a service that is not installed throws
// Error, so a test that forgets one fails at once.
#pragma once

#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/font_dialog.h"
#include "platform/message_boxes.h"
#include "platform/mouse_pointer.h"
#include "platform/notifications.h"
#include "platform/printer.h"
#include "platform/program_launcher.h"
#include "platform/screen_metrics.h"
#include "platform/settings_store.h"
#include "platform/system_registry.h"

#include <memory>

namespace platform {

class Services {
public:
    Services() = delete;

    static MessageBoxes& messageBoxes();
    static SettingsStore& settings();
    static Files& files();
    static ScreenMetrics& screen();
    static MousePointer& mousePointer();
    static FileDialog& fileDialog();
    static FontDialog& fontDialog();
    static SystemRegistry& systemRegistry();
    static ProgramLauncher& programLauncher();
    static Printer& printer();
    static Notifications& notifications();

    /// Each setter replaces the service; a null pointer uninstalls it.
    static void setMessageBoxes(std::shared_ptr<MessageBoxes> service);
    static void setSettings(std::shared_ptr<SettingsStore> service);
    static void setFiles(std::shared_ptr<Files> service);
    static void setScreen(std::shared_ptr<ScreenMetrics> service);
    static void setMousePointer(std::shared_ptr<MousePointer> service);
    static void setFileDialog(std::shared_ptr<FileDialog> service);
    static void setFontDialog(std::shared_ptr<FontDialog> service);
    static void setSystemRegistry(std::shared_ptr<SystemRegistry> service);
    static void setProgramLauncher(std::shared_ptr<ProgramLauncher> service);
    static void setPrinter(std::shared_ptr<Printer> service);
    static void setNotifications(std::shared_ptr<Notifications> service);

    /// Uninstalls every service.
    static void reset();
};

/// Installs the Qt implementations of every service. Needs the QApplication to exist;
/// `appName` names the settings store (empty: the executable's name).
void installQtServices(const QString& appName = {});

} // namespace platform
