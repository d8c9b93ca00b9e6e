// A window's menus and toolbar written as tables: each line names a control, its caption or
// tooltip and the command it runs, so that each command is written once (a member function, or
// a callable taking the window) and reached from its menu item, toolbar button and keys. See
// frm_todo.cpp for a whole window's tables.
//
// Error traps. A menu item whose line has an error prefix reports a failure of its command as
// the prefix followed by the error's description, and the command ends there. Without a prefix
// the command has a trap of its own (or cannot fail), and anything that escapes it is ignored.
// A toolbar button runs its command with errors ignored: a command with a trap of its own still
// reports, one without says nothing.
#pragma once

#include <QAction>
#include <QHash>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <array>
#include <functional>
#include <variant>

#include "platform/error.h"
#include "ui/common/toolbar_icons.h"

namespace ui {

/// A window's command: a member function of the window, or a callable taking it.
template <typename W> using Command = std::function<void(W&)>;

template <typename W> struct MenuLine {
    /// 0 on the menu bar, 1 in the last submenu of level 0 above it, 2 in the last of level 1.
    int level;
    /// The window's member that keeps the control: a QMenu* makes the line a submenu, a
    /// QAction* an item (at level 0, a command on the menu bar itself) or a separator.
    std::variant<QMenu * W::*, QAction * W::*> control;
    /// The control's name, its objectName().
    const char* name;
    /// The caption, an ampersand before the access key; "-" for a separator.
    const char* caption;
    Command<W> command = {};
    /// Put before the error's description when the command fails; nullptr: errors ignored.
    const char* errorPrefix = nullptr;
};

template <typename W> struct ToolbarButton {
    /// The key the button is told apart by: its data(), its text, and the name of its picture.
    const char* key;
    const char* toolTip;
    Command<W> command;
    /// A key that clicks the button while its window is active: a standard key, or where none
    /// fits, `keys` in portable text ("Alt+Home"). (A key sequence cannot be made before the
    /// application exists, so the tables keep these plain.)
    QKeySequence::StandardKey shortcut = QKeySequence::UnknownKey;
    const char* keys = nullptr;
};

/// Runs `command` as a menu item does (see the top of this file).
template <typename W>
void runMenuCommand(W& window, const Command<W>& command, const char* errorPrefix) {
    if (!command)
        return;
    if (errorPrefix != nullptr)
        platform::reportErrors(QString::fromUtf8(errorPrefix), [&] { command(window); });
    else
        platform::ignoreErrors([&] { command(window); });
}

/// Builds `lines` (an array of MenuLine<W>) on `bar` in order: names each control, keeps it in
/// its member of `window`, and connects each item that has a command to runMenuCommand.
template <typename W, typename Lines>
void buildMenus(W& window, QMenuBar& bar, const Lines& lines) {
    std::array<QMenu*, 3> last{}; // the last submenu made at each level
    for (const MenuLine<W>& line : lines) {
        const QString caption = QString::fromUtf8(line.caption);
        QMenu* parent = line.level == 0 ? nullptr : last.at(line.level - 1);
        if (const auto* menuMember = std::get_if<QMenu * W::*>(&line.control)) {
            QMenu* menu = parent != nullptr ? parent->addMenu(caption) : bar.addMenu(caption);
            menu->setObjectName(QLatin1String(line.name));
            window.*(*menuMember) = menu;
            last.at(line.level) = menu;
            continue;
        }
        const bool separator = caption == QLatin1String("-");
        QAction* action = parent != nullptr
                              ? (separator ? parent->addSeparator() : parent->addAction(caption))
                              : (separator ? bar.addSeparator() : bar.addAction(caption));
        action->setObjectName(QLatin1String(line.name));
        window.*std::get<QAction * W::*>(line.control) = action;
        if (line.command)
            QObject::connect(action, &QAction::triggered, &window,
                             [&window, command = line.command, prefix = line.errorPrefix] {
                                 runMenuCommand(window, command, prefix);
                             });
    }
}

/// Adds one button per entry of `buttons` (an array of ToolbarButton<W>) to `toolbar`: the
/// picture of its key (ui::toolbarIcon), its tooltip and shortcut, its key as its text and
/// data(), and the name toolbar name + ":" + key. A click calls `clicked` with the key. Returns
/// the pictures under their keys, the toolbar's image list.
template <typename Buttons>
QHash<QString, QIcon> buildToolbar(QToolBar& toolbar, const Buttons& buttons,
                                   const std::function<void(const QString&)>& clicked) {
    QHash<QString, QIcon> pictures;
    for (const auto& button : buttons) {
        const QString key = QLatin1String(button.key);
        pictures.insert(key, toolbarIcon(key));
        QAction* action = toolbar.addAction(pictures.value(key), key);
        action->setData(key);
        action->setToolTip(QLatin1String(button.toolTip));
        action->setObjectName(toolbar.objectName() + QLatin1Char(':') + key);
        const QKeySequence shortcut =
            button.shortcut != QKeySequence::UnknownKey
                ? QKeySequence(button.shortcut)
                : QKeySequence(QLatin1String(button.keys), QKeySequence::PortableText);
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
        }
    }
    QObject::connect(&toolbar, &QToolBar::actionTriggered, &toolbar,
                     [clicked](QAction* action) { clicked(action->data().toString()); });
    return pictures;
}

/// Runs the command of the button with `key`, ignoring its errors; a key that names no button
/// does nothing.
template <typename W, typename Buttons>
void runToolbarButton(W& window, const Buttons& buttons, const QString& key) {
    for (const ToolbarButton<W>& button : buttons) {
        if (key == QLatin1String(button.key)) {
            if (button.command)
                platform::ignoreErrors([&] { button.command(window); });
            return;
        }
    }
}

} // namespace ui
