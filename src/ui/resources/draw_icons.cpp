// Draws the bundled toolbar pictures and the window icon into PNG files, 16, 24 and 32 pixels
// square. Every picture is drawn on a 32 × 32 grid and scaled, with shapes only (no fonts), so
// the output does not depend on the machine it runs on.
//
//     cmake --build BUILD --target tarnwick_draw_icons
//     QT_QPA_PLATFORM=offscreen BUILD/src/ui/tarnwick_draw_icons src/ui/resources/icons
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

const QColor kOutline(60, 60, 70);
const QColor kPaper(255, 255, 255);
const QColor kLines(150, 160, 175);
const QColor kFolder(240, 196, 80);
const QColor kFolderDark(196, 146, 40);
const QColor kInk(30, 60, 150);
const QColor kGreen(40, 150, 60);
const QColor kRed(200, 40, 40);
const QColor kPrinter(175, 180, 190);
const QColor kPrinterDark(110, 115, 125);

QPen outline(double width = 1.5) {
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet with a folded top-right corner, inside (x, y, w, h).
void sheet(QPainter& p, double x, double y, double w, double h, double fold = 7) {
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + w - fold, y);
    path.lineTo(x + w, y + fold);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setPen(outline());
    p.setBrush(kPaper);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(x + w - fold, y);
    corner.lineTo(x + w - fold, y + fold);
    corner.lineTo(x + w, y + fold);
    p.setBrush(QColor(225, 228, 235));
    p.drawPath(corner);
}

