#include "ui/help/frm_browser.h"

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

#include "app/globals.h"
#include "platform/error.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "ui/common/commands.h"
#include "ui/common/key_codes.h"
#include "ui/common/single_window.h"
#include "ui/common/toolbar_icons.h"
#include "ui/help/web_addresses.h"

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

// The toolbar: each button's tooltip is its key.
const ui::ToolbarButton<frmBrowser> kButtons[] = {
    {"Back", "Back", &frmBrowser::goBack, QKeySequence::Back},
    {"Forward", "Forward", &frmBrowser::goForward, QKeySequence::Forward},
    {"Stop", "Stop", &frmBrowser::stop, QKeySequence::Cancel},
    {"Refresh", "Refresh", &frmBrowser::refresh, QKeySequence::Refresh},
    {"Home", "Home", &frmBrowser::goHome, QKeySequence::UnknownKey, "Alt+Home"},
    {"Search", "Search", &frmBrowser::search, QKeySequence::UnknownKey, "Ctrl+K"},
};

// The page pane. A link that asks for a new window opens in the pane itself.
class PagePane final : public QWebEngineView {
public:
    using QWebEngineView::QWebEngineView;

protected:
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override { return this; }
};

} // namespace

frmBrowser* frmBrowser::showWindow() {
    return ui::showModeless<frmBrowser>([] { return new frmBrowser; });
}

frmBrowser::frmBrowser() {
    setObjectName(QStringLiteral("frmBrowser"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(ui::windowIcon());

    createToolbar();
    createAddressArea();
    brwWebBrowser = new PagePane(this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));
    brwWebBrowser->setAccessibleName(QStringLiteral("Web page"));
    timTimer = new QTimer(this);
    timTimer->setObjectName(QStringLiteral("timTimer"));
    timTimer->setInterval(5);

    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    brwWebBrowser->move(scale.pixelsX(kPaneLeft),
                        picAddress->geometry().bottom() + 1 + scale.pixelsY(kPaneGap));
    resize(scale.pixelsX(kDesignWidth), scale.pixelsY(kDesignHeight));

    connect(timTimer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);
    connect(brwWebBrowser, &QWebEngineView::loadStarted, this,
            [this] { m_loadAskedFor.invalidate(); });
    connect(brwWebBrowser, &QWebEngineView::loadFinished, this, [this] {
        m_loadAskedFor.invalidate();
        brwWebBrowser_NavigateComplete();
        brwWebBrowser_DownloadComplete();
    });
    connect(cboAddress, &QComboBox::activated, this, &frmBrowser::cboAddress_Click);
    // Keys reach the box itself, which hands most of them on to its text field.
    for (QWidget* box : std::initializer_list<QWidget*>{cboAddress, cboAddress->lineEdit()})
        ui::keys::watch(*box, [this](int, int charCode) {
            cboAddress_KeyPress(charCode);
            return charCode == ui::keys::kEnterChar;
        });

    Form_Load();
    cboAddress->setFocus();
}

frmBrowser::~frmBrowser() = default;

void frmBrowser::createToolbar() {
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ui::buildToolbar(*tbToolBar, kButtons,
                     [this](const QString& key) { tbToolBar_ButtonClick(key); });
    tbToolBar->setGeometry(0, 0, tbToolBar->sizeHint().width(), tbToolBar->sizeHint().height());
}

void frmBrowser::createAddressArea() {
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    picAddress = new QWidget(this);
    picAddress->setObjectName(QStringLiteral("picAddress"));
    lblAddress = new QLabel(QStringLiteral("&Address:"), picAddress);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    cboAddress = new QComboBox(picAddress);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setCompleter(nullptr);
    lblAddress->setBuddy(cboAddress);

    lblAddress->setGeometry(scale.pixelsX(kLabelLeft), scale.pixelsY(kLabelTop),
                            lblAddress->sizeHint().width(), lblAddress->sizeHint().height());
    cboAddress->resize(cboAddress->sizeHint());
    const double addressBottom =
        scale.twipsY(lblAddress->geometry().bottom() + 1 + cboAddress->height()) + 15 +
        kAreaBottomGap;
    picAddress->setGeometry(0, tbToolBar->height(), tbToolBar->width(),
                            scale.pixelsY(addressBottom));
}

// ---- Opening, resizing ----

void frmBrowser::Form_Load() {
    ignoreErrors([this] {
        tbToolBar->update();
        Form_Resize();
    });
    ignoreErrors([] {
        if (app::StartingAddress.isEmpty())
            app::StartingAddress = ui::help::siblingPageAddress();
    });
    ignoreErrors([this] {
        const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
        const double labelBottom = scale.twipsY(lblAddress->y() + lblAddress->height());
        cboAddress->move(scale.pixelsX(50), scale.pixelsY(labelBottom + 15));
    });
    ignoreErrors([this] {
        if (app::StartingAddress.isEmpty())
            return;
        cboAddress->setEditText(app::StartingAddress);
        cboAddress->addItem(cboAddress->currentText());
        timTimer->start();
        navigate(app::StartingAddress);
    });
}

void frmBrowser::Form_Resize() {
    ignoreErrors([this] { resizeRule(); });
}

void frmBrowser::resizeRule() {
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    const double clientWidth = scale.twipsX(width());
    const double clientHeight = scale.twipsY(height());
    // The toolbar and the address area span the window.
    tbToolBar->resize(width(), tbToolBar->height());
    picAddress->resize(width(), picAddress->height());

    const double boxWidth = clientWidth - 100;
    if (boxWidth >= 0)
        cboAddress->resize(scale.pixelsX(boxWidth), cboAddress->height());
    const double paneWidth = clientWidth - 100;
    if (paneWidth >= 0)
        brwWebBrowser->resize(scale.pixelsX(paneWidth), brwWebBrowser->height());
    const double areaBottom = scale.twipsY(picAddress->y()) + scale.twipsY(picAddress->height());
    const double paneHeight = clientHeight - areaBottom - 100;
    if (paneHeight >= 0)
        brwWebBrowser->resize(brwWebBrowser->width(), scale.pixelsY(paneHeight));
}

void frmBrowser::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

// ---- The page pane ----

bool frmBrowser::isBusy() const {
    return brwWebBrowser->page()->isLoading() ||
           (m_loadAskedFor.isValid() && m_loadAskedFor.elapsed() < kLoadStartLimitMs);
}

void frmBrowser::navigate(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid() || url.isEmpty())
        return;
    expectLoad();
    brwWebBrowser->load(url);
}

