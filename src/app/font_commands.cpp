#include "app/font_commands.h"

#include <QLocale>

#include <cmath>

#include "app/globals.h"
#include "app/settings_keys.h"
#include "platform/services.h"

namespace app {
namespace {

// The dialog's choice as the module-wide values, then the settings, name before size.
void takeChoice(QString& name, QString& size, const QString& nameSection, const QString& nameKey,
                const QString& sizeSection, const QString& sizeKey) {
    const platform::FontChoice choice = platform::Services::fontDialog().chooseFont();
    name = choice.family;
    size = FontSizeText(choice.pointSize);
    platform::SettingsStore& settings = platform::Services::settings();
    settings.write(nameSection, nameKey, name);
    settings.write(sizeSection, sizeKey, size);
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

void ChoosePrintFont() {
    using namespace settings_keys;
    takeChoice(PrintingFontName, PrintingFontSize, kPrintFontNameSection, kPrintFontNameKey,
               kPrintFontSizeSection, kPrintFontSizeKey);
}

void ChooseProgramFont() {
    using namespace settings_keys;
    takeChoice(ProgramFontName, ProgramFontSize, kProgramFontNameSection, kProgramFontNameKey,
               kProgramFontSizeSection, kProgramFontSizeKey);
}

} // namespace app
