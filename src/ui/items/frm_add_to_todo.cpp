#include "ui/items/frm_add_to_todo.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <algorithm>

#include "app/globals.h"
#include "db/date_text.h"
#include "db/routines.h"
#include "platform/services.h"
#include "ui/common/fonts.h"
#include "ui/common/main_list.h"
#include "ui/common/single_window.h"
#include "ui/items/date_picker.h"

namespace {

const ui::ItemDialogLayout kLayout = {
    8970, 4500, {120, 600, 2175, 2655}, {120, 3480}, {120, 3840, 2175, 375}, {2520, 3480}};

// The size of the "ThingToDo" field, in characters.
constexpr int kTextLength = 150;

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

QString selectedText(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

} // namespace

frmAddToToDo* frmAddToToDo::showWindow() {
    return ui::showModeless<frmAddToToDo>([] { return new frmAddToToDo; });
}

frmAddToToDo::frmAddToToDo()
    : ItemDialog("frmAddToToDo", QStringLiteral("Add to the To Do list"), kLayout) {
    QWidget* area = clientArea();
    Label1 = addLabel("Label1", QStringLiteral("Client:"), {2520, 600});
    List1 = nameList(area, "List1");
    place(*List1, {2520, 960, 3015, 2400});
    Label4 = addLabel("Label4", QStringLiteral("Project:"), {5760, 600});
    List2 = nameList(area, "List2");
    place(*List2, {5760, 960, 3015, 2400});
    Text1 = new QLineEdit(area);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(kTextLength);
    place(*Text1, {2520, 3840, 6255, 375});
    List3 = new QListWidget(area);
    List3->setObjectName(QStringLiteral("List3"));

    // The labels name the controls below them for assistive technology.
    Label1->setBuddy(List1);
    Label4->setBuddy(List2);
    Label3->setBuddy(Text1);
    setTabOrder(List1, List2);
    setTabOrder(List2, DTPicker1);
    setTabOrder(DTPicker1, Text1);
    setTabOrder(Text1, Option1[0]);
    setUpActivityList(*List3, *Text1);
    watchTextBox(*Text1, true);

    Form_Load();
    List1->setFocus();
}

frmAddToToDo::~frmAddToToDo() = default;

void frmAddToToDo::Form_Load() {
    placeByMainWindow();
    DTPicker1->showDate(QDate::currentDate());
    ui::applyProgramFont({List1, List2, Text1});
    try {
        const db::ReferenceLists lists = db::ReadReferenceTables(app::CurrentDatabasePath, true);
        fillSorted(*List1, lists.clients);
        fillSorted(*List2, lists.projects);
        fillActivityList(lists.activities);
    } catch (...) {
        reportDatabaseError(QStringLiteral("The lists of ") + app::CurrentDatabasePath +
                            QStringLiteral(" could not be read"));
    }
}

void frmAddToToDo::Return() {
    closeDialog();
}

void frmAddToToDo::Done() {
    const QString client = selectedText(*List1);
    const QString project = selectedText(*List2);
    const bool ofClient = !List1->selectedItems().isEmpty();
    if (!ofClient && List2->selectedItems().isEmpty()) {
        platform::Services::messageBoxes().message(
            QStringLiteral("You must select a client or a project.  Try again."));
        return;
    }
    const QDate today = QDate::currentDate();
    const std::optional<QDate> deadline = DTPicker1->chosenDate();
    db::ToDoItem item;
    item.ofClient = ofClient;
    item.name = ofClient ? client : project;
    item.priority = selectedPriority();
    item.thingToDo = Text1->text();
    item.startDate = db::valueFromDate(today);
    item.deadline = deadline ? db::valueFromDate(*deadline) : std::nullopt;

    const QString path = app::CurrentDatabasePath;
    try {
        db::AddToDoItem(path, item);
    } catch (...) {
        reportDatabaseError(QStringLiteral("The to-do item could not be stored in ") + path +
                            QStringLiteral(".  What you entered is still in the window"));
        return;
    }

    if (ui::MainList* list = ui::mainList()) {
        list->appendRow(item.priority);
        if (!item.name.trimmed().isEmpty())
            list->setCurrentRowCell(2, item.name);
        list->setCurrentRowCell(3, item.thingToDo);
        list->setCurrentRowDate(4, db::dialogDateText(today), item.startDate);
        list->setCurrentRowDate(5, deadline ? db::dialogDateText(*deadline) : QString(),
                                item.deadline);
    }
    closeDialog();
}
