// The browser window and the About box's System Info on Qt's offscreen platform: pages are local
// files whose addresses replace the built-in ones through the environment; System Info reads a
// registry file and starts programs for real.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <optional>

#include "db_test_util.h"
#include "platform/files.h"
#include "platform/program_launcher.h"
#include "platform/services.h"
#include "platform/system_registry.h"
#include "support/window_fixture.h"
#include "ui/common/single_window.h"
#include "ui/help/about_box.h"
#include "ui/help/browser.h"
#include "ui/main/window_openers.h"

namespace {

const QString kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString kUnavailable = "System Information Is Unavailable At This Time";

using support::child;

QComboBox* addressBox(ui::BrowserWindow* window) {
    return child<QComboBox>(window, "addressBox");
}
QStringList addresses(ui::BrowserWindow* window) {
    QStringList texts;
    for (int i = 0; i < addressBox(window)->count(); ++i)
        texts.append(addressBox(window)->itemText(i));
    return texts;
}

// Waits for the pane's current load to end and for the busy title to give way.
bool waitForPage(ui::BrowserWindow* window) {
    QSignalSpy finished(child<QWebEngineView>(window, "pagePane"), &QWebEngineView::loadFinished);
    if (!finished.wait(10000))
        return false;
    return QTest::qWaitFor([window] { return !child<QTimer>(window, "busyTimer")->isActive(); },
                           5000);
}

} // namespace

class HelpWindowsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_pages;
    std::optional<support::WindowFixture> m_fx;

    QString page(const char* name) const {
        return QUrl::fromLocalFile(m_pages.filePath(QLatin1String(name) + ".html")).toString();
    }

    ui::BrowserWindow* openBrowser(const std::function<void()>& opener) {
        opener();
        ui::BrowserWindow* window = ui::findWindow<ui::BrowserWindow>();
        if (window == nullptr || !waitForPage(window))
            qWarning("the browser window did not load its page");
        return window;
    }

private slots:
    void initTestCase() {
        for (const char* name : {"sibling", "maker", "other"})
            dbtest::writeBytes(m_pages.filePath(QLatin1String(name) + ".html"),
                               QByteArray("<html><head><title>The ") + name +
                                   " page</title></head></html>");
        qputenv("TARNWICK_SIBLING_URL", page("sibling").toUtf8());
        qputenv("TARNWICK_MAKER_URL", page("maker").toUtf8());
    }

    void init() { m_fx.emplace(support::WindowFixture::Files::InMemory); }

    void cleanup() { m_fx.reset(); }

    void browserStartsAtTheSiblingPageUntilTheMakersSiteIsVisited() {
        ui::BrowserWindow* window = openBrowser(ui::windowOpeners().learnAboutVellumtide);
        QCOMPARE(window->windowTitle(), QStringLiteral("The sibling page"));
        QCOMPARE(addresses(window), QStringList{page("sibling")}); // no duplicate

        // An open window is only brought forward and keeps its page.
        ui::windowOpeners().visitMakerSite();
        QCOMPARE(ui::findWindow<ui::BrowserWindow>(), window);
        QCOMPARE(child<QWebEngineView>(window, "pagePane")->url().toString(), page("sibling"));

        // A new window starts at the starting address, now the maker's site.
        window->close();
        QTRY_VERIFY(ui::findWindow<ui::BrowserWindow>() == nullptr);
        window = openBrowser(ui::windowOpeners().learnAboutVellumtide);
        QCOMPARE(window->windowTitle(), QStringLiteral("The maker page"));
        QCOMPARE(addresses(window), QStringList{page("maker")});
    }

    void addressesVisitedGoToTheTopOnceEach() {
        ui::BrowserWindow* window = openBrowser(ui::windowOpeners().learnAboutVellumtide);
        QSignalSpy loads(child<QWebEngineView>(window, "pagePane"), &QWebEngineView::loadStarted);
        QSignalSpy titles(window, &QWidget::windowTitleChanged);

        // Back with no history: nothing happens and nothing is said.
        support::clickToolbar(window, "back");
        QTRY_VERIFY(!child<QTimer>(window, "busyTimer")->isActive());
        QVERIFY(titles.isEmpty() && m_fx->fakes.messageBoxes.calls().isEmpty());

        // Enter in the address box goes to the text typed.
        addressBox(window)->setEditText(page("other"));
        QTest::keyClick(addressBox(window), Qt::Key_Return);
        QVERIFY(waitForPage(window));
        QCOMPARE(addresses(window), (QStringList{page("other"), page("sibling")}));
        QVERIFY(titles.contains({QStringLiteral("Working...")}));
        QCOMPARE(window->windowTitle(), QStringLiteral("The other page"));

        // Choosing a listed entry goes there and moves it to the top.
        addressBox(window)->setCurrentIndex(1);
        emit addressBox(window)->activated(1);
        QVERIFY(waitForPage(window));
        QCOMPARE(addresses(window), (QStringList{page("sibling"), page("other")}));
        QCOMPARE(addressBox(window)->currentText(), page("sibling"));

        // Rewriting the list after each navigation started no navigation of its own.
        QTest::qWait(100);
        QCOMPARE(loads.count(), 2);
        QVERIFY(!window->isBusy());
    }

    // The program the registry's first value names, else MSINFO32.EXE (in capitals) in the folder
    // its second value names; else the message.
    void systemInfoStartsTheProgramTheRegistryNames() {
        QTemporaryDir folder;
        QDir(folder.path()).mkpath("lower");
        QDir(folder.path()).mkpath("upper");
        for (const char* name : {"sysinfo.sh", "lower/msinfo32.exe", "upper/MSINFO32.EXE"}) {
            dbtest::writeBytes(folder.filePath(name), "#!/bin/sh\ntouch \"$0.started\"\n");
            QFile::setPermissions(folder.filePath(name),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        const QString path = "[" + kSysInfoKey + "]\nPATH=" + folder.path();
        const QString location = "[" + kLocationKey + "]\nMSINFO=" + folder.path();
        const struct {
            QString registry, started; // started empty: the message
        } cases[] = {
            {"", ""},
            {path + "/missing", ""},
            {path + "/sysinfo.sh", "sysinfo.sh"},
            {location + "/lower", ""},
            {location + "/upper", "upper/MSINFO32.EXE"},
        };
        platform::Services::setProgramLauncher(std::make_shared<platform::QtProgramLauncher>());
        platform::Services::setFiles(std::make_shared<platform::LocalFiles>());
        QStringList said;
        for (const auto& c : cases) {
            dbtest::writeBytes(folder.filePath("registry.ini"), QFile::encodeName(c.registry));
            platform::Services::setSystemRegistry(
                std::make_shared<platform::IniSystemRegistry>(folder.filePath("registry.ini")));
            QTest::mouseClick(child<QPushButton>(ui::AboutBox::showWindow(), "systemInfoButton"),
                              Qt::LeftButton);
            if (c.started.isEmpty())
                said.append(kUnavailable);
            else
                QTRY_VERIFY(QFileInfo::exists(folder.filePath(c.started + ".started")));
            QCOMPARE(m_fx->fakes.messageBoxes.texts(), said);
        }
        QVERIFY(!QFileInfo::exists(folder.filePath("lower/msinfo32.exe.started")));
    }
};

QTEST_MAIN(HelpWindowsTest)
#include "help_windows_test.moc"
