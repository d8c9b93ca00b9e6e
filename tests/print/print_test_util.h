// Helpers for the print tests: printed lines as short texts, and the margins set back.
#pragma once

#include <QStringList>

#include "print/print_text_array.h"
#include "support/fake_printer.h"

namespace printtest {

/// Each printed line as "page x,y text", positions to 7 significant digits.
inline QStringList placed(const platform::fakes::RecordingPrinter& printer) {
    QStringList result;
    for (const platform::fakes::PrintedLine& line : printer.lines())
        result.append(QStringLiteral("%1 %2,%3 %4")
                          .arg(line.page)
                          .arg(line.x, 0, 'g', 7)
                          .arg(line.y, 0, 'g', 7)
                          .arg(line.text));
    return result;
}

/// The margins as before the first print-out: all 0.
inline void resetMargins() {
    print::TopMargin = print::BottomMargin = print::LeftMargin = print::RightMargin = 0;
}

} // namespace printtest
