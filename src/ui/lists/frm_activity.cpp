#include "ui/lists/frm_activity.h"

#include "db/schema.h"
#include "ui/common/main_list.h"
#include "ui/common/single_window.h"

namespace {

const ui::ReferenceListConfig kActivities = {
    .name = "frmActivity",
    .caption = "Activities",
    .table = db::schema::kActivities,
    .field = db::schema::kActivity,
    .firstFrame = "Add activity",
    .firstToolTip = "Enter activity here",
    .secondFrame = nullptr,
    .secondToolTip = nullptr,
    .listFrame = "List of activities",
    .listToolTip = "Use [Ctrl] to select multiple activities for deletion",
    .toolTips = {"Return", "Add activity", "Delete activity", "Print activity list", "Done"},
    .emptyRefusal = "You did not enter an activity.",
    .clientMarkRefusal = nullptr,
    .enterInFirst = ui::KeyCommand::Add,
    .escapeInFirst = ui::KeyCommand::Return,
    .enterInSecond = ui::KeyCommand::None,
    .escapeInSecond = ui::KeyCommand::None,
    .member = &db::ReferenceLists::activities,
    .refreshesActivityLists = true,
    .documentName = "Tarnwick Activities list",
    .addFailed = "There was an error in adding the activity: ",
    .deleteFailed = "There was an error in deleting the selected activities: ",
};

} // namespace

void frmActivity::showWindow() {
    ui::showModal<frmActivity>([] { return new frmActivity(ui::mainWindow()); });
}

frmActivity::frmActivity(QWidget* parent) : ReferenceListDialog(kActivities, parent) {}
