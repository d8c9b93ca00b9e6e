#include "db/date_text.h"

#include <QLocale>
#include <QStringList>
#include <QTime>
#include <vector>

#include "jet/datetime.h"
#include "jet/error.h"

namespace db {
namespace {

bool isCLocale(const QLocale& locale) {
    return locale.language() == QLocale::C;
}

// Rewrites the unquoted runs of `letter` in a QLocale format with `rewrite(runLength)`.
template <typename Rewrite>
QString rewriteRuns(const QString& format, QChar letter, Rewrite rewrite) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (quoted || c != letter) {
            out += c;
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i < format.size() && format[i] == letter) {
            ++run;
            ++i;
        }
        out += rewrite(run);
    }
    return out;
}

// Short date forms with a two-digit year ("M/d/yy") show four digits instead.
QString withFourDigitYear(const QString& format) {
    return rewriteRuns(format, QLatin1Char('y'), [](qsizetype run) {
        return run < 4 ? QStringLiteral("yyyy") : QString(run, QLatin1Char('y'));
    });
}

// For parsing, two-digit day, month, hour, minute and second fields also take one digit.
QString relaxed(QString format) {
    for (const char letter : {'d', 'M', 'h', 'H', 'm', 's'}) {
        format = rewriteRuns(format, QLatin1Char(letter), [letter](qsizetype run) {
            return QString(run == 2 ? 1 : run, QLatin1Char(letter));
        });
    }
    return format;
}

// The locale's time with seconds, without the time zone its long form ends with.
QString timeFormatOf(const QLocale& locale) {
    if (isCLocale(locale))
        return QStringLiteral("h:mm:ss AP");
    QString format = rewriteRuns(locale.timeFormat(QLocale::LongFormat), QLatin1Char('t'),
                                 [](qsizetype) { return QString(); });
    return format.simplified();
}

QString dateFormatOf(const QLocale& locale) {
    if (isCLocale(locale))
        return QStringLiteral("M/d/yyyy");
    return withFourDigitYear(locale.dateFormat(QLocale::ShortFormat));
}

std::optional<double> storedValue(const QDate& date, const QTime& time) {
    if (!date.isValid() || !time.isValid() || date.year() < 100 || date.year() > 9999)
        return std::nullopt;
    jet::DateTimeParts parts;
    parts.year = date.year();
    parts.month = date.month();
    parts.day = date.day();
    parts.hour = time.hour();
    parts.minute = time.minute();
    parts.second = time.second();
    return jet::fromDateTimeParts(parts);
}

} // namespace

QString textFromDate(double days) {
    jet::DateTimeParts parts;
    try {
        parts = jet::toDateTimeParts(days);
    } catch (const jet::Error&) {
        return {};
    }
    const QLocale locale = isCLocale(QLocale()) ? QLocale::c() : QLocale();
    const QDate date(parts.year, parts.month, parts.day);
    QString text = locale.toString(date, dateFormatOf(locale));
    if (parts.hour != 0 || parts.minute != 0 || parts.second != 0) {
        const QTime time(parts.hour, parts.minute, parts.second);
        text += QLatin1Char(' ') + locale.toString(time, timeFormatOf(locale));
    }
    return text;
}

std::optional<double> dateFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;

    struct Form {
        QLocale locale;
        QString date;
    };
    const QLocale user = QLocale();
    std::vector<Form> forms;
    if (!isCLocale(user))
        forms.push_back({user, relaxed(dateFormatOf(user))});
    forms.push_back({QLocale::c(), QStringLiteral("M/d/yyyy")});

    for (const Form& form : forms) {
        const QDate date = form.locale.toDate(trimmed, form.date);
        if (date.isValid())
            return storedValue(date, QTime(0, 0));
    }
    // A date and a time: split at each blank in turn (times like "2:30:05 PM" hold one too).
    // Date and time are parsed apart so that no time zone, and no daylight-saving gap, enters.
    for (qsizetype blank = trimmed.indexOf(QLatin1Char(' ')); blank > 0;
         blank = trimmed.indexOf(QLatin1Char(' '), blank + 1)) {
        const QString datePart = trimmed.left(blank);
        const QString timePart = trimmed.mid(blank + 1).trimmed();
        for (const Form& form : forms) {
            const QDate date = form.locale.toDate(datePart, form.date);
            if (!date.isValid())
                continue;
            QStringList times = {QStringLiteral("h:m:s AP"), QStringLiteral("H:m:s")};
            if (!isCLocale(form.locale))
                times.prepend(relaxed(timeFormatOf(form.locale)));
            for (const QString& format : times) {
                const QTime time = form.locale.toTime(timePart, format);
                if (time.isValid())
                    return storedValue(date, time);
            }
        }
    }
    return std::nullopt;
}

QString dialogDateText(const QDate& date) {
    return QLocale::c().toString(date, QStringLiteral("M/d/yyyy"));
}

} // namespace db
