// The word-wrapping text printer and the to-do list print-out on the recording printer, and the
// real printer's report of an output it cannot open. With 1-inch margins a 12-point line holds 64
// characters and is 0.1875 inch high; a page holds 45 lines of text (y = 1 to 9.25) above the
// bottom-margin line at 9.5, or 44 rows of the to-do list under its headings.
#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>

#include "db_test_util.h"
#include "platform/services.h"
#include "print/print_text_array.h"
#include "print/todo_printout.h"
#include "support/fake_platform.h"

using dbtest::item;
using Items = std::vector<db::ToDoItem>;

namespace {

// The fakes installed, the margins and the print font as at start-up.
class PrintTest : public ::testing::Test {
protected:
    PrintTest() {
        QLocale::setDefault(QLocale::c());
        print::TopMargin = print::BottomMargin = print::LeftMargin = print::RightMargin = 0;
    }

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

    void print(const QString& text, const QString& placement = {}, const QString& size = "12",
               std::optional<double> fitAllowance = {}) {
        fakes.printer = {};
        print::PrintTextArray({{text, placement, fitAllowance, "Ariel", size}});
    }

    /// The print font as at start-up.
    app::FontSetting font{"Ariel", "12"};
    platform::fakes::FakePlatform fakes;
};

using PrintTextArrayTest = PrintTest;
using ToDoPrintoutTest = PrintTest;

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

// A page's last line is at y = 9.25, above the label on the bottom-margin line at 9.5; a line
// that wraps there breaks the page earlier by its fit allowance.
TEST_F(PrintTextArrayTest, LabelsEveryPageOfALongerDocumentOnTheBottomMarginLine) {
    print(kLines44 + "end");
    EXPECT_EQ(placed().size(), 45); // one page: no label
    EXPECT_EQ(placed().last(), "1 1,9.25 end");
    print(kLines44 + "line\r\nend");
    EXPECT_EQ(placed().mid(45),
              QStringList({"1 3.765625,9.5 - 1 -", "2 1,1 end", "2 3.765625,9.5 - 2 -"}));
    print(kLines44 + k64 + "d", {}, "12", 0.25);
    EXPECT_EQ(placed().value(44), "1 1,9.25 " + k64);
    print(kLines44 + k64 + "d", {}, "12", 0.2501);
    EXPECT_EQ(placed().value(44), "1 3.765625,9.5 - 1 -");
}

TEST_F(PrintTextArrayTest, ReadsSizesAndReportsFailuresAndGoesOn) {
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

TEST_F(ToDoPrintoutTest, EveryPageStartsWithHeadingsAndEveryFullPageEndsWithItsLabel) {
    Items items;
    QStringList expected; // the Thing To Do column as "page:text"
    for (int i = 1; i <= 100; ++i) {
        items.push_back(item("3", "Doe, John", QStringLiteral("Item %1").arg(i),
                             dbtest::storedDate(2026, 12, 5)));
        const QString page = QString::number(1 + (i - 1) / 44) + ":";
        if ((i - 1) % 44 == 0)
            expected.append(page + "Thing To Do");
        expected.append(page + "Item " + QString::number(i));
    }
    print::PrintToDoList(items, font);

    const QStringList lines = placed();
    QStringList column;
    for (const QString& line : lines.filter(" 2.7,"))
        column.append(line.section(' ', 0, 0) + ":" + line.section(' ', 2));
    EXPECT_EQ(column, expected);
    EXPECT_EQ(lines.mid(lines.indexOf("2 0.4,1 Priority"), 5),
              QStringList({"2 0.4,1 Priority", "2 1,1 Client or Project", "2 2.7,1 Thing To Do",
                           "2 5.94,1 Start Date", "2 6.72,1 Deadline"}));
    EXPECT_EQ(lines.filter(" - ").join('|'), "1 3.765625,9.5 - 1 -|2 3.765625,9.5 - 2 -");
    EXPECT_EQ(fakes.printer.documents, QStringList{"Tarnwick To Do list"});
    EXPECT_TRUE(fakes.messageBoxes.calls().isEmpty());
}

TEST_F(ToDoPrintoutTest, TooWideTextsShrinkPointByPointAndAreCentredOnTheRow) {
    const QString party17(17, 'p');   // 1.59375 in at 12 points, 1.4609 at 11
    const QString party16(16, 'q');   // exactly 1.5 in: keeps the print font
    const QString thing32(32, 't');   // 3.0 in
    const QString thing300(300, 'u'); // too wide down to the smallest size
    const double deadline = dbtest::storedDate(2027, 1, 9);
    print::PrintToDoList({item("1", party17, thing32, std::nullopt, deadline),
                          item("2", party16, thing300, std::nullopt, deadline)},
                         font);
    const struct {
        QString text;
        float rowTop;
        double points;
    } cases[] = {{party17, 1.4f, 11},
                 {thing32, 1.4f, 12},
                 {party16, 1.4f + 0.1875f, 12},
                 {thing300, 1.4f + 0.1875f, print::kSmallestFontSize},
                 {"1/9/2027", 1.4f, 12}};
    for (const auto& c : cases) {
        const auto line = std::find_if(fakes.printer.lines.begin(), fakes.printer.lines.end(),
                                       [&](const auto& line) { return line.text == c.text; });
        ASSERT_NE(line, fakes.printer.lines.end());
        EXPECT_EQ(line->fontSize, c.points) << c.text.left(20).toStdString();
        EXPECT_NEAR(line->y, c.rowTop + (0.1875 - c.points / 64) / 2, 1e-6);
    }
}

TEST_F(ToDoPrintoutTest, PrioritiesThatAreNoNumberAreReportedAndPrintedAsZero) {
    print::PrintToDoList({item("x", "Filing", "a", dbtest::storedDate(2026, 12, 5, 14, 30, 5)),
                          item("-2", "Doe, John", "b"), item("3.5", "Doe, John", "c")},
                         font);
    EXPECT_EQ(fakes.messageBoxes.texts(),
              QStringList({"The priority \"x\" is not a number in Print function."}));
    EXPECT_EQ(
        placed().mid(5),
        QStringList({"1 0.6,1.4  0", "1 1,1.4 Filing", "1 2.7,1.4 a", "1 5.94,1.4 12/5/2026",
                     "1 6.72,1.4 ", "1 0.6,1.5875 -2", "1 1,1.5875 Doe, John", "1 2.7,1.5875 b",
                     "1 5.94,1.5875 ", "1 6.72,1.5875 ", "1 0.6,1.775  4", "1 1,1.775 Doe, John",
                     "1 2.7,1.775 c", "1 5.94,1.775 ", "1 6.72,1.775 "}));
    print::PrintToDoList({}, font); // an empty list: nothing at all
    EXPECT_EQ(fakes.printer.documents.size(), 1);
    EXPECT_EQ(fakes.messageBoxes.calls().size(), 1);
}

// The real printer writing into a file that cannot be opened: reported once, not once a line.
// (Where the text lands on paper: the private print queue's test.)
TEST_F(ToDoPrintoutTest, AnOutputThatCannotBeOpenedIsReportedOnce) {
    platform::Services::setPrinter(std::make_shared<platform::QtPrinter>(
        platform::QtPrinter::Options{"/nonexistent/list.pdf"}));
    print::PrintToDoList({item("3", "Filing", "a"), item("4", "Filing", "b")}, font);
    EXPECT_EQ(fakes.messageBoxes.texts(),
              QStringList{"Cannot write the file /nonexistent/list.pdf in Print function."});
}

} // namespace
