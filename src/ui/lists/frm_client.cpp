#include "ui/lists/frm_client.h"

#include "db/schema.h"
#include "ui/common/main_list.h"
#include "ui/common/single_window.h"

namespace {

const ui::ReferenceListConfig kClients = {
    .name = "frmClient",
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
    .enterInFirst = ui::KeyCommand::None,
    .escapeInFirst = ui::KeyCommand::None,
    .enterInSecond = ui::KeyCommand::Add,
    .escapeInSecond = ui::KeyCommand::Done,
    .member = &db::ReferenceLists::clients,
    .refreshesActivityLists = false,
    .documentName = "Tarnwick Clients list",
    .addFailed = "There was an error in adding the client: ",
    .deleteFailed = "There was an error in deleting the selected clients: ",
};

} // namespace

void frmClient::showWindow() {
    ui::showModal<frmClient>([] { return new frmClient(ui::mainWindow()); });
}

frmClient::frmClient(QWidget* parent) : ReferenceListDialog(kClients, parent) {}
