// The recently-used list and window positions, on the fake store.
#include <gtest/gtest.h>

#include <QLocale>
#include <QWidget>

#include "app/settings_routines.h"
#include "support/fake_platform.h"

using platform::fakes::FakePlatform;

namespace {

// The six recently-used slots, "First" to "Sixth", as one text joined by commas.
TEST(UpdateRecentDatabases, InsertsAtTheFrontShiftingOnlyToTheFirstEmptySlot) {
    const QStringList slotNames = {"First", "Second", "Third", "Fourth", "Fifth", "Sixth"};
    const struct {
        const char* name;
        QString before, opened, after;
    } cases[] = {
        {"empty list", ",,,,,", "A", "A,,,,,"},
        {"already listed stays where it is", "A,B,C,,,", "C", "A,B,C,,,"},
        {"full list drops the sixth", "A,B,C,D,E,F", "G", "G,A,B,C,D,E"},
        {"the sixth counts as new", "A,B,C,D,E,F", "F", "F,A,B,C,D,E"},
        {"letter case matters", "/x/a.mdb,,,,,", "/x/A.MDB", "/x/A.MDB,/x/a.mdb,,,,"},
        {"fifth slot empty", "A,B,C,D,,F", "N", "N,A,B,C,D,F"},
    };
    for (const auto& c : cases) {
        FakePlatform fakes;
        for (int i = 0; i < 6; ++i) {
            if (!c.before.section(',', i, i).isEmpty())
                fakes.settings.preset("MostRecentToDoDatabases", slotNames[i],
                                      c.before.section(',', i, i));
        }
        QString opened = c.opened;
        app::UpdateRecentDatabases(opened);
        QStringList after;
        for (const QString& slot : slotNames)
            after.append(fakes.settings.value("MostRecentToDoDatabases", slot).value_or(""));
        EXPECT_EQ(after.join(','), c.after) << c.name;
    }
}

// Window positions are stored in twips, in the same forms whatever the user's locale.
class Position : public ::testing::Test {
protected:
    Position() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~Position() override { QLocale::setDefault(QLocale::c()); }
    FakePlatform m_fakes;
    QWidget m_window;
};

TEST_F(Position, IsSavedAsFourTwipsNumbersJoinedByCommaAndBlank) {
    const struct {
        QRect pixels;
        double twipsPerPixel;
        const char* stored;
    } cases[] = {
        {{80, 60, 640, 480}, 15, "1200, 900, 9600, 7200"},
        {{-10, 0, 1, 2}, 15, "-150, 0, 15, 30"},
        {{33, 10, 100, 50}, 14.4, "475.2, 144, 1440, 720"},
    };
    for (const auto& c : cases) {
        m_fakes.screen.setTwipsPerPixel(c.twipsPerPixel, c.twipsPerPixel);
        m_window.setGeometry(c.pixels);
        app::SaveFormPosition(m_window, "frmToDo");
        EXPECT_EQ(m_fakes.settings.value("FormPosition", "frmToDo"), QString(c.stored));
    }
}

TEST_F(Position, IsRestoredOnScreenOrAtHalfTheScreenCentred) {
    // The fake screen: 1920 x 1080 pixels = 28800 x 16200 twips.
    const QRect halfScreen(480, 270, 960, 540);
    const struct {
        const char* stored; // nullptr: none
        QRect expected;
    } cases[] = {
        {nullptr, halfScreen},
        {"1200,900 ,9600,  7200", {80, 60, 640, 480}},
        {"30000, 900, 9600, 7200", {960, 60, 640, 480}},          // left beyond the screen
        {"1200, -15, 9600, 7200", {80, 540, 640, 480}},           // top above the screen
        {"28800, 16200, 30000, 30000", {1920, 1080, 2000, 2000}}, // on the edge; size as stored
        {"1200.4, 899.6, 9600, 7200", {80, 60, 640, 480}},
        {"1200, 900, 9600", halfScreen}, // damaged values count as none
        {"left, top, width, height", halfScreen},
        {"1200, 900, 9600, 1e12", halfScreen},
    };
    for (const auto& c : cases) {
        if (c.stored)
            m_fakes.settings.preset("FormPosition", "frmToDo", c.stored);
        m_window.setGeometry(5, 5, 100, 100);
        app::RestoreFormPosition(m_window, "frmToDo");
        EXPECT_EQ(m_window.frameGeometry(), c.expected) << (c.stored ? c.stored : "(none)");
    }
    // A minimised or maximised window is left alone.
    m_fakes.settings.preset("FormPosition", "frmToDo", "1200, 900, 9600, 7200");
    for (const Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        m_window.setWindowState(Qt::WindowNoState);
        m_window.setGeometry(5, 5, 100, 100);
        m_window.setWindowState(state);
        app::RestoreFormPosition(m_window, "frmToDo");
        EXPECT_EQ(m_window.geometry(), QRect(5, 5, 100, 100));
        EXPECT_EQ(m_window.windowState(), state);
    }
}

} // namespace
