// Fakes of the message boxes, the file dialog and the font dialog: they record what the code
// under test showed and answer from a script. A call the script has no answer for is recorded in
// errors() and printed as a warning; the question is answered No and a dialog is cancelled. Tests
// check errors() is empty.
#pragma once

#include "platform/error.h"
#include "platform/file_dialog.h"
#include "platform/font_dialog.h"
#include "platform/message_boxes.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <optional>

namespace platform::fakes {

inline void recordUnscripted(QStringList& errors, const QString& call) {
    qWarning("Unscripted %s", qPrintable(call));
    errors.append("Unscripted " + call);
}

struct MessageBoxCall {
    enum class Kind { Message, Question };
    Kind kind = Kind::Message;
    QString text;
    QString title;
    /// Only meaningful for questions.
    Answer defaultButton = Answer::No;

    friend bool operator==(const MessageBoxCall&, const MessageBoxCall&) = default;
};

class FakeMessageBoxes final : public MessageBoxes {
public:
    /// Queues the answer to the next unanswered question.
    void answerNext(Answer answer) { m_answers.push_back(answer); }

    void message(const QString& text, const QString& title) override {
        m_calls.append({MessageBoxCall::Kind::Message, text, title, Answer::No});
    }
    Answer question(const QString& text, const QString& title, Answer defaultButton) override {
        m_calls.append({MessageBoxCall::Kind::Question, text, title, defaultButton});
        if (m_answers.empty()) {
            recordUnscripted(m_errors, "question: " + text);
            return Answer::No;
        }
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    /// Every message and question, in the order shown.
    const QList<MessageBoxCall>& calls() const { return m_calls; }
    /// The texts of calls(), in order.
    QStringList texts() const {
        QStringList result;
        for (const MessageBoxCall& call : m_calls)
            result.append(call.text);
        return result;
    }
    int unusedAnswers() const { return static_cast<int>(m_answers.size()); }
    const QStringList& errors() const { return m_errors; }
    void clear() { *this = FakeMessageBoxes(); }

private:
    QList<MessageBoxCall> m_calls;
    std::deque<Answer> m_answers;
    QStringList m_errors;
};

/// A dialog's answers, queued by the test and given in order.
template <typename Result> class AnswerQueue {
public:
    void chooseNext(const Result& result) { m_results.emplace_back(result); }
    /// Queues a cancel of the next dialog.
    void cancelNext() { m_results.emplace_back(std::nullopt); }
    const QStringList& errors() const { return m_errors; }

protected:
    /// The next answer; throws CancelledError for a cancel, and when none is queued.
    Result next(const QString& dialog) {
        if (m_results.empty()) {
            recordUnscripted(m_errors, dialog);
            throw CancelledError();
        }
        const std::optional<Result> result = m_results.front();
        m_results.pop_front();
        if (!result)
            throw CancelledError();
        return *result;
    }

private:
    std::deque<std::optional<Result>> m_results;
    QStringList m_errors;
};

class FakeFileDialog final : public FileDialog, public AnswerQueue<QString> {
public:
    QString chooseFile(const FileDialogRequest& request) override {
        m_requests.append(request);
        return next("file dialog: " + request.title);
    }
    /// Every request, in the order shown.
    const QList<FileDialogRequest>& requests() const { return m_requests; }

private:
    QList<FileDialogRequest> m_requests;
};

class FakeFontDialog final : public FontDialog, public AnswerQueue<FontChoice> {
public:
    FontChoice chooseFont() override { return next("font dialog"); }
};

} // namespace platform::fakes
