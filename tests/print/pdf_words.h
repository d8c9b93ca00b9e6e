// A printed PDF read back with pdftotext -bbox, for the tests that print on paper (both print
// tests include it): where each word's box starts, and whether it starts where the layout put it.
#pragma once

#include <QHash>
#include <QList>
#include <QPointF>
#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace printtest {

/// One page as pdftotext reads it, in points from the paper's top-left corner.
struct PdfPage {
    QSizeF paper;
    /// The top-left corner of each word's box; a word found twice keeps its last box.
    QHash<QString, QPointF> words;
};

/// The pages of `pdf`; none when pdftotext fails or finds no page. `output` receives what
/// pdftotext wrote, for failure messages.
inline QList<PdfPage> readPdfPages(const QString& pdf, QString* output = nullptr) {
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

/// A word and where the layout puts its line: inches from the printable area's top-left corner.
struct PlacedWord {
    QString text;
    QPointF inches;
};

/// Whether each word's box starts within a point of its place, the printable area's top-left
/// corner lying at `origin` inches from the paper's. The failure lists every word that is
/// missing or out of place, with the words the page holds.
inline ::testing::AssertionResult wordsAt(const PdfPage& page, QPointF origin,
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
