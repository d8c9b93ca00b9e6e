#include "ui/help/browser.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEngineView>

#include <exception>

#include "app/session.h"
#include "platform/error.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "ui/common/commands.h"
#include "ui/common/key_codes.h"
#include "ui/common/single_window.h"
#include "ui/common/toolbar_icons.h"
#include "ui/help/web_addresses.h"

namespace ui {
namespace {

// The window's client size when it opens, in twips.
constexpr double kDesignWidth = 9600;
constexpr double kDesignHeight = 7200;
// The address label's place in the address area, and the gap below the address box.
constexpr double kLabelLeft = 50;
constexpr double kLabelTop = 30;
constexpr double kAreaBottomGap = 60;
// The page pane's left edge and its gap below the address area.
constexpr double kPaneLeft = 50;
constexpr double kPaneGap = 50;
// How long a navigation request counts as busy when no load starts.
constexpr qint64 kLoadStartLimitMs = 2000;

using platform::ignoreErrors;

// The page pane. A link that asks for a new window opens in the pane itself.
class PagePane final : public QWebEngineView {
public:
    using QWebEngineView::QWebEngineView;

protected:
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override { return this; }
};

} // namespace

BrowserWindow* BrowserWindow::showWindow(app::Session& session) {
    return showModeless<BrowserWindow>([&session] { return new BrowserWindow(session); });
}

BrowserWindow::BrowserWindow(app::Session& session) : m_session(session) {
    setObjectName(QStringLiteral("browserWindow"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(windowIcon());

    createToolbar();
    createAddressArea();
    m_pane = new PagePane(this);
    m_pane->setObjectName(QStringLiteral("pagePane"));
    m_pane->setAccessibleName(QStringLiteral("Web page"));
    m_busyTimer = new QTimer(this);
    m_busyTimer->setObjectName(QStringLiteral("busyTimer"));
    m_busyTimer->setInterval(5);

    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    m_pane->move(scale.pixelsX(kPaneLeft),
                 m_addressArea->geometry().bottom() + 1 + scale.pixelsY(kPaneGap));
    resize(scale.pixelsX(kDesignWidth), scale.pixelsY(kDesignHeight));

    connect(m_busyTimer, &QTimer::timeout, this, &BrowserWindow::busyTimerTick);
    connect(m_pane, &QWebEngineView::loadStarted, this, [this] { m_loadAskedFor.invalidate(); });
    connect(m_pane, &QWebEngineView::loadFinished, this, [this] {
        m_loadAskedFor.invalidate();
        loadFinished();
    });
    connect(m_addressBox, &QComboBox::activated, this, &BrowserWindow::addressChosen);
    // Keys reach the box itself, which hands most of them on to its text field.
    for (QWidget* box : std::initializer_list<QWidget*>{m_addressBox, m_addressBox->lineEdit()})
        keys::watch(*box, [this](int, int charCode) {
            if (keys::typed(charCode) != keys::Typed::Enter)
                return false;
            addressChosen();
            return true;
        });

    load();
    m_addressBox->setFocus();
}

BrowserWindow::~BrowserWindow() = default;

void BrowserWindow::createToolbar() {
    using B = BrowserWindow;
    // Each button shows its tooltip as its text.
    static const ToolbarButton<B> kButtons[] = {
        {"back", "Back", &B::goBack, nullptr, QKeySequence::Back},
        {"forward", "Forward", &B::goForward, nullptr, QKeySequence::Forward},
        {"stop", "Stop", &B::stop, nullptr, QKeySequence::Cancel},
        {"refresh", "Refresh", &B::refresh, nullptr, QKeySequence::Refresh},
        {"home", "Home", &B::goHome, nullptr, QKeySequence::UnknownKey, "Alt+Home"},
        {"search", "Search", &B::search, nullptr, QKeySequence::UnknownKey, "Ctrl+K"},
    };
    m_toolbar = makeToolbar(*this, QStringLiteral("toolbar"), true);
    m_toolbar->setIconSize(QSize(16, 16));
    buildToolbar(*m_toolbar, kButtons, [this](const QString& key) {
        ignoreErrors([this] { m_busyTimer->start(); });
        runToolbarButton(*this, kButtons, key);
    });
    m_toolbar->setGeometry(0, 0, m_toolbar->sizeHint().width(), m_toolbar->sizeHint().height());
}

void BrowserWindow::createAddressArea() {
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    m_addressArea = new QWidget(this);
    m_addressArea->setObjectName(QStringLiteral("addressArea"));
    m_addressLabel = new QLabel(QStringLiteral("&Address:"), m_addressArea);
    m_addressLabel->setObjectName(QStringLiteral("addressLabel"));
    m_addressBox = new QComboBox(m_addressArea);
    m_addressBox->setObjectName(QStringLiteral("addressBox"));
    m_addressBox->setEditable(true);
    m_addressBox->setInsertPolicy(QComboBox::NoInsert);
    m_addressBox->setCompleter(nullptr);
    m_addressLabel->setBuddy(m_addressBox);

    m_addressLabel->setGeometry(scale.pixelsX(kLabelLeft), scale.pixelsY(kLabelTop),
                                m_addressLabel->sizeHint().width(),
                                m_addressLabel->sizeHint().height());
    m_addressBox->resize(m_addressBox->sizeHint());
    const double addressBottom =
        scale.twipsY(m_addressLabel->geometry().bottom() + 1 + m_addressBox->height()) + 15 +
        kAreaBottomGap;
    m_addressArea->setGeometry(0, m_toolbar->height(), m_toolbar->width(),
                               scale.pixelsY(addressBottom));
}

// ---- Opening, resizing ----

void BrowserWindow::load() {
    ignoreErrors([this] {
        m_toolbar->update();
        applyResizeRule();
    });
    ignoreErrors([this] {
        if (m_session.startAddress().isEmpty())
            m_session.setStartAddress(help::siblingPageAddress());
    });
    ignoreErrors([this] {
        const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
        const double labelBottom = scale.twipsY(m_addressLabel->y() + m_addressLabel->height());
        m_addressBox->move(scale.pixelsX(50), scale.pixelsY(labelBottom + 15));
    });
    ignoreErrors([this] {
        const QString start = m_session.startAddress();
        if (start.isEmpty())
            return;
        m_addressBox->setEditText(start);
        m_addressBox->addItem(m_addressBox->currentText());
        m_busyTimer->start();
        navigate(start);
    });
}

void BrowserWindow::applyResizeRule() {
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    const double clientWidth = scale.twipsX(width());
    const double clientHeight = scale.twipsY(height());
    // The toolbar and the address area span the window.
    m_toolbar->resize(width(), m_toolbar->height());
    m_addressArea->resize(width(), m_addressArea->height());

    const double boxWidth = clientWidth - 100;
    if (boxWidth >= 0)
        m_addressBox->resize(scale.pixelsX(boxWidth), m_addressBox->height());
    const double paneWidth = clientWidth - 100;
    if (paneWidth >= 0)
        m_pane->resize(scale.pixelsX(paneWidth), m_pane->height());
    const double areaBottom =
        scale.twipsY(m_addressArea->y()) + scale.twipsY(m_addressArea->height());
    const double paneHeight = clientHeight - areaBottom - 100;
    if (paneHeight >= 0)
        m_pane->resize(m_pane->width(), scale.pixelsY(paneHeight));
}

void BrowserWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ignoreErrors([this] { applyResizeRule(); });
}

// ---- The page pane ----

bool BrowserWindow::isBusy() const {
    return m_pane->page()->isLoading() ||
           (m_loadAskedFor.isValid() && m_loadAskedFor.elapsed() < kLoadStartLimitMs);
}

void BrowserWindow::navigate(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid() || url.isEmpty())
        return;
    expectLoad();
    m_pane->load(url);
}

void BrowserWindow::loadFinished() {
    // The navigation is complete, and so is the page's download: the title, and the address
    // at the top of the list (once).
    setWindowTitle(m_pane->title());
    const QString address = m_pane->url().toString();
    if (address.isEmpty())
        return;
    const int found = m_addressBox->findText(address, Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_suppressNavigation = true;
    if (found >= 0)
        m_addressBox->removeItem(found);
    m_addressBox->insertItem(0, address);
    m_addressBox->setCurrentIndex(0);
    m_suppressNavigation = false;
}

// ---- The address box ----

void BrowserWindow::addressChosen() {
    if (m_suppressNavigation)
        return;
    m_busyTimer->start();
    navigate(m_addressBox->currentText());
}

// ---- Timer and toolbar ----

void BrowserWindow::busyTimerTick() {
    if (isBusy()) {
        setWindowTitle(QStringLiteral("Working..."));
        return;
    }
    m_busyTimer->stop();
    setWindowTitle(m_pane->title());
}

void BrowserWindow::goBack() {
    if (m_pane->history()->canGoBack()) {
        expectLoad();
        m_pane->back();
    }
}

void BrowserWindow::goForward() {
    if (m_pane->history()->canGoForward()) {
        expectLoad();
        m_pane->forward();
    }
}

void BrowserWindow::stop() {
    m_busyTimer->stop();
    m_loadAskedFor.invalidate();
    m_pane->stop();
    setWindowTitle(m_pane->title());
}

void BrowserWindow::refresh() {
    if (!m_pane->url().isEmpty()) {
        expectLoad();
        m_pane->reload();
    }
}

void BrowserWindow::goHome() {
    navigate(help::homePageAddress());
}

void BrowserWindow::search() {
    navigate(help::searchPageAddress());
}

} // namespace ui
