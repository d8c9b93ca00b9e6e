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

#include "support/fake_dialogs.h"
#include "support/fake_files.h"
#include "support/fake_notifications.h"
#include "support/fake_printer.h"
#include "support/fake_screen.h"
#include "support/fake_settings_store.h"
#include "support/fake_system.h"

namespace platform::fakes {

class FakePlatform {
public:
    explicit FakePlatform(FakeFiles::Mode filesMode = FakeFiles::Mode::InMemory);
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    /// The unscripted calls of all fakes.
    QStringList errors() const;

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
};

} // namespace platform::fakes
