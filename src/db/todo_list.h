// The main window's to-do list as the database routines see it: rows of five texts,
// numbered from 1, with a current row that appended rows become.
#pragma once

#include <QString>

namespace db {

class ToDoList {
public:
    virtual ~ToDoList() = default;
    /// Appends a row whose column 1 (the priority) holds `column1`, its other cells empty, and
    /// makes it the current row.
    virtual void appendRow(const QString& column1) = 0;
    /// Sets column `column` (2..5) of the current row.
    virtual void setCurrentRowCell(int column, const QString& text) = 0;
    virtual int rowCount() const = 0;
    /// The text of column `column` (1..5) of row `row` (1..rowCount()).
    virtual QString cellText(int row, int column) const = 0;
};

} // namespace db
