// The main window's to-do list as the database routines see it: rows of five texts,
// numbered from 1, with a current row that appended rows become.
//
// Columns 4 and 5 (start date, deadline) are texts that stand for stored Date/Time values. A
// list may keep each date's value beside its text, as it was loaded or as an item dialog
// wrote it, so that storing the row again gives back that very value whatever the user's
// locale makes of the text. A list that keeps no values reads them from the texts.
#pragma once

#include <QString>

#include <optional>

#include "db/date_text.h"

namespace db {

class ToDoList {
public:
    virtual ~ToDoList() = default;
    /// Appends a row whose column 1 (the priority) holds `column1`, its other cells empty, and
    /// makes it the current row.
    virtual void appendRow(const QString& column1) = 0;
    /// Sets column `column` (2..5) of the current row. A date column set this way has no value
    /// beside its text.
    virtual void setCurrentRowCell(int column, const QString& text) = 0;
    virtual int rowCount() const = 0;
    /// About `count` rows are about to be appended: a list may make room for them at once.
    virtual void expectRows(int count) { (void)count; }
    /// The text of column `column` (1..5) of row `row` (1..rowCount()).
    virtual QString cellText(int row, int column) const = 0;
    /// The same text, read without a copy where the list holds it: the view stays valid while
    /// the list and `scratch` are unchanged. A list that makes its texts puts the text in
    /// `scratch`. (A copy of a QString costs two atomic operations, which a rewrite of many
    /// rows notices.)
    virtual QStringView cellTextView(int row, int column, QString& scratch) const {
        scratch = cellText(row, column);
        return scratch;
    }

    /// Sets date column `column` (4 or 5) of the current row to `text`, keeping `value` (no
    /// value: nullopt) beside it where the list can.
    virtual void setCurrentRowDate(int column, const QString& text, std::optional<double> value) {
        (void)value;
        setCurrentRowCell(column, text);
    }
    /// The stored value of date column `column` (4 or 5) of row `row`: the value kept beside
    /// its text, or else the text read by db::dateFromText; nullopt for no value.
    virtual std::optional<double> cellDate(int row, int column) const {
        return dateFromText(cellText(row, column));
    }
};

} // namespace db
