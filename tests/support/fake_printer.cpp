#include "support/fake_printer.h"

#include "platform/error.h"

namespace platform::fakes {

QStringList RecordingPrinter::texts() const {
    QStringList result;
    for (const PrintedLine& line : m_lines)
        result.append(line.text);
    return result;
}

void RecordingPrinter::setFontSize(double points) {
    if (!(points > 0))
        throw Error(QStringLiteral("%1 is not a valid font size").arg(points));
    m_fontSize = points;
}

void RecordingPrinter::printLine(const QString& text) {
    if (!m_lineFailure.isEmpty())
        throw Error(m_lineFailure);
    m_lines.append(
        {static_cast<int>(m_documents.size()), m_page, m_x, m_y, text, m_fontName, m_fontSize});
    m_y += textHeight(text);
    m_x = 0;
}

void RecordingPrinter::endDoc() {
    m_documents.append(m_documentName);
    m_page = 1;
}

} // namespace platform::fakes
