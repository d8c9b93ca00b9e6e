// The hidden start-up window: runs the start-up sequence and holds the hidden lists for the
// whole run.
#pragma once

#include <functional>

#include <QStringList>
#include <QWidget>

#include "db/routines.h"

class frmInitial : public QWidget {
    Q_OBJECT
public:
    explicit frmInitial(QWidget* parent = nullptr);
    ~frmInitial() override;

    /// The one instance while it is loaded, or nullptr.
    static frmInitial* instance();

    /// The recently used database paths as read at start-up, "First" to "Sixth", empty slots
    /// skipped. Never refreshed during the run.
    QStringList List2;
    /// The in-memory reference lists: 0 clients, 1 activities, 2 projects.
    db::ReferenceLists List1;

    /// The load step: runs the start-up sequence. `showMainWindow` shows the main window
    /// (step 9). Returns false when the program must end (refusal or start-up error), after
    /// the messages were shown.
    bool load(const std::function<void()>& showMainWindow);
};
