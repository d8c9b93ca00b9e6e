#include "ui/help/frm_about.h"

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

frmAbout* frmAbout::showWindow() {
    return ui::showModeless<frmAbout>([] { return new frmAbout; });
}

frmAbout::frmAbout() {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(ui::windowIcon());

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::NoFrame);
    WebBrowser1 = new QLabel(Picture1);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setFrameShape(QFrame::NoFrame);
    WebBrowser1->setContentsMargins(0, 0, 0, 0);
    Picture1->setFixedSize(kPictureSize, kPictureSize);
    WebBrowser1->setGeometry(0, 0, kPictureSize, kPictureSize);

    lblCompanyProduct = label(this, "lblCompanyProduct", QStringLiteral("Brackenfold's"), 11);
    lblProductName = label(this, "lblProductName", QStringLiteral("Tarnwick"), 22, true);
    lblPlatform = label(this, "lblPlatform", QString(), 11);
    lblVersion = label(this, "lblVersion", QStringLiteral("Version 1.050518"), 11);
    lblPlatform->hide(); // empty: it takes no room

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("&System Info..."), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblCompanyProduct);
    texts->addWidget(lblProductName);
    texts->addWidget(lblPlatform);
    texts->addWidget(lblVersion);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(Picture1, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Line1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);

    Form_Load();
    cmdOK->setFocus();
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load() {
    platform::ignoreErrors([this] {
        m_picturePath = platform::Services::files().dataFilePath(QStringLiteral("tarnwick.gif"));
    });
    auto* movie = new QMovie(m_picturePath, QByteArray(), this);
    if (movie->isValid()) {
        m_movie = movie;
        WebBrowser1->setMovie(m_movie);
        m_movie->start();
        const QSize size = m_movie->currentImage().size();
        if (!size.isEmpty()) {
            Picture1->setFixedSize(size);
            WebBrowser1->setGeometry(0, 0, size.width(), size.height());
        }
    } else {
        delete movie;
    }
    setWindowTitle(QStringLiteral("About ") + kApplicationTitle);
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::Command1_Click() {
    ui::StartSysInfo();
}
