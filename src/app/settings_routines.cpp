#include "app/settings_routines.h"

#include <QLocale>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cmath>
#include <optional>

#include "app/settings_keys.h"
#include "platform/services.h"
#include "platform/twips.h"

namespace app {
namespace {

using namespace settings_keys;
using platform::moveOuterTwips;
using platform::outerGeometryTwips;
using platform::resizeOuterTwips;
using platform::TwipsRect;

// The shortest decimal text of a number: "1200", "-15", "1234.5".
QString shortestDecimal(double value) {
    if (value == std::trunc(value) && std::abs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

// Left, top, width and height of a stored position, each rounded to a whole number (halves to
// even). Nothing when the value is blank or is not four comma-separated numbers that fit an
// int (a value edited by hand or damaged), which the caller treats like no value at all.
std::optional<std::array<int, 4>> parsePosition(const QString& value) {
    const QStringList parts = value.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    std::array<int, 4> numbers{};
    for (int i = 0; i < 4; ++i) {
        QString digits = parts[i];
        digits.remove(QLatin1Char(' '));
        bool ok = false;
        const double number = QLocale::c().toDouble(digits, &ok);
        if (!ok || !std::isfinite(number))
            return std::nullopt;
        const double whole = std::nearbyint(number);
        if (whole < -2147483648.0 || whole > 2147483647.0)
            return std::nullopt;
        numbers[i] = static_cast<int>(whole);
    }
    return numbers;
}

bool isNormalState(const QWidget& window) {
    return (window.windowState() &
            (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
}

} // namespace

void UpdateRecentDatabases(QString& path) {
    platform::SettingsStore& settings = platform::Services::settings();
    // "Sixth" is not read: it only ever receives the old "Fifth".
    std::array<QString, 5> old;
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = settings.read(kRecentSection, kRecentSlots[i], QString());
    for (const QString& slot : old) {
        if (slot == path)
            return;
    }
    std::size_t firstEmpty = old.size();
    for (std::size_t i = 0; i < old.size(); ++i) {
        if (old[i].isEmpty()) {
            firstEmpty = i;
            break;
        }
    }
    settings.write(kRecentSection, kRecentSlots[0], path);
    for (std::size_t i = 1; i <= firstEmpty; ++i)
        settings.write(kRecentSection, kRecentSlots[i], old[i - 1]);
}

void SaveFormPosition(QWidget& window, const QString& tag) {
    const TwipsRect outer = outerGeometryTwips(window);
    const QString value = QStringList{shortestDecimal(outer.left), shortestDecimal(outer.top),
                                      shortestDecimal(outer.width), shortestDecimal(outer.height)}
                              .join(QStringLiteral(", "));
    platform::Services::settings().write(kFormPositionSection, tag, value);
}

void RestoreFormPosition(QWidget& window, const QString& tag) {
    const QString value = platform::Services::settings().read(kFormPositionSection, tag, QString());
    platform::ScreenMetrics& screen = platform::Services::screen();
    const qint64 screenWidth = qRound64(screen.widthTwips());
    const qint64 screenHeight = qRound64(screen.heightTwips());

    const std::optional<std::array<int, 4>> stored = parsePosition(value);
    if (!stored) {
        // Half the screen, centred, whatever the window's state.
        resizeOuterTwips(window, static_cast<double>(screenWidth / 2),
                         static_cast<double>(screenHeight / 2));
        const TwipsRect outer = outerGeometryTwips(window);
        moveOuterTwips(window, static_cast<double>((screenWidth - qRound64(outer.width)) / 2),
                       static_cast<double>((screenHeight - qRound64(outer.height)) / 2));
        return;
    }
    qint64 left = (*stored)[0];
    qint64 top = (*stored)[1];
    if (left < 0 || left > screenWidth)
        left = screenWidth / 2;
    if (top < 0 || top > screenHeight)
        top = screenHeight / 2;
    if (!isNormalState(window))
        return;
    moveOuterTwips(window, static_cast<double>(left), static_cast<double>(top));
    resizeOuterTwips(window, (*stored)[2], (*stored)[3]);
}

} // namespace app
