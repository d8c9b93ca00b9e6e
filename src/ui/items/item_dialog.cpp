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

#include "app/globals.h"
#include "platform/error.h"
#include "platform/twips.h"
#include "ui/common/commands.h"
#include "ui/common/key_codes.h"
#include "ui/common/main_list.h"
#include "ui/common/toolbar_icons.h"
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

using D = ItemDialog;

const MenuLine<D> kMenus[] = {
    {0, &D::mnuReturn, "mnuReturn", "&Return", &D::Return},
    {0, &D::mnuDone, "mnuDone", "&Done", &D::Done},
};

const ToolbarButton<D> kToolbar[] = {
    {"Back", "Return", &D::Return},
    {"Forward", "Done", &D::Done},
};

} // namespace

ItemDialog::ItemDialog(const char* name, const QString& caption, const ItemDialogLayout& layout)
    : QDialog(mainWindow()) {
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(windowIcon());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->setFont(QApplication::font(menuBar)); // the desktop's menu font
    buildMenus(*this, *menuBar, kMenus);
    m_clientArea = new QWidget(this);
    m_clientArea->setFixedSize(scale.pixelsX(layout.clientWidth),
                               scale.pixelsY(layout.clientHeight));
    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    windowLayout->setMenuBar(menuBar);
    windowLayout->addWidget(m_clientArea);
    windowLayout->setSizeConstraint(QLayout::SetFixedSize);

    Toolbar1 = new QToolBar(m_clientArea);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(20, 20));
    buildToolbar(*Toolbar1, kToolbar, [this](const QString& key) { Toolbar1_ButtonClick(key); });
    Toolbar1->setGeometry(0, 0, m_clientArea->width(), Toolbar1->sizeHint().height());

    Frame1 = new QGroupBox(QStringLiteral("Priority Level:"), m_clientArea);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(*Frame1, layout.frame);
    for (int i = 0; i < static_cast<int>(Option1.size()); ++i) {
        QRadioButton* option = new QRadioButton(QString::number(i + 1), Frame1);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        place(*option, {kOptionLeft, kOptionTop + i * kOptionStep, kOptionWidth, kOptionHeight});
        Option1[i] = option;
    }
    selectPriority(QStringLiteral("3"));

    Label2 = addLabel("Label2", QStringLiteral("Deadline Date:"), layout.deadlineLabel);
    DTPicker1 = new DatePicker(m_clientArea);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    Label2->setBuddy(DTPicker1); // it names the picker for assistive technology
    place(*DTPicker1, layout.deadlinePicker);
    Label3 = addLabel("Label3", QStringLiteral("Thing To Do:"), layout.textLabel);
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

void ItemDialog::Toolbar1_ButtonClick(const QString& key) {
    runToolbarButton(*this, kToolbar, key);
}

QString ItemDialog::selectedPriority() const {
    for (int i = 0; i < static_cast<int>(Option1.size()); ++i) {
        if (Option1[i]->isChecked())
            return QString::number(i + 1);
    }
    return {};
}

void ItemDialog::selectPriority(const QString& priority) {
    // The buttons are one exclusive group, which cannot be emptied while it is exclusive.
    for (QRadioButton* option : Option1)
        option->setAutoExclusive(false);
    for (int i = 0; i < static_cast<int>(Option1.size()); ++i)
        Option1[i]->setChecked(priority == QString::number(i + 1));
    for (QRadioButton* option : Option1)
        option->setAutoExclusive(true);
    // Tab reaches the group at its selected button, or at the first when none is selected;
    // a click on a button hands the Tab stop on to it.
    int tabStop = 0;
    for (int i = 0; i < static_cast<int>(Option1.size()); ++i) {
        if (Option1[i]->isChecked())
            tabStop = i;
    }
    for (int i = 0; i < static_cast<int>(Option1.size()); ++i)
        Option1[i]->setFocusPolicy(i == tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void ItemDialog::setUpActivityList(QListWidget& list, QLineEdit& target) {
    m_activityList = &list;
    m_activityTarget = &target;
    list.setAccessibleName(QStringLiteral("Activities"));
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.hide();
    keys::watch(list, [this](int, int charCode) {
        if (charCode != keys::kEnterChar && charCode != keys::kEscapeChar)
            return false;
        takeActivityPhrase();
        return true;
    });
    connect(&list, &QListWidget::itemDoubleClicked, this, [this] { takeActivityPhrase(); });
}

void ItemDialog::fillActivityList(const QStringList& activities) {
    if (activities.isEmpty())
        return;
    app::referenceLists().activities = activities;
    replaceActivityList(activities);
}

void ItemDialog::replaceActivityList(const QStringList& activities) {
    m_activityList->clear();
    m_activityList->addItems(activities);
    // No entry is current, so that the first arrow key selects the first entry.
    m_activityList->setCurrentIndex(QModelIndex());
}

bool ItemDialog::activityListShown() const {
    return m_activityList != nullptr && m_activityList->isVisible();
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
        if (charCode == keys::kEnterChar) {
            platform::ignoreErrors([this] { Done(); });
            return true;
        }
        if (charCode == keys::kEscapeChar) {
            if (escapeReturns)
                platform::ignoreErrors([this] { Return(); });
            return true;
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

void ItemDialog::keyPressEvent(QKeyEvent* event) {
    // A dialog would take Escape as its cancel; here only a text box's own rule runs Return.
    if (keys::characterCode(*event) == keys::kEscapeChar) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ItemDialog::reject() {
    // Closing the dialog from Return or Done comes back here through the close event.
    if (m_closing)
        return;
    platform::ignoreErrors([this] { Return(); });
}

} // namespace ui
