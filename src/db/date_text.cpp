#include "db/date_text.h"

#include <QLocale>
#include <QStringList>
#include <QTime>
#include <algorithm>
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

// A date format made of day and month numbers (one or two digits), a four-digit year and
// separators, in a locale writing ASCII digits: formatted and parsed here directly, since Qt's
// general date formatter and parser dominate the time of loading and rewriting long lists.
// Parsing takes one or two digits for the day and the month whatever the format says.
struct NumericForm {
    enum class Part { Day, Month, Year, Literal };
    struct Token {
        Part part;
        int width = 0; // digits written (1 or 2 for day and month, 4 for the year)
        QString literal;
    };
    std::vector<Token> tokens;
};

std::optional<NumericForm> numericForm(const QLocale& locale, const QString& format) {
    if (locale.zeroDigit() != QLatin1String("0"))
        return std::nullopt;
    NumericForm form;
    int seen[3] = {0, 0, 0};
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c.isLetter() || c == QLatin1Char('\'') || c.isDigit()) {
            qsizetype run = 0;
            while (i + run < format.size() && format[i + run] == c)
                ++run;
            NumericForm::Part part;
            if (c == QLatin1Char('d') && run <= 2)
                part = NumericForm::Part::Day;
            else if (c == QLatin1Char('M') && run <= 2)
                part = NumericForm::Part::Month;
            else if (c == QLatin1Char('y') && run == 4)
                part = NumericForm::Part::Year;
            else
                return std::nullopt;
            if (++seen[static_cast<int>(part)] > 1)
                return std::nullopt;
            form.tokens.push_back({part, static_cast<int>(run), {}});
            i += run;
            continue;
        }
        if (form.tokens.empty() || form.tokens.back().part != NumericForm::Part::Literal)
            form.tokens.push_back({NumericForm::Part::Literal, 0, {}});
        form.tokens.back().literal += c;
        ++i;
    }
    if (seen[0] != 1 || seen[1] != 1 || seen[2] != 1)
        return std::nullopt;
    return form;
}

QString formatNumeric(const NumericForm& form, const QDate& date) {
    QString text;
    for (const NumericForm::Token& token : form.tokens) {
        switch (token.part) {
        case NumericForm::Part::Day:
            text += QString::number(date.day()).rightJustified(token.width, QLatin1Char('0'));
            break;
        case NumericForm::Part::Month:
            text += QString::number(date.month()).rightJustified(token.width, QLatin1Char('0'));
            break;
        case NumericForm::Part::Year:
            text += QString::number(date.year()).rightJustified(4, QLatin1Char('0'));
            break;
        case NumericForm::Part::Literal:
            text += token.literal;
            break;
        }
    }
    return text;
}

// The calendar fields of a date text in a numeric form; false when the text does not follow
// it. The fields are not checked against the calendar.
bool parseNumeric(const NumericForm& form, QStringView text, int& year, int& month, int& day) {
    qsizetype at = 0;
    auto digits = [&](int minimum, int maximum, int& value) {
        int count = 0;
        value = 0;
        while (count < maximum && at < text.size() && text[at] >= QLatin1Char('0') &&
               text[at] <= QLatin1Char('9')) {
            value = value * 10 + (text[at].unicode() - '0');
            ++at;
            ++count;
        }
        return count >= minimum;
    };
    for (const NumericForm::Token& token : form.tokens) {
        bool ok = true;
        switch (token.part) {
        case NumericForm::Part::Day:
            ok = digits(1, 2, day);
            break;
        case NumericForm::Part::Month:
            ok = digits(1, 2, month);
            break;
        case NumericForm::Part::Year:
            ok = digits(4, 4, year);
            break;
        case NumericForm::Part::Literal: // compared in place: this runs for every date
            ok = text.size() - at >= token.literal.size() &&
                 std::equal(token.literal.begin(), token.literal.end(), text.begin() + at);
            at += token.literal.size();
            break;
        }
        if (!ok)
            return false;
    }
    return at == text.size();
}

// One way of writing dates: a locale and a date format (four-digit year).
} // namespace

struct DateForm {
    QLocale locale;
    QString format;
    QString parseFormat; // `format` relaxed, for Qt's parser
    std::optional<NumericForm> numeric;

    DateForm(const QLocale& l, const QString& f)
        : locale(l), format(f), parseFormat(relaxed(f)), numeric(numericForm(l, f)) {}

