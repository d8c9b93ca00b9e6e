#include "pdf_words.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace printtest {

QList<PdfPage> readPdfPages(const QString& pdf, QString* output) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-bbox", pdf, "-"});
    const bool finished = pdftotext.waitForFinished(30000);
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    if (output)
        *output = html + QString::fromUtf8(pdftotext.readAllStandardError());
    if (!finished || pdftotext.exitCode() != 0)
        return {};

    QList<PdfPage> pages;
    const QRegularExpression item(R"re(<page width="([\d.]+)" height="([\d.]+)")re"
                                  R"re(|<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)<)re");
    for (const QRegularExpressionMatch& m : item.globalMatch(html)) {
        if (m.capturedLength(1) > 0)
            pages.append({QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), {}});
        else if (!pages.isEmpty())
            pages.last().words.insert(m.captured(5),
                                      QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    return pages;
}

::testing::AssertionResult wordsAt(const PdfPage& page, QPointF origin,
                                   const std::vector<PlacedWord>& expected) {
    QStringList misses;
    for (const PlacedWord& word : expected) {
        const QPointF place = (origin + word.inches) * 72;
        const auto found = page.words.constFind(word.text);
        if (found == page.words.constEnd())
            misses.append(QStringLiteral("%1 missing").arg(word.text));
        else if (std::abs(found->x() - place.x()) > 1 || std::abs(found->y() - place.y()) > 1)
            misses.append(QStringLiteral("%1 at %2,%3 pt, not %4,%5")
                              .arg(word.text)
                              .arg(found->x())
                              .arg(found->y())
                              .arg(place.x())
                              .arg(place.y()));
    }
    if (misses.isEmpty())
        return ::testing::AssertionSuccess();
    QStringList words;
    for (auto it = page.words.constBegin(); it != page.words.constEnd(); ++it)
        words.append(QStringLiteral("%1@%2,%3").arg(it.key()).arg(it->x()).arg(it->y()));
    words.sort();
    return ::testing::AssertionFailure() << misses.join("; ").toStdString()
                                         << "\nThe page holds: " << words.join(' ').toStdString();
}

} // namespace printtest
