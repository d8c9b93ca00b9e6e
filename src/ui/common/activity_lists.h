// The activity lists of the open item dialogs, as the Activities dialog reaches them when it
// closes with Done, without including the dialogs' headers.
#pragma once

#include <QStringList>

namespace ui {

/// A window holding an activity list (the Add and Edit item dialogs).
class ActivityListOwner {
public:
    virtual ~ActivityListOwner() = default;
    /// Replaces the entries of the window's activity list by `entries`, in their order.
    virtual void replaceActivityList(const QStringList& entries) = 0;
};

/// Replaces the activity list of every loaded window (ui::WindowRegistry) that holds one.
void replaceActivityLists(const QStringList& entries);

} // namespace ui
