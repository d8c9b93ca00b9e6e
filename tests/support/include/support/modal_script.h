// Acts on the program's modal windows as a user would, while the code under test waits for them
// in its own event loop (QDialog::exec, a message box):
//
//     ModalScript script({[](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); }});
//     ... the call that opens the modal window ...
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

namespace support {

// Runs one step on each modal window that opens, in order. Every step must close the window
// it is given; a window left open, or one that never opens, is closed and reported as a
// failure so that a broken test cannot hang.
class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalScript(QList<Step> steps) : m_steps(std::move(steps)) {
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::tick);
        m_timer.start(10);
    }
    ~ModalScript() override {
        if (!m_steps.isEmpty())
            m_failures.append(QString("%1 step(s) not run").arg(m_steps.size()));
        for (const QString& failure : m_failures)
            QTest::qFail(qPrintable(failure), __FILE__, __LINE__);
    }

private:
    void tick() {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || !window->isVisible())
            return;
        if (m_steps.isEmpty()) {
            m_failures.append("unexpected modal window " + window->windowTitle());
            window->close();
            return;
        }
        m_steps.takeFirst()(window);
        if (window->isVisible()) {
            m_failures.append("a step left " + window->windowTitle() + " open");
            window->close();
        }
    }

    QList<Step> m_steps;
    QStringList m_failures;
    QTimer m_timer;
};

} // namespace support
