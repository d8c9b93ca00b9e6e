#include "ui/lists/reference_list_dialog.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QShortcutEvent>
#include <QToolBar>
#include <QValidator>

#include <algorithm>

#include "app/globals.h"
#include "db/reference_tables.h"
#include "platform/error.h"
#include "platform/mouse_pointer.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "print/print_text_array.h"
#include "ui/common/activity_lists.h"
#include "ui/common/commands.h"
#include "ui/common/fonts.h"
#include "ui/common/key_codes.h"
#include "ui/common/main_list.h"
#include "ui/common/toolbar_icons.h"

namespace ui {
namespace {

using W = ReferenceListDialog;
using platform::ignoreErrors;

const MenuLine<W> kMenus[] = {
    {0, &W::mnuReturn, "mnuReturn", "&Return", &W::Return},
    {0, &W::mnuAdd, "mnuAdd", "&Add", &W::Add},
    {0, &W::mnuDelete, "mnuDelete", "&Delete", &W::Delete},
    {0, &W::mnuPrint, "mnuPrint", "&Print List", &W::PrintList},
    {0, &W::mnuDone, "mnuDone", "&Done", &W::Done},
};

constexpr std::array<const char*, 5> kKeys = {"Back", "Redo", "Delete", "Print", "Forward"};
const std::array<Command<W>, 5> kKeyCommands = {&W::Return, &W::Add, &W::Delete, &W::PrintList,
                                                &W::Done};

// Layout, in twips of the inner area.
constexpr double kEntryFrameTop = 470;
constexpr double kListFrameTop = 1120;
constexpr double kFrameLeft = 50;
constexpr double kEntryFrameHeight = 600;
constexpr double kBoxLeft = 100;
constexpr double kBoxTop = 200;
constexpr double kBoxHeight = 150;

// A list entry; the list sorts ignoring case, capitals first among entries equal but for case.
class Entry final : public QListWidgetItem {
public:
    explicit Entry(const QString& text) : QListWidgetItem(text, nullptr, UserType) {}
    bool operator<(const QListWidgetItem& other) const override {
        const int order = text().compare(other.text(), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : text() < other.text();
    }
};

// Refuses an edit after which the entry would not fit its field: `capacity` characters for the
// box's trimmed text and `others` (the rest of the entry: for a client's first name, the
// trimmed last name and ", ").
class FitsField final : public QValidator {
public:
    FitsField(int capacity, std::function<qsizetype()> others, QObject* parent)
        : QValidator(parent), m_capacity(capacity), m_others(std::move(others)) {}
    State validate(QString& input, int&) const override {
        return input.trimmed().size() + m_others() <= m_capacity ? Acceptable : Invalid;
    }

private:
    int m_capacity;
    std::function<qsizetype()> m_others;
};

QGroupBox* frame(QWidget* parent, const char* name, const char* title) {
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLineEdit* textBox(QGroupBox* frame, const char* name, const char* toolTip) {
    auto* box = new QLineEdit(frame);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(QString::fromUtf8(toolTip));
    return box;
}

// Places `control` at left/top/width/height twips; a negative size leaves it where it was.
void place(QWidget* control, const platform::TwipsScale& scale, double left, double top,
           double width, double height) {
    if (control == nullptr || width < 0 || height < 0)
        return;
    control->setGeometry(scale.pixels(left, top, width, height));
}

void placeBox(QLineEdit* box, const platform::TwipsScale& scale, double width) {
    if (box == nullptr || width < 0)
        return;
    QRect rect = scale.pixels(kBoxLeft, kBoxTop, width, kBoxHeight);
    rect.setHeight(std::max(rect.height(), box->sizeHint().height()));
    box->setGeometry(rect);
}

} // namespace

ReferenceListDialog::ReferenceListDialog(const ReferenceListConfig& config, QWidget* parent)
    : QDialog(parent), m_config(config) {
    setObjectName(QLatin1String(config.name));
    setWindowTitle(QString::fromUtf8(config.caption));
    setWindowIcon(windowIcon());
    createControls();
    Form_Load();
    Form_Resize();
    Text1->setFocus();
}

ReferenceListDialog::~ReferenceListDialog() = default;

void ReferenceListDialog::createControls() {
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    buildMenus(*this, *m_menuBar, kMenus);
    m_menuBar->installEventFilter(this);
    connect(m_menuBar, &QMenuBar::triggered, this, [this] { leaveMenuBar(); });

    m_area = new QWidget(this);
    m_area->setObjectName(QStringLiteral("innerArea"));

    Toolbar1 = new QToolBar(m_area);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1->setIconSize(QSize(20, 20));
    std::array<ToolbarButton<W>, 5> buttons;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        buttons[i] = {kKeys[i], m_config.toolTips[i], kKeyCommands[i]};
    imlToolbarIcons =
        buildToolbar(*Toolbar1, buttons, [this](const QString& key) { Toolbar1_ButtonClick(key); });

    Frame1 = frame(m_area, "Frame1", m_config.firstFrame);
    Text1 = textBox(Frame1, "Text1", m_config.firstToolTip);
    if (m_config.secondFrame != nullptr) {
        Frame2 = frame(m_area, "Frame2", m_config.secondFrame);
        Text2 = textBox(Frame2, "Text2", m_config.secondToolTip);
        Frame3 = frame(m_area, "Frame3", m_config.listFrame);
    } else {
        Frame2 = frame(m_area, "Frame2", m_config.listFrame);
    }
    List1 = new QListWidget(listFrame());
    List1->setObjectName(QStringLiteral("List1"));
    List1->setToolTip(QString::fromUtf8(m_config.listToolTip));
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);

