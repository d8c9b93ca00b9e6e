// What every window offers beyond its own commands: the program and print font commands (what they
// store, the controls that take the font, the print-out, the next start), and each control's name
// for assistive technology (from a label, frame or tooltip).
#include <QAccessible>
#include <QAction>
#include <QToolButton>

#include <functional>

#include "app/font_commands.h"
#include "app/session.h"
#include "app/startup.h"
#include "platform/services.h"
#include "support/modal_script.h"
#include "support/window_fixture.h"
#include "ui/common/accessibility.h"
#include "ui/common/single_window.h"
#include "ui/main/main_window.h"
#include "ui/main/window_openers.h"

using support::action;

namespace {

// Calls `visit` on each window as it opens: the main window, the modal dialogs its menu opens
// (Edit on row 1, the three lists), then the window each of `others` opens.
void everyWindow(ui::MainWindow& main, const std::function<void(const QWidget&)>& visit,
                 const QList<QAction*>& others) {
    visit(main);
    main.selectRow(0);
    for (const char* name :
         {"editItemAction", "clientsAction", "activitiesAction", "projectsAction"}) {
        QAction* opener = action(&main, name);
        support::ModalScript script({[&](QWidget* dialog) {
            visit(*dialog);
            dialog->close();
        }});
        opener->trigger();
    }
    for (QAction* opener : others) {
        opener->trigger();
        ui::WindowRegistry& loaded = ui::WindowRegistry::instance();
        visit(*loaded.at(loaded.count() - 1));
    }
}

// The names of the controls in `parent` whose font has `family` and `points`, leaving out the
// controls inside them (which inherit it) and dialogs.
QStringList carriers(const QWidget& parent, const QString& family, double points) {
    QStringList names;
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->font().family() == family && child->font().pointSizeF() == points)
            names.append(child->objectName());
        else if (!child->inherits("QDialog"))
            names += carriers(*child, family, points);
    }
    return names;
}

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

QStringList fontValues(const app::Session& session) {
    return {session.programFont().name, session.programFont().size, session.printFont().name,
            session.printFont().size};
}

} // namespace

class EveryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void commandsStoreTheChoiceAndFontTheWindowsPrintoutAndNextStart() {
        const struct {
            QString command; // a menu item's name or a toolbar button's key
            QString family;  // empty: the dialog is cancelled
            double points;
            const char* locale;
            const char* values; // program name and size, print name and size
        } cases[] = {
            {"programFontAction", "", 0, "C", "Ariel/9/Ariel/12"},
            {"printFont", "", 0, "C", "Ariel/9/Ariel/12"},
            {"programFontAction", "Liberation Serif", 10.5, "en_US",
             "Liberation Serif/10.5/Ariel/12"},
            {"programFont", "Liberation Mono", 10.5, "de_DE", "Liberation Mono/10,5/Ariel/12"},
            {"printFontAction", "Liberation Serif", 14, "en_US", "Ariel/9/Liberation Serif/14"},
        };
        for (const auto& [command, family, points, locale, valueTexts] : cases) {
            const QStringList values = QString(valueTexts).split('/');
            QLocale::setDefault(QLocale(locale));
            support::WindowFixture fx;
            ui::MainWindow* main =
                fx.openMainWindow({{"1", "Smith, Ann", "Call about the lease", "", ""}});
            const bool program = command.startsWith("programFont");
            const double programPoints = program && !family.isEmpty() ? points : 9;
            const double printPoints = !program && !family.isEmpty() ? points : 12;
            if (family.isEmpty())
                fx.fakes.fontDialog.cancelNext();
            else
                fx.fakes.fontDialog.chooseNext({family, points});
            if (command.endsWith("Action"))
                action(main, command)->trigger();
            else
                support::clickToolbar(main, command);

            QCOMPARE(fontValues(fx.session), values);
            QVERIFY(fx.fakes.messageBoxes.calls().isEmpty());
            // The main list at once, each dialog as it opens, exactly the controls each one names;
            // "Ariel" as it is.
            QStringList found;
            everyWindow(*main,
                        [&](const QWidget& window) {
                            found << "|" << carriers(window, values[0], programPoints);
                        },
                        {action(main, "addItemAction")});
            QCOMPARE(found, QStringList({"|", "itemList", "|", "partyBox", "textBox", "|",
                                         "firstNameBox", "lastNameBox", "entryList", "|",
                                         "entryBox", "entryList", "|", "entryBox", "entryList", "|",
                                         "clientList", "projectList", "textBox"}));
            action(main, "printAction")->trigger();
            QVERIFY(!fx.fakes.printer.lines.isEmpty());
            for (const platform::fakes::PrintedLine& line : fx.fakes.printer.lines)
                QCOMPARE(line.fontName + " " + QString::number(line.fontSize),
                         values[2] + " " + QString::number(printPoints));

            // The next start reads the same fonts back, under the same locale.
            action(main, "exitAction")->trigger();
            fx.fakes.settings.preset("MostRecentToDoDatabases", "First", fx.path);
            app::Session restarted;
            ui::installWindowOpeners(restarted);
            QVERIFY(app::StartUp(restarted, [&] { ui::MainWindow::showWindow(restarted); }));
            QCOMPARE(fontValues(restarted), values);
            QCOMPARE(carriers(*ui::findWindow<ui::MainWindow>(), values[0], programPoints),
                     QStringList{"itemList"});
            delete ui::findWindow<ui::MainWindow>();
        }
    }

    // A size written under one locale reads back under another; nonsense reads as no size.
    void sizeTextsReadBackUnderAnotherLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString text = app::FontSizeText(10.5);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(app::PointsFromSizeText(text).value_or(0), 10.5);
        for (const char* bad : {"", "0", "-3", "nine", "inf"})
            QVERIFY(!app::PointsFromSizeText(bad));
    }

    void everyInteractiveControlOfEveryWindowHasAName() {
        support::WindowFixture fx;
        fx.session.setStartAddress(QStringLiteral("about:blank"));
        ui::MainWindow* main = fx.openMainWindow({{"1", "Smith, Ann", "Call", "", ""}});
        QStringList found;
        everyWindow(*main, [&](const QWidget& window) { found += accessible(window); },
                    {action(main, "addItemAction"), action(main, "aboutAction"),
                     action(main, "siblingProductAction")});
        for (const char* window :
             {"mainWindow", "editItemDialog", "clientListDialog", "activityListDialog",
              "projectListDialog", "addItemDialog", "aboutBox", "browserWindow"})
            QVERIFY2(found.filter(QString(window) + "/").size() >= 2, window);
        QCOMPARE(found.filter("=|"), QStringList()); // no control without a name
        // Names from toolbar tooltips, labels, frames and captions; tooltips describe.
        QCOMPARE(
            found.filter(QRegularExpression("printFont=|itemList|addItemDialog/(deadlinePicker|"
                                            "activityList)|lastNameBox|systemInfoButton")),
            QStringList({"mainWindow/toolbar:printFont=Change print font|Change print font",
                         "mainWindow/itemList=Things To Do|This list displays your Things "
                         "To Do",
                         "clientListDialog/lastNameBox=Add last name|Press [Enter] when "
                         "first and last names have been added",
                         "addItemDialog/deadlinePicker=Deadline Date|",
                         "addItemDialog/activityList=Activities|",
                         "aboutBox/systemInfoButton=System Info...|"}));
    }
};

QTEST_MAIN(EveryWindowTest)
#include "every_window_test.moc"
