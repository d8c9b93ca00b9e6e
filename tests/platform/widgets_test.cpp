// The Qt message boxes, file dialog, mouse pointer and screen metrics, live on the offscreen
// platform. A ModalScript acts on each modal window as it opens, the way a user would. The font
// dialog is used for real through the program's font commands (tests/ui/every_window_test.cpp).
#include "platform/error.h"
#include "platform/services.h"
#include "support/fake_platform.h"
#include "support/modal_script.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using platform::Answer;
using platform::FileDialogRequest;
using platform::fakes::MessageBoxCall;
using support::ModalScript;

namespace {

void acceptFileName(QWidget* window, const QString& name) {
    window->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    QMetaObject::invokeMethod(window, "accept");
}

} // namespace

class PlatformWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { platform::Services::reset(); }

    // A message: OK only, no icon, the application's title. A question: Yes and No with the
    // question icon, its own title and the default asked for; Escape answers No. Both show the
    // text as plain text, and the arrow while the program is busy.
    void boxesShowWhatTheyAreAsked() {
        const struct {
            QString action; // "message", or what answers the question
            Answer defaultButton, expected;
        } cases[] = {{"message", Answer::No, Answer::No},
                     {"Escape", Answer::Yes, Answer::No},
                     {"Yes", Answer::No, Answer::Yes}};
        const QString text = "<b>/tmp/a.mdb</b> is open.";
        platform::QtMousePointer pointer;
        auto busy = std::make_unique<platform::BusyPointer>(pointer);
        pointer.setBusy(); // one override however often it is set
        for (const auto& c : cases) {
            platform::QtMessageBoxes boxes;
            QMessageBox::Icon icon{};
            QMessageBox::StandardButtons buttons;
            QMessageBox::StandardButton shownDefault{};
            QString title, shown;
            Qt::CursorShape cursor{};
            ModalScript script({[&](QWidget* window) {
                auto* box = qobject_cast<QMessageBox*>(window);
                icon = box->icon();
                buttons = box->standardButtons();
                shownDefault = box->standardButton(box->defaultButton());
                title = box->windowTitle();
                shown = box->textFormat() == Qt::PlainText ? box->text() : "not plain text";
                cursor = QGuiApplication::overrideCursor()->shape();
                if (c.action == "Yes")
                    box->button(QMessageBox::Yes)->click();
                else
                    QTest::keyClick(box, c.action == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
            }});
            if (c.action == "message") {
                static_cast<platform::MessageBoxes&>(boxes).message(text);
                QCOMPARE(icon, QMessageBox::NoIcon);
                QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
                QCOMPARE(title, QString("Tarnwick"));
            } else {
                QCOMPARE(boxes.question(text, "/tmp/a.mdb already exists.", c.defaultButton),
                         c.expected);
                QCOMPARE(icon, QMessageBox::Question);
                QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
                QCOMPARE(title, QString("/tmp/a.mdb already exists."));
                QCOMPARE(shownDefault,
                         c.defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
            }
            QCOMPARE(shown, text);
            QCOMPARE(cursor, Qt::ArrowCursor);
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        busy.reset();
        QVERIFY(QGuiApplication::overrideCursor() == nullptr && !pointer.isBusy());
    }

    // The overwrite question, asked only when the request wants it; the create question is
    // asked through the dialog below.
    void chosenFileIsConfirmed() {
        const struct {
            bool exists, prompts, mustExist;
            Answer answer;
            bool stands;
        } cases[] = {
            {true, true, false, Answer::Yes, true},  {true, true, false, Answer::No, false},
            {false, false, false, Answer::No, true}, {true, false, false, Answer::No, true},
            {false, false, true, Answer::No, false}, {true, false, true, Answer::No, true}};
        for (const auto& c : cases) {
            QTemporaryDir dir;
            const QString path = dir.filePath("todo.mdb");
            if (c.exists)
                QFile(path).open(QIODevice::WriteOnly);
            auto request = FileDialogRequest::databaseFile("Opening To Do Database File");
            request.promptToCreate = request.promptToOverwrite = c.prompts;
            request.mustExist = c.mustExist;
            platform::fakes::FakeMessageBoxes boxes;
            if (c.prompts)
                boxes.answerNext(c.answer);
            QCOMPARE(platform::confirmChosenFile(path, request, boxes), c.stands);
            const MessageBoxCall asked{MessageBoxCall::Kind::Question,
                                       path + " already exists.  Do you want to replace it?",
                                       request.title, Answer::No};
            const MessageBoxCall notFound{MessageBoxCall::Kind::Message,
                                          path + " was not found.  Check the name and try again.",
                                          request.title, Answer::No};
            QCOMPARE(boxes.calls(), c.prompts                  ? QList{asked}
                                    : c.mustExist && !c.exists ? QList{notFound}
                                                               : QList<MessageBoxCall>());
        }
    }

    // The dialog as the request asks, the working folder left alone. A pattern accepted as the
    // name becomes a filter, and after No to the create question the dialog is shown again; the
    // name chosen gets the default suffix. A cancel throws.
    void fileDialogShowsTheRequestUntilAFileIsConfirmed() {
        platform::fakes::FakePlatform fakes;
        fakes.messageBoxes.answerNext(Answer::No); // do not create
        fakes.messageBoxes.answerNext(Answer::Yes);
        QTemporaryDir dir;
        auto request = FileDialogRequest::databaseFile("Creating New To Do Database File");
        request.initialFolder = dir.path();
        const QString workingFolder = QDir::currentPath();
        QStringList shown;
        ModalScript script({
            [&](QWidget* window) {
                auto* dialog = qobject_cast<QFileDialog*>(window);
                shown << dialog->windowTitle() << dialog->nameFilters()
                      << dialog->selectedNameFilter() << dialog->defaultSuffix()
                      << dialog->findChild<QLineEdit*>("fileNameEdit")->text();
                QMetaObject::invokeMethod(window, "accept"); // the name "*.MDB"
            },
            [&](QWidget* window) { acceptFileName(window, "new"); },
            [&](QWidget* window) { acceptFileName(window, "new"); },
            [&](QWidget* window) { QMetaObject::invokeMethod(window, "reject"); },
        });

        QCOMPARE(platform::QtFileDialog().chooseFile(request), dir.filePath("new.mdb"));
        const QStringList asked = {"Log files *.mdb (*.mdb)", "mdb", "*.MDB"};
        QCOMPARE(shown, QStringList{request.title} + request.filters + asked);
        QCOMPARE(QDir::currentPath(), workingFolder);
        const MessageBoxCall create{MessageBoxCall::Kind::Question,
                                    dir.filePath("new.mdb") +
                                        " does not exist.  Do you want to create it?",
                                    request.title, Answer::Yes};
        QCOMPARE(fakes.messageBoxes.calls(), QList<MessageBoxCall>(2, create));
        QVERIFY_THROWS_EXCEPTION(platform::CancelledError,
                                 platform::QtFileDialog().chooseFile(request));
    }

    void screenIsMeasuredWithTheLogicalDpi() {
        // The offscreen screen has 96 logical and 100 physical dots per inch.
        QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->logicalDotsPerInchX(), 96.0);
        platform::QtScreenMetrics metrics;
        QCOMPARE(metrics.twipsPerPixelX(), 15.0);
        QCOMPARE(metrics.twipsPerPixelY(), 15.0);
        QCOMPARE(metrics.widthTwips(), screen->geometry().width() * 15.0);
    }
};

QTEST_MAIN(PlatformWidgetsTest)
#include "widgets_test.moc"
