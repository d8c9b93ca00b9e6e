// Message boxes: plain messages and Yes/No questions, both application-modal.
#pragma once

#include <QString>

namespace platform {

enum class Answer { Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    /// Shows `text` with an OK button only and no icon, and returns once it is dismissed.
    /// The default title is the application's; implementations do not repeat the default, so
    /// call through this interface.
    virtual void message(const QString& text,
                         const QString& title = QStringLiteral("Tarnwick")) = 0;

    /// Asks a question with Yes and No buttons and the question icon. `defaultButton` is the
    /// button Enter presses; Escape and closing the box answer No.
    virtual Answer question(const QString& text, const QString& title, Answer defaultButton) = 0;
};

/// QMessageBox over the active window. Texts are shown as plain text, never as markup, since
/// they often hold file paths. While the box is up the pointer is the normal arrow, even when
/// the program has set the busy pointer.
class QtMessageBoxes final : public MessageBoxes {
public:
    void message(const QString& text, const QString& title) override;
    Answer question(const QString& text, const QString& title, Answer defaultButton) override;
};

} // namespace platform
