#include "ui/items/edit_item_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <algorithm>

#include "app/session.h"
#include "db/routines.h"
#include "db/schema.h"
#include "ui/common/fonts.h"
#include "ui/common/single_window.h"
#include "ui/items/date_picker.h"

namespace ui {
namespace {

const ItemDialogLayout kLayout = {
    9435, 3930, {480, 840, 2055, 2775}, {2760, 1560}, {2760, 1920, 2175, 375}, {2760, 2760}};

// The size of the "ThingToDo" field, in characters.
constexpr int kTextLength = db::schema::kTextSize;

QLineEdit* textBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

void EditItemDialog::showWindow(app::Session& session, int row) {
    showModal<EditItemDialog>([&session, row] { return new EditItemDialog(session, row); });
}

EditItemDialog::EditItemDialog(app::Session& session, int row)
    : ItemDialog(session, "editItemDialog", QStringLiteral("Edit To Do Item"), kLayout), m_row(row),
      m_item(session.items().at(row)) {
    QWidget* area = clientArea();
    QLabel* partyLabel = addLabel("partyLabel", QStringLiteral("Client or Project:"), {2760, 840});
    m_partyBox = textBox(area, "partyBox");
    place(*m_partyBox, {2760, 1200, 6255, 375});
    m_textBox = textBox(area, "textBox");
    m_textBox->setMaxLength(kTextLength);
    place(*m_textBox, {2760, 3120, 6255, 375});
    m_activityList = new QListWidget(area);
    m_activityList->setObjectName(QStringLiteral("activityList"));

    // The labels name the boxes below them for assistive technology.
    partyLabel->setBuddy(m_partyBox);
    textLabel().setBuddy(m_textBox);
    setTabOrder(priorityButton(4), m_partyBox);
    setTabOrder(m_partyBox, &deadlinePicker());
    setTabOrder(&deadlinePicker(), m_textBox);
    setUpActivityList(*m_activityList, *m_textBox);
    watchTextBox(*m_partyBox, false);
    watchTextBox(*m_textBox, true);
    connect(m_partyBox, &QLineEdit::textChanged, this, &EditItemDialog::keepParty);

    load();
    m_textBox->setFocus();
}

EditItemDialog::~EditItemDialog() = default;

void EditItemDialog::load() {
    placeByMainWindow();
    applyProgramFont(session().programFont(), {m_textBox, m_partyBox});
    deadlinePicker().showDate(m_item.deadline ? m_item.deadline->date() : std::optional<QDate>());
    const QString priority = m_item.priority.text();
    selectPriority(priority.isEmpty() ? QStringLiteral("3") : priority);
    m_partyBox->setText(m_item.party);
    // A longer text from a file with a wider field is shown whole, never cut to the box.
    m_textBox->setMaxLength(std::max<int>(kTextLength, m_item.text.size()));
    m_textBox->setText(m_item.text);
    const QString path = session().databasePath();
    try {
        fillActivityList(db::ReadReferenceTables(path, false).activities);
    } catch (...) {
        reportDatabaseError(QStringLiteral("The activities of ") + path +
                            QStringLiteral(" could not be read"));
    }
}

void EditItemDialog::keepParty() {
    if (m_partyBox->text() != m_item.party)
        m_partyBox->setText(m_item.party);
}

void EditItemDialog::discard() {
    closeDialog();
}

void EditItemDialog::storeItem() {
    // The party box undoes every change (keepParty): the item keeps its client or project.
    const std::optional<QDate> deadline = deadlinePicker().chosenDate();
    db::ToDoItem item = m_item;
    const QString priority = selectedPriority();
    if (!priority.isEmpty())
        item.priority = db::Priority::fromText(priority);
    item.text = m_textBox->text();
    item.deadline = deadline ? db::ItemDate::chosen(*deadline) : std::nullopt;

    if (!writeItem([&](const QString& path) { db::ReplaceToDoItem(path, m_item, item); }))
        return;
    app::ItemStore& items = session().items();
    items.remove(m_row);
    items.append(asShown(std::move(item)));
    closeDialog();
}

} // namespace ui
