// The to-do list print-out on the recording printer (12-point rows 0.1875 inch high, so 44 rows
// fill a page), and once through the real printer into a PDF.
#include <gtest/gtest.h>

#include <QPointF>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/globals.h"
#include "memory_todo_list.h"
#include "platform/services.h"
#include "print/todo_printout.h"
#include "print_test_util.h"
#include "support/fake_platform.h"

using dbtest::MemoryToDoList;
using dbtest::Row;
using printtest::placed;

namespace {

class ToDoPrintoutTest : public ::testing::Test {
protected:
    ToDoPrintoutTest() {
        printtest::resetMargins();
        app::PrintingFontName = QStringLiteral("Ariel");
        app::PrintingFontSize = QStringLiteral("12");
    }
    ~ToDoPrintoutTest() override { app::resetGlobals(); }

    // The first printed line whose text is `text`.
    platform::fakes::PrintedLine line(const QString& text) const {
        for (const platform::fakes::PrintedLine& line : fakes.printer.lines()) {
            if (line.text == text)
                return line;
        }
        ADD_FAILURE() << "not printed: " << text.toStdString();
        return {};
    }

    platform::fakes::FakePlatform fakes;
};

TEST_F(ToDoPrintoutTest, EveryPageStartsWithHeadingsAndEveryFullPageEndsWithItsLabel) {
    MemoryToDoList list;
    for (int i = 1; i <= 100; ++i)
        list.rows.append(
            Row{"3", "Doe, John", QStringLiteral("Item %1").arg(i), "12/5/2026", "1/9/2027"});
    print::PrintToDoList(list);

    const QStringList lines = placed(fakes.printer);
    for (const int page : {1, 2, 3}) {
        const QString p = QString::number(page);
        const qsizetype first = lines.indexOf(p + " 0.4,1 Priority");
        ASSERT_GE(first, 0) << page;
        EXPECT_EQ(lines.mid(first, 10),
                  QStringList({p + " 0.4,1 Priority", p + " 1,1 Client or Project",
                               p + " 2.7,1 Thing To Do", p + " 5.94,1 Start Date",
                               p + " 6.72,1 Deadline", p + " 0.6,1.4  3", p + " 1,1.4 Doe, John",
                               p + " 2.7,1.4 Item " + QString::number(1 + 44 * (page - 1)),
                               p + " 5.94,1.4 12/5/2026", p + " 6.72,1.4 1/9/2027"}));
    }
    EXPECT_EQ(lines.filter(" - ").size(), 2);
    EXPECT_TRUE(lines.contains("1 3.765625,9.5 - 1 -"));
    EXPECT_TRUE(lines.contains("2 3.765625,9.5 - 2 -"));
    EXPECT_EQ(line("Item 44").page, 1);
    EXPECT_EQ(line("Item 45").page, 2);

    QStringList items;
    for (const QString& text : fakes.printer.texts()) {
        if (text.startsWith("Item "))
            items.append(text);
    }
    ASSERT_EQ(items.size(), 100);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(items[i], QStringLiteral("Item %1").arg(i + 1));
    EXPECT_EQ(fakes.printer.documents(), QStringList{"Tarnwick To Do list"});
    EXPECT_TRUE(fakes.messageBoxes.calls().isEmpty());
}

TEST_F(ToDoPrintoutTest, TooWideTextsShrinkPointByPointAndAreCentredOnTheRow) {
    struct Case {
        QString text;  // party or thing to do
        double width;  // the column's width
        double points; // the size it is printed at
    };
    const QString party17 = QString(17, 'p');   // 1.59375 in at 12 pt, 1.4609 at 11
    const QString party16 = QString(16, 'q');   // exactly 1.5 in: keeps the print font
    const QString thing32 = QString(32, 't');   // 3.0 in
    const QString thing300 = QString(300, 'u'); // too wide down to the smallest size
    MemoryToDoList list({{"1", party17, thing32, "", ""}, {"2", party16, thing300, "", ""}});
    print::PrintToDoList(list);

    const float rowTops[] = {1.4f, 1.4f + 0.1875f};
    const Case cases[] = {{party17, 1.5, 11},
                          {thing32, 3.04, 12},
                          {party16, 1.5, 12},
                          {thing300, 3.04, print::kSmallestFontSize}};
    for (int i = 0; i < 4; ++i) {
        const platform::fakes::PrintedLine printed = line(cases[i].text);
        const double rowTop = rowTops[i / 2];
        EXPECT_EQ(printed.fontSize, cases[i].points) << i;
        EXPECT_NEAR(printed.y, rowTop + (0.1875 - cases[i].points / 64) / 2, 1e-6) << i;
    }
    // The next columns are back in the print font.
    for (const platform::fakes::PrintedLine& printed : fakes.printer.lines())
        EXPECT_EQ(printed.fontSize, printed.text.size() > 16 ? printed.fontSize : 12.0);
}

TEST_F(ToDoPrintoutTest, TextsThatAreNoNumberOrDateAreReportedAndPrintedAsZero) {
    MemoryToDoList list({{"x", "Filing", "a", "soon", ""},
                         {"-2", "Doe, John", "b", "12/5/2026 2:30:05 PM", "1/9/2027"}});
    print::PrintToDoList(list);
    EXPECT_EQ(fakes.messageBoxes.texts(),
              QStringList({"The priority \"x\" is not a number in Print function.",
                           "\"soon\" is not a date in Print function."}));
    EXPECT_EQ(placed(fakes.printer).mid(5),
              QStringList({"1 0.6,1.4  0", "1 1,1.4 Filing", "1 2.7,1.4 a", "1 5.94,1.4 12/30/1899",
                           "1 6.72,1.4 ", "1 0.6,1.5875 -2", "1 1,1.5875 Doe, John",
                           "1 2.7,1.5875 b", "1 5.94,1.5875 12/5/2026", "1 6.72,1.5875 1/9/2027"}));
}

TEST_F(ToDoPrintoutTest, AnEmptyListPrintsNothing) {
    print::PrintToDoList(MemoryToDoList());
    EXPECT_TRUE(fakes.printer.documents().isEmpty());
    EXPECT_TRUE(fakes.messageBoxes.calls().isEmpty());
}

// Through QPrinter into a PDF with quarter-inch margins, read back with pdftotext: each word's
// box starts where the layout puts it, in points from the paper's corner.
TEST_F(ToDoPrintoutTest, OnPaperTextLandsWhereTheLayoutPutsItWithinAPoint) {
    QTemporaryDir folder;
    const QString pdf = folder.filePath("list.pdf");
    platform::Services::setPrinter(
        std::make_shared<platform::QtPrinter>(platform::QtPrinter::Options{pdf}));
    print::PrintToDoList(MemoryToDoList({{"3", "Doe, John", "Call", "12/5/2026", "1/9/2027"}}));
    ASSERT_TRUE(fakes.messageBoxes.calls().isEmpty())
        << fakes.messageBoxes.texts().join('\n').toStdString();

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-bbox", pdf, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    QHash<QString, QPointF> at;
    for (const QRegularExpressionMatch& m : word.globalMatch(html))
        at.insert(m.captured(3), QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()));

