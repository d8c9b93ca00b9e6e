#include "ui/help/system_info.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/services.h"

namespace ui {
namespace {

const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSysInfoValue = QStringLiteral("PATH");
const QString kSysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kSysInfoLocationValue = QStringLiteral("MSINFO");

// A query buffer's size: longer values do not fit and cannot be read.
constexpr qsizetype kBufferSize = 1024;

} // namespace

bool GetKeyValue(platform::RegistryRoot KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                 QString& KeyVal) {
    std::optional<platform::RegistryValue> value;
    if (!platform::ignoreErrors([&] {
            value = platform::Services::systemRegistry().queryValue(KeyRoot, KeyName, SubKeyRef);
        }))
        return false;
    if (!value || value->data.size() > kBufferSize)
        return false;

    QByteArray chars = value->data;
    if (!chars.isEmpty() && chars.back() == '\0')
        chars.chop(1);

    switch (value->type) {
    case platform::RegistryType::String:
        KeyVal = QString::fromLocal8Bit(chars);
        return true;
    case platform::RegistryType::DWord: {
        QByteArray digits;
        for (qsizetype i = chars.size() - 1; i >= 0; --i)
            digits += QByteArray::number(static_cast<uchar>(chars.at(i)), 16);
        if (digits.size() > 8)
            return false; // too large for a 32-bit number
        const quint32 number = digits.isEmpty() ? 0 : digits.toUInt(nullptr, 16);
        KeyVal = QString::number(static_cast<qint32>(number));
        return true;
    }
    }
    return false;
}

void StartSysInfo() {
    bool started = false;
    platform::ignoreErrors([&] {
        QString SysInfoPath;
        bool found = GetKeyValue(platform::RegistryRoot::LocalMachine, kSysInfoKey, kSysInfoValue,
                                 SysInfoPath);
        if (!found && GetKeyValue(platform::RegistryRoot::LocalMachine, kSysInfoLocationKey,
                                  kSysInfoLocationValue, SysInfoPath)) {
            const QString program = platform::joinPath(SysInfoPath, QStringLiteral("MSINFO32.EXE"));
            found = platform::Services::files().fileExists(program);
            SysInfoPath = program;
        }
        if (found) {
            platform::Services::programLauncher().start(SysInfoPath);
            started = true;
        }
    });
    if (!started)
        platform::ignoreErrors([] {
            platform::Services::messageBoxes().message(
                QStringLiteral("System Information Is Unavailable At This Time"));
        });
}

} // namespace ui
