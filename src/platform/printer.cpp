#include "platform/printer.h"

#include "platform/error.h"
#include "platform/files.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

struct QtPrinter::Document {
    QPrinter printer{QPrinter::HighResolution};
    QPainter painter;
    bool toPdf = false;
    QString pdfPath;
    bool openViewer = false;
    bool started = false;
    bool failed = false;

    /// Device pixels per inch; painter coordinates are device pixels from the printable area's
    /// top-left corner.
    double resolution() const { return printer.resolution(); }
};

namespace {

// A new file in the user's documents folder named after the document and the time.
QString newPdfPath(const QString& documentName) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("Cannot create the folder %1").arg(folder));
    const QString stem =
        documentName + QLatin1Char(' ') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    QString path = joinPath(folder, stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = joinPath(folder, stem + QStringLiteral(" (%1).pdf").arg(n));
    return path;
}

} // namespace

QtPrinter::QtPrinter() : QtPrinter(Options{}) {}
QtPrinter::QtPrinter(Options options) : m_options(std::move(options)) {
    setFontName(QStringLiteral("Arial"));
    m_font.setPointSizeF(12);
}
QtPrinter::~QtPrinter() = default;

void QtPrinter::setDocumentName(const QString& name) {
    m_documentName = name;
}

// The document being printed, set up on first use: the default printer with its own paper and
// margins, or a PDF page.
QtPrinter::Document& QtPrinter::document() {
    if (m_document)
        return *m_document;
    auto document = std::make_unique<Document>();
    QPrinter& printer = document->printer;
    const QPrinterInfo defaultPrinter =
        m_options.pdfFile.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo();
    if (!defaultPrinter.isNull()) {
        printer.setPrinterName(defaultPrinter.printerName());
        // QPrinter keeps the paper it started with (A4) on any printer that offers it; the
        // queue's own default paper is what its trays hold. The margins follow the paper.
        printer.setPageSize(defaultPrinter.defaultPageSize());
    } else {
        document->toPdf = true;
        document->pdfPath = m_options.pdfFile;
        document->openViewer = m_options.pdfFile.isEmpty();
        printer.setOutputFormat(QPrinter::PdfFormat);
        const bool inches = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
        printer.setPageLayout(QPageLayout(QPageSize(inches ? QPageSize::Letter : QPageSize::A4),
                                          QPageLayout::Portrait, QMarginsF(0.25, 0.25, 0.25, 0.25),
                                          QPageLayout::Inch));
    }
    printer.setFullPage(false);
    printer.setDocName(m_documentName);
    m_document = std::move(document);
    return *m_document;
}

bool QtPrinter::beginOutput() {
    Document& document = this->document();
    if (document.failed)
        return false;
    if (document.started)
        return true;
    document.failed = true;
    if (document.toPdf) {
        if (document.pdfPath.isEmpty())
            document.pdfPath = newPdfPath(m_documentName);
        document.printer.setOutputFileName(document.pdfPath);
    }
    if (!document.painter.begin(&document.printer)) {
        if (document.toPdf)
            throw Error(QStringLiteral("Cannot write the file %1").arg(document.pdfPath));
        throw Error(QStringLiteral("The printer %1 cannot start the document")
                        .arg(document.printer.printerName()));
    }
    document.failed = false;
    document.started = true;
    return true;
}

double QtPrinter::scaleWidth() {
    Document& document = this->document();
    return document.printer.pageRect(QPrinter::DevicePixel).width() / document.resolution();
}

double QtPrinter::scaleHeight() {
    Document& document = this->document();
    return document.printer.pageRect(QPrinter::DevicePixel).height() / document.resolution();
}

// A family no installed font carries falls back to Arial (under fontconfig its metric twin
// Liberation Sans) rather than to the desktop's default face: the print-outs' columns were laid
// out for its widths, and a wider face makes 12-point headings run into each other.
void QtPrinter::setFontName(const QString& name) {
    m_font.setFamily(QFontDatabase::hasFamily(name) ? name : QStringLiteral("Arial"));
}

void QtPrinter::setFontSize(double points) {
    if (!(points > 0))
        throw Error(QStringLiteral("%1 is not a valid font size").arg(points));
    m_font.setPointSizeF(points);
}

QFontMetricsF QtPrinter::metrics() {
    return QFontMetricsF(m_font, &document().printer);
}

double QtPrinter::textWidth(const QString& text) {
    return metrics().horizontalAdvance(text) / document().resolution();
}

double QtPrinter::textHeight(const QString&) {
    return metrics().lineSpacing() / document().resolution();
}

void QtPrinter::printLine(const QString& text) {
    const double lineHeight = textHeight(text);
    if (beginOutput()) {
        Document& document = *m_document;
        document.painter.setFont(m_font);
        const double dpi = document.resolution();
        document.painter.drawText(QPointF(m_x * dpi, m_y * dpi + metrics().ascent()), text);
    }
    m_y += lineHeight;
    m_x = 0;
}

void QtPrinter::newPage() {
    if (beginOutput() && !m_document->printer.newPage())
        throw Error(QStringLiteral("The printer cannot begin a new page"));
    ++m_page;
}

void QtPrinter::endDoc() {
    std::unique_ptr<Document> document = std::move(m_document);
    m_page = 1;
    if (!document || !document->started)
        return;
    if (!document->painter.end())
        throw Error(QStringLiteral("The printer cannot finish the document"));
    if (document->openViewer)
        QDesktopServices::openUrl(QUrl::fromLocalFile(document->pdfPath));
}

} // namespace platform
