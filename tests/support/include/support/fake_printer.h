// A printer that records every printed line, with exact metrics: a character is size/128 inch
// wide (12 pt: 0.09375), a line size/64 inch high (12 pt: 0.1875); the printable area is 8 × 10.5
// inches.
#pragma once

#include "platform/error.h"
#include "platform/printer.h"

#include <QList>
#include <QStringList>

namespace platform::fakes {

struct PrintedLine {
    int page = 1;
    double x = 0;
    double y = 0;
    QString text;
    QString fontName;
    double fontSize = 0;
};

class RecordingPrinter final : public Printer {
public:
    /// Makes every later printLine() throw Error with `description`.
    void failLines(const QString& description) { m_lineFailure = description; }

    QList<PrintedLine> lines;
    /// The names of the documents ended, in order.
    QStringList documents;

    void setDocumentName(const QString& name) override { m_documentName = name; }
    double scaleWidth() override { return 8.0; }
    double scaleHeight() override { return 10.5; }
    double currentX() override { return m_x; }
    double currentY() override { return m_y; }
    void setCurrentX(double inches) override { m_x = inches; }
    void setCurrentY(double inches) override { m_y = inches; }
    void setFontName(const QString& name) override { m_fontName = name; }
    void setFontSize(double points) override {
        if (!(points > 0))
            throw Error(QStringLiteral("%1 is not a valid font size").arg(points));
        m_fontSize = points;
    }
    double fontSize() override { return m_fontSize; }
    double textWidth(const QString& text) override { return text.size() * m_fontSize / 128; }
    double textHeight(const QString&) override { return m_fontSize / 64; }
    void printLine(const QString& text) override {
        if (!m_lineFailure.isEmpty())
            throw Error(m_lineFailure);
        lines.append({m_page, m_x, m_y, text, m_fontName, m_fontSize});
        m_y += textHeight(text);
        m_x = 0;
    }
    void newPage() override { ++m_page; }
    int page() override { return m_page; }
    void endDoc() override {
        documents.append(m_documentName);
        m_page = 1;
    }

private:
    QString m_lineFailure;
    QString m_documentName;
    QString m_fontName;
    double m_fontSize = 12;
    double m_x = 0;
    double m_y = 0;
    int m_page = 1;
};

} // namespace platform::fakes
