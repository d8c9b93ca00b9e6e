#include "print/print_text_array.h"

#include "app/font_commands.h"
#include "platform/error.h"
#include "platform/services.h"
#include "print/print_steps.h"

#include <optional>

namespace print {

float TopMargin = 0;
float BottomMargin = 0;
float LeftMargin = 0;
float RightMargin = 0;

QString CurrentLine;
QString RemainingText;
QString NextWord;

namespace detail {

float pointsFromText(const QString& text) {
    const std::optional<double> points = app::PointsFromSizeText(text);
    if (!points)
        throw platform::Error(QStringLiteral("\"%1\" is not a font size").arg(text));
    return static_cast<float>(*points);
}

void PrintPageLabel(platform::Printer& printer, Steps& step) {
    step([&] { printer.setCurrentY(printer.scaleHeight() - BottomMargin); });
    step([&] {
        printer.setCurrentX(printer.scaleWidth() / 2 - printer.textWidth(PageLabel(printer)) / 2);
    });
    step([&] { printer.printLine(PageLabel(printer)); });
}

BusyWhilePrinting::BusyWhilePrinting() {
    platform::ignoreErrors([] { platform::Services::mousePointer().setBusy(); });
}

BusyWhilePrinting::~BusyWhilePrinting() {
    platform::ignoreErrors([] { platform::Services::mousePointer().setNormal(); });
}

} // namespace detail

namespace {

// The paragraphs of `text`: the texts before each CR, the CR and the character after it being
// dropped, and whatever follows the last of them when it is not empty. `tail` receives that
// last part (empty when the text ends with a line break).
QStringList paragraphsOf(const QString& text, QString& tail) {
    QStringList paragraphs;
    qsizetype from = 0;
    for (qsizetype cr; (cr = text.indexOf(QLatin1Char('\r'), from)) >= 0; from = cr + 2)
        paragraphs.append(text.mid(from, cr - from));
    tail = from < text.size() ? text.mid(from) : QString();
    if (!tail.isEmpty())
        paragraphs.append(tail);
    return paragraphs;
}

} // namespace

void DefaultMargins() {
    for (float* margin : {&TopMargin, &LeftMargin, &BottomMargin, &RightMargin}) {
        if (*margin == 0)
            *margin = 1.0f;
    }
}

QString PageLabel(platform::Printer& printer) {
    return QStringLiteral("- %1 -").arg(printer.page());
}

void TakeNextWord() {
    const qsizetype blank = RemainingText.indexOf(QLatin1Char(' '));
    if (blank >= 0) {
        NextWord = RemainingText.left(blank + 1);
        RemainingText = RemainingText.mid(blank + 1);
    } else {
        NextWord = RemainingText;
        RemainingText.clear();
    }
}

void PrintTextArray(const std::vector<PrintTextItem>& items, const QString& documentName) {
    detail::Steps step(QStringLiteral(" in PrintTextArray function"));
    platform::Printer* found = nullptr;
    if (!step([&] { found = &platform::Services::printer(); }))
        return;
    platform::Printer& printer = *found;
    const detail::BusyWhilePrinting busy;

    // Ends the page: its label on the bottom-margin line, then a new page.
    auto endPage = [&] {
        detail::PrintPageLabel(printer, step);
        step([&] { printer.newPage(); });
    };

    DefaultMargins();
    step([&] { printer.setDocumentName(documentName); });
    CurrentLine.clear();
    step([&] { printer.setCurrentY(TopMargin); });
    float x = 0;
    for (const PrintTextItem& item : items) {
        step([&] { printer.setFontName(item.FontName); });
        step([&] { printer.setFontSize(detail::pointsFromText(item.FontSize)); });
        const double fitAllowance = item.FitAllowance.value_or(0);
        QString tail;
        const QStringList paragraphs = paragraphsOf(item.Text, tail);
        for (const QString& paragraph : paragraphs) {
            RemainingText = paragraph;
            CurrentLine.clear();
            TakeNextWord();
            while (!NextWord.isEmpty()) {
                const QString candidate = CurrentLine + NextWord;
                if (step.test([&] {
                        return printer.textWidth(candidate) >
                               printer.scaleWidth() - (LeftMargin + RightMargin);
                    })) {
                    if (step.test([&] {
                            return printer.currentY() + fitAllowance >
                                   printer.scaleHeight() - BottomMargin;
                        })) {
                        endPage();
                        step([&] { printer.setCurrentY(TopMargin); });
                    }
                    step([&] { printer.setCurrentX(LeftMargin); });
                    step([&] { printer.printLine(CurrentLine); });
                    CurrentLine = NextWord;
                } else {
                    CurrentLine = candidate;
                }
                TakeNextWord();
            }

            step([&] {
                if (!item.Placement.startsWith(QLatin1String(":>"))) {
                    x = LeftMargin;
                    return;
                }
                const QStringView code = QStringView(item.Placement).mid(2, 2);
                if (code == QLatin1String("01") || code == QLatin1String("03"))
                    x = static_cast<float>(printer.scaleWidth() / 2 - printer.textWidth(tail) / 2);
                else if (code == QLatin1String("02"))
                    x = static_cast<float>(printer.scaleWidth() / 2);
                if (code == QLatin1String("03"))
                    printer.setCurrentY(0.5);
            });

            if (step.test([&] {
                    return printer.currentY() + printer.textHeight(CurrentLine) >
                           printer.scaleHeight() - BottomMargin;
                })) {
                endPage();
                step([&] { printer.setCurrentY(TopMargin); });
            }
            step([&] { printer.setCurrentX(x); });
            step([&] { printer.printLine(CurrentLine); });
        }
    }
    if (step.test([&] { return printer.page() != 1; }))
        detail::PrintPageLabel(printer, step);
    step([&] { printer.endDoc(); });
}

void PrintList(const QStringList& entries, const QString& documentName,
               const app::FontSetting& font) {
    QString text;
    for (const QString& entry : entries)
        text += entry + QStringLiteral("\r\n");
    std::vector<PrintTextItem> items(1);
    items[0].Text = text;
    items[0].FontName = font.name;
    items[0].FontSize = font.size;
    PrintTextArray(items, documentName);
}

} // namespace print
