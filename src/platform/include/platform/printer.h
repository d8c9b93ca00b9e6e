// The printer: one document at a time, positioned in inches on the printable area.
//
// Coordinates are inches from the top-left corner of the printer's printable area (the paper
// less the margins the printer cannot print on); scaleWidth() and scaleHeight() are that area's
// size. The current position (currentX, currentY) is where the next line's text cell starts:
// its top-left corner, so a line printed at y = 1.0 has the top of its line box 1 inch below the
// top of the printable area.
//
// A document begins with the first printLine() or newPage() after the last endDoc() and ends
// with endDoc(). Font and position may be set, and text measured, before the document begins.
// Failures throw Error; their descriptions have no closing full stop, since the print routines
// follow them with the name of the routine.
#pragma once

#include <QFont>
#include <QString>
#include <memory>

class QFontMetricsF;

namespace platform {

class Printer {
public:
    virtual ~Printer() = default;

    /// Names the documents that begin from now on (the print queue's name; the PDF file's name
    /// starts with it).
    virtual void setDocumentName(const QString& name) = 0;

    virtual double scaleWidth() = 0;
    virtual double scaleHeight() = 0;

    virtual double currentX() = 0;
    virtual double currentY() = 0;
    virtual void setCurrentX(double inches) = 0;
    virtual void setCurrentY(double inches) = 0;

    /// The font face; for a name no installed font carries, the printer chooses a face.
    virtual void setFontName(const QString& name) = 0;
    /// In points. Throws for a size that is not positive, leaving the size as it was.
    virtual void setFontSize(double points) = 0;
    virtual double fontSize() = 0;

    /// The width of `text` in the current font, trailing blanks included.
    virtual double textWidth(const QString& text) = 0;
    /// The height of one line of the current font, the distance printLine() moves down.
    virtual double textHeight(const QString& text) = 0;

    /// Prints `text` with its top-left corner at the current position, then moves the position
    /// down one line (textHeight) and back to x = 0.
    virtual void printLine(const QString& text) = 0;
    /// Ends the page and begins the next one; the position is kept.
    virtual void newPage() = 0;
    /// The number of the page being printed, 1 for the first page of a document.
    virtual int page() = 0;
    /// Ends the document and sends it. A document in which nothing was printed sends nothing.
    virtual void endDoc() = 0;
};

/// QPrinter and QPainter at high resolution, with the printer's own margins (QPrinter's page
/// rectangle is the printable area).
///
/// Each document goes to the desktop's default printer (QPrinterInfo::defaultPrinter(), under
/// CUPS the default queue), on that printer's default paper. When the machine has no printer,
/// it is written to a PDF file, "<document name> yyyy-MM-dd hh.mm.ss.pdf" in the user's
/// documents folder (created when missing; " (2)" and so on added when the name is taken), which
/// is then opened in the desktop's viewer; a viewer that does not open is not an error. The PDF
/// page is US Letter when the locale measures in inches and A4 otherwise, with a quarter-inch
/// margin on every side, as on a typical office printer.
///
/// A document whose output cannot be opened (no printer job, PDF not writable) reports that
/// once, at its first line, and drops the rest of its output until endDoc().
class QtPrinter final : public Printer {
public:
    struct Options {
        /// Non-empty: every document is written to this PDF file, whatever printers the
        /// machine has, and no viewer is opened. For tests.
        QString pdfFile;
    };

    QtPrinter();
    explicit QtPrinter(Options options);
    ~QtPrinter() override;

    void setDocumentName(const QString& name) override;
    double scaleWidth() override;
    double scaleHeight() override;
    double currentX() override { return m_x; }
    double currentY() override { return m_y; }
    void setCurrentX(double inches) override { m_x = inches; }
    void setCurrentY(double inches) override { m_y = inches; }
    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    double fontSize() override { return m_font.pointSizeF(); }
    double textWidth(const QString& text) override;
    double textHeight(const QString& text) override;
    void printLine(const QString& text) override;
    void newPage() override;
    int page() override { return m_page; }
    void endDoc() override;

private:
    struct Document;

    Document& document();
    /// Whether output goes on; false when the document could not be opened.
    bool beginOutput();
    /// The current font's metrics on the document's device, in device pixels.
    QFontMetricsF metrics();

    Options m_options;
    QString m_documentName = QStringLiteral("Tarnwick");
    QFont m_font;
    double m_x = 0;
    double m_y = 0;
    int m_page = 1;
    std::unique_ptr<Document> m_document;
};

} // namespace platform
