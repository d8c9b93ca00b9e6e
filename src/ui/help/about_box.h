// The About box: the maker, the product and its version beside the product's animated
// picture, with "OK" and "&System Info..." (ui/help/system_info.h).
//
// The window is modeless, created on first show and destroyed when closed; it exists at most
// once. Its caption is "About " followed by the application title, "Tarnwick".
//
// Choices of this window:
// - The picture is "tarnwick.gif" as platform::Files::dataFilePath() finds it: beside the
//   executable, else in the install's data folder. It plays in a label (QMovie), which has no
//   border or scroll bars to hide; a frame holds it without a border. When the file is
//   missing or unreadable, the frame stays empty at the picture's usual size.
// - Enter presses "OK"; Escape closes the window too. "OK" has the focus when it opens.
// - The labels use Arial (or the desktop's substitute for it).
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QMovie;

namespace ui {

class AboutBox final : public QDialog {
    Q_OBJECT
public:
    /// Shows the window modeless: creates it, or brings the open one to the front.
    static AboutBox* showWindow();

    ~AboutBox() override;

    /// The path of the picture file the window showed, or tried to.
    QString picturePath() const { return m_picturePath; }
    /// The playing picture, or nullptr when the file could not be read.
    QMovie* movie() const { return m_movie; }

private:
    AboutBox();
    void load();

    /// The borderless frame around the picture, and the label that plays it.
    QFrame* m_pictureFrame = nullptr;
    QLabel* m_picture = nullptr;
    QString m_picturePath;
    QMovie* m_movie = nullptr;
};

} // namespace ui
