// A window's menus and toolbar written as tables: each line names a control, its caption or
// tooltip and the command it runs, so that each command is written once (a member function, or
// a callable taking the window) and reached from its menu item, toolbar button and keys. See
// main_window.cpp for a whole window's tables. A window whose commands are private members
// writes its tables inside a member function, where it may name them.
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

/// A menu line that is a submenu the window does not keep.
struct Submenu {};

template <typename W> struct MenuLine {
    /// 0 on the menu bar, 1 in the last submenu of level 0 above it, 2 in the last of level 1.
    int level;
    /// What the line is, and where the window keeps it: Submenu{} or a QMenu* member makes the
    /// line a submenu; nothing ({}) or a QAction* member an item (at level 0, a command on the
    /// menu bar itself) or a separator.
    std::variant<std::monostate, Submenu, QMenu * W::*, QAction * W::*> control;
    /// The control's name, its objectName().
    const char* name;
    /// The caption, an ampersand before the access key; "-" for a separator.
    const char* caption;
    Command<W> command = {};
    /// Put before the error's description when the command fails; nullptr: errors ignored.
    const char* errorPrefix = nullptr;
};

template <typename W> struct ToolbarButton {
    /// The key the button is told apart by: its data(), and the name of its picture.
    const char* key;
    const char* toolTip;
    Command<W> command;
    /// The text shown beside the picture, on a toolbar that shows texts (the browser's).
    const char* caption = nullptr;
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
/// its member of `window` where the line names one, and connects each item that has a command
/// to runMenuCommand.
template <typename W, typename Lines>
void buildMenus(W& window, QMenuBar& bar, const Lines& lines) {
    std::array<QMenu*, 3> last{}; // the last submenu made at each level
    for (const MenuLine<W>& line : lines) {
        const QString caption = QString::fromUtf8(line.caption);
        QMenu* parent = line.level == 0 ? nullptr : last.at(line.level - 1);
        const auto* menuMember = std::get_if<QMenu * W::*>(&line.control);
        if (menuMember != nullptr || std::holds_alternative<Submenu>(line.control)) {
            QMenu* menu = parent != nullptr ? parent->addMenu(caption) : bar.addMenu(caption);
            menu->setObjectName(QLatin1String(line.name));
            if (menuMember != nullptr)
                window.*(*menuMember) = menu;
            last.at(line.level) = menu;
            continue;
        }
        const bool separator = caption == QLatin1String("-");
        QAction* action = parent != nullptr
                              ? (separator ? parent->addSeparator() : parent->addAction(caption))
                              : (separator ? bar.addSeparator() : bar.addAction(caption));
        action->setObjectName(QLatin1String(line.name));
        if (const auto* actionMember = std::get_if<QAction * W::*>(&line.control))
            window.*(*actionMember) = action;
        if (line.command)
            QObject::connect(action, &QAction::triggered, &window,
                             [&window, command = line.command, prefix = line.errorPrefix] {
                                 runMenuCommand(window, command, prefix);
                             });
    }
}

/// A toolbar across the top of `parent`, fixed in place, named `name`: pictures of 20 pixels,
/// and no texts unless `withTexts`.
QToolBar* makeToolbar(QWidget& parent, const QString& name, bool withTexts = false);

/// Adds one button per entry of `buttons` (an array of ToolbarButton<W>) to `toolbar`: the
/// picture of its key (ui::toolbarIcon), its tooltip and shortcut, its caption (else its
/// tooltip) as its text, its key as its data(), and the name toolbar name + ":" + key. A click
/// calls `clicked` with the key.
template <typename Buttons>
void buildToolbar(QToolBar& toolbar, const Buttons& buttons,
                  const std::function<void(const QString&)>& clicked) {
    for (const auto& button : buttons) {
        const QString key = QLatin1String(button.key);
        QAction* action = toolbar.addAction(
            toolbarIcon(key),
            QString::fromUtf8(button.caption != nullptr ? button.caption : button.toolTip));
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
