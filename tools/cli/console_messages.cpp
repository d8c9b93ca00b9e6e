#include "console_messages.h"

#include <cstdio>

namespace cli {

void ConsoleMessageBoxes::message(const QString& text, const QString&) {
    std::fprintf(stderr, "tarnwick-cli: %s\n", text.toLocal8Bit().constData());
}

platform::Answer ConsoleMessageBoxes::question(const QString& text, const QString&,
                                               platform::Answer) {
    std::fprintf(stderr, "tarnwick-cli: %s (answered No)\n", text.toLocal8Bit().constData());
    return platform::Answer::No;
}

} // namespace cli
