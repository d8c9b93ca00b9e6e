#include "support/fake_dialogs.h"

#include "platform/error.h"

#include <QtGlobal>

namespace platform::fakes {
namespace {

void recordError(QStringList& errors, const QString& error) {
    qWarning("%s", qPrintable(error));
    errors.append(error);
}

} // namespace

void FakeMessageBoxes::message(const QString& text, const QString& title) {
    m_calls.append({MessageBoxCall::Kind::Message, text, title, Answer::No});
}

Answer FakeMessageBoxes::question(const QString& text, const QString& title, Answer defaultButton) {
    m_calls.append({MessageBoxCall::Kind::Question, text, title, defaultButton});
    if (m_answers.empty()) {
        recordError(m_errors, QStringLiteral("Unscripted question: ") + text);
        return Answer::No;
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QStringList FakeMessageBoxes::texts() const {
    QStringList result;
    for (const MessageBoxCall& call : m_calls)
        result.append(call.text);
    return result;
}

void FakeMessageBoxes::clear() {
    m_calls.clear();
    m_answers.clear();
    m_errors.clear();
}

QString FakeFileDialog::chooseFile(const FileDialogRequest& request) {
    m_requests.append(request);
    if (m_results.empty()) {
        recordError(m_errors, QStringLiteral("Unscripted file dialog: ") + request.title);
        throw CancelledError();
    }
    const std::optional<QString> result = m_results.front();
    m_results.pop_front();
    if (!result)
        throw CancelledError();
    return *result;
}

FontChoice FakeFontDialog::chooseFont() {
    ++m_shown;
    if (m_results.empty()) {
        recordError(m_errors, QStringLiteral("Unscripted font dialog"));
        throw CancelledError();
    }
    const std::optional<FontChoice> result = m_results.front();
    m_results.pop_front();
    if (!result)
        throw CancelledError();
    return *result;
}

} // namespace platform::fakes
