#include "support/fake_platform.h"

#include "platform/services.h"

#include <memory>

namespace platform::fakes {
namespace {

// A shared_ptr that does not own `object`: the registry refers to a member of FakePlatform.
template <typename T> std::shared_ptr<T> unowned(T& object) {
    return std::shared_ptr<T>(std::shared_ptr<T>(), &object);
}

} // namespace

FakePlatform::FakePlatform(FakeFiles::Mode filesMode) : files(filesMode) {
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

FakePlatform::~FakePlatform() {
    Services::reset();
}

QStringList FakePlatform::errors() const {
    return messageBoxes.errors() + fileDialog.errors() + fontDialog.errors();
}

} // namespace platform::fakes
