// The font dialog: the user picks a font family and a size.
#pragma once

#include <QFont>
#include <QString>
#include <optional>

namespace platform {

struct FontChoice {
    QString family;
    /// In points; may be fractional (10.5).
    double pointSize = 0;

    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

class FontDialog {
public:
    virtual ~FontDialog() = default;
    /// Shows the dialog and returns the chosen family and size; style, effects and script are
    /// not reported. Throws CancelledError when the user cancels.
    virtual FontChoice chooseFont() = 0;
};

/// Qt's own QFontDialog over the active window, whose size box also takes sizes such as 10.5
/// (the locale's decimal separator or a point, 1 to 512 points, up to two decimals); the size
/// list offers whole sizes. It opens with the last font chosen in it during the run, at first
/// with the application's default font. One object serves every font command, so they share
/// that memory.
class QtFontDialog final : public FontDialog {
public:
    FontChoice chooseFont() override;

private:
    std::optional<QFont> m_lastChoice;
};

} // namespace platform
