// The browser window: a small modeless web browser with a toolbar, an address box that keeps
// the addresses visited (most recent first, no duplicates), the page pane, and "Working..." in
// the title bar while a page loads.
//
// The window is created on first show and destroyed when closed; it exists at most once. It
// starts at the session's start address, which it sets to the sibling product's page when
// empty.
// Its addresses come from ui/help/web_addresses.h.
//
// Choices of this window:
// - A navigation completes when the page pane finishes loading, whether the page loaded or
//   failed (the pane then shows its error page for the address). Both the download-complete
//   and the navigation-complete steps run then; a finished load that left the pane without an
//   address adds nothing to the list.
// - Choosing an entry from the address list navigates; moving through the entries with the
//   arrow keys or the mouse wheel only changes the text, and Enter goes there. Typed text is
//   not completed from the list, so Enter goes exactly where the text says. Text that is not
//   a full address is read as a browser's address bar reads it ("example.com" is a web site,
//   "/tmp/page.html" a local file).
// - The pane counts as busy from the moment a navigation is asked for until its load ends;
//   a request that starts no load within two seconds stops counting. Back and Forward with
//   no page to go to, and Refresh with no page, ask for nothing, so they do nothing at all.
// - The resize rule skips each size that would come out negative, so a tiny window keeps its
//   controls at their last sizes.
// - Links that ask for a new window open in the page pane itself.
// - Keys: Alt+Left and Alt+Right go back and forward, F5 refreshes, Escape stops, Alt+Home goes
//   to the home page and Ctrl+K to the search page, as in common browsers, so that every button
//   has a key; Alt+A goes to the address box, which has the focus when the window opens.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QComboBox;
class QLabel;
class QTimer;
class QToolBar;
class QWebEngineView;

namespace app {
class Session;
}

namespace ui {

class BrowserWindow final : public QWidget {
    Q_OBJECT
public:
    /// Shows the window modeless: creates it, running its opening steps with the session's
    /// start address as it stands, or brings the open one to the front with its page unchanged.
    static BrowserWindow* showWindow(app::Session& session);

    ~BrowserWindow() override;

    /// Whether the page pane is loading, or about to (see the header comment).
    bool isBusy() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    explicit BrowserWindow(app::Session& session);
    void createToolbar();
    void createAddressArea();
    void load();
    void applyResizeRule();
    /// Asks the pane for `address`; text that makes no address asks for nothing.
    void navigate(const QString& address);
    void expectLoad() { m_loadAskedFor.start(); }

    // Event handlers.
    void loadFinished();
    /// An entry chosen in the address box, or Enter there: goes to the box's text.
    void addressChosen();
    void busyTimerTick();

    // The toolbar's commands.
    void goBack();
    void goForward();
    void stop();
    void refresh();
    void goHome();
    void search();

    app::Session& m_session;
    QToolBar* m_toolbar = nullptr;
    QWidget* m_addressArea = nullptr;
    QLabel* m_addressLabel = nullptr;
    QComboBox* m_addressBox = nullptr;
    QWebEngineView* m_pane = nullptr;
    QTimer* m_busyTimer = nullptr;
    /// Set while the window itself rewrites the address list.
    bool m_suppressNavigation = false;
    /// Running from a navigation request until its load starts or ends.
    QElapsedTimer m_loadAskedFor;
};

} // namespace ui
