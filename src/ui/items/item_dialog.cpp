#include "ui/items/item_dialog.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QToolBar>

#include <exception>

#include "app/session.h"
#include "platform/error.h"
#include "platform/twips.h"
#include "ui/common/commands.h"
#include "ui/common/key_codes.h"
#include "ui/common/toolbar_icons.h"
#include "ui/common/window_registry.h"
#include "ui/items/date_picker.h"

namespace ui {
namespace {

// The priority buttons inside the frame: left, first top, step, width and height in twips.
constexpr double kOptionLeft = 240;
constexpr double kOptionTop = 480;
constexpr double kOptionStep = 360;
constexpr double kOptionWidth = 975;
constexpr double kOptionHeight = 375;
// The dialog's placement by the main window's top-left corner, in twips.
constexpr double kOffset = 200;

} // namespace

ItemDialog::ItemDialog(app::Session& session, const char* name, const QString& caption,
                       const ItemDialogLayout& layout)
    : QDialog(mainWindow()), m_session(session) {
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(windowIcon());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    using D = ItemDialog;
    static const MenuLine<D> kMenus[] = {
        {0, {}, "returnAction", "&Return", &D::discard},
        {0, {}, "doneAction", "&Done", &D::storeItem},
    };
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    auto* menus = new QMenuBar(this);
    menus->setObjectName(QStringLiteral("menuBar"));
    menus->setFont(QApplication::font(menus)); // the desktop's menu font
    buildMenus(*this, *menus, kMenus);
    m_clientArea = new QWidget(this);
    m_clientArea->setFixedSize(scale.pixelsX(layout.clientWidth),
                               scale.pixelsY(layout.clientHeight));
    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    windowLayout->setMenuBar(menus);
    windowLayout->addWidget(m_clientArea);
    windowLayout->setSizeConstraint(QLayout::SetFixedSize);

    QToolBar* toolbar = makeToolbar(*m_clientArea, QStringLiteral("toolbar"));
    static const ToolbarButton<D> kButtons[] = {
        {"return", "Return", &D::discard},
        {"done", "Done", &D::storeItem},
    };
    buildToolbar(*toolbar, kButtons,
                 [this](const QString& key) { runToolbarButton(*this, kButtons, key); });
    toolbar->setGeometry(0, 0, m_clientArea->width(), toolbar->sizeHint().height());

    auto* frame = new QGroupBox(QStringLiteral("Priority Level:"), m_clientArea);
    frame->setObjectName(QStringLiteral("priorityFrame"));
    place(*frame, layout.frame);
    for (int i = 0; i < static_cast<int>(m_priorityButtons.size()); ++i) {
        auto* button = new QRadioButton(QString::number(i + 1), frame);
        button->setObjectName(QStringLiteral("priorityButton%1").arg(i + 1));
        place(*button, {kOptionLeft, kOptionTop + i * kOptionStep, kOptionWidth, kOptionHeight});
        m_priorityButtons[static_cast<std::size_t>(i)] = button;
    }
    selectPriority(QStringLiteral("3"));

    QLabel* deadlineLabel =
        addLabel("deadlineLabel", QStringLiteral("Deadline Date:"), layout.deadlineLabel);
    m_deadlinePicker = new DatePicker(m_clientArea);
    m_deadlinePicker->setObjectName(QStringLiteral("deadlinePicker"));
    deadlineLabel->setBuddy(m_deadlinePicker); // it names the picker for assistive technology
    place(*m_deadlinePicker, layout.deadlinePicker);
    m_textLabel = addLabel("textLabel", QStringLiteral("Thing To Do:"), layout.textLabel);

    connect(&session, &app::Session::activitiesChanged, this, &ItemDialog::replaceActivityList);
}

ItemDialog::~ItemDialog() = default;

QLabel* ItemDialog::addLabel(const char* name, const QString& text, QPointF at) {
    auto* label = new QLabel(text, m_clientArea);
    label->setObjectName(QLatin1String(name));
    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    label->move(scale.pixelsX(at.x()), scale.pixelsY(at.y()));
    label->resize(label->sizeHint());
    return label;
}

void ItemDialog::place(QWidget& control, const QRectF& twips) {
    control.setGeometry(platform::TwipsScale::ofScreen().pixels(twips.x(), twips.y(), twips.width(),
                                                                twips.height()));
}

QString ItemDialog::selectedPriority() const {
    for (int i = 0; i < static_cast<int>(m_priorityButtons.size()); ++i) {
        if (m_priorityButtons[static_cast<std::size_t>(i)]->isChecked())
            return QString::number(i + 1);
    }
    return {};
}

void ItemDialog::selectPriority(const QString& priority) {
    // The buttons are one exclusive group, which cannot be emptied while it is exclusive.
    for (QRadioButton* button : m_priorityButtons)
        button->setAutoExclusive(false);
    int tabStop = 0;
    for (int i = 0; i < static_cast<int>(m_priorityButtons.size()); ++i) {
        const bool chosen = priority == QString::number(i + 1);
        m_priorityButtons[static_cast<std::size_t>(i)]->setChecked(chosen);
        if (chosen)
            tabStop = i;
    }
    for (QRadioButton* button : m_priorityButtons)
        button->setAutoExclusive(true);
    // Tab reaches the group at its selected button, or at the first when none is selected;
    // a click on a button hands the Tab stop on to it.
    for (int i = 0; i < static_cast<int>(m_priorityButtons.size()); ++i)
        m_priorityButtons[static_cast<std::size_t>(i)]->setFocusPolicy(
            i == tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void ItemDialog::setUpActivityList(QListWidget& list, QLineEdit& target) {
    m_activityList = &list;
    m_activityTarget = &target;
    list.setAccessibleName(QStringLiteral("Activities"));
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.hide();
    keys::watch(list, [this](int, int charCode) {
        if (keys::typed(charCode) == keys::Typed::Other)
            return false;
        takeActivityPhrase();
        return true;
    });
    connect(&list, &QListWidget::itemDoubleClicked, this, [this] { takeActivityPhrase(); });
}

void ItemDialog::fillActivityList(const QStringList& activities) {
    if (!activities.isEmpty())
        replaceActivityList(activities);
}

void ItemDialog::replaceActivityList(const QStringList& activities) {
    m_activityList->clear();
    m_activityList->addItems(activities);
    // No entry is current, so that the first arrow key selects the first entry.
    m_activityList->setCurrentIndex(QModelIndex());
}

void ItemDialog::showActivityList() {
    if (m_activityTarget->hasSelectedText()) {
        m_targetStart = m_activityTarget->selectionStart();
        m_targetLength = static_cast<int>(m_activityTarget->selectedText().size());
    } else {
        m_targetStart = m_activityTarget->cursorPosition();
        m_targetLength = -1;
    }
    // The dialog's outer size, from the client area's corner: it covers the whole client area.
    m_activityList->setGeometry(0, 0, frameGeometry().width(), frameGeometry().height());
    m_activityList->show();
    m_activityList->raise();
    m_activityList->setFocus();
}

void ItemDialog::takeActivityPhrase() {
    // The first selected entry, in list order; a single-selection list has one at most.
    QString phrase;
    for (int row = 0; row < m_activityList->count(); ++row) {
        if (m_activityList->item(row)->isSelected()) {
            phrase = QLatin1Char(' ') + m_activityList->item(row)->text();
            break;
        }
    }
    if (m_targetLength >= 0)
        m_activityTarget->setSelection(m_targetStart, m_targetLength);
    else
        m_activityTarget->setCursorPosition(m_targetStart);
    m_activityTarget->insert(phrase);
    m_activityList->hide();
    m_activityTarget->setFocus();
}

void ItemDialog::watchTextBox(QLineEdit& box, bool escapeReturns) {
    keys::watch(box, [this, &box, escapeReturns](int keyCode, int charCode) {
        if (keyCode == keys::kF3 && &box == m_activityTarget) {
            showActivityList();
            return true;
        }
        switch (keys::typed(charCode)) {
        case keys::Typed::Enter:
            platform::ignoreErrors([this] { storeItem(); });
            return true;
        case keys::Typed::Escape:
            if (escapeReturns)
                platform::ignoreErrors([this] { discard(); });
            return true;
        case keys::Typed::Other:
            break;
        }
        return false;
    });
}

void ItemDialog::placeByMainWindow() {
    if (const QWidget* main = mainWindow()) {
        const platform::TwipsRect outer = platform::outerGeometryTwips(*main);
        platform::moveOuterTwips(*this, outer.left + kOffset, outer.top + kOffset);
    }
}

void ItemDialog::closeDialog() {
    m_closing = true;
    QDialog::done(Accepted);
}

void ItemDialog::reportDatabaseError(const QString& what) {
    platform::showError(what + QStringLiteral(".  Error description: "), std::current_exception());
}

bool ItemDialog::writeItem(const std::function<void(const QString& path)>& write) {
    const QString path = m_session.databasePath();
    try {
        write(path);
        return true;
    } catch (...) {
        reportDatabaseError(QStringLiteral("The to-do item could not be stored in ") + path +
                            QStringLiteral(".  What you entered is still in the window"));
        return false;
    }
}

db::ToDoItem ItemDialog::asShown(db::ToDoItem item) {
    if (item.party.trimmed().isEmpty())
        item.party.clear();
    return item;
}

void ItemDialog::keyPressEvent(QKeyEvent* event) {
    // A dialog would take Escape as its cancel; here only a text box's own rule runs Return.
    if (keys::typed(keys::characterCode(*event)) == keys::Typed::Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ItemDialog::reject() {
    // Closing the dialog from Return or Done comes back here through the close event.
    if (m_closing)
        return;
    platform::ignoreErrors([this] { discard(); });
}

} // namespace ui
