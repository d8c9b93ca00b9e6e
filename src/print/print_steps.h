// What the print routines share: running their steps so that a failing step is reported and
// the routine goes on, the font size conversion, the page label at the foot of a page, and the
// busy pointer while a document is built.
#pragma once

#include <QString>

#include "platform/error.h"

namespace platform {
class Printer;
}

namespace print::detail {

/// Runs the steps of one print routine. A step that throws is reported in a message box as the
/// error's description followed by `suffix` (" in Print function."), and has no further effect;
/// the routine then goes on with its next step.
class Steps {
public:
    explicit Steps(QString suffix) : m_suffix(std::move(suffix)) {}

    /// Runs `step`; false when it failed (and was reported).
    template <typename Step> bool operator()(Step&& step) {
        return platform::reportErrors(QString(), step, m_suffix);
    }

    /// The result of the test `condition`; a test that fails is reported and counts as false.
    template <typename Condition> bool test(Condition&& condition) {
        bool result = false;
        (*this)([&] { result = condition(); });
        return result;
    }

private:
    QString m_suffix;
};

/// Points from a size text, read as app::PointsFromSizeText reads it ("12", "10.5", "10,5").
/// Throws platform::Error for a text that is not a positive number.
float pointsFromText(const QString& text);

/// Prints the page label centred on the bottom-margin line: the page end without its new page.
void PrintPageLabel(platform::Printer& printer, Steps& step);

/// Shows the busy pointer for its lifetime where the program has one; never throws.
class BusyWhilePrinting {
public:
    BusyWhilePrinting();
    ~BusyWhilePrinting();
    BusyWhilePrinting(const BusyWhilePrinting&) = delete;
    BusyWhilePrinting& operator=(const BusyWhilePrinting&) = delete;
};

} // namespace print::detail
