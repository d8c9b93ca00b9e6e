#include "platform/system_registry.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace platform {

IniSystemRegistry::IniSystemRegistry(const QString& filePath)
    : m_filePath(filePath.isEmpty() ? defaultFilePath() : filePath) {}

QString IniSystemRegistry::defaultFilePath() {
    static const QString path = QSettings(QSettings::IniFormat, QSettings::SystemScope,
                                          QStringLiteral("tarnwick"), QStringLiteral("registry"))
                                    .fileName();
    return path;
}

std::optional<RegistryValue> IniSystemRegistry::valueFromText(const QString& text) {
    static const QLatin1String kDWord("dword:");
    if (!text.startsWith(kDWord, Qt::CaseInsensitive))
        return RegistryValue{RegistryType::String, text.toLocal8Bit().append('\0')};
    const QString digits = text.mid(kDWord.size());
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 number = 0;
    for (const QChar c : digits) {
        const int digit = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
        if (digit < 0)
            return std::nullopt;
        number = number * 16 + static_cast<quint32>(digit);
    }
    QByteArray data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    return RegistryValue{RegistryType::DWord, data};
}

std::optional<RegistryValue>
IniSystemRegistry::queryValue(RegistryRoot root, const QString& keyName, const QString& valueName) {
    if (root != RegistryRoot::LocalMachine || keyName.isEmpty() || valueName.isEmpty() ||
        valueName.contains(QLatin1Char('/')) || valueName.contains(QLatin1Char('\\')))
        return std::nullopt;
    if (!QFileInfo(m_filePath).isFile())
        return std::nullopt;
    QSettings file(m_filePath, QSettings::IniFormat);
    QString group = keyName;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QVariant value = file.value(group + QLatin1Char('/') + valueName);
    if (file.status() != QSettings::NoError || !value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::QStringList)
        return valueFromText(value.toStringList().join(QLatin1String(", ")));
    if (!value.canConvert<QString>())
        return std::nullopt;
    return valueFromText(value.toString());
}

} // namespace platform
