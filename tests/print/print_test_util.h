// The print tests' fixture: the fakes installed, the margins and the print font as at start-up,
// and printed lines as short texts.
#pragma once

#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>

#include "app/globals.h"
#include "print/print_text_array.h"
#include "support/fake_platform.h"

namespace printtest {

class PrintTest : public ::testing::Test {
protected:
    PrintTest() {
        QLocale::setDefault(QLocale::c());
        print::TopMargin = print::BottomMargin = print::LeftMargin = print::RightMargin = 0;
        app::PrintingFontName = QStringLiteral("Ariel");
        app::PrintingFontSize = QStringLiteral("12");
    }
    ~PrintTest() override { app::resetGlobals(); }

    /// Each printed line as "page x,y text", positions to 7 significant digits.
    QStringList placed() const {
        QStringList result;
        for (const platform::fakes::PrintedLine& line : fakes.printer.lines)
            result.append(QStringLiteral("%1 %2,%3 %4")
                              .arg(line.page)
                              .arg(line.x, 0, 'g', 7)
                              .arg(line.y, 0, 'g', 7)
                              .arg(line.text));
        return result;
    }

    platform::fakes::FakePlatform fakes;
};

} // namespace printtest
