#include "ui/help/about_box.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QMovie>
#include <QPushButton>

#include <exception>

#include "platform/error.h"
#include "platform/services.h"
#include "ui/common/single_window.h"
#include "ui/common/toolbar_icons.h"
#include "ui/help/system_info.h"

namespace ui {
namespace {

// The application title, as shown in the caption.
const QString kApplicationTitle = QStringLiteral("Tarnwick");
// The picture's size when it cannot be read, in pixels (that of tarnwick.gif).
constexpr int kPictureSize = 96;

QLabel* label(QWidget* parent, const char* name, const QString& text, int pointSize,
              bool bold = false) {
    auto* result = new QLabel(text, parent);
    result->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(bold);
    result->setFont(font);
    return result;
}

} // namespace

AboutBox* AboutBox::showWindow() {
    return showModeless<AboutBox>([] { return new AboutBox; });
}

AboutBox::AboutBox() {
    setObjectName(QStringLiteral("aboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(windowIcon());

    m_pictureFrame = new QFrame(this);
    m_pictureFrame->setObjectName(QStringLiteral("pictureFrame"));
    m_pictureFrame->setFrameShape(QFrame::NoFrame);
    m_picture = new QLabel(m_pictureFrame);
    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setFrameShape(QFrame::NoFrame);
    m_picture->setContentsMargins(0, 0, 0, 0);
    m_pictureFrame->setFixedSize(kPictureSize, kPictureSize);
    m_picture->setGeometry(0, 0, kPictureSize, kPictureSize);

    QLabel* maker = label(this, "makerLabel", QStringLiteral("Brackenfold's"), 11);
    QLabel* product = label(this, "productLabel", QStringLiteral("Tarnwick"), 22, true);
    QLabel* platformLabel = label(this, "platformLabel", QString(), 11);
    QLabel* version = label(this, "versionLabel", QStringLiteral("Version 1.050518"), 11);
    platformLabel->hide(); // empty: it takes no room

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* systemInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    systemInfo->setObjectName(QStringLiteral("systemInfoButton"));
    systemInfo->setAutoDefault(false);

    auto* texts = new QVBoxLayout;
    texts->addWidget(maker);
    texts->addWidget(product);
    texts->addWidget(platformLabel);
    texts->addWidget(version);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_pictureFrame, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(systemInfo);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &AboutBox::close);
    connect(systemInfo, &QPushButton::clicked, this, [] { StartSysInfo(); });

    load();
    ok->setFocus();
}

AboutBox::~AboutBox() = default;

void AboutBox::load() {
    platform::ignoreErrors([this] {
        m_picturePath = platform::Services::files().dataFilePath(QStringLiteral("tarnwick.gif"));
    });
    auto* movie = new QMovie(m_picturePath, QByteArray(), this);
    if (movie->isValid()) {
        m_movie = movie;
        m_picture->setMovie(m_movie);
        m_movie->start();
        const QSize size = m_movie->currentImage().size();
        if (!size.isEmpty()) {
            m_pictureFrame->setFixedSize(size);
            m_picture->setGeometry(0, 0, size.width(), size.height());
        }
    } else {
        delete movie;
    }
    setWindowTitle(QStringLiteral("About ") + kApplicationTitle);
}

} // namespace ui
