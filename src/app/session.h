// What the program's windows share while it runs: the database file in use and the hold on it,
// its to-do items, the two fonts, the recently used files read at start, and the address the
// browser window starts at. Every window receives the session when it is made, and follows
// what the session announces (another file taken up, the activities changed, the program font
// chosen).
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "app/font_commands.h"
#include "app/item_store.h"
#include "db/file_hold.h"

namespace app {

class Session final : public QObject {
    Q_OBJECT
public:
    explicit Session(QObject* parent = nullptr);
    ~Session() override;

    /// The full path of the database file in use; empty until the start-up settles it. It
    /// changes only through takeUp(), when a switch to another file has succeeded.
    const QString& databasePath() const { return m_databasePath; }
    /// Makes `path` the file in use, with `hold` on it (db/file_hold.h); the hold on the file
    /// left is let go once the new one is in place. Announces databaseSwitched().
    void takeUp(const QString& path, db::FileHold hold);
    /// Lets go of the hold on the file in use (the main window closing): another Tarnwick may
    /// take the file up from now on.
    void releaseHold();
    bool holdsDatabase() const { return m_hold.holds(); }

    /// The items of the file in use.
    ItemStore& items() { return m_items; }
    const ItemStore& items() const { return m_items; }

    /// The program font (the lists and text boxes of every window, as each is made) and the
    /// print font.
    const FontSetting& programFont() const { return m_programFont; }
    const FontSetting& printFont() const { return m_printFont; }
    /// Sets the program font; with `announce`, programFontChanged() follows.
    void setProgramFont(const FontSetting& font, bool announce = true);
    void setPrintFont(const FontSetting& font) { m_printFont = font; }

    /// The recently used database paths as read at start-up, newest first, never refreshed
    /// during the run (the File menu shows them).
    const QStringList& recentDatabases() const { return m_recentDatabases; }
    void setRecentDatabases(const QStringList& paths) { m_recentDatabases = paths; }

    /// The address the browser window starts at when it is next made; empty until the browser
    /// sets it. It outlives the window.
    const QString& startAddress() const { return m_startAddress; }
    void setStartAddress(const QString& address) { m_startAddress = address; }

    /// The activities of the file in use are now `activities`, in this order (the Activities
    /// dialog's Done): announces activitiesChanged() to the open item dialogs.
    void announceActivities(const QStringList& activities);

signals:
    void databaseSwitched(const QString& path);
    void activitiesChanged(const QStringList& activities);
    void programFontChanged(const app::FontSetting& font);

private:
    QString m_databasePath;
    db::FileHold m_hold;
    ItemStore m_items;
    FontSetting m_programFont;
    FontSetting m_printFont;
    QStringList m_recentDatabases;
    QString m_startAddress;
};

} // namespace app
