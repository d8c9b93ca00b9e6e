// Every platform service as a fake, installed for the lifetime of one object.
//
//     platform::fakes::FakePlatform fakes;          // installs all fakes
//     fakes.messageBoxes.answerNext(platform::Answer::Yes);
//     ... run the code under test ...
//     EXPECT_EQ(fakes.messageBoxes.texts(), expected);
//     EXPECT_TRUE(fakes.errors().isEmpty());
//
// The destructor uninstalls every service, so nothing leaks into the next test. Only one
// FakePlatform may exist at a time.
#pragma once

#include "platform/mouse_pointer.h"
#include "platform/notifications.h"
#include "platform/program_launcher.h"
#include "platform/screen_metrics.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/system_registry.h"
#include "support/fake_dialogs.h"
#include "support/fake_files.h"
#include "support/fake_printer.h"

#include <QMap>
#include <QPair>
#include <memory>

namespace platform::fakes {

struct SettingsWrite {
    QString section;
    QString key;
    QString value;
};

/// An in-memory settings store that records writes in order.
class FakeSettingsStore final : public SettingsStore {
public:
    /// Presets a value without recording a write, as if stored by an earlier run.
    void preset(const QString& section, const QString& key, const QString& value) {
        m_values.insert({section, key}, value);
    }

    QString read(const QString& section, const QString& key, const QString& fallback) override {
        return m_values.value({section, key}, fallback);
    }
    void write(const QString& section, const QString& key, const QString& value) override {
        m_writes.append({section, key, value});
        m_values.insert({section, key}, value);
    }

    /// The stored value, or nothing when the key is absent.
    std::optional<QString> value(const QString& section, const QString& key) const {
        const auto it = m_values.constFind({section, key});
        return it == m_values.constEnd() ? std::nullopt : std::optional(*it);
    }
    /// Every write, in order, including those of equal values.
    const QList<SettingsWrite>& writes() const { return m_writes; }

private:
    QMap<QPair<QString, QString>, QString> m_values;
    QList<SettingsWrite> m_writes;
};

/// A 1920 × 1080 pixel screen with 17-pixel scroll bars, in twips; 15 twips per pixel (96 DPI)
/// unless set.
class FakeScreenMetrics final : public ScreenMetrics {
public:
    void setTwipsPerPixel(double x, double y) {
        m_twipsPerPixelX = x;
        m_twipsPerPixelY = y;
    }

    double widthTwips() override { return 1920 * 15; }
    double heightTwips() override { return 1080 * 15; }
    double twipsPerPixelX() override { return m_twipsPerPixelX; }
    double twipsPerPixelY() override { return m_twipsPerPixelY; }
    double scrollBarExtentTwips() override { return 17 * 15; }

private:
    double m_twipsPerPixelX = 15;
    double m_twipsPerPixelY = 15;
};

class FakeMousePointer final : public MousePointer {
public:
    void setBusy() override { m_busy = true; }
    void setNormal() override { m_busy = false; }
    bool isBusy() const override { return m_busy; }

private:
    bool m_busy = false;
};

/// A registry without values, and a launcher that starts nothing: System Info's tests use the
/// real ones.
class FakeSystemRegistry final : public SystemRegistry {
public:
    std::optional<RegistryValue> queryValue(RegistryRoot, const QString&, const QString&) override {
        return std::nullopt;
    }
};
class FakeProgramLauncher final : public ProgramLauncher {
public:
    void start(const QString&) override {}
};

/// Records every notification asked for, and shows it.
class FakeNotifications final : public Notifications {
public:
    struct Notice {
        QString summary;
        QString body;
    };

    bool notify(const QString& summary, const QString& body) override {
        m_asked.append({summary, body});
        return true;
    }
    /// Every notification asked for, in order.
    const QList<Notice>& asked() const { return m_asked; }

private:
    QList<Notice> m_asked;
};

class FakePlatform {
public:
    explicit FakePlatform(FakeFiles::Mode filesMode = FakeFiles::Mode::InMemory)
        : files(filesMode) {
        Services::setMessageBoxes(unowned(messageBoxes));
        Services::setSettings(unowned(settings));
        Services::setFiles(unowned(files));
        Services::setScreen(unowned(screen));
        Services::setMousePointer(unowned(mousePointer));
        Services::setFileDialog(unowned(fileDialog));
        Services::setFontDialog(unowned(fontDialog));
        Services::setSystemRegistry(unowned(systemRegistry));
        Services::setProgramLauncher(unowned(programLauncher));
        Services::setPrinter(unowned(printer));
        Services::setNotifications(unowned(notifications));
    }
    ~FakePlatform() { Services::reset(); }
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    /// The unscripted calls of all fakes.
    QStringList errors() const {
        return messageBoxes.errors() + fileDialog.errors() + fontDialog.errors();
    }

    FakeMessageBoxes messageBoxes;
    FakeSettingsStore settings;
    FakeFiles files;
    FakeScreenMetrics screen;
    FakeMousePointer mousePointer;
    FakeFileDialog fileDialog;
    FakeFontDialog fontDialog;
    FakeSystemRegistry systemRegistry;
    FakeProgramLauncher programLauncher;
    RecordingPrinter printer;
    FakeNotifications notifications;

private:
    // A shared_ptr that does not own `object`: the services refer to a member of this object.
    template <typename T> static std::shared_ptr<T> unowned(T& object) {
        return std::shared_ptr<T>(std::shared_ptr<T>(), &object);
    }
};

} // namespace platform::fakes