    QString text(const QDate& date) const {
        return numeric ? formatNumeric(*numeric, date) : locale.toString(date, format);
    }
    QDate parse(QStringView text) const {
        int year = 0, month = 0, day = 0;
        if (!numeric)
            return locale.toDate(text.toString(), parseFormat);
        return parseNumeric(*numeric, text, year, month, day) ? QDate(year, month, day) : QDate();
    }
    /// The stored value of a date alone at midnight, or nothing.
    std::optional<double> parseValue(QStringView text) const {
        jet::DateTimeParts parts;
        if (!numeric) {
            const QDate date = parse(text);
            if (!date.isValid())
                return std::nullopt;
            parts.year = date.year();
            parts.month = date.month();
            parts.day = date.day();
        } else if (!parseNumeric(*numeric, text, parts.year, parts.month, parts.day)) {
            return std::nullopt;
        }
        if (!jet::isValidDateTime(parts))
            return std::nullopt;
        return jet::fromDateTimeParts(parts);
    }
};

namespace {

// The forms the date texts follow under the default locale: the one they are written in
// first, then the item dialogs' "M/d/yyyy". Kept until the default locale changes.
const std::shared_ptr<const std::vector<DateForm>>& dateForms() {
    thread_local QLocale cachedFor(QLocale::c());
    thread_local std::shared_ptr<const std::vector<DateForm>> forms;
    const QLocale user;
    if (!forms || !(cachedFor == user)) {
        auto fresh = std::make_shared<std::vector<DateForm>>();
        if (!isCLocale(user))
            fresh->emplace_back(user, dateFormatOf(user));
        fresh->emplace_back(QLocale::c(), QStringLiteral("M/d/yyyy"));
        forms = std::move(fresh);
        cachedFor = user;
    }
    return forms;
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
    const DateForm& form = dateForms()->front();
    QString text = form.text(QDate(parts.year, parts.month, parts.day));
    if (parts.hour != 0 || parts.minute != 0 || parts.second != 0) {
        const QTime time(parts.hour, parts.minute, parts.second);
        text += QLatin1Char(' ') + form.locale.toString(time, timeFormatOf(form.locale));
    }
    return text;
}

namespace {

constexpr std::size_t kKnownTexts = 1024;

std::optional<double> readDateText(const std::vector<DateForm>& forms, const QString& text) {
    const QStringView trimmed = QStringView(text).trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;

    for (const DateForm& form : forms)
        if (const std::optional<double> value = form.parseValue(trimmed))
            return value;
    // A date and a time: split at each blank in turn (times like "2:30:05 PM" hold one too).
    // Date and time are parsed apart so that no time zone, and no daylight-saving gap, enters.
    for (qsizetype blank = trimmed.indexOf(QLatin1Char(' ')); blank > 0;
         blank = trimmed.indexOf(QLatin1Char(' '), blank + 1)) {
        const QStringView datePart = trimmed.left(blank);
        const QString timePart = trimmed.mid(blank + 1).trimmed().toString();
        for (const DateForm& form : forms) {
            const QDate date = form.parse(datePart);
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

} // namespace

std::optional<double> dateFromText(const QString& text) {
    // The dates of a list repeat, so the values of the texts read last are kept, in a table of
    // kKnownTexts entries; the table is emptied when the default locale's forms change.
    struct Known {
        QString text; // shares the caller's text, no copy
        std::optional<double> value;
    };
    thread_local std::shared_ptr<const std::vector<DateForm>> knownFor;
    thread_local std::unique_ptr<Known[]> known;
    const std::shared_ptr<const std::vector<DateForm>>& forms = dateForms();
    if (!known || knownFor != forms) {
        known.reset(new Known[kKnownTexts]);
        knownFor = forms;
    }
    Known& k = known[qHash(text) % kKnownTexts];
    if (k.text.isNull() || k.text != text) {
        k.value = readDateText(*forms, text);
        k.text = text;
    }
    return k.value;
}

QString dialogDateText(const QDate& date) {
    return dateForms()->back().text(date);
}

std::optional<double> valueFromDate(const QDate& date) {
    return storedValue(date, QTime(0, 0));
}

QDate dateFromValue(double days) {
    try {
        const jet::DateTimeParts parts = jet::toDateTimeParts(days);
        return QDate(parts.year, parts.month, parts.day);
    } catch (const jet::Error&) {
        return {};
    }
}

} // namespace db
