// The word-wrapping text printer on the recording printer: 8 × 10.5 inches printable, 1-inch
// margins, so at 12 points a line holds 64 characters, is 0.1875 inch high, and a page holds 45
// lines (y = 1 to 9.25) above the bottom-margin line at 9.5.
#include <gtest/gtest.h>

#include <QLocale>

#include "app/globals.h"
#include "print/print_text_array.h"
#include "print_test_util.h"
#include "support/fake_platform.h"

using printtest::placed;

namespace {

class PrintTextArrayTest : public ::testing::Test {
protected:
    PrintTextArrayTest() { printtest::resetMargins(); }

    void print(const QString& text, const QString& placement = {},
               const QString& fontSize = QStringLiteral("12")) {
        print::PrintTextArray({{text, placement, {}, QStringLiteral("Ariel"), fontSize}});
    }

    platform::fakes::FakePlatform fakes;
};

struct Case {
    const char* behaviour;
    QString text;
    QString placement;
    QStringList expected; // "page x,y text"
};

const QString k64 = QStringLiteral("abc ").repeated(16);
const QString kWide = QString(70, QLatin1Char('x'));

TEST_F(PrintTextArrayTest, SplitsParagraphsWrapsWordsAndPlacesLastLines) {
    const Case cases[] = {
        {"two paragraphs", "A\r\nB", "", {"1 1,1 A", "1 1,1.1875 B"}},
        {"a closing line break adds no line", "A\r\n", "", {"1 1,1 A"}},
        {"two line breaks leave an empty line",
         "A\r\n\r\nB",
         "",
         {"1 1,1 A", "1 1,1.1875 ", "1 1,1.375 B"}},
        {"an empty text prints nothing", "", "", {}},
        {"a CR drops the character after it", "A\rXB", "", {"1 1,1 A", "1 1,1.1875 B"}},
        {"a line exactly as wide as the space fits", k64, "", {"1 1,1 " + k64}},
        {"one more character wraps", k64 + "d", "", {"1 1,1 " + k64, "1 1,1.1875 d"}},
        {"blanks between words are kept", "A   B", "", {"1 1,1 A   B"}},
        {"an over-wide first word gets an empty line before it",
         "\r\n" + kWide,
         "",
         {"1 1,1 ", "1 1,1.1875 ", "1 1,1.375 " + kWide}},
        {":>02 starts the last line mid-page", "Title", ":>02", {"1 4,1 Title"}},
        {":>01 centres the last line", "Title", ":>01", {"1 3.765625,1 Title"}},
        {":>01 centres every last line by the text after the last break",
         "A\r\nTitle",
         ":>01",
         {"1 3.765625,1 A", "1 3.765625,1.1875 Title"}},
        {":>03 centres at half an inch", "Title", ":>03", {"1 3.765625,0.5 Title"}},
        {"wrapped lines keep the left margin", k64 + "d", ":>02", {"1 1,1 " + k64, "1 4,1.1875 d"}},
        {"an unknown code keeps the last position", "A", ":>99", {"1 0,1 A"}},
    };
    for (const Case& c : cases) {
        fakes.printer = {};
        print(c.text, c.placement);
        EXPECT_EQ(placed(fakes.printer), c.expected) << c.behaviour;
        EXPECT_EQ(fakes.printer.documents(), QStringList{"Tarnwick"}) << c.behaviour;
    }
    EXPECT_TRUE(fakes.messageBoxes.calls().isEmpty());
}

TEST_F(PrintTextArrayTest, LabelsEveryPageOfALongerDocumentOnTheBottomMarginLine) {
    print(QStringLiteral("line\r\n").repeated(45));
    EXPECT_EQ(fakes.printer.lines().size(), 45);
    EXPECT_EQ(fakes.printer.lines().last().page, 1);

    fakes.printer = {};
    print(QStringLiteral("line\r\n").repeated(46));
    const QStringList lines = placed(fakes.printer);
    ASSERT_EQ(lines.size(), 48);
    EXPECT_EQ(lines[44], "1 1,9.25 line");
    EXPECT_EQ(lines[45], "1 3.765625,9.5 - 1 -");
    EXPECT_EQ(lines[46], "2 1,1 line");
    EXPECT_EQ(lines[47], "2 3.765625,9.5 - 2 -");
    EXPECT_EQ(fakes.printer.documents().size(), 1);
}

TEST_F(PrintTextArrayTest, AWrappedLineBreaksThePageEarlierByItsFitAllowance) {
    // 44 lines, then a paragraph that wraps at y = 9.25, 0.25 above the bottom-margin line.
    const QString text = QStringLiteral("line\r\n").repeated(44) + k64 + "d";
    const std::pair<double, QString> cases[] = {{0.25, "1 1,9.25 " + k64},
                                                {0.2501, "1 3.765625,9.5 - 1 -"}};
    for (const auto& [allowance, line45] : cases) {
        fakes.printer = {};
        print::PrintTextArray({{text, {}, allowance, QStringLiteral("Ariel"), "12"}});
        EXPECT_EQ(placed(fakes.printer).value(44), line45) << allowance;
    }
}

TEST_F(PrintTextArrayTest, ReportsFailuresAndGoesOn) {
    print(QStringLiteral("A"), {}, QStringLiteral("big"));
    EXPECT_EQ(fakes.printer.lines().at(0).fontSize, 12); // the size in force stays
    fakes.printer.failLines(QStringLiteral("The printer is out of paper"));
    print(QStringLiteral("A\r\nB"));
    EXPECT_EQ(fakes.messageBoxes.texts(),
              QStringList({"\"big\" is not a font size in PrintTextArray function",
                           "The printer is out of paper in PrintTextArray function",
                           "The printer is out of paper in PrintTextArray function"}));
    EXPECT_EQ(fakes.printer.documents().size(), 2);
}

TEST_F(PrintTextArrayTest, ReadsFontSizesWithEitherDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    print(QStringLiteral("A"), {}, QStringLiteral("10,5"));
    print(QStringLiteral("A"), {}, QStringLiteral(" 10.5 "));
    QLocale::setDefault(QLocale::c());
    ASSERT_EQ(fakes.printer.lines().size(), 2);
    EXPECT_EQ(fakes.printer.lines()[0].fontSize, 10.5);
    EXPECT_EQ(fakes.printer.lines()[1].fontSize, 10.5);
}

TEST_F(PrintTextArrayTest, PrintsAListOneEntryALineInThePrintFont) {
    app::PrintingFontName = QStringLiteral("Liberation Serif");
    app::PrintingFontSize = QStringLiteral("10");
    print::PrintList({"Doe, John", "Smith, Ann"}, QStringLiteral("Tarnwick Clients list"));
    print::PrintList({}, QStringLiteral("Tarnwick Projects list"));
    EXPECT_EQ(fakes.printer.texts(), QStringList({"Doe, John", "Smith, Ann"}));
    EXPECT_EQ(fakes.printer.lines()[1].y, 1 + 10.0 / 64);
    EXPECT_EQ(fakes.printer.lines()[1].fontName, "Liberation Serif");
    EXPECT_EQ(fakes.printer.documents(),
              QStringList({"Tarnwick Clients list", "Tarnwick Projects list"}));
    app::resetGlobals();
}

} // namespace
