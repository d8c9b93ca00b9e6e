// The program font and the print font: the two commands from the menu and the toolbar with the
// font dialog, what they store and where the fonts go (the main list, the dialogs, the
// print-out, the next start), the controls each window gives the program font, and Qt's font
// dialog taking a size such as 10.5 typed into its size box.
#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QTest>
#include <QToolBar>

#include "app/font_commands.h"
#include "app/globals.h"
#include "platform/services.h"
#include "support/modal_script.h"
#include "support/window_fixture.h"
#include "ui/common/single_window.h"
#include "ui/items/frm_add_to_todo.h"
#include "ui/main/frm_todo.h"
#include "ui/main/todo_list_view.h"

using platform::fakes::SettingsWrite;

namespace {

const support::Rows kRows = {{"1", "Smith, Ann", "Call about the lease", "", ""}};

// The names of the controls in `parent` whose font has `family` and `points`, leaving out the
// controls inside them (which inherit it).
QStringList carriers(const QWidget& parent, const QString& family, double points) {
    QStringList names;
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->inherits("QDialog"))
            continue;
        if (child->font().family() == family && child->font().pointSizeF() == points)
            names.append(child->objectName());
        else
            names += carriers(*child, family, points);
    }
    names.sort();
    return names;
}

void runCommand(frmToDo& window, const QString& command) {
    for (QAction* button : window.Toolbar1->actions()) {
        if (button->data().toString() == command)
            return button->trigger();
    }
    window.findChild<QAction*>(command)->trigger();
}

} // namespace

class FontsTest : public QObject {
    Q_OBJECT

private:
    std::optional<support::WindowFixture> m_fx;

private slots:
    void init() {
        m_fx.emplace();
        app::PrintingFontName = QStringLiteral("Ariel");
        app::PrintingFontSize = QStringLiteral("12");
    }
    void cleanup() {
        m_fx.reset();
        QLocale::setDefault(QLocale::c());
    }

    void commandsStoreTheChoiceAndFontTheListDialogsPrintoutsAndNextStart_data() {
        QTest::addColumn<QString>("command"); // a menu item's name or a toolbar button's key
        QTest::addColumn<QString>("family");  // empty: the dialog is cancelled
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("values"); // program name and size, print name and size
        const QStringList defaults = {"Ariel", "9", "Ariel", "12"};
        QTest::newRow("Program Font cancelled") << "mnuProgramFont"
                                                << "" << 0.0 << "en_US" << defaults;
        QTest::newRow("Print Font cancelled, toolbar") << "Spell Check"
                                                       << "" << 0.0 << "en_US" << defaults;
        QTest::newRow("Program Font 10.5")
            << "mnuProgramFont"
            << "Liberation Serif" << 10.5 << "en_US"
            << QStringList{"Liberation Serif", "10.5", "Ariel", "12"};
        QTest::newRow("Program Font 10.5 with a decimal comma, toolbar")
            << "Small Caps"
            << "Liberation Mono" << 10.5 << "de_DE"
            << QStringList{"Liberation Mono", "10,5", "Ariel", "12"};
        QTest::newRow("Print Font 14") << "mnuPrintFont"
                                       << "Liberation Serif" << 14.0 << "en_US"
                                       << QStringList{"Ariel", "9", "Liberation Serif", "14"};
    }
    void commandsStoreTheChoiceAndFontTheListDialogsPrintoutsAndNextStart() {
        QFETCH(QString, command);
        QFETCH(QString, family);
        QFETCH(double, points);
        QFETCH(QString, locale);
        QFETCH(QStringList, values);
        QLocale::setDefault(QLocale(locale));
        platform::fakes::FakePlatform& fakes = m_fx->fakes;
        frmToDo* window = m_fx->openMainWindow(kRows);
        const bool program = command == "mnuProgramFont" || command == "Small Caps";
        const double listPoints = program && !family.isEmpty() ? points : 9;
        const double printPoints = !program && !family.isEmpty() ? points : 12;
        if (family.isEmpty())
            fakes.fontDialog.cancelNext();
        else
            fakes.fontDialog.chooseNext({family, points});

        runCommand(*window, command);
        auto current = [] {
            return QStringList{app::ProgramFontName, app::ProgramFontSize, app::PrintingFontName,
                               app::PrintingFontSize};
        };
        QCOMPARE(current(), values);
        QList<SettingsWrite> writes;
        if (!family.isEmpty() && program)
            writes = {{"DefaultFontName", "Default Font Name", values[0]},
                      {"DefaultFontSize", "Default Font Size", values[1]}};
        else if (!family.isEmpty())
            writes = {{"DefaultPrintFontName", "Default Print Font Name", values[2]},
                      {"DefaultPrintFontSize", "Default Print Font Size", values[3]}};
        QCOMPARE(fakes.settings.writes(), writes);
        QCOMPARE(fakes.fontDialog.shown(), 1);
        QVERIFY(fakes.messageBoxes.calls().isEmpty());
        QCOMPARE(carriers(*window, values[0], listPoints), QStringList{"ListView1"});

        // A dialog opened now has the program font; the print-out has the print font.
        window->mnuAddItem->trigger();
        QCOMPARE(carriers(*ui::findWindow<frmAddToToDo>(), values[0], listPoints),
                 QStringList({"List1", "List2", "Text1"}));
        window->mnuPrint->trigger();
        QVERIFY(!fakes.printer.lines.isEmpty());
        for (const platform::fakes::PrintedLine& line : fakes.printer.lines)
            QCOMPARE(std::pair(line.fontName, line.fontSize), std::pair(values[2], printPoints));

        // The next start reads the same fonts back, under the same locale.
        window->mnuExit->trigger();
        app::resetGlobals();
        fakes.settings.preset("MostRecentToDoDatabases", "First", m_fx->path);
        auto* restarted = new frmInitial;
        ui::WindowRegistry::instance().add(restarted);
        QVERIFY(restarted->load([] { frmToDo::showWindow(); }));
        QCOMPARE(current(), values);
        QCOMPARE(carriers(*ui::findWindow<frmToDo>(), values[0], listPoints),
                 QStringList{"ListView1"});
    }

