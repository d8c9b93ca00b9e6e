#include "ui/items/frm_edit_todo.h"

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
    9435, 3930, {480, 840, 2055, 2775}, {2760, 1560}, {2760, 1920, 2175, 375}, {2760, 2760}};

// The size of the "ThingToDo" field, in characters.
constexpr int kTextLength = 150;

const QString kNameCannotChange = QStringLiteral("You cannot edit the name of a client or a "
                                                 "project ") +
                                  QStringLiteral("in a To Do list.  You can, however, delete the "
                                                 "selected To Do item ") +
                                  QStringLiteral("and add a new one.");

QLineEdit* textBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

void frmEditToDo::showWindow() {
    ui::showModal<frmEditToDo>([] { return new frmEditToDo; });
}

frmEditToDo::frmEditToDo() : ItemDialog("frmEditToDo", QStringLiteral("Edit To Do Item"), kLayout) {
    QWidget* area = clientArea();
    Label1 = addLabel("Label1", QStringLiteral("Client or Project:"), {2760, 840});
    Text1 = textBox(area, "Text1");
    place(*Text1, {2760, 1200, 6255, 375});
    Text2 = textBox(area, "Text2");
    Text2->setMaxLength(kTextLength);
    place(*Text2, {2760, 3120, 6255, 375});
    List1 = new QListWidget(area);
    List1->setObjectName(QStringLiteral("List1"));

    // The labels name the boxes below them for assistive technology.
    Label1->setBuddy(Text1);
    Label3->setBuddy(Text2);
    setTabOrder(Option1[4], Text1);
    setTabOrder(Text1, DTPicker1);
    setTabOrder(DTPicker1, Text2);
    setUpActivityList(*List1, *Text2);
    watchTextBox(*Text1, false);
    watchTextBox(*Text2, true);
    connect(Text1, &QLineEdit::textChanged, this, &frmEditToDo::Text1_Change);

    Form_Load();
    Text2->setFocus();
}

frmEditToDo::~frmEditToDo() {
    // However the dialog ended, the inputs describe no item any more.
    app::editInputs().clear();
}

void frmEditToDo::Form_Load() {
    const app::EditInputs& inputs = app::editInputs();
    placeByMainWindow();
    ui::applyProgramFont({Text2, Text1});
    DTPicker1->showDate(inputs.DeadlineValue ? db::dateFromValue(*inputs.DeadlineValue)
                                             : std::optional<QDate>());
    selectPriority(inputs.Priority.isEmpty() ? QStringLiteral("3") : inputs.Priority);
    Text1->setText(inputs.Client + inputs.Project);
    // A longer text from a file with a wider field is shown whole, never cut to the box.
    Text2->setMaxLength(std::max<int>(kTextLength, inputs.ThingToDo.size()));
    Text2->setText(inputs.ThingToDo);
    try {
        fillActivityList(db::ReadReferenceTables(app::CurrentDatabasePath, false).activities);
    } catch (...) {
        reportDatabaseError(QStringLiteral("The activities of ") + app::CurrentDatabasePath +
                            QStringLiteral(" could not be read"));
    }
}

QString frmEditToDo::clientOrProject() const {
    const app::EditInputs& inputs = app::editInputs();
    return inputs.Client.isEmpty() ? inputs.Project : inputs.Client;
}

void frmEditToDo::Text1_Change() {
    const QString name = clientOrProject();
    if (Text1->text() != name)
        Text1->setText(name);
}

void frmEditToDo::Return() {
    app::editInputs().clear();
    closeDialog();
}

void frmEditToDo::Done() {
    const app::EditInputs& inputs = app::editInputs();
    if (Text1->text() != inputs.Client && Text1->text() != inputs.Project) {
        platform::Services::messageBoxes().message(kNameCannotChange);
        return;
    }
    const std::optional<QDate> deadline = DTPicker1->chosenDate();
    db::ToDoItem item;
    item.ofClient = !inputs.Client.isEmpty();
    item.name = clientOrProject();
    item.priority = selectedPriority();
    if (item.priority.isEmpty())
        item.priority = inputs.Priority;
    item.thingToDo = Text2->text();
    item.startDate = inputs.StartDateValue;
    item.deadline = deadline ? db::valueFromDate(*deadline) : std::nullopt;

    const QString path = app::CurrentDatabasePath;
    try {
        db::ReplaceToDoItem(
            path, {inputs.Client, inputs.Project, inputs.Priority, inputs.ThingToDo}, item);
    } catch (...) {
        reportDatabaseError(QStringLiteral("The to-do item could not be stored in ") + path +
                            QStringLiteral(".  What you entered is still in the window"));
        return;
    }

    if (ui::MainList* list = ui::mainList()) {
        list->removeRow(list->selectedIndex());
        list->appendRow(item.priority);
        if (!item.name.trimmed().isEmpty())
            list->setCurrentRowCell(2, item.name);
        list->setCurrentRowCell(3, item.thingToDo);
        list->setCurrentRowDate(4, inputs.StartDate, inputs.StartDateValue);
        list->setCurrentRowDate(5, deadline ? db::dialogDateText(*deadline) : QString(),
                                item.deadline);
    }
    app::editInputs().clear();
    closeDialog();
}
