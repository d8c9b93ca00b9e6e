// The word-wrapping text printer on the recording printer: with 1-inch margins a 12-point line
// holds 64 characters and is 0.1875 inch high; a page holds 45 lines (y = 1 to 9.25) above the
// bottom-margin line at 9.5.
#include "print_test_util.h"

namespace {

class PrintTextArrayTest : public printtest::PrintTest {
protected:
    void print(const QString& text, const QString& placement = {}, const QString& size = "12",
               std::optional<double> fitAllowance = {}) {
        fakes.printer = {};
        print::PrintTextArray({{text, placement, fitAllowance, "Ariel", size}});
    }
};

const QString k64 = QStringLiteral("abc ").repeated(16);
const QString kLines44 = QStringLiteral("line\r\n").repeated(44);

TEST_F(PrintTextArrayTest, SplitsParagraphsWrapsWordsAndPlacesLastLines) {
    const QString wide(70, 'x');
    const struct {
        const char* behaviour;
        QString text, placement;
        QStringList expected;
    } cases[] = {
        {"two paragraphs", "A\r\nB", "", {"1 1,1 A", "1 1,1.1875 B"}},
        {"a closing line break adds no line", "A\r\n", "", {"1 1,1 A"}},
        {"an empty text prints nothing", "", "", {}},
        {"a CR drops the character after it", "A\rXB", "", {"1 1,1 A", "1 1,1.1875 B"}},
        {"a line exactly as wide as the space fits", k64, "", {"1 1,1 " + k64}},
        {"one more character wraps", k64 + "d", "", {"1 1,1 " + k64, "1 1,1.1875 d"}},
        {"blanks between words are kept", "A   B", "", {"1 1,1 A   B"}},
        {"an over-wide first word follows an empty line",
         "\r\n" + wide,
         "",
         {"1 1,1 ", "1 1,1.1875 ", "1 1,1.375 " + wide}},
        {":>02 starts the last line mid-page", "Title", ":>02", {"1 4,1 Title"}},
        {":>01 centres the last line", "Title", ":>01", {"1 3.765625,1 Title"}},
        {":>01 centres by the text after the last break",
         "A\r\nTitle",
         ":>01",
         {"1 3.765625,1 A", "1 3.765625,1.1875 Title"}},
        {":>03 centres at half an inch", "Title", ":>03", {"1 3.765625,0.5 Title"}},
        {"wrapped lines keep the left margin", k64 + "d", ":>02", {"1 1,1 " + k64, "1 4,1.1875 d"}},
        {"an unknown code keeps the last x", "A", ":>99", {"1 0,1 A"}},
    };
    for (const auto& c : cases) {
        print(c.text, c.placement);
        EXPECT_EQ(placed(), c.expected) << c.behaviour;
        EXPECT_EQ(fakes.printer.documents, QStringList{"Tarnwick"}) << c.behaviour;
    }
    EXPECT_TRUE(fakes.messageBoxes.calls().isEmpty());
}

TEST_F(PrintTextArrayTest, LabelsEveryPageOfALongerDocumentOnTheBottomMarginLine) {
    print(kLines44 + "end");
    EXPECT_EQ(placed().size(), 45); // one page: no label
    EXPECT_EQ(placed().last(), "1 1,9.25 end");
    print(kLines44 + "line\r\nend");
    EXPECT_EQ(placed().mid(45),
              QStringList({"1 3.765625,9.5 - 1 -", "2 1,1 end", "2 3.765625,9.5 - 2 -"}));
}

TEST_F(PrintTextArrayTest, AWrappedLineBreaksThePageEarlierByItsFitAllowance) {
    // The 45th line wraps at y = 9.25, 0.25 above the bottom-margin line.
    print(kLines44 + k64 + "d", {}, "12", 0.25);
    EXPECT_EQ(placed().value(44), "1 1,9.25 " + k64);
    print(kLines44 + k64 + "d", {}, "12", 0.2501);
    EXPECT_EQ(placed().value(44), "1 3.765625,9.5 - 1 -");
}

TEST_F(PrintTextArrayTest, ReadsSizesWithEitherSeparatorAndReportsFailuresAndGoesOn) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    print("A", {}, "10,5");
    EXPECT_EQ(fakes.printer.lines.value(0).fontSize, 10.5);
    print("A", {}, " 10.5 ");
    EXPECT_EQ(fakes.printer.lines.value(0).fontSize, 10.5);
    print("A", {}, "big");
    EXPECT_EQ(fakes.printer.lines.value(0).fontSize, 12); // the size in force stays
    fakes.printer.failLines("The printer is out of paper");
    print::PrintTextArray({{"A\r\nB", {}, {}, "Ariel", "12"}});
    EXPECT_EQ(fakes.messageBoxes.texts(),
              QStringList({"\"big\" is not a font size in PrintTextArray function",
                           "The printer is out of paper in PrintTextArray function",
                           "The printer is out of paper in PrintTextArray function"}));
    EXPECT_EQ(fakes.printer.documents.size(), 2); // and the document still ends
}

TEST_F(PrintTextArrayTest, PrintsAListOneEntryALineInThePrintFont) {
    app::PrintingFontSize = "10";
    print::PrintList({"Doe, John", "Smith, Ann"}, "Tarnwick Clients list");
    print::PrintList({}, "Tarnwick Projects list");
    EXPECT_EQ(placed(), QStringList({"1 1,1 Doe, John", "1 1,1.15625 Smith, Ann"}));
    EXPECT_EQ(fakes.printer.lines.value(1).fontName, "Ariel");
    EXPECT_EQ(fakes.printer.documents,
              QStringList({"Tarnwick Clients list", "Tarnwick Projects list"}));
}

} // namespace
