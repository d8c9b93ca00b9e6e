#include "app/session.h"

namespace app {

Session::Session(QObject* parent) : QObject(parent) {}

Session::~Session() = default;

void Session::takeUp(const QString& path, db::FileHold hold) {
    m_databasePath = path;
    m_hold = std::move(hold); // the old hold goes once the new one is in place
    emit databaseSwitched(path);
}

void Session::releaseHold() {
    m_hold.release();
}

void Session::setProgramFont(const FontSetting& font, bool announce) {
    m_programFont = font;
    if (announce)
        emit programFontChanged(font);
}

void Session::announceActivities(const QStringList& activities) {
    emit activitiesChanged(activities);
}

} // namespace app
