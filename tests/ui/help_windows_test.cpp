// The browser window and the About box on Qt's offscreen platform: pages are local files whose
// addresses replace the built-in ones through the environment; the registry and the program
// launcher are fakes except in the last test.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWebEngineView>

#include <optional>

#include "app/globals.h"
#include "db_test_util.h"
#include "platform/program_launcher.h"
#include "platform/services.h"
#include "support/window_fixture.h"
#include "ui/common/single_window.h"
#include "ui/help/frm_about.h"
#include "ui/help/frm_browser.h"
#include "ui/help/system_info.h"
#include "ui/main/window_openers.h"

using platform::RegistryType;
using platform::RegistryValue;

namespace {

const QString kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString kUnavailable = "System Information Is Unavailable At This Time";

QStringList entries(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

// Waits for the pane's current load to end and for the busy title to give way.
bool waitForPage(frmBrowser* window) {
    QSignalSpy finished(window->brwWebBrowser, &QWebEngineView::loadFinished);
    if (!finished.wait(10000))
        return false;
    return QTest::qWaitFor([window] { return !window->timTimer->isActive(); }, 5000);
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

    frmBrowser* openBrowser(const std::function<void()>& opener) {
        opener();
        frmBrowser* window = ui::findWindow<frmBrowser>();
        if (window == nullptr || !waitForPage(window))
            qWarning("the browser window did not load its page");
        return window;
    }

private slots:
    void initTestCase() {
        for (const char* name : {"sibling", "maker", "other", "home", "search"})
            dbtest::writeBytes(m_pages.filePath(QLatin1String(name) + ".html"),
                               QByteArray("<html><head><title>The ") + name +
                                   " page</title></head></html>");
        qputenv("TARNWICK_SIBLING_URL", page("sibling").toUtf8());
        qputenv("TARNWICK_MAKER_URL", page("maker").toUtf8());
        qputenv("TARNWICK_HOME_URL", page("home").toUtf8());
        qputenv("TARNWICK_SEARCH_URL", page("search").toUtf8());
    }

    void init() { m_fx.emplace(support::WindowFixture::Files::InMemory); }

    void cleanup() { m_fx.reset(); }

    void browserStartsAtTheSiblingPageUntilTheMakersSiteIsVisited() {
        frmBrowser* window = openBrowser(ui::windowOpeners().learnAboutVellumtide);
        QVERIFY(ui::WindowRegistry::instance().contains(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("The sibling page"));
        QCOMPARE(entries(window->cboAddress), QStringList{page("sibling")}); // no duplicate
        QCOMPARE(app::StartingAddress, page("sibling"));

        // An open window is only brought forward and keeps its page.
        ui::windowOpeners().visitMakerSite();
        QCOMPARE(ui::findWindow<frmBrowser>(), window);
        QCOMPARE(app::StartingAddress, page("maker"));
        QCOMPARE(window->brwWebBrowser->url().toString(), page("sibling"));

        // A new window starts at the starting address, now the maker's site.
        window->close();
        QTRY_VERIFY(ui::findWindow<frmBrowser>() == nullptr);
        window = openBrowser(ui::windowOpeners().learnAboutVellumtide);
        QCOMPARE(window->windowTitle(), QStringLiteral("The maker page"));
        QCOMPARE(entries(window->cboAddress), QStringList{page("maker")});
    }

    void addressesVisitedGoToTheTopOnceEach() {
        frmBrowser* window = openBrowser(ui::windowOpeners().learnAboutVellumtide);
        QSignalSpy loads(window->brwWebBrowser, &QWebEngineView::loadStarted);
        QSignalSpy titles(window, &QWidget::windowTitleChanged);

        // Enter in the address box goes to the text typed.
        window->cboAddress->setEditText(page("other"));
        QTest::keyClick(window->cboAddress, Qt::Key_Return);
        QVERIFY(waitForPage(window));
        QCOMPARE(entries(window->cboAddress), (QStringList{page("other"), page("sibling")}));
        QVERIFY(titles.contains({QStringLiteral("Working...")}));
        QCOMPARE(window->windowTitle(), QStringLiteral("The other page"));

        // Choosing a listed entry goes there and moves it to the top.
        window->cboAddress->setCurrentIndex(1);
        emit window->cboAddress->activated(1);
        QVERIFY(waitForPage(window));
        QCOMPARE(entries(window->cboAddress), (QStringList{page("sibling"), page("other")}));
        QCOMPARE(window->cboAddress->currentText(), page("sibling"));

        // Rewriting the list after each navigation started no navigation of its own.
        QTest::qWait(100);
        QCOMPARE(loads.count(), 2);
        QVERIFY(!window->isBusy());
    }

    void toolbarButtonsAndTheirErrors() {
        frmBrowser* window = openBrowser(ui::windowOpeners().learnAboutVellumtide);
        QStringList keys, tips;
        for (QAction* action : window->tbToolBar->actions()) {
            keys.append(action->data().toString());
            tips.append(action->toolTip());
        }
        const QStringList expected = {"Back", "Forward", "Stop", "Refresh", "Home", "Search"};
        QCOMPARE(keys, expected);
        QCOMPARE(tips, expected);
        QCOMPARE(window->lblAddress->text(), QStringLiteral("&Address:"));

        // Back with no history: nothing happens and nothing is said.
        QSignalSpy titles(window, &QWidget::windowTitleChanged);
        window->tbToolBar_ButtonClick("Back");
        QTRY_VERIFY(!window->timTimer->isActive());
        QVERIFY(!titles.contains({QStringLiteral("Working...")}));
        QCOMPARE(window->windowTitle(), QStringLiteral("The sibling page"));
        QCOMPARE(window->brwWebBrowser->url().toString(), page("sibling"));
        QVERIFY(m_fx->fakes.messageBoxes.calls().isEmpty());

        window->tbToolBar_ButtonClick("Search");
        QVERIFY(waitForPage(window));
        window->tbToolBar_ButtonClick("Home");
        QVERIFY(waitForPage(window));
        window->tbToolBar_ButtonClick("Back");
        QVERIFY(waitForPage(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("The search page"));
        QCOMPARE(entries(window->cboAddress),
                 (QStringList{page("search"), page("home"), page("sibling")}));

        // A window too small for the layout keeps the last sizes that fitted.
        const QSize pane = window->brwWebBrowser->size();
        window->resize(3, 3);
        QCOMPARE(window->brwWebBrowser->size(), pane);
    }

    void aboutBoxFindsItsPictureInTheProgramFolder() {
        QTemporaryDir folder, empty;
        QVERIFY(QFile::copy(TARNWICK_ABOUT_PICTURE, folder.filePath("tarnwick.gif")));
        // Without its picture the box still opens, with an empty frame.
        for (const QString& programFolder : {folder.path(), folder.path() + "/", empty.path()}) {
            platform::LocalFiles::Options options;
            options.programFolder = programFolder;
            options.installDataFolders = {folder.filePath("none")};
            platform::Services::setFiles(std::make_shared<platform::LocalFiles>(options));
            ui::windowOpeners().about();
            frmAbout* window = ui::findWindow<frmAbout>();
            QVERIFY(window != nullptr);
            QCOMPARE(frmAbout::showWindow(), window);
            const bool found = programFolder != empty.path();
            QCOMPARE(window->picturePath(), (found ? folder : empty).filePath("tarnwick.gif"));
            QCOMPARE(window->movie() != nullptr, found);
            QVERIFY(!found || window->movie()->frameCount() > 1);
            QCOMPARE(window->Picture1->frameShape(), QFrame::NoFrame);
            QCOMPARE(window->windowTitle(), QStringLiteral("About Tarnwick"));
            QCOMPARE((QStringList{window->lblCompanyProduct->text(), window->lblProductName->text(),
                                  window->lblVersion->text(), window->lblPlatform->text(),
                                  window->cmdOK->text(), window->Command1->text()}),
                     (QStringList{"Brackenfold's", "Tarnwick", "Version 1.050518", "", "OK",
                                  "&System Info..."}));
            QVERIFY(ui::WindowRegistry::instance().contains(window));
            QPointer<frmAbout> guard = window;
            QTest::mouseClick(window->cmdOK, Qt::LeftButton);
            QTRY_VERIFY(guard.isNull());
        }
    }

    void systemInfoFindsTheProgramOrSaysItIsUnavailable() {
        const struct {
            QString path, location, existing, started; // empty: none; started none: the message
        } cases[] = {
            {"", "", "", ""},
            {"", "/opt/si", "/opt/si/msinfo32.exe", ""},
            {"", "/opt/si", "/opt/si/MSINFO32.EXE", "/opt/si/MSINFO32.EXE"},
            {"", "/opt/si/", "/opt/si/MSINFO32.EXE", "/opt/si/MSINFO32.EXE"},
            {"/usr/bin/si", "/opt/si", "/opt/si/MSINFO32.EXE", "/usr/bin/si"},
            {"/usr/bin/broken", "", "", ""},
        };
        for (const auto& c : cases) {
            m_fx.emplace(support::WindowFixture::Files::InMemory); // fresh fakes and windows
            if (!c.path.isEmpty())
                m_fx->fakes.systemRegistry.setString(kSysInfoKey, "PATH", c.path);
            if (!c.location.isEmpty())
                m_fx->fakes.systemRegistry.setString(kLocationKey, "MSINFO", c.location);
            if (!c.existing.isEmpty())
                m_fx->fakes.files.addFile(c.existing);
            m_fx->fakes.programLauncher.failOn("/usr/bin/broken");
            QTest::mouseClick(frmAbout::showWindow()->Command1, Qt::LeftButton);
            const bool started = !c.started.isEmpty();
            QCOMPARE(m_fx->fakes.programLauncher.started(),
                     started ? QStringList{c.started} : QStringList());
            QCOMPARE(m_fx->fakes.messageBoxes.texts(),
                     started ? QStringList() : QStringList{kUnavailable});
        }
    }

    void registryValuesAsText() {
        const struct {
            RegistryValue value;
            bool read;
            QString text;
        } cases[] = {
            {{RegistryType::String, QByteArray("/usr/bin/x\0", 11)}, true, "/usr/bin/x"},
            {{RegistryType::String, QByteArray("/usr/bin/x")}, true, "/usr/bin/x"},
            {{RegistryType::DWord, QByteArray("\x78\x56\x34\x12", 4)}, true, "305419896"},
            {{RegistryType::DWord, QByteArray("\xff\xff\xff\xff", 4)}, true, "-1"},
            {{RegistryType::DWord, QByteArray("\x01\x02\0\0", 4)}, true, "33"},
            {{RegistryType::String, QByteArray(1025, 'x')}, false, "unchanged"},
        };
        for (const auto& c : cases) {
            m_fx->fakes.systemRegistry.set("K", "V", c.value);
            QString text = "unchanged";
            QCOMPARE(ui::GetKeyValue(platform::RegistryRoot::LocalMachine, "K", "V", text), c.read);
            QCOMPARE(text, c.text);
        }
    }

    void systemInfoStartsTheProgramInTheRegistryFile() {
        QTemporaryDir folder;
        const QString program = folder.filePath("sysinfo.sh");
        dbtest::writeBytes(program, "#!/bin/sh\ntouch \"$0.started\"\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        platform::Services::setProgramLauncher(std::make_shared<platform::QtProgramLauncher>());
        for (const QString& named : {folder.filePath("missing"), program}) {
            dbtest::writeBytes(folder.filePath("registry.ini"),
                               "[" + kSysInfoKey.toUtf8() + "]\nPATH=" + QFile::encodeName(named) +
                                   "\n");
            platform::Services::setSystemRegistry(
                std::make_shared<platform::IniSystemRegistry>(folder.filePath("registry.ini")));
            QTest::mouseClick(frmAbout::showWindow()->Command1, Qt::LeftButton);
        }
        QCOMPARE(m_fx->fakes.messageBoxes.texts(), QStringList{kUnavailable}); // the missing one
        QTRY_VERIFY(QFileInfo::exists(program + ".started"));
    }
};

QTEST_MAIN(HelpWindowsTest)
#include "help_windows_test.moc"
