// The word-wrapping text printer: items of text printed one after the other as one document,
// between margins, with a page label at the foot of every page of a document longer than one
// page. The reference lists print through PrintList; the to-do print-out shares the margins and
// the page label.
//
// Units are inches on the printer's printable area (see platform/printer.h). Every failure is
// shown as its description followed by " in PrintTextArray function", after which the routine
// goes on with its next step; the failed step has no effect.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "app/font_commands.h"

namespace platform {
class Printer;
}

namespace print {

/// The print margins in inches. They start at 0; PrintTextArray and the to-do print-out set
/// each one that is exactly 0 to 1.0, so in practice every margin is 1 inch.
extern float TopMargin;
extern float BottomMargin;
extern float LeftMargin;
extern float RightMargin;

/// Sets each margin that is exactly 0 to 1.0, testing top, left, bottom, right.
void DefaultMargins();

/// "- n -", n being the printer's current page number.
QString PageLabel(platform::Printer& printer);

struct PrintTextItem {
    /// Paragraphs separated by CR LF. A CR drops the character after it, whatever it is.
    QString Text;
    /// Where each paragraph's last line goes: ":>01" centres it (by the width of the text after
    /// the item's last line break), ":>02" starts it at the middle of the page, ":>03" centres
    /// it as ":>01" at 0.5 inch from the top; anything else not starting with ":>" puts it at
    /// the left margin.
    QString Placement;
    /// Added to the vertical position when testing whether a wrapped line still fits on the
    /// page; empty counts as 0.
    std::optional<double> FitAllowance;
    QString FontName;
    /// Points as decimal text, with a full stop or the locale's decimal separator.
    QString FontSize;
};

/// The routine's working strings: the line being assembled, the part of the paragraph not yet
/// taken, and the word taken last (with its trailing blank).
extern QString CurrentLine;
extern QString RemainingText;
extern QString NextWord;

/// Takes the next word of RemainingText into NextWord: up to and including the first blank,
/// or all that is left when there is no blank.
void TakeNextWord();

/// Prints `items` in order as one document, named `documentName`, on the installed printer, and
/// ends it.
void PrintTextArray(const std::vector<PrintTextItem>& items,
                    const QString& documentName = QStringLiteral("Tarnwick"));

/// Prints a reference list: its entries, one a line, in the print font `font`, as the document
/// `documentName` ("Tarnwick Clients list").
void PrintList(const QStringList& entries, const QString& documentName,
               const app::FontSetting& font);

} // namespace print