    // Tab goes from box to box and on to the list.
    if (Text2 != nullptr)
        setTabOrder(Text1, Text2);
    setTabOrder(Text2 != nullptr ? static_cast<QWidget*>(Text2) : Text1, List1);

    auto keyRule = [this](KeyCommand enter, KeyCommand escape) {
        return [this, enter, escape](int, int charCode) {
            const KeyCommand command = charCode == keys::kEnterChar    ? enter
                                       : charCode == keys::kEscapeChar ? escape
                                                                       : KeyCommand::None;
            if (command == KeyCommand::None)
                return false;
            run(command);
            return true;
        };
    };
    keys::watch(*Text1, keyRule(m_config.enterInFirst, m_config.escapeInFirst));
    if (Text2 != nullptr)
        keys::watch(*Text2, keyRule(m_config.enterInSecond, m_config.escapeInSecond));
    keys::watch(*List1, keyRule(KeyCommand::Return, KeyCommand::Return));
}

// ---- Opening and layout ----

void ReferenceListDialog::Form_Load() {
    if (Text2 != nullptr)
        applyProgramFont({Text1, Text2, List1});
    else
        applyProgramFont({Text1, List1});
    QStringList texts;
    {
        // Opening waits a moment for another program that is writing the file.
        platform::BusyPointer busy(platform::Services::mousePointer());
        m_table = std::make_unique<db::ReferenceTable>(app::CurrentDatabasePath, m_config.table,
                                                       m_config.field);
        texts = m_table->entries();
    }
    limitEntries();
    for (const QString& text : texts)
        List1->addItem(new Entry(text));
    List1->setSortingEnabled(true);
    List1->sortItems();
}

void ReferenceListDialog::limitEntries() {
    const std::optional<int> capacity = m_table->capacity();
    if (!capacity)
        return;
    if (Text2 == nullptr) {
        Text1->setValidator(new FitsField(
            *capacity, [] { return qsizetype(0); }, Text1));
        return;
    }
    // A client is stored as "last, first": the two names and the ", " between them share it.
    const qsizetype separator = 2;
    Text1->setValidator(new FitsField(
        *capacity, [this] { return Text2->text().trimmed().size() + separator; }, Text1));
    Text2->setValidator(new FitsField(
        *capacity, [this] { return Text1->text().trimmed().size() + separator; }, Text2));
}

void ReferenceListDialog::Form_Resize() {
    ignoreErrors([this] {
        const QWidget* main = mainWindow();
        if (main == nullptr || main == this)
            return;
        const platform::TwipsRect outer = platform::outerGeometryTwips(*main);
        platform::moveOuterTwips(*this, outer.left, outer.top);
        platform::resizeOuterTwips(*this, outer.width, outer.height);
    });
    ignoreErrors([this] { placeControls(); });
}

void ReferenceListDialog::placeControls() {
    int barHeight = m_menuBar->heightForWidth(width());
    if (barHeight <= 0)
        barHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), barHeight);
    m_area->setGeometry(0, barHeight, width(), std::max(height() - barHeight, 0));
    Toolbar1->setGeometry(0, 0, m_area->width(), Toolbar1->sizeHint().height());

    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    const double w = scale.twipsX(m_area->width());
    const double h = scale.twipsY(m_area->height());
    if (Text2 != nullptr) {
        const double half = (w - 100) / 2;
        place(Frame1, scale, kFrameLeft, kEntryFrameTop, half, kEntryFrameHeight);
        place(Frame2, scale, kFrameLeft + half, kEntryFrameTop, half, kEntryFrameHeight);
        placeBox(Text1, scale, (w - 600) / 2);
        placeBox(Text2, scale, (w - 600) / 2);
    } else {
        place(Frame1, scale, kFrameLeft, kEntryFrameTop, w - 100, kEntryFrameHeight);
        placeBox(Text1, scale, w - 300);
    }
    place(listFrame(), scale, kFrameLeft, kListFrameTop, w - 100, h - 1220);
    place(List1, scale, kBoxLeft, kBoxTop, w - 300, h - 1420);
}

void ReferenceListDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void ReferenceListDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Resize();
}

