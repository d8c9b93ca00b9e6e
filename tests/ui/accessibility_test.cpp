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
#include "ui/help/frm_about.h"
#include "ui/help/frm_browser.h"
#include "ui/items/frm_add_to_todo.h"
#include "ui/main/frm_todo.h"

namespace {

// The interactive controls of `parent` as "objectName=name|description", as assistive
// technology reads them; a control's parts and windows of their own are left out.
QStringList accessible(const QWidget& parent) {
    QStringList found;
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || child->objectName().startsWith("qt_"))
            continue;
        if (!ui::isInteractive(*child)) {
            found += accessible(*child);
            continue;
        }
        // A toolbar button goes by its action's name.
        const auto* button = qobject_cast<QToolButton*>(child);
        const QString id = button != nullptr && button->defaultAction() != nullptr
                               ? button->defaultAction()->objectName()
                               : child->objectName();
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child);
        found.append(id + "=" + face->text(QAccessible::Name) + "|" +
                     face->text(QAccessible::Description));
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
        QMap<QString, QStringList> windows;
        auto take = [&windows](QWidget* window) {
            windows[window->objectName()] = accessible(*window);
        };
        take(main);
        for (QAction* opener :
             {main->mnuEditItem, main->mnuClients, main->mnuActivities, main->mnuProjects}) {
            support::ModalScript script({[&](QWidget* dialog) {
                take(dialog);
                dialog->close();
            }});
            opener->trigger();
        }
        main->mnuAddItem->trigger();
        take(ui::findWindow<frmAddToToDo>());
        main->mnuAbout->trigger();
        take(ui::findWindow<frmAbout>());
        main->mnuVellumtide->trigger();
        take(ui::findWindow<frmBrowser>());

        QCOMPARE(windows.size(), 8);
        for (auto [window, controls] : windows.asKeyValueRange()) {
            QVERIFY2(controls.size() >= 2, qPrintable(window));
            QCOMPARE(controls.filter("=|"), QStringList()); // no control without a name
        }
        // Names come from toolbar tooltips, labels, frames and captions; tooltips describe.
        QStringList samples = windows["frmToDo"].filter(QRegularExpression("ListView1|Spell"));
        samples += windows["frmAddToToDo"].filter(QRegularExpression("List1|DTPicker1|List3"));
        samples += windows["frmClient"].filter("Text2");
        samples += windows["frmAbout"].filter("Command1");
        QCOMPARE(samples, QStringList({
                              "Toolbar1:Spell Check=Change print font|Change print font",
                              "ListView1=Things To Do|This list displays your Things To Do",
                              "DTPicker1=Deadline Date|",
                              "List1=Client|",
                              "List3=Activities|",
                              "Text2=Add last name|Press [Enter] when first and last names have "
                              "been added",
                              "Command1=System Info...|",
                          }));
    }
};

QTEST_MAIN(AccessibilityTest)

#include "accessibility_test.moc"
