// What assistive technology finds in every window: each control that takes the keyboard or is
// a button has a name, taken from its label, frame, caption or tooltip.
#include <QAccessible>
#include <QAction>
#include <QTest>
#include <QToolButton>

#include "app/globals.h"
#include "support/modal_script.h"
#include "support/window_fixture.h"
#include "ui/common/accessibility.h"
#include "ui/common/single_window.h"
#include "ui/main/frm_todo.h"

namespace {

// The interactive controls of `parent` as "window/control=name|description", as assistive
// technology reads them; a control's parts and windows of their own are left out. A toolbar
// button goes by its action's name.
QStringList accessible(const QWidget& parent) {
    QStringList found;
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || child->objectName().startsWith("qt_"))
            continue;
        if (!ui::isInteractive(*child)) {
            found += accessible(*child);
            continue;
        }
        const auto* button = qobject_cast<QToolButton*>(child);
        const QObject* id = button != nullptr ? button->defaultAction() : nullptr;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child);
        found.append(child->window()->objectName() + "/" + (id ? id : child)->objectName() + "=" +
                     face->text(QAccessible::Name) + "|" + face->text(QAccessible::Description));
    }
    return found;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyInteractiveControlOfEveryWindowHasAName() {
        support::WindowFixture fx;
        app::StartingAddress = QStringLiteral("about:blank");
        frmToDo* main = fx.openMainWindow({{"1", "Smith, Ann", "Call", "", ""}});
        main->selectRow(1);
        QStringList found = accessible(*main);
        for (QAction* opener :
             {main->mnuEditItem, main->mnuClients, main->mnuActivities, main->mnuProjects}) {
            support::ModalScript script({[&](QWidget* dialog) {
                found += accessible(*dialog);
                dialog->close();
            }});
            opener->trigger();
        }
        for (QAction* opener : {main->mnuAddItem, main->mnuAbout, main->mnuVellumtide}) {
            opener->trigger();
            ui::WindowRegistry& loaded = ui::WindowRegistry::instance();
            found += accessible(*loaded.at(loaded.count() - 1));
        }
        for (const char* window : {"frmToDo", "frmEditToDo", "frmClient", "frmActivity",
                                   "frmProject", "frmAddToToDo", "frmAbout", "frmBrowser"})
            QVERIFY2(found.filter(QString(window) + "/").size() >= 2, window);
        QCOMPARE(found.filter("=|"), QStringList()); // no control without a name
        // Names from toolbar tooltips, labels, frames and captions; tooltips describe.
        QCOMPARE(
            found.filter(
                QRegularExpression("Spell|ListView1|Add.*DTPicker1|List3|Client/Text2|Command1")),
            QStringList({"frmToDo/Toolbar1:Spell Check=Change print font|Change print font",
                         "frmToDo/ListView1=Things To Do|This list displays your Things To Do",
                         "frmClient/Text2=Add last name|Press [Enter] when first and last names "
                         "have been added",
                         "frmAddToToDo/DTPicker1=Deadline Date|", "frmAddToToDo/List3=Activities|",
                         "frmAbout/Command1=System Info...|"}));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
