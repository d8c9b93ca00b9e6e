// Sections, keys and defaults of the per-user settings.
#pragma once

#include <QString>
#include <array>

namespace app::settings_keys {

/// The recently-used database files, newest first, one per slot.
inline const QString kRecentSection = QStringLiteral("MostRecentToDoDatabases");
inline const std::array<QString, 6> kRecentSlots = {
    QStringLiteral("First"),  QStringLiteral("Second"), QStringLiteral("Third"),
    QStringLiteral("Fourth"), QStringLiteral("Fifth"),  QStringLiteral("Sixth")};

inline const QString kProgramFontNameSection = QStringLiteral("DefaultFontName");
inline const QString kProgramFontNameKey = QStringLiteral("Default Font Name");
inline const QString kProgramFontSizeSection = QStringLiteral("DefaultFontSize");
inline const QString kProgramFontSizeKey = QStringLiteral("Default Font Size");
inline const QString kPrintFontNameSection = QStringLiteral("DefaultPrintFontName");
inline const QString kPrintFontNameKey = QStringLiteral("Default Print Font Name");
inline const QString kPrintFontSizeSection = QStringLiteral("DefaultPrintFontSize");
inline const QString kPrintFontSizeKey = QStringLiteral("Default Print Font Size");

/// Font defaults when nothing is stored (the name is spelt as the program always spelt it).
inline const QString kDefaultFontName = QStringLiteral("Ariel");
inline const QString kDefaultProgramFontSize = QStringLiteral("9");
inline const QString kDefaultPrintFontSize = QStringLiteral("12");

/// Window positions, keyed by the window's tag.
inline const QString kFormPositionSection = QStringLiteral("FormPosition");

} // namespace app::settings_keys
