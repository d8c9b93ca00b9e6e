// The to-do list as plain rows of five texts, for tests and benchmarks of the routines.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <optional>

#include "db/todo_list.h"

namespace dbtest {

using Row = std::array<QString, 5>;

class MemoryToDoList final : public db::ToDoList {
public:
    MemoryToDoList() = default;
    explicit MemoryToDoList(QList<Row> rows) : rows(std::move(rows)) {}

    void appendRow(const QString& column1) override {
        rows.append(Row{column1, {}, {}, {}, {}});
        current = static_cast<int>(rows.size());
    }
    void setCurrentRowCell(int column, const QString& text) override {
        rows[current - 1][static_cast<std::size_t>(column - 1)] = text;
    }
    int rowCount() const override { return static_cast<int>(rows.size()); }
    QString cellText(int row, int column) const override {
        return rows.at(row - 1)[static_cast<std::size_t>(column - 1)];
    }
    /// Keeps the value beside the text, as the main window's list does.
    void setCurrentRowDate(int column, const QString& text, std::optional<double> value) override {
        setCurrentRowCell(column, text);
        kept[{current, column}] = value;
    }
    std::optional<double> cellDate(int row, int column) const override {
        const auto found = kept.find({row, column});
        return found != kept.end() ? found->second : ToDoList::cellDate(row, column);
    }

    QList<Row> rows;
    /// Date values kept by setCurrentRowDate, by (row, column).
    std::map<std::pair<int, int>, std::optional<double>> kept;
    int current = 0; ///< 1-based; 0 before the first append
};

} // namespace dbtest