    // Exactly the lists and text boxes each window names take the program font as it loads;
    // labels, frames, option buttons, pickers, toolbars, menus and the activity lists keep
    // their own. The name goes to the controls as it is, "Ariel" included.
    void eachWindowFontsItsListedControls_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("size");
        QTest::newRow("the defaults") << "Ariel"
                                      << "9";
        QTest::newRow("a chosen font") << "Liberation Serif"
                                       << "10.5";
    }
    void eachWindowFontsItsListedControls() {
        QFETCH(QString, family);
        QFETCH(QString, size);
        app::ProgramFontName = family;
        app::ProgramFontSize = size;
        const double points = size.toDouble();
        frmToDo* window = m_fx->openMainWindow(kRows);
        QCOMPARE(carriers(*window, family, points), QStringList{"ListView1"});
        window->mnuAddItem->trigger();
        QCOMPARE(carriers(*ui::findWindow<frmAddToToDo>(), family, points),
                 QStringList({"List1", "List2", "Text1"}));

        const QList<std::pair<QAction*, QStringList>> modal = {
            {window->mnuEditItem, {"Text1", "Text2"}},
            {window->mnuClients, {"List1", "Text1", "Text2"}},
            {window->mnuActivities, {"List1", "Text1"}},
            {window->mnuProjects, {"List1", "Text1"}},
        };
        window->selectRow(1);
        for (const auto& [opener, expected] : modal) {
            QStringList found;
            support::ModalScript script({[&](QWidget* dialog) {
                found = carriers(*dialog, family, points);
                dialog->close();
            }});
            opener->trigger();
            QCOMPARE(found, expected);
        }
    }

    // Sizes are written with the locale's separator and read back under any locale.
    void sizeTextsReadBackUnderEveryLocale() {
        for (const char* writer : {"C", "en_US", "de_DE"}) {
            for (const double points : {12.0, 10.5, 10.3}) {
                QLocale::setDefault(QLocale(writer));
                const QString text = app::FontSizeText(points);
                QCOMPARE(text.contains(','), writer == QLatin1String("de_DE") && points != 12);
                for (const char* reader : {"C", "en_US", "de_DE"}) {
                    QLocale::setDefault(QLocale(reader));
                    QCOMPARE(app::PointsFromSizeText(text).value_or(0), points);
                }
            }
        }
        QCOMPARE(app::FontSizeText(12), QString("12"));
        for (const char* bad : {"", "0", "-3", "nine", "inf"})
            QVERIFY(!app::PointsFromSizeText(bad));
    }

    // Qt's font dialog: 10.5 typed into the size box stays through a change of family, is
    // chosen with Enter, and is what the dialog opens with next time; Down goes on to 12.
    void realDialogTakesATypedFractionalSize() {
        platform::Services::setFontDialog(std::make_shared<platform::QtFontDialog>());
        QString shownNext;
        support::ModalScript script({
            [](QWidget* dialog) {
                auto* box = dialog->findChild<QLineEdit*>("sizeBox");
                box->setFocus();
                box->selectAll();
                QTest::keyClicks(box, "10.5");
                QListView* families = dialog->findChildren<QListView*>().first();
                families->setCurrentIndex(families->model()->index(1, 0));
                QCOMPARE(box->text(), QString("10.5"));
                QTest::keyClick(box, Qt::Key_Return);
            },
            [&](QWidget* dialog) {
                auto* box = dialog->findChild<QLineEdit*>("sizeBox");
                shownNext = box->text();
                QTest::keyClick(box, Qt::Key_Down); // the next whole size in the list
                shownNext += " " + box->text();
                QTest::keyClick(dialog, Qt::Key_Escape);
            },
        });
        app::ChooseProgramFont();
        QCOMPARE(app::ProgramFontSize, QString("10.5"));
        QVERIFY_THROWS_EXCEPTION(platform::CancelledError, app::ChooseProgramFont());
        QCOMPARE(shownNext, QString("10.5 12"));
    }
};

QTEST_MAIN(FontsTest)
#include "fonts_test.moc"