void textLines(QPainter& p, double x, double y, double w, int count, double gap = 4) {
    p.setPen(QPen(kLines, 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(x, y + i * gap), QPointF(x + w - (i % 2) * 4, y + i * gap));
}

// A capital A as strokes, its feet on `base`, `height` tall.
void letterA(QPainter& p, double left, double base, double height, double width, QColor color,
             double stroke) {
    p.setPen(QPen(color, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF top(left + width / 2, base - height);
    p.drawLine(QPointF(left, base), top);
    p.drawLine(top, QPointF(left + width, base));
    p.drawLine(QPointF(left + width * 0.25, base - height * 0.38),
               QPointF(left + width * 0.75, base - height * 0.38));
}

void printer(QPainter& p, double x, double y, double w, double h) {
    // Paper standing in the feed, the body, and the sheet coming out.
    p.setPen(outline());
    p.setBrush(kPaper);
    p.drawRect(QRectF(x + w * 0.22, y, w * 0.56, h * 0.4));
    p.setBrush(kPrinter);
    p.drawRoundedRect(QRectF(x, y + h * 0.32, w, h * 0.45), 2, 2);
    p.setBrush(kPrinterDark);
    p.drawRect(QRectF(x + w * 0.15, y + h * 0.62, w * 0.7, h * 0.08));
    p.setBrush(kPaper);
    p.drawRect(QRectF(x + w * 0.22, y + h * 0.68, w * 0.56, h * 0.32));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(x + w * 0.85, y + h * 0.45), 1.3, 1.3);
}

void drawNew(QPainter& p) {
    sheet(p, 6, 3, 20, 26);
    // A sparkle: the sheet is new.
    p.setPen(QPen(QColor(230, 170, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
    const QPointF c(24, 8);
    p.drawLine(c + QPointF(-5, 0), c + QPointF(5, 0));
    p.drawLine(c + QPointF(0, -5), c + QPointF(0, 5));
    p.drawLine(c + QPointF(-3.2, -3.2), c + QPointF(3.2, 3.2));
    p.drawLine(c + QPointF(-3.2, 3.2), c + QPointF(3.2, -3.2));
}

void drawOpen(QPainter& p) {
    p.setPen(outline());
    QPainterPath back;
    back.moveTo(3, 26);
    back.lineTo(3, 8);
    back.lineTo(11, 8);
    back.lineTo(13, 11);
    back.lineTo(25, 11);
    back.lineTo(25, 26);
    back.closeSubpath();
    p.setBrush(kFolderDark);
    p.drawPath(back);
    sheet(p, 8, 5, 14, 14, 4);
    QPainterPath front;
    front.moveTo(3, 26);
    front.lineTo(8, 15);
    front.lineTo(30, 15);
    front.lineTo(25, 26);
    front.closeSubpath();
    p.setBrush(kFolder);
    p.drawPath(front);
}

void drawProgramFont(QPainter& p) {
    letterA(p, 2, 27, 22, 17, kInk, 3.2);
    letterA(p, 19, 27, 12, 10, kOutline, 2.2);
}

void drawPrintFont(QPainter& p) {
    printer(p, 10, 12, 20, 18);
    letterA(p, 2, 22, 19, 13, kInk, 3);
}

void drawAddItem(QPainter& p) {
    sheet(p, 3, 3, 20, 25);
    textLines(p, 7, 11, 11, 4);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(23, 23), 7.5, 7.5);
    p.setPen(QPen(Qt::white, 2.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23, 19), QPointF(23, 27));
    p.drawLine(QPointF(19, 23), QPointF(27, 23));
}

void drawEditItem(QPainter& p) {
    sheet(p, 3, 3, 20, 25);
    textLines(p, 7, 11, 11, 4);
    // A pencil from the top right down to the lower middle.
    p.save();
    p.translate(18, 22);
    p.rotate(-45);
    p.setPen(outline(1.2));
    p.setBrush(QColor(250, 200, 60));
    p.drawRect(QRectF(0, -3, 14, 6));
    p.setBrush(QColor(235, 120, 120));
    p.drawRect(QRectF(14, -3, 3, 6));
    QPainterPath tip;
    tip.moveTo(0, -3);
    tip.lineTo(-5, 0);
    tip.lineTo(0, 3);
    tip.closeSubpath();
    p.setBrush(QColor(240, 215, 170));
    p.drawPath(tip);
    p.restore();
}

void drawDeleteItem(QPainter& p) {
    p.setPen(QPen(QColor(120, 10, 10), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
    p.setPen(QPen(kRed, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void drawPrint(QPainter& p) {
    printer(p, 3, 4, 26, 24);
}

void drawHelp(QPainter& p) {
    p.setPen(QPen(QColor(20, 50, 130), 1.5));
    p.setBrush(QColor(50, 110, 210));
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setPen(QPen(Qt::white, 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(11.5, 12.5);
    hook.cubicTo(11.5, 6.5, 21, 6.5, 20.5, 12);
    hook.cubicTo(20, 15.5, 16, 15.5, 16, 19.5);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 24.5), 2, 2);
}

void drawWindowIcon(QPainter& p) {
    // A clipboard holding a ticked list.
    p.setPen(outline());
    p.setBrush(QColor(170, 115, 60));
    p.drawRoundedRect(QRectF(4, 4, 24, 27), 2.5, 2.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 8, 18, 20));
    p.setBrush(kPrinter);
    p.drawRoundedRect(QRectF(11, 2, 10, 5), 1.5, 1.5);
    for (int i = 0; i < 3; ++i) {
        const double y = 13 + i * 5.5;
        p.setPen(QPen(kGreen, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(9, y), QPointF(10.5, y + 1.5));
        p.drawLine(QPointF(10.5, y + 1.5), QPointF(13, y - 1.5));
        p.setPen(QPen(kLines, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, y), QPointF(22, y));
    }
}

struct Picture {
    const char* name;
    std::function<void(QPainter&)> draw;
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const Picture pictures[] = {
        {"new", drawNew},
        {"open", drawOpen},
        {"program-font", drawProgramFont},
        {"print-font", drawPrintFont},
        {"add-item", drawAddItem},
        {"edit-item", drawEditItem},
        {"delete-item", drawDeleteItem},
        {"print", drawPrint},
        {"help", drawHelp},
        {"tarnwick", drawWindowIcon},
    };
    for (const Picture& picture : pictures) {
        for (int size : {16, 24, 32}) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(size / 32.0, size / 32.0);
            picture.draw(painter);
            painter.end();
            const QString path =
                folder.filePath(QStringLiteral("%1-%2.png").arg(picture.name).arg(size));
            if (!image.save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return 0;
}
