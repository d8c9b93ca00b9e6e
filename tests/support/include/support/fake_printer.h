// A printer that records every printed line, with exact metrics that tests can compute by hand.
//
// Metrics, all exact in binary floating point for whole and half point sizes: a character is
// size/128 inch wide (12 pt: 0.09375 in), a line size/64 inch high (12 pt: 0.1875 in). The
// printable area is 8 × 10.5 inches unless set.
#pragma once

#include "platform/printer.h"

#include <QList>
#include <QStringList>

namespace platform::fakes {

struct PrintedLine {
    int document = 0; ///< 0 for the first document ended
    int page = 1;
    double x = 0;
    double y = 0;
    QString text;
    QString fontName;
    double fontSize = 0;
};

class RecordingPrinter final : public Printer {
public:
    void setScaleSize(double width, double height) {
        m_width = width;
        m_height = height;
    }
    /// Makes every later printLine() throw Error with `description` (empty: lines print).
    void failLines(const QString& description) { m_lineFailure = description; }

    /// Every line printed, in order.
    const QList<PrintedLine>& lines() const { return m_lines; }
    /// The texts of lines(), in order.
    QStringList texts() const;
    /// The document names of the documents ended, in order (endDoc() with nothing printed
    /// counts too).
    const QStringList& documents() const { return m_documents; }

    void setDocumentName(const QString& name) override { m_documentName = name; }
    double scaleWidth() override { return m_width; }
    double scaleHeight() override { return m_height; }
    double currentX() override { return m_x; }
    double currentY() override { return m_y; }
    void setCurrentX(double inches) override { m_x = inches; }
    void setCurrentY(double inches) override { m_y = inches; }
    void setFontName(const QString& name) override { m_fontName = name; }
    void setFontSize(double points) override;
    double fontSize() override { return m_fontSize; }
    double textWidth(const QString& text) override { return text.size() * m_fontSize / 128; }
    double textHeight(const QString&) override { return m_fontSize / 64; }
    void printLine(const QString& text) override;
    void newPage() override { ++m_page; }
    int page() override { return m_page; }
    void endDoc() override;

private:
    double m_width = 8.0;
    double m_height = 10.5;
    QString m_lineFailure;
    QList<PrintedLine> m_lines;
    QStringList m_documents;
    QString m_documentName;
    QString m_fontName;
    double m_fontSize = 12;
    double m_x = 0;
    double m_y = 0;
    int m_page = 1;
};

} // namespace platform::fakes
