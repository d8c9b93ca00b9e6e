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

#include "app/session.h"
#include "db/reference_tables.h"
#include "db/todo_item.h"
#include "platform/error.h"
#include "platform/mouse_pointer.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "print/print_text_array.h"
#include "ui/common/commands.h"
#include "ui/common/fonts.h"
#include "ui/common/key_codes.h"
#include "ui/common/toolbar_icons.h"
#include "ui/common/window_registry.h"

namespace ui {
namespace {

using platform::ignoreErrors;

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

ReferenceListDialog::ReferenceListDialog(const ReferenceListConfig& config, app::Session& session,
                                         QWidget* parent)
    : QDialog(parent), m_config(config), m_session(session) {
    setObjectName(QLatin1String(config.name));
    setWindowTitle(QString::fromUtf8(config.caption));
    setWindowIcon(windowIcon());
    createControls();
    load();
    followMainWindow();
    m_firstBox->setFocus();
}

ReferenceListDialog::~ReferenceListDialog() = default;

void ReferenceListDialog::createControls() {
    using W = ReferenceListDialog;
    static const MenuLine<W> kMenus[] = {
        {0, {}, "returnAction", "&Return", &W::returnToMainWindow},
        {0, {}, "addAction", "&Add", &W::add},
        {0, {}, "deleteAction", "&Delete", &W::deleteSelected},
        {0, {}, "printAction", "&Print List", &W::printList},
        {0, {}, "doneAction", "&Done", &W::finish},
    };
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    buildMenus(*this, *m_menuBar, kMenus);
    m_menuBar->installEventFilter(this);
    connect(m_menuBar, &QMenuBar::triggered, this, [this] { leaveMenuBar(); });

    m_area = new QWidget(this);
    m_area->setObjectName(QStringLiteral("innerArea"));

    QToolBar* toolbar = makeToolbar(*m_area, QStringLiteral("toolbar"));
    m_toolbar = toolbar;
    const std::array<ToolbarButton<W>, 5> buttons = {{
        {"return", m_config.toolTips[0], &W::returnToMainWindow},
        {"add", m_config.toolTips[1], &W::add},
        {"delete", m_config.toolTips[2], &W::deleteSelected},
        {"print", m_config.toolTips[3], &W::printList},
        {"done", m_config.toolTips[4], &W::finish},
    }};
    buildToolbar(*toolbar, buttons,
                 [this, buttons](const QString& key) { runToolbarButton(*this, buttons, key); });

    const bool twoBoxes = m_config.secondFrame != nullptr;
    m_firstFrame = frame(m_area, twoBoxes ? "firstNameFrame" : "entryFrame", m_config.firstFrame);
    m_firstBox =
        textBox(m_firstFrame, twoBoxes ? "firstNameBox" : "entryBox", m_config.firstToolTip);
    if (twoBoxes) {
        m_secondFrame = frame(m_area, "lastNameFrame", m_config.secondFrame);
        m_secondBox = textBox(m_secondFrame, "lastNameBox", m_config.secondToolTip);
    }
    m_listFrame = frame(m_area, "listFrame", m_config.listFrame);
    m_list = new QListWidget(m_listFrame);
    m_list->setObjectName(QStringLiteral("entryList"));
    m_list->setToolTip(QString::fromUtf8(m_config.listToolTip));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);

    // Tab goes from box to box and on to the list.
    if (m_secondBox != nullptr)
        setTabOrder(m_firstBox, m_secondBox);
    setTabOrder(m_secondBox != nullptr ? m_secondBox : m_firstBox, m_list);

    auto keyRule = [this](KeyCommand enter, KeyCommand escape) {
        return [this, enter, escape](int, int charCode) {
            const keys::Typed key = keys::typed(charCode);
            const KeyCommand command = key == keys::Typed::Enter    ? enter
                                       : key == keys::Typed::Escape ? escape
                                                                    : KeyCommand::None;
            if (command == KeyCommand::None)
                return false;
            run(command);
            return true;
        };
    };
    keys::watch(*m_firstBox, keyRule(m_config.enterInFirst, m_config.escapeInFirst));
    if (m_secondBox != nullptr)
        keys::watch(*m_secondBox, keyRule(m_config.enterInSecond, m_config.escapeInSecond));
    keys::watch(*m_list, keyRule(KeyCommand::Return, KeyCommand::Return));
}

// ---- Opening and layout ----

void ReferenceListDialog::load() {
    if (m_secondBox != nullptr)
        applyProgramFont(m_session.programFont(), {m_firstBox, m_secondBox, m_list});
    else
        applyProgramFont(m_session.programFont(), {m_firstBox, m_list});
    QStringList texts;
    {
        // Opening waits a moment for another program that is writing the file.
        platform::BusyPointer busy(platform::Services::mousePointer());
        m_table = std::make_unique<db::ReferenceTable>(m_session.databasePath(), m_config.table,
                                                       m_config.field);
        texts = m_table->entries();
    }
    limitEntries();
    for (const QString& text : texts)
        m_list->addItem(new Entry(text));
    m_list->setSortingEnabled(true);
    m_list->sortItems();
}

void ReferenceListDialog::limitEntries() {
    const std::optional<int> capacity = m_table->capacity();
    if (!capacity)
        return;
    if (m_secondBox == nullptr) {
        m_firstBox->setValidator(new FitsField(
            *capacity, [] { return qsizetype(0); }, m_firstBox));
        return;
    }
    // A client is stored as "last, first": the two names and the ", " between them share it.
    const qsizetype separator = 2;
    m_firstBox->setValidator(new FitsField(
        *capacity, [this] { return m_secondBox->text().trimmed().size() + separator; },
        m_firstBox));
    m_secondBox->setValidator(new FitsField(
        *capacity, [this] { return m_firstBox->text().trimmed().size() + separator; },
        m_secondBox));
}

void ReferenceListDialog::followMainWindow() {
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
    m_toolbar->setGeometry(0, 0, m_area->width(), m_toolbar->sizeHint().height());

    const platform::TwipsScale scale = platform::TwipsScale::ofScreen();
    const double w = scale.twipsX(m_area->width());
    const double h = scale.twipsY(m_area->height());
    if (m_secondBox != nullptr) {
        const double half = (w - 100) / 2;
        place(m_firstFrame, scale, kFrameLeft, kEntryFrameTop, half, kEntryFrameHeight);
        place(m_secondFrame, scale, kFrameLeft + half, kEntryFrameTop, half, kEntryFrameHeight);
        placeBox(m_firstBox, scale, (w - 600) / 2);
        placeBox(m_secondBox, scale, (w - 600) / 2);
    } else {
        place(m_firstFrame, scale, kFrameLeft, kEntryFrameTop, w - 100, kEntryFrameHeight);
        placeBox(m_firstBox, scale, w - 300);
    }
    place(m_listFrame, scale, kFrameLeft, kListFrameTop, w - 100, h - 1220);
    place(m_list, scale, kBoxLeft, kBoxTop, w - 300, h - 1420);
}

void ReferenceListDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    followMainWindow();
}

void ReferenceListDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    followMainWindow();
}

bool ReferenceListDialog::eventFilter(QObject* watched, QEvent* event) {
    // "&Delete" and "&Done" share their access key. A key that several commands share only
    // highlights the next of them and takes the keyboard to the menu bar, where Enter runs the
    // highlighted command and Escape goes back; pressing the key again never runs a second,
    // different command.
    if (watched != m_menuBar)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && m_menuBar->hasFocus() &&
        keys::typed(keys::characterCode(static_cast<QKeyEvent&>(*event))) == keys::Typed::Escape) {
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
        m_firstBox->setFocus();
}

void ReferenceListDialog::keyPressEvent(QKeyEvent* event) {
    // No default or cancel button: Enter and Escape act only where a box's rule says so.
    if (keys::typed(keys::characterCode(*event)) != keys::Typed::Other)
        return;
    QDialog::keyPressEvent(event);
}

// ---- Commands ----

QStringList ReferenceListDialog::entries() const {
    QStringList result;
    for (int i = 0; i < m_list->count(); ++i)
        result.append(m_list->item(i)->text());
    return result;
}

void ReferenceListDialog::run(KeyCommand command) {
    switch (command) {
    case KeyCommand::Add:
        add();
        break;
    case KeyCommand::Return:
        returnToMainWindow();
        break;
    case KeyCommand::Done:
        finish();
        break;
    case KeyCommand::None:
        break;
    }
}

QString ReferenceListDialog::acceptedEntry() {
    auto refuse = [this](const char* message) {
        ignoreErrors(
            [message] { platform::Services::messageBoxes().message(QString::fromUtf8(message)); });
        m_firstBox->setFocus();
        return QString();
    };
    if (m_secondBox != nullptr) {
        const QString first = m_firstBox->text().trimmed();
        const QString last = m_secondBox->text().trimmed();
        if (!first.isEmpty() && !last.isEmpty())
            return last + QStringLiteral(", ") + first;
        m_firstBox->clear();
        m_secondBox->clear();
        return refuse(m_config.emptyRefusal);
    }
    const QString entry = m_firstBox->text().trimmed();
    if (entry.isEmpty())
        return refuse(m_config.emptyRefusal);
    // A project whose name reads as a client's would be stored as one (db::ToDoItem).
    if (m_config.clientMarkRefusal != nullptr &&
        db::ToDoItem::kindOfParty(m_firstBox->text()) == db::PartyKind::Client)
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

void ReferenceListDialog::add() {
    const QString entry = acceptedEntry();
    if (entry.isEmpty())
        return;
    if (!write(m_config.addFailed, [&](db::ReferenceTable& table) { table.add(entry); }))
        return;
    m_list->addItem(new Entry(entry));
    m_firstBox->clear();
    if (m_secondBox != nullptr)
        m_secondBox->clear();
    m_firstBox->setFocus();
}

void ReferenceListDialog::deleteSelected() {
    QStringList texts;
    QList<QListWidgetItem*> selected;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected()) {
            selected.append(m_list->item(i));
            texts.append(m_list->item(i)->text());
        }
    }
    if (selected.isEmpty())
        return;
    if (!write(m_config.deleteFailed,
               [&](db::ReferenceTable& table) { table.removeFirstOfEach(texts); }))
        return;
    qDeleteAll(selected);
}

void ReferenceListDialog::printList() {
    ignoreErrors([this] {
        print::PrintList(entries(), QString::fromUtf8(m_config.documentName),
                         m_session.printFont());
    });
}

void ReferenceListDialog::finish() {
    if (m_config.announcesActivities)
        m_session.announceActivities(entries());
    done(Accepted);
}

void ReferenceListDialog::returnToMainWindow() {
    done(Rejected);
}

void ReferenceListDialog::done(int result) {
    QDialog::done(result);
    m_table.reset(); // the file stays open only while the dialog is shown
}

} // namespace ui
