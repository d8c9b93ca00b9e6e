// The list texts of dates in several locales, and their way back into stored values.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "db/date_text.h"
#include "db_test_util.h"
#include "jet/datetime.h"

using dbtest::LocaleGuard;
using dbtest::storedDate;

namespace {

struct Shown {
    const char* locale;
    double value;
    const char* text;
};

TEST(DateText, ShowsTheLocaleShortDateWithAFourDigitYearAndATimeOnlyWhenNotMidnight) {
    const Shown cases[] = {
        {"C", storedDate(2026, 12, 5), "12/5/2026"},
        {"C", storedDate(2026, 12, 5, 14, 30, 5), "12/5/2026 2:30:05 PM"},
        {"C", storedDate(2027, 1, 9, 0, 0, 1), "1/9/2027 12:00:01 AM"},
        {"en_US", storedDate(2026, 12, 5), "12/5/2026"},
        {"en_US", storedDate(2026, 12, 5, 9, 5, 0), "12/5/2026 9:05:00 AM"},
        {"de_DE", storedDate(2026, 12, 5), "05.12.2026"},
        {"de_DE", storedDate(2026, 12, 5, 14, 30, 5), "05.12.2026 14:30:05"},
        {"en_GB", storedDate(2026, 12, 5), "05/12/2026"},
        {"ja_JP", storedDate(2026, 12, 5), "2026/12/05"},
        {"C", -700000.0, ""}, // before the year 100
        {"C", std::nan(""), ""},
    };
    for (const Shown& c : cases) {
        LocaleGuard locale{QLocale(QString::fromLatin1(c.locale))};
        EXPECT_EQ(db::textFromDate(c.value), QString::fromUtf8(c.text))
            << c.locale << " " << c.value;
    }
}

struct Read {
    const char* locale;
    const char* text;
    std::optional<double> value;
};

TEST(DateText, ReadsTheLocaleFormThenMonthFirstAndNothingElse) {
    const Read cases[] = {
        {"C", "12/5/2026", storedDate(2026, 12, 5)},
        {"C", "  12/05/2026 ", storedDate(2026, 12, 5)},
        {"C", "12/5/2026 2:30:05 PM", storedDate(2026, 12, 5, 14, 30, 5)},
        {"C", "12/5/2026 14:30:05", storedDate(2026, 12, 5, 14, 30, 5)},
        {"C", "", std::nullopt},
        {"C", "   ", std::nullopt},
        {"C", "2/30/2026", std::nullopt},
        {"C", "13/1/2026", std::nullopt},
        {"C", "next week", std::nullopt},
        {"C", "12/5/2026 25:00:00", std::nullopt},
        {"C", "12/5/26", std::nullopt},
        {"de_DE", "05.12.2026", storedDate(2026, 12, 5)},
        {"de_DE", "5.12.2026", storedDate(2026, 12, 5)},
        {"de_DE", "12/5/2026", storedDate(2026, 12, 5)}, // as the item dialogs write it
        {"de_DE", "05.12.2026 14:30:05", storedDate(2026, 12, 5, 14, 30, 5)},
        // Day-first locale: the locale's reading wins where both fit.
        {"en_GB", "05/12/2026", storedDate(2026, 12, 5)},
        {"en_GB", "12/5/2026", storedDate(2026, 5, 12)},
        {"en_GB", "12/25/2026", storedDate(2026, 12, 25)},
    };
    for (const Read& c : cases) {
        LocaleGuard locale{QLocale(QString::fromLatin1(c.locale))};
        EXPECT_EQ(db::dateFromText(QString::fromUtf8(c.text)), c.value)
            << c.locale << " \"" << c.text << "\"";
    }
}

TEST(DateText, EveryShownOrDialogValueReadsBackToTheSameSecond) {
    const double values[] = {storedDate(2026, 12, 5),        storedDate(2026, 12, 5, 23, 59, 59),
                             storedDate(100, 1, 1),          storedDate(9999, 12, 31, 12, 0, 0),
                             storedDate(1899, 12, 30, 6, 0), storedDate(2024, 2, 29)};
    for (const char* name : {"C", "en_US", "de_DE", "en_GB", "fr_FR", "ja_JP", "fi_FI", "ar_EG"}) {
        LocaleGuard locale{QLocale(QString::fromLatin1(name))};
        for (const double value : values) {
            const QString text = db::textFromDate(value);
            EXPECT_EQ(db::dateFromText(text), value) << name << " \"" << text.toStdString() << "\"";
        }
        // The item dialogs write month first with ASCII digits in any locale.
        EXPECT_EQ(db::dialogDateText(QDate(2026, 12, 5)), "12/5/2026") << name;
        EXPECT_EQ(db::dateFromText(db::dialogDateText(QDate(2026, 1, 31))), storedDate(2026, 1, 31))
            << name;
    }
}

} // namespace