bool ReferenceListDialog::eventFilter(QObject* watched, QEvent* event) {
    // "&Delete" and "&Done" share their access key. A key that several commands share only
    // highlights the next of them and takes the keyboard to the menu bar, where Enter runs the
    // highlighted command and Escape goes back; pressing the key again never runs a second,
    // different command.
    if (watched != m_menuBar)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && m_menuBar->hasFocus() &&
        keys::characterCode(static_cast<QKeyEvent&>(*event)) == keys::kEscapeChar) {
        leaveMenuBar();
        return true;
    }
    if (event->type() != QEvent::Shortcut || !static_cast<QShortcutEvent*>(event)->isAmbiguous())
        return false;
    const QKeySequence key = static_cast<QShortcutEvent*>(event)->key();
    QList<QAction*> sharing;
    for (QAction* action : m_menuBar->actions()) {
        if (QKeySequence::mnemonic(action->text()) == key)
            sharing.append(action);
    }
    if (sharing.isEmpty())
        return true;
    if (!m_menuBar->hasFocus())
        m_focusBeforeMenu = focusWidget();
    const qsizetype current = sharing.indexOf(m_menuBar->activeAction());
    m_menuBar->setActiveAction(sharing.at((current + 1) % sharing.size()));
    m_menuBar->setFocus(Qt::MenuBarFocusReason);
    return true;
}

void ReferenceListDialog::leaveMenuBar() {
    if (!m_menuBar->hasFocus())
        return;
    m_menuBar->setActiveAction(nullptr);
    if (m_focusBeforeMenu)
        m_focusBeforeMenu->setFocus();
    else
        Text1->setFocus();
}

void ReferenceListDialog::keyPressEvent(QKeyEvent* event) {
    // No default or cancel button: Enter and Escape act only where a box's rule says so.
    const int charCode = keys::characterCode(*event);
    if (charCode == keys::kEnterChar || charCode == keys::kEscapeChar)
        return;
    QDialog::keyPressEvent(event);
}

// ---- Commands ----

QStringList ReferenceListDialog::entries() const {
    QStringList result;
    for (int i = 0; i < List1->count(); ++i)
        result.append(List1->item(i)->text());
    return result;
}

void ReferenceListDialog::run(KeyCommand command) {
    switch (command) {
    case KeyCommand::Add:
        Add();
        break;
    case KeyCommand::Return:
        Return();
        break;
    case KeyCommand::Done:
        Done();
        break;
    case KeyCommand::None:
        break;
    }
}

QString ReferenceListDialog::acceptedEntry() {
    auto refuse = [this](const char* message) {
        ignoreErrors(
            [message] { platform::Services::messageBoxes().message(QString::fromUtf8(message)); });
        Text1->setFocus();
        return QString();
    };
    if (Text2 != nullptr) {
        const QString first = Text1->text().trimmed();
        const QString last = Text2->text().trimmed();
        if (!first.isEmpty() && !last.isEmpty())
            return last + QStringLiteral(", ") + first;
        Text1->clear();
        Text2->clear();
        return refuse(m_config.emptyRefusal);
    }
    const QString entry = Text1->text().trimmed();
    if (entry.isEmpty())
        return refuse(m_config.emptyRefusal);
    if (m_config.clientMarkRefusal != nullptr && Text1->text().contains(QStringLiteral(", ")))
        return refuse(m_config.clientMarkRefusal);
    return entry;
}

bool ReferenceListDialog::write(const char* failurePrefix,
                                const std::function<void(db::ReferenceTable&)>& change) {
    return platform::reportErrors(QString::fromUtf8(failurePrefix), [&] {
        if (!m_table)
            throw platform::Error(QStringLiteral("The list has been closed."));
        // A change waits a moment for another program that is writing the file.
        platform::BusyPointer busy(platform::Services::mousePointer());
        change(*m_table);
    });
}

void ReferenceListDialog::Add() {
    const QString entry = acceptedEntry();
    if (entry.isEmpty())
        return;
    if (!write(m_config.addFailed, [&](db::ReferenceTable& table) { table.add(entry); }))
        return;
    List1->addItem(new Entry(entry));
    Text1->clear();
    if (Text2 != nullptr)
        Text2->clear();
    Text1->setFocus();
}

void ReferenceListDialog::Delete() {
    QStringList texts;
    QList<QListWidgetItem*> selected;
    for (int i = 0; i < List1->count(); ++i) {
        if (List1->item(i)->isSelected()) {
            selected.append(List1->item(i));
            texts.append(List1->item(i)->text());
        }
    }
    if (selected.isEmpty())
        return;
    if (!write(m_config.deleteFailed,
               [&](db::ReferenceTable& table) { table.removeFirstOfEach(texts); }))
        return;
    qDeleteAll(selected);
}

void ReferenceListDialog::PrintList() {
    ignoreErrors([this] { print::PrintList(entries(), QString::fromUtf8(m_config.documentName)); });
}

void ReferenceListDialog::Done() {
    const QStringList list = entries();
    app::referenceLists().*m_config.member = list;
    if (m_config.refreshesActivityLists)
        replaceActivityLists(list);
    done(Accepted);
}

void ReferenceListDialog::Return() {
    done(Rejected);
}

void ReferenceListDialog::done(int result) {
    QDialog::done(result);
    m_table.reset(); // the file stays open only while the dialog is shown
}

void ReferenceListDialog::Toolbar1_ButtonClick(const QString& key) {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (key == QLatin1String(kKeys[i])) {
            ignoreErrors([&] { kKeyCommands[i](*this); });
            return;
        }
    }
}

} // namespace ui