    const auto points = [](double inches) { return (inches + 0.25) * 72; };
    const std::pair<const char*, QPointF> expected[] = {
        {"Priority", {points(0.4), points(1.0)}},  {"Client", {points(1.0), points(1.0)}},
        {"Deadline", {points(6.72), points(1.0)}}, {"Doe,", {points(1.0), points(1.4)}},
        {"Call", {points(2.7), points(1.4)}},      {"1/9/2027", {points(6.72), points(1.4)}},
    };
    for (const auto& [text, position] : expected) {
        ASSERT_TRUE(at.contains(text)) << text << "\n" << html.toStdString();
        EXPECT_NEAR(at[text].x(), position.x(), 1.0) << text;
        EXPECT_NEAR(at[text].y(), position.y(), 1.0) << text;
    }
}

TEST_F(ToDoPrintoutTest, AnOutputThatCannotBeOpenedIsReportedOnce) {
    platform::Services::setPrinter(std::make_shared<platform::QtPrinter>(
        platform::QtPrinter::Options{"/nonexistent/list.pdf"}));
    print::PrintToDoList(
        MemoryToDoList({{"3", "Filing", "a", "", ""}, {"4", "Filing", "b", "", ""}}));
    EXPECT_EQ(fakes.messageBoxes.texts(),
              QStringList{"Cannot write the file /nonexistent/list.pdf in Print function."});
}

} // namespace
