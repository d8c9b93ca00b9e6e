// Draws the application icon for the desktop's launchers at 48, 64, 128 and 256 pixels (PNG)
// and as a scalable SVG, from one list of shapes on a 256 × 256 grid. The design is the window
// icon's (a clipboard holding a ticked list, src/ui/resources/draw_icons.cpp), with the detail
// a large picture can carry; the 16, 24 and 32 pixel launcher icons are the window icon's own
// pictures, which are drawn for those sizes. Shapes only (no fonts), so the output does not
// depend on the machine it runs on.
//
//     cmake --build BUILD --target tarnwick_draw_app_icon
//     QT_QPA_PLATFORM=offscreen BUILD/packaging/tarnwick_draw_app_icon packaging/icons
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace {

constexpr double kGrid = 256;

const QColor kOutline(60, 60, 70);
const QColor kBoard(170, 115, 60);
const QColor kBoardEdge(140, 90, 42);
const QColor kPaper(255, 255, 255);
const QColor kPaperShade(228, 232, 240);
const QColor kClip(175, 180, 190);
const QColor kClipDark(110, 115, 125);
const QColor kLines(150, 160, 175);
const QColor kBox(120, 128, 140);
const QColor kTick(40, 150, 60);
const QColor kOverdue(200, 60, 60);

// One shape of the picture: a rounded rectangle, a circle (the rectangle's inscribed one) or a
// polyline with round caps and joins. A transparent fill or a zero stroke width leaves that
// part out.
struct Shape {
    enum Kind { Rect, Circle, Line } kind;
    QRectF rect;
    double radius = 0;
    QPolygonF points;
    QColor fill = Qt::transparent;
    QColor stroke = Qt::transparent;
    double strokeWidth = 0;
};

Shape rect(QRectF r, double radius, QColor fill, QColor stroke = Qt::transparent,
           double width = 0) {
    return {Shape::Rect, r, radius, {}, fill, stroke, width};
}

Shape circle(QPointF centre, double r, QColor fill) {
    return {Shape::Circle, QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), r, {}, fill};
}

Shape line(QPolygonF points, QColor stroke, double width) {
    return {Shape::Line, {}, 0, std::move(points), Qt::transparent, stroke, width};
}

std::vector<Shape> picture() {
    std::vector<Shape> shapes;
    // The board, with a darker lower edge for depth, and the sheet on it.
    shapes.push_back(rect({32, 28, 192, 220}, 20, kBoardEdge));
    shapes.push_back(rect({32, 24, 192, 216}, 20, kBoard, kOutline, 6));
    shapes.push_back(rect({56, 56, 144, 168}, 4, kPaper, kOutline, 5));
    shapes.push_back(rect({59, 210, 138, 11}, 0, kPaperShade));
    // The clip: a metal plate with a hole, and its lower bar.
    shapes.push_back(rect({88, 8, 80, 44}, 12, kClip, kOutline, 6));
    shapes.push_back(circle({128, 24}, 8, kBoardEdge));
    shapes.push_back(rect({100, 40, 56, 8}, 3, kClipDark));
    // Four rows: three done and ticked, the last still open and overdue.
    const double rows[] = {92, 126, 160, 194};
    const double ends[] = {180, 168, 180, 160};
    for (int i = 0; i < 4; ++i) {
        const double y = rows[i];
        const bool done = i < 3;
        shapes.push_back(rect({72, y - 12, 24, 24}, 4, kPaper, done ? kBox : kOverdue, 5));
        shapes.push_back(line({QPointF(112, y), QPointF(ends[i], y)}, kLines, 9));
        if (done)
            shapes.push_back(
                line({QPointF(75, y - 1), QPointF(85, y + 10), QPointF(104, y - 17)}, kTick, 10));
    }
    return shapes;
}

void paint(QPainter& p, const std::vector<Shape>& shapes) {
    for (const Shape& s : shapes) {
        if (s.strokeWidth > 0)
            p.setPen(QPen(s.stroke, s.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        else
            p.setPen(Qt::NoPen);
        p.setBrush(s.fill.alpha() == 0 ? QBrush(Qt::NoBrush) : QBrush(s.fill));
        switch (s.kind) {
        case Shape::Rect:
            p.drawRoundedRect(s.rect, s.radius, s.radius);
            break;
        case Shape::Circle:
            p.drawEllipse(s.rect);
            break;
        case Shape::Line:
            p.drawPolyline(s.points);
            break;
        }
    }
}

QString number(double v) {
    return QString::number(v, 'g', 6);
}

QString svgColor(QColor c) {
    return c.alpha() == 0 ? QStringLiteral("none") : c.name(QColor::HexRgb);
}

QString svg(const std::vector<Shape>& shapes) {
    QString text;
    QTextStream out(&text);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\""
           " viewBox=\"0 0 256 256\">\n";
    for (const Shape& s : shapes) {
        QString style = QStringLiteral(" fill=\"%1\"").arg(svgColor(s.fill));
        if (s.strokeWidth > 0)
            style += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linecap=\"round\""
                                    " stroke-linejoin=\"round\"")
                         .arg(svgColor(s.stroke), number(s.strokeWidth));
        switch (s.kind) {
        case Shape::Rect:
            out << "  <rect x=\"" << number(s.rect.x()) << "\" y=\"" << number(s.rect.y())
                << "\" width=\"" << number(s.rect.width()) << "\" height=\""
                << number(s.rect.height()) << "\"";
            if (s.radius > 0)
                out << " rx=\"" << number(s.radius) << "\"";
            break;
        case Shape::Circle:
            out << "  <circle cx=\"" << number(s.rect.center().x()) << "\" cy=\""
                << number(s.rect.center().y()) << "\" r=\"" << number(s.radius) << "\"";
            break;
        case Shape::Line: {
            QStringList points;
            for (const QPointF& point : s.points)
                points << number(point.x()) + QLatin1Char(',') + number(point.y());
            out << "  <polyline points=\"" << points.join(QLatin1Char(' ')) << "\"";
            break;
        }
        }
        out << style << "/>\n";
    }
    out << "</svg>\n";
    return text;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const std::vector<Shape> shapes = picture();
    for (int size : {48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / kGrid, size / kGrid);
        paint(painter, shapes);
        painter.end();
        const QString path = folder.filePath(QStringLiteral("tarnwick-%1.png").arg(size));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    QFile file(folder.filePath(QStringLiteral("tarnwick.svg")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(svg(shapes).toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return 1;
    }
    return 0;
}
