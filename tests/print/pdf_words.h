// A printed PDF read back with pdftotext -bbox, for the tests that print on paper: where each
// word's box starts, and whether it starts where the layout put it.
#pragma once

#include <QHash>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>
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
QList<PdfPage> readPdfPages(const QString& pdf, QString* output = nullptr);

/// A word and where the layout puts its line: inches from the printable area's top-left corner.
struct PlacedWord {
    QString text;
    QPointF inches;
};

/// Whether each word's box starts within a point of its place, the printable area's top-left
/// corner lying at `origin` inches from the paper's. The failure lists every word that is
/// missing or out of place, with the words the page holds.
::testing::AssertionResult wordsAt(const PdfPage& page, QPointF origin,
                                   const std::vector<PlacedWord>& expected);

} // namespace printtest
