#include "platform/font_dialog.h"

#include "modal_cursor.h"
#include "platform/error.h"

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>

namespace platform {

FontChoice QtFontDialog::chooseFont() {
    QFontDialog dialog(m_lastChoice.value_or(QApplication::font()), dialogParent());
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    ArrowCursorWhileModal arrow;
    if (dialog.exec() != QDialog::Accepted)
        throw CancelledError();
    const QFont font = dialog.selectedFont();
    m_lastChoice = font;
    // A font sized in pixels has no point size of its own; take the one it is shown at.
    const double pointSize =
        font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    return {font.family(), pointSize};
}

} // namespace platform