void frmBrowser::brwWebBrowser_DownloadComplete() {
    setWindowTitle(brwWebBrowser->title());
}

void frmBrowser::brwWebBrowser_NavigateComplete() {
    setWindowTitle(brwWebBrowser->title());
    const QString address = brwWebBrowser->url().toString();
    if (address.isEmpty())
        return;
    int found = -1;
    for (int i = 0; i < cboAddress->count(); ++i) {
        if (cboAddress->itemText(i) == address) {
            found = i;
            break;
        }
    }
    m_suppressNavigation = true;
    if (found >= 0)
        cboAddress->removeItem(found);
    cboAddress->insertItem(0, address);
    cboAddress->setCurrentIndex(0);
    m_suppressNavigation = false;
}

// ---- The address box ----

void frmBrowser::cboAddress_Click() {
    if (m_suppressNavigation)
        return;
    timTimer->start();
    navigate(cboAddress->currentText());
}

void frmBrowser::cboAddress_KeyPress(int charCode) {
    if (charCode == ui::keys::kEnterChar)
        cboAddress_Click();
}

// ---- Timer and toolbar ----

void frmBrowser::timTimer_Timer() {
    if (isBusy()) {
        setWindowTitle(QStringLiteral("Working..."));
        return;
    }
    timTimer->stop();
    setWindowTitle(brwWebBrowser->title());
}

void frmBrowser::tbToolBar_ButtonClick(const QString& key) {
    ignoreErrors([this] { timTimer->start(); });
    ui::runToolbarButton(*this, kButtons, key);
}

void frmBrowser::goBack() {
    if (brwWebBrowser->history()->canGoBack()) {
        expectLoad();
        brwWebBrowser->back();
    }
}

void frmBrowser::goForward() {
    if (brwWebBrowser->history()->canGoForward()) {
        expectLoad();
        brwWebBrowser->forward();
    }
}

void frmBrowser::stop() {
    timTimer->stop();
    m_loadAskedFor.invalidate();
    brwWebBrowser->stop();
    setWindowTitle(brwWebBrowser->title());
}

void frmBrowser::refresh() {
    if (!brwWebBrowser->url().isEmpty()) {
        expectLoad();
        brwWebBrowser->reload();
    }
}

void frmBrowser::goHome() {
    navigate(ui::help::homePageAddress());
}

void frmBrowser::search() {
    navigate(ui::help::searchPageAddress());
}
