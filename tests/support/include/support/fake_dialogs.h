// Fakes of the message boxes, the file dialog and the font dialog: they record what the code
// under test showed and answer from a script.
//
// A call the script has no answer for is recorded in errors() and printed as a warning; the
// question is answered No and a dialog is cancelled. Tests check errors() is empty.
#pragma once

#include "platform/file_dialog.h"
#include "platform/font_dialog.h"
#include "platform/message_boxes.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <optional>

namespace platform::fakes {

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

    void message(const QString& text, const QString& title) override;
    Answer question(const QString& text, const QString& title, Answer defaultButton) override;

    /// Every message and question, in the order shown.
    const QList<MessageBoxCall>& calls() const { return m_calls; }
    /// The texts of calls(), in order.
    QStringList texts() const;
    int unusedAnswers() const { return static_cast<int>(m_answers.size()); }
    const QStringList& errors() const { return m_errors; }
    void clear();

private:
    QList<MessageBoxCall> m_calls;
    std::deque<Answer> m_answers;
    QStringList m_errors;
};

class FakeFileDialog final : public FileDialog {
public:
    /// Queues the path the next dialog returns.
    void chooseNext(const QString& path) { m_results.emplace_back(path); }
    /// Queues a cancel of the next dialog.
    void cancelNext() { m_results.emplace_back(std::nullopt); }

    QString chooseFile(const FileDialogRequest& request) override;

    /// Every request, in the order shown.
    const QList<FileDialogRequest>& requests() const { return m_requests; }
    const QStringList& errors() const { return m_errors; }

private:
    QList<FileDialogRequest> m_requests;
    std::deque<std::optional<QString>> m_results;
    QStringList m_errors;
};

class FakeFontDialog final : public FontDialog {
public:
    void chooseNext(const FontChoice& choice) { m_results.emplace_back(choice); }
    void cancelNext() { m_results.emplace_back(std::nullopt); }

    FontChoice chooseFont() override;

    /// How many times the dialog was shown.
    int shown() const { return m_shown; }
    const QStringList& errors() const { return m_errors; }

private:
    int m_shown = 0;
    std::deque<std::optional<FontChoice>> m_results;
    QStringList m_errors;
};

} // namespace platform::fakes
