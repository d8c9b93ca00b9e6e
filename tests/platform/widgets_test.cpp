// The Qt message boxes, file and font dialogs, mouse pointer and screen metrics, live on the
// offscreen platform. A ModalScript acts on each modal window as it opens, the way a user would.
#include "platform/error.h"
#include "platform/services.h"
#include "support/fake_platform.h"
#include "support/modal_script.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using platform::Answer;
using platform::FileDialogRequest;
using platform::fakes::MessageBoxCall;
using support::ModalScript;

namespace {

void acceptFileName(QWidget* window, const QString& name) {
    window->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    QMetaObject::invokeMethod(window, "accept");
}

QString cancelDescription(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::CancelledError& e) {
        return e.description();
    }
    return "no cancel";
}

} // namespace

class PlatformWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { platform::Services::reset(); }

    // A message: OK only, no icon, the application's title, the text as plain text. A
    // question: Yes and No with the question icon and its own title; Enter presses the default
    // button, Escape answers No.
    void boxesShowWhatTheyAreAsked_data() {
        QTest::addColumn<QString>("action"); // "message", or what answers the question
        QTest::addColumn<Answer>("defaultButton");
        QTest::addColumn<Answer>("expected");
        QTest::newRow("message") << "message" << Answer::No << Answer::No;
        QTest::newRow("Yes default, Enter") << "Enter" << Answer::Yes << Answer::Yes;
        QTest::newRow("No default, Enter") << "Enter" << Answer::No << Answer::No;
        QTest::newRow("Yes default, Escape") << "Escape" << Answer::Yes << Answer::No;
        QTest::newRow("No default, click Yes") << "Yes" << Answer::No << Answer::Yes;
    }

    void boxesShowWhatTheyAreAsked() {
        QFETCH(QString, action);
        QFETCH(Answer, defaultButton);
        QFETCH(Answer, expected);
        platform::QtMessageBoxes boxes;
        QMessageBox::Icon icon{};
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton shownDefault{};
        QString title, text;
        Qt::TextFormat format{};
        ModalScript script({[&](QWidget* window) {
            auto* box = qobject_cast<QMessageBox*>(window);
            icon = box->icon();
            buttons = box->standardButtons();
            shownDefault = box->standardButton(box->defaultButton());
            title = box->windowTitle();
            text = box->text();
            format = box->textFormat();
            if (action == "Yes")
                box->button(QMessageBox::Yes)->click();
            else
                QTest::keyClick(box, action == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
        }});
        const QString shown = "<b>/tmp/a.mdb</b> is open.";
        if (action == "message") {
            static_cast<platform::MessageBoxes&>(boxes).message(shown);
            QCOMPARE(icon, QMessageBox::NoIcon);
            QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(title, QString("Tarnwick"));
        } else {
            QCOMPARE(boxes.question(shown, "/tmp/a.mdb already exists.", defaultButton), expected);
            QCOMPARE(icon, QMessageBox::Question);
            QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(title, QString("/tmp/a.mdb already exists."));
            QCOMPARE(shownDefault,
                     defaultButton == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
        }
        QCOMPARE(text, shown);
        QCOMPARE(format, Qt::PlainText);
    }

    // The create and overwrite prompts, asked only when the request wants them.
    void chosenFileIsConfirmed() {
        const QString create = " does not exist.  Do you want to create it?";
        const QString replace = " already exists.  Do you want to replace it?";
        const struct {
            bool exists, prompts;
            Answer answer;
            QString question; // after the path; empty: none asked
            Answer defaultButton;
            bool stands;
        } cases[] = {
            {false, true, Answer::Yes, create, Answer::Yes, true},
            {false, true, Answer::No, create, Answer::Yes, false},
            {true, true, Answer::Yes, replace, Answer::No, true},
            {true, true, Answer::No, replace, Answer::No, false},
            {false, false, Answer::No, "", Answer::No, true},
            {true, false, Answer::No, "", Answer::No, true},
        };
        for (const auto& c : cases) {
            QTemporaryDir dir;
            const QString path = dir.filePath("todo.mdb");
            if (c.exists)
                QFile(path).open(QIODevice::WriteOnly);
            auto request = FileDialogRequest::databaseFile("Creating New To Do Database File");
            request.promptToCreate = request.promptToOverwrite = c.prompts;
            platform::fakes::FakeMessageBoxes boxes;
            if (c.prompts)
                boxes.answerNext(c.answer);
            QCOMPARE(platform::confirmChosenFile(path, request, boxes), c.stands);
            const QList<MessageBoxCall> asked = {{MessageBoxCall::Kind::Question, path + c.question,
                                                  request.title, c.defaultButton}};
            QCOMPARE(boxes.calls(), c.question.isEmpty() ? QList<MessageBoxCall>() : asked);
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
        QCOMPARE(fakes.messageBoxes.texts(),
                 QStringList(2, dir.filePath("new.mdb") +
                                    " does not exist.  Do you want to create it?"));
        QCOMPARE(cancelDescription([&] { platform::QtFileDialog().chooseFile(request); }),
                 QString("Cancel was selected."));
    }

    // A cancel does not change what the next dialog opens with.
    void fontDialogOpensWithTheLastChoiceOfTheRun() {
        platform::QtFontDialog dialog;
        // A size set through Qt's own interface, which takes whole sizes.
        QFont chosen = QApplication::font();
        chosen.setPointSize(chosen.pointSize() + 5);
        QList<QFont> shown;
        auto look = [&](QWidget* window) {
            auto* fonts = qobject_cast<QFontDialog*>(window);
            shown.append(fonts->currentFont());
            if (shown.size() > 1)
                return fonts->reject();
            fonts->setCurrentFont(chosen);
            fonts->accept();
        };
        ModalScript script({look, look, look});

        const platform::FontChoice choice = dialog.chooseFont();
        QCOMPARE(choice.family, chosen.family());
        QCOMPARE(choice.pointSize, chosen.pointSizeF());
        for (int cancel = 0; cancel < 2; ++cancel)
            QCOMPARE(cancelDescription([&] { dialog.chooseFont(); }), "Cancel was selected.");
        QCOMPARE(shown.at(0), QApplication::font());
        QCOMPARE(shown.at(1), chosen);
        QCOMPARE(shown.at(2), chosen);
    }

    void busyPointerIsOneOverrideAndDialogsShowTheArrow() {
        platform::QtMousePointer pointer;
        pointer.setNormal(); // harmless when not busy
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        pointer.setBusy();
        pointer.setBusy();
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

        Qt::CursorShape duringMessage = Qt::WaitCursor;
        ModalScript script({[&](QWidget* window) {
            duringMessage = QGuiApplication::overrideCursor()->shape();
            qobject_cast<QMessageBox*>(window)->accept();
        }});
        platform::QtMessageBoxes boxes;
        static_cast<platform::MessageBoxes&>(boxes).message("Working.");
        QCOMPARE(duringMessage, Qt::ArrowCursor);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

        pointer.setNormal();
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(!pointer.isBusy());
        {
            platform::BusyPointer busy(pointer);
            QVERIFY(pointer.isBusy());
        }
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
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

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PlatformWidgetsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "widgets_test.moc"
