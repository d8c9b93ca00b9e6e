// Message boxes for the command-line tool: messages go to standard error.
#pragma once

#include "platform/message_boxes.h"

namespace cli {

/// Prints each message on standard error, prefixed with the tool's name. The routines the tool
/// runs ask no questions; one asked anyway is printed and answered No.
class ConsoleMessageBoxes final : public platform::MessageBoxes {
public:
    void message(const QString& text, const QString& title) override;
    platform::Answer question(const QString& text, const QString& title,
                              platform::Answer defaultButton) override;
};

} // namespace cli
