#include "app/font_commands.h"

#include <QLocale>

#include <cmath>
#include <functional>

#include "app/session.h"
#include "app/settings_keys.h"
#include "platform/services.h"

namespace app {
namespace {

// The dialog's choice, then the settings, name before size.
FontSetting chooseAndKeep(const QString& nameSection, const QString& nameKey,
                          const QString& sizeSection, const QString& sizeKey,
                          const std::function<void(const FontSetting&)>& keep) {
    const platform::FontChoice choice = platform::Services::fontDialog().chooseFont();
    const FontSetting font{choice.family, FontSizeText(choice.pointSize)};
    keep(font);
    platform::SettingsStore& settings = platform::Services::settings();
    settings.write(nameSection, nameKey, font.name);
    settings.write(sizeSection, sizeKey, font.size);
    return font;
}

} // namespace

QString FontSizeText(double points) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    // Seven significant digits give a single-precision number's shortest text.
    return locale.toString(static_cast<double>(static_cast<float>(points)), 'g', 7);
}

std::optional<double> PointsFromSizeText(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double points = QLocale().toDouble(trimmed, &ok);
    if (!ok)
        points = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        points = QLocale::c().toDouble(QString(trimmed).replace(QLatin1Char(','), QLatin1Char('.')),
                                       &ok);
    if (!ok || !std::isfinite(points) || points <= 0)
        return std::nullopt;
    return points;
}

void ChoosePrintFont(Session& session) {
    using namespace settings_keys;
    chooseAndKeep(kPrintFontNameSection, kPrintFontNameKey, kPrintFontSizeSection,
                  kPrintFontSizeKey,
                  [&session](const FontSetting& font) { session.setPrintFont(font); });
}

void ChooseProgramFont(Session& session) {
    using namespace settings_keys;
    const FontSetting font = chooseAndKeep(
        kProgramFontNameSection, kProgramFontNameKey, kProgramFontSizeSection, kProgramFontSizeKey,
        [&session](const FontSetting& chosen) { session.setProgramFont(chosen, false); });
    session.setProgramFont(font);
}

} // namespace app
