#include "ui/lists/frm_project.h"

#include "db/schema.h"
#include "ui/common/main_list.h"
#include "ui/common/single_window.h"

namespace {

const ui::ReferenceListConfig kProjects = {
    .name = "frmProject",
    .caption = "Projects",
    .table = db::schema::kProjects,
    .field = db::schema::kProject,
    .firstFrame = "Add Project Here",
    .firstToolTip = "Enter project here",
    .secondFrame = nullptr,
    .secondToolTip = nullptr,
    .listFrame = "Projects",
    .listToolTip = "Use [Ctrl] to select multiple projects for deletion",
    .toolTips = {"Return", "Add project", "Delete selected project", "Print project list", "Done"},
    .emptyRefusal = "You did not enter a project.",
    .clientMarkRefusal = "Please do not use a comma followed by a space, or it will be "
                         "interpreted as the name of a client.  Try again.",
    .enterInFirst = ui::KeyCommand::Add,
    .escapeInFirst = ui::KeyCommand::Done,
    .enterInSecond = ui::KeyCommand::None,
    .escapeInSecond = ui::KeyCommand::None,
    .member = &db::ReferenceLists::projects,
    .refreshesActivityLists = false,
    .documentName = "Tarnwick Projects list",
    .addFailed = "There was an error in adding the project: ",
    .deleteFailed = "There was an error in deleting the selected projects: ",
};

} // namespace

void frmProject::showWindow() {
    ui::showModal<frmProject>([] { return new frmProject(ui::mainWindow()); });
}

frmProject::frmProject(QWidget* parent) : ReferenceListDialog(kProjects, parent) {}
