#include "print/todo_printout.h"

#include "db/date_text.h"
#include "platform/error.h"
#include "platform/services.h"
#include "print/print_steps.h"
#include "print/print_text_array.h"

#include <QLocale>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace print {
namespace {

struct Heading {
    float x;
    const char* text;
};

constexpr std::array<Heading, 5> kHeadings = {{{0.4f, "Priority"},
                                               {1.0f, "Client or Project"},
                                               {2.7f, "Thing To Do"},
                                               {5.94f, "Start Date"},
                                               {6.72f, "Deadline"}}};

constexpr float kHeadingTop = 1.0f;
constexpr float kFirstRowTop = 1.4f;

constexpr float kPriorityX = 0.6f;
constexpr float kPartyX = 1.0f;
constexpr float kThingToDoX = 2.7f;
constexpr float kStartDateX = 5.94f;
constexpr float kDeadlineX = 6.72f;

// The width a limited column leaves its text: the next column's x, less its own, less a gap
// of 0.2, rounded to single precision (so the party column is exactly 1.5).
constexpr float kPartyWidth = static_cast<float>(2.7 - 1.0 - 0.2);
constexpr float kThingToDoWidth = static_cast<float>(5.94 - 2.7 - 0.2);

// The priority as a whole number, rounded half to even as a conversion to a 16-bit integer
// rounds.
qint16 priorityFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double number = QLocale().toDouble(trimmed, &ok);
    if (!ok)
        number = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(number))
        throw platform::Error(QStringLiteral("The priority \"%1\" is not a number").arg(text));
    number = std::nearbyint(number);
    if (number < std::numeric_limits<qint16>::min() || number > std::numeric_limits<qint16>::max())
        throw platform::Error(QStringLiteral("The priority \"%1\" is out of range").arg(text));
    return static_cast<qint16>(number);
}

// The short date of `days` in the user's locale, as the list shows a loaded date, without the
// time of day: "12/6/2026" under C and en_US, "06/12/2026" under en_GB.
QString shortDate(const std::optional<db::ItemDate>& date) {
    return date ? db::textFromDate(std::trunc(date->days)) : QString();
}

// A number as printed: a blank in front of a number that is not negative, for the sign.
QString numberText(qint16 number) {
    const QString digits = QString::number(number);
    return number < 0 ? digits : QLatin1Char(' ') + digits;
}

} // namespace

void PrintToDoList(const std::vector<db::ToDoItem>& items, const app::FontSetting& font) {
    detail::Steps step(QStringLiteral(" in Print function."));
    if (items.empty())
        return;
    platform::Printer* found = nullptr;
    if (!step([&] { found = &platform::Services::printer(); }))
        return;
    platform::Printer& printer = *found;
    const detail::BusyWhilePrinting busy;

    // The priorities, in the list's order, read before anything is printed: one that is not a
    // number is reported then and printed as 0.
    std::vector<qint16> priorities(items.size());
    for (std::size_t index = 0; index < items.size(); ++index) {
        const db::Priority& priority = items[index].priority;
        if (priority.number() != 0)
            priorities[index] = static_cast<qint16>(priority.number());
        else
            step([&] { priorities[index] = priorityFromText(priority.text()); });
    }

    DefaultMargins();
    step([&] { printer.setDocumentName(QStringLiteral("Tarnwick To Do list")); });
    float RowTop = kHeadingTop;
    float RowHeight = 0;
    step([&] { printer.setCurrentY(RowTop); });
    step([&] { printer.setFontName(font.name); });
    // The size shrunk texts return to; when the print font's size cannot be read, the size
    // the printer had.
    double printSize = 0;
    step([&] { printSize = printer.fontSize(); });
    step([&] {
        const float points = detail::pointsFromText(font.size);
        printer.setFontSize(points);
        printSize = points;
    });

    // One point smaller, unless that is below the smallest size; false when not made smaller.
    auto shrink = [&] {
        bool smaller = false;
        step([&] {
            const double size = printer.fontSize();
            if (size - 1 >= kSmallestFontSize) {
                printer.setFontSize(size - 1);
                smaller = printer.fontSize() < size;
            }
        });
        return smaller;
    };
    auto widerThan = [&](const QString& text, float width) {
        return step.test([&] { return printer.textWidth(text) > width; });
    };
    auto moveTo = [&](float x, float y) {
        step([&] { printer.setCurrentX(x); });
        step([&] { printer.setCurrentY(y); });
    };
    auto printLine = [&](const QString& text) { step([&] { printer.printLine(text); }); };
    auto print = [&](float x, float y, const QString& text) {
        moveTo(x, y);
        printLine(text);
    };
    // A text that stands up higher or lower than the row's own line is centred on it.
    auto centreOnRow = [&](const QString& text) {
        step([&] { printer.setCurrentY(RowTop + (RowHeight - printer.textHeight(text)) / 2); });
    };

    for (std::size_t index = 0; index < items.size(); ++index) {
        const db::ToDoItem& item = items[index];
        const qint16 priority = priorities[index];
        if (RowTop == kHeadingTop) {
            for (const Heading& heading : kHeadings)
                print(heading.x, kHeadingTop, QString::fromLatin1(heading.text));
            RowTop = kFirstRowTop;
        }

        print(kPriorityX, RowTop, numberText(priority));
        step(
            [&] { RowHeight = static_cast<float>(printer.textHeight(QString::number(priority))); });

        const QString& party = item.party;
        moveTo(kPartyX, RowTop);
        if (widerThan(party, kPartyWidth)) {
            while (widerThan(party, kPartyWidth) && shrink())
                centreOnRow(party);
            printLine(party);
            step([&] { printer.setFontSize(printSize); });
        } else {
            printLine(party);
        }

        moveTo(kThingToDoX, RowTop);
        if (widerThan(item.text, kThingToDoWidth)) {
            while (widerThan(item.text, kThingToDoWidth) && shrink()) {
            }
            centreOnRow(item.text);
            printLine(item.text);
            step([&] { printer.setFontSize(printSize); });
        } else {
            printLine(item.text);
        }

        print(kStartDateX, RowTop, shortDate(item.startDate));
        print(kDeadlineX, RowTop, shortDate(item.deadline));

        // The page test: the deadline's line has moved the position one line below the row.
        if (step.test([&] { return printer.currentY() > printer.scaleHeight() - BottomMargin; })) {
            detail::PrintPageLabel(printer, step);
            step([&] { printer.newPage(); });
            RowTop = kHeadingTop;
        } else {
            step([&] { RowTop = static_cast<float>(RowTop + printer.textHeight(item.text)); });
        }
    }
    step([&] { printer.endDoc(); });
}

} // namespace print
