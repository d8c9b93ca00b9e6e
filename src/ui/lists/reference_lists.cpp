#include "ui/lists/reference_lists.h"

#include "db/schema.h"
#include "ui/common/single_window.h"
#include "ui/common/window_registry.h"

namespace ui {
namespace {

const ReferenceListConfig kClients = {
    .name = "clientListDialog",
    .caption = "Clients",
    .table = db::schema::kClients,
    .field = db::schema::kClient,
    .firstFrame = "Add first name",
    .firstToolTip = "Press [Enter] when first and last names have been added",
    .secondFrame = "Add last name",
    .secondToolTip = "Press [Enter] when first and last names have been added",
    .listFrame = "List of clients",
    .listToolTip = "Use [Ctrl] to select multiple clients for deletion",
    .toolTips = {"Return", "Add client", "Delete selected client", "Print client list", "Done"},
    .emptyRefusal = "You did not enter a first name or a last name, please try again.",
    .clientMarkRefusal = nullptr,
    .enterInFirst = KeyCommand::None,
    .escapeInFirst = KeyCommand::None,
    .enterInSecond = KeyCommand::Add,
    .escapeInSecond = KeyCommand::Done,
    .announcesActivities = false,
    .documentName = "Tarnwick Clients list",
    .addFailed = "There was an error in adding the client: ",
    .deleteFailed = "There was an error in deleting the selected clients: ",
};

const ReferenceListConfig kActivities = {
    .name = "activityListDialog",
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
    .enterInFirst = KeyCommand::Add,
    .escapeInFirst = KeyCommand::Return,
    .enterInSecond = KeyCommand::None,
    .escapeInSecond = KeyCommand::None,
    .announcesActivities = true,
    .documentName = "Tarnwick Activities list",
    .addFailed = "There was an error in adding the activity: ",
    .deleteFailed = "There was an error in deleting the selected activities: ",
};

const ReferenceListConfig kProjects = {
    .name = "projectListDialog",
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
    .enterInFirst = KeyCommand::Add,
    .escapeInFirst = KeyCommand::Done,
    .enterInSecond = KeyCommand::None,
    .escapeInSecond = KeyCommand::None,
    .announcesActivities = false,
    .documentName = "Tarnwick Projects list",
    .addFailed = "There was an error in adding the project: ",
    .deleteFailed = "There was an error in deleting the selected projects: ",
};

} // namespace

void ClientListDialog::showWindow(app::Session& session) {
    showModal<ClientListDialog>([&session] { return new ClientListDialog(session, mainWindow()); });
}

ClientListDialog::ClientListDialog(app::Session& session, QWidget* parent)
    : ReferenceListDialog(kClients, session, parent) {}

void ActivityListDialog::showWindow(app::Session& session) {
    showModal<ActivityListDialog>(
        [&session] { return new ActivityListDialog(session, mainWindow()); });
}

ActivityListDialog::ActivityListDialog(app::Session& session, QWidget* parent)
    : ReferenceListDialog(kActivities, session, parent) {}

void ProjectListDialog::showWindow(app::Session& session) {
    showModal<ProjectListDialog>(
        [&session] { return new ProjectListDialog(session, mainWindow()); });
}

ProjectListDialog::ProjectListDialog(app::Session& session, QWidget* parent)
    : ReferenceListDialog(kProjects, session, parent) {}

} // namespace ui
