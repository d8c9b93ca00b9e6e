#include "ui/items/add_item_dialog.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <algorithm>

#include "app/session.h"
#include "db/routines.h"
#include "db/schema.h"
#include "platform/services.h"
#include "ui/common/fonts.h"
#include "ui/common/single_window.h"
#include "ui/items/date_picker.h"

namespace ui {
namespace {

const ItemDialogLayout kLayout = {
    8970, 4500, {120, 600, 2175, 2655}, {120, 3480}, {120, 3840, 2175, 375}, {2520, 3480}};

// The size of the "ThingToDo" field, in characters.
constexpr int kTextLength = db::schema::kTextSize;

QListWidget* nameList(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

// `names` into `list`, sorted ignoring letter case, equal names in their stored order; no entry
// current, so that the first arrow key selects the first.
void fillSorted(QListWidget& list, QStringList names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    list.addItems(names);
    list.setCurrentIndex(QModelIndex());
}

// The selected entry's text; nothing when none is selected.
std::optional<QString> selectedText(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.first()->text();
}

} // namespace

AddItemDialog* AddItemDialog::showWindow(app::Session& session) {
    return showModeless<AddItemDialog>([&session] { return new AddItemDialog(session); });
}

AddItemDialog::AddItemDialog(app::Session& session)
    : ItemDialog(session, "addItemDialog", QStringLiteral("Add to the To Do list"), kLayout) {
    QWidget* area = clientArea();
    QLabel* clientLabel = addLabel("clientLabel", QStringLiteral("Client:"), {2520, 600});
    m_clientList = nameList(area, "clientList");
    place(*m_clientList, {2520, 960, 3015, 2400});
    QLabel* projectLabel = addLabel("projectLabel", QStringLiteral("Project:"), {5760, 600});
    m_projectList = nameList(area, "projectList");
    place(*m_projectList, {5760, 960, 3015, 2400});
    m_textBox = new QLineEdit(area);
    m_textBox->setObjectName(QStringLiteral("textBox"));
    m_textBox->setMaxLength(kTextLength);
    place(*m_textBox, {2520, 3840, 6255, 375});
    m_activityList = new QListWidget(area);
    m_activityList->setObjectName(QStringLiteral("activityList"));

    // The labels name the controls below them for assistive technology.
    clientLabel->setBuddy(m_clientList);
    projectLabel->setBuddy(m_projectList);
    textLabel().setBuddy(m_textBox);
    setTabOrder(m_clientList, m_projectList);
    setTabOrder(m_projectList, &deadlinePicker());
    setTabOrder(&deadlinePicker(), m_textBox);
    setTabOrder(m_textBox, priorityButton(0));
    setUpActivityList(*m_activityList, *m_textBox);
    watchTextBox(*m_textBox, true);

    load();
    m_clientList->setFocus();
}

AddItemDialog::~AddItemDialog() = default;

void AddItemDialog::load() {
    placeByMainWindow();
    deadlinePicker().showDate(QDate::currentDate());
    applyProgramFont(session().programFont(), {m_clientList, m_projectList, m_textBox});
    const QString path = session().databasePath();
    try {
        const db::ReferenceLists lists = db::ReadReferenceTables(path, true);
        fillSorted(*m_clientList, lists.clients);
        fillSorted(*m_projectList, lists.projects);
        fillActivityList(lists.activities);
    } catch (...) {
        reportDatabaseError(QStringLiteral("The lists of ") + path +
                            QStringLiteral(" could not be read"));
    }
}

void AddItemDialog::discard() {
    closeDialog();
}

void AddItemDialog::storeItem() {
    const std::optional<QString> client = selectedText(*m_clientList);
    const std::optional<QString> project = selectedText(*m_projectList);
    if (!client && !project) {
        platform::Services::messageBoxes().message(
            QStringLiteral("You must select a client or a project.  Try again."));
        return;
    }
    const std::optional<QDate> deadline = deadlinePicker().chosenDate();
    db::ToDoItem item;
    item.priority = db::Priority::fromText(selectedPriority());
    item.party = client ? *client : *project;
    item.text = m_textBox->text();
    item.startDate = db::ItemDate::chosen(QDate::currentDate());
    item.deadline = deadline ? db::ItemDate::chosen(*deadline) : std::nullopt;

    const db::PartyKind kind = client ? db::PartyKind::Client : db::PartyKind::Project;
    if (!writeItem([&](const QString& path) { db::AddToDoItem(path, item, kind); }))
        return;
    session().items().append(asShown(std::move(item)));
    closeDialog();
}

} // namespace ui
