// The recently-used list and window positions, on the fake store.
#include <gtest/gtest.h>

#include <QLocale>
#include <QWidget>
#include <array>

#include "app/settings_routines.h"
#include "support/fake_platform.h"

using platform::fakes::FakePlatform;

namespace {

const QString kRecent = "MostRecentToDoDatabases";
const std::array<QString, 6> kSlots = {"First", "Second", "Third", "Fourth", "Fifth", "Sixth"};
using Slots = std::array<QString, 6>;

struct RecentCase {
    const char* name;
    Slots before;
    QString opened;
    Slots after;
};

TEST(UpdateRecentDatabases, InsertsAtTheFrontShiftingOnlyToTheFirstEmptySlot) {
    const RecentCase cases[] = {
        {"empty list", {}, "A", {"A"}},
        {"already listed stays where it is", {"A", "B", "C"}, "C", {"A", "B", "C"}},
        {"full list drops the sixth",
         {"A", "B", "C", "D", "E", "F"},
         "G",
         {"G", "A", "B", "C", "D", "E"}},
        {"the sixth counts as new",
         {"A", "B", "C", "D", "E", "F"},
         "F",
         {"F", "A", "B", "C", "D", "E"}},
        {"letter case matters", {"/x/todo.mdb"}, "/x/TODO.MDB", {"/x/TODO.MDB", "/x/todo.mdb"}},
        {"fifth slot empty", {"A", "B", "C", "D", "", "F"}, "N", {"N", "A", "B", "C", "D", "F"}},
    };
    for (const RecentCase& c : cases) {
        FakePlatform fakes;
        for (std::size_t i = 0; i < kSlots.size(); ++i) {
            if (!c.before[i].isEmpty())
                fakes.settings.preset(kRecent, kSlots[i], c.before[i]);
        }
        QString opened = c.opened;
        app::UpdateRecentDatabases(opened);

        for (std::size_t i = 0; i < kSlots.size(); ++i)
            EXPECT_EQ(fakes.settings.value(kRecent, kSlots[i]).value_or(""), c.after[i])
                << c.name << ": " << kSlots[i].toStdString();
        // Written from "First" downwards, and nothing when the path was listed.
        QStringList written;
        for (const auto& write : fakes.settings.writes())
            written.append(write.key);
        const qsizetype count = written.size();
        EXPECT_EQ(written, QStringList(kSlots.begin(), kSlots.begin() + count)) << c.name;
        EXPECT_EQ(count == 0, c.before == c.after) << c.name;
    }
}

class Position : public ::testing::Test {
protected:
    Position() { m_window.setObjectName("frmToDo"); }
    FakePlatform m_fakes;
    QWidget m_window;
};

// Saved and read in the same forms whatever the user's locale.
TEST_F(Position, IsSavedAsFourTwipsNumbersJoinedByCommaAndBlank) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    struct Case {
        QRect pixels;
        double twipsPerPixel;
        const char* stored;
    };
    const Case cases[] = {
        {{80, 60, 640, 480}, 15, "1200, 900, 9600, 7200"},
        {{-10, 0, 1, 2}, 15, "-150, 0, 15, 30"},
        {{33, 10, 100, 50}, 14.4, "475.2, 144, 1440, 720"},
    };
    for (const Case& c : cases) {
        m_fakes.screen.setTwipsPerPixel(c.twipsPerPixel, c.twipsPerPixel);
        m_window.setGeometry(c.pixels);
        app::SaveFormPosition(m_window);
        EXPECT_EQ(m_fakes.settings.value("FormPosition", "frmToDo"), QString(c.stored));
    }
    QLocale::setDefault(QLocale::c());
}

TEST(PositionRestore, IsOnScreenOrAtHalfTheScreenCentred) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // The fake screen: 1920 x 1080 pixels = 28800 x 16200 twips.
    const QRect halfScreen(480, 270, 960, 540);
    struct Case {
        const char* stored; // nullptr: none
        QRect expected;
    };
    const Case cases[] = {
        {nullptr, halfScreen},
        {"1200, 900, 9600, 7200", {80, 60, 640, 480}},
        {"1200,900 ,9600,  7200", {80, 60, 640, 480}},
        {"30000, 900, 9600, 7200", {960, 60, 640, 480}},          // left beyond the screen
        {"1200, -15, 9600, 7200", {80, 540, 640, 480}},           // top above the screen
        {"28800, 16200, 30000, 30000", {1920, 1080, 2000, 2000}}, // on the edge; size as stored
        {"1200.4, 899.6, 9600, 7200", {80, 60, 640, 480}},
        {"1200, 900, 9600", halfScreen}, // damaged values count as none
        {"left, top, width, height", halfScreen},
        {"1200, 900, 9600, 1e12", halfScreen},
    };
    for (const Case& c : cases) {
        FakePlatform fakes;
        if (c.stored)
            fakes.settings.preset("FormPosition", "frmToDo", c.stored);
        QWidget window;
        window.setObjectName("frmToDo");
        window.setGeometry(5, 5, 100, 100);
        app::RestoreFormPosition(window);
        EXPECT_EQ(window.frameGeometry(), c.expected) << (c.stored ? c.stored : "(none)");
    }
    QLocale::setDefault(QLocale::c());
}

TEST_F(Position, MinimisedAndMaximisedWindowsAreLeftAlone) {
    m_fakes.settings.preset("FormPosition", "frmToDo", "1200, 900, 9600, 7200");
    for (const Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized}) {
        m_window.setWindowState(Qt::WindowNoState);
        m_window.setGeometry(5, 5, 100, 100);
        m_window.setWindowState(state);
        app::RestoreFormPosition(m_window);
        EXPECT_EQ(m_window.geometry(), QRect(5, 5, 100, 100));
        EXPECT_EQ(m_window.windowState(), state);
    }
}

} // namespace
