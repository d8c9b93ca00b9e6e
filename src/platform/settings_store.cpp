#include "platform/settings_store.h"

#include "executable.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace platform {
namespace {

void checkName(const QString& what, const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        throw Error(QStringLiteral("The settings %1 name \"%2\" is not valid.").arg(what, name));
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads up to `maxDigits` digits of base `base` (8 or 16) at `i`, advancing `i` past them.
// Returns -1 when there is none.
int readNumber(QStringView text, qsizetype& i, int base, int maxDigits) {
    int value = -1;
    for (int n = 0; n < maxDigits && i < text.size(); ++n, ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0 || digit >= base)
            break;
        value = (value < 0 ? 0 : value * base) + digit;
    }
    return value;
}

// A section or key name as QSettings writes it: '%' + two hex digits for a Latin-1 character
// (blanks become "%20") and "%U" + four hex digits for any other.
QString unescapeIniName(QStringView raw) {
    QString result;
    for (qsizetype i = 0; i < raw.size();) {
        if (raw[i] == QLatin1Char('%')) {
            qsizetype j = i + 1;
            const bool wide = j < raw.size() && raw[j] == QLatin1Char('U');
            if (wide)
                ++j;
            const qsizetype start = j;
            const int code = readNumber(raw, j, 16, wide ? 4 : 2);
            if (code >= 0 && j - start == (wide ? 4 : 2)) {
                result += QChar(char16_t(code));
                i = j;
                continue;
            }
        }
        result += raw[i++];
    }
    return result;
}

// The text of a value as written in the file, resolved the way QSettings resolves a single
// string except that commas are kept: double quotes are dropped, backslash escapes are
// resolved (an unknown one is dropped, as QSettings does), an unquoted ';' starts a comment,
// and blanks outside quotes at either end are trimmed.
QString unescapeIniValue(QStringView raw) {
    QString result;
    qsizetype keptLength = 0; // end of the last character that trimming must not remove
    bool inQuotes = false;
    for (qsizetype i = 0; i < raw.size();) {
        const QChar c = raw[i++];
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            keptLength = result.size();
            continue;
        }
        if (c == QLatin1Char(';') && !inQuotes)
            break;
        if (c != QLatin1Char('\\')) {
            result += c;
            if (inQuotes || !c.isSpace())
                keptLength = result.size();
            continue;
        }
        if (i == raw.size())
            break;
        const char16_t e = raw[i++].unicode();
        int code = -1;
        switch (e) {
        case 'a':
            code = '\a';
            break;
        case 'b':
            code = '\b';
            break;
        case 'f':
            code = '\f';
            break;
        case 'n':
            code = '\n';
            break;
        case 'r':
            code = '\r';
            break;
        case 't':
            code = '\t';
            break;
        case 'v':
            code = '\v';
            break;
        case '"':
        case '\'':
        case '?':
        case '\\':
            code = e;
            break;
        case 'x':
            code = readNumber(raw, i, 16, 4);
            break;
        default:
            if (e >= '0' && e <= '7') {
                --i;
                code = readNumber(raw, i, 8, 3);
            }
        }
        if (code >= 0) {
            result += QChar(char16_t(code));
            keptLength = result.size();
        }
    }
    result.truncate(keptLength);
    return result;
}

// The value of `section`/`key` as it stands in the INI file, or nothing when the file or the
// line is missing. A later line for the same key wins, as in QSettings.
std::optional<QString> rawIniValue(const QString& filePath, const QString& section,
                                   const QString& key) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString content = QString::fromUtf8(file.readAll());
    std::optional<QString> found;
    QString currentSection;
    for (QStringView line : QStringView(content).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            currentSection = unescapeIniName(line.mid(1, close < 0 ? -1 : close - 1).trimmed());
            if (currentSection.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
                currentSection.clear(); // QSettings' top level; "%General" names a real group
            else if (currentSection == QLatin1String("%General"))
                currentSection = QStringLiteral("General");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || currentSection != section)
            continue;
        if (unescapeIniName(line.left(equals).trimmed()) == key)
            found = unescapeIniValue(line.mid(equals + 1).trimmed());
    }
    return found;
}

// Makes the latest creation or renaming of a file in `folder` durable.
void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

IniSettingsStore::IniSettingsStore(const QString& appName)
    : m_filePath(defaultFilePath(appName.isEmpty() ? executableBaseName() : appName)) {}

QString IniSettingsStore::defaultFilePath(const QString& appName) {
    // GenericConfigLocation is $XDG_CONFIG_HOME when it is set to an absolute path, else
    // ~/.config.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QStringLiteral("%1/%2/%2.ini").arg(base, appName);
}

QString IniSettingsStore::read(const QString& section, const QString& key,
                               const QString& defaultValue) {
    checkName(QStringLiteral("section"), section);
    checkName(QStringLiteral("key"), key);
    const QSettings settings(m_filePath, QSettings::IniFormat);
    const QVariant value = settings.value(section + QLatin1Char('/') + key);
    if (!value.isValid())
        return defaultValue;
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    if (const auto raw = rawIniValue(m_filePath, section, key))
        return *raw;
    return value.typeId() == QMetaType::QStringList
               ? value.toStringList().join(QStringLiteral(", "))
               : value.toString();
}

void IniSettingsStore::write(const QString& section, const QString& key, const QString& value) {
    checkName(QStringLiteral("section"), section);
    checkName(QStringLiteral("key"), key);
    {
        QSettings settings(m_filePath, QSettings::IniFormat);
        settings.setValue(section + QLatin1Char('/') + key, value);
        // sync() writes a new file, flushes it to disk and renames it over the old one.
        settings.sync();
        // A FormatError only says that the old file held lines QSettings could not parse.
        if (settings.status() == QSettings::AccessError)
            throw Error(QStringLiteral("The setting %1 of %2 could not be saved in %3.")
                            .arg(key, section, m_filePath));
    }
    syncFolder(QFileInfo(m_filePath).absolutePath());
}

} // namespace platform
