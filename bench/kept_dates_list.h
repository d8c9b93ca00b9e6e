// The to-do list as the main window keeps it, for benchmarks of the routines: five texts per
// row and, beside the two date texts, the stored values they stand for (as loading and the item
// dialogs keep them), so that a rewrite reads no date texts.
#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

#include "db/todo_list.h"

namespace bench {

class KeptDatesList final : public db::ToDoList {
public:
    struct Row {
        std::array<QString, 5> texts;
        std::array<std::optional<std::optional<double>>, 2> dates; // outer nullopt: none kept
    };

    void appendRow(const QString& column1) override {
        rows.push_back(Row{{column1, {}, {}, {}, {}}, {}});
    }
    void setCurrentRowCell(int column, const QString& text) override {
        Row& row = rows.back();
        row.texts[static_cast<std::size_t>(column - 1)] = text;
        if (column >= 4)
            row.dates[static_cast<std::size_t>(column - 4)].reset();
    }
    void setCurrentRowDate(int column, const QString& text, std::optional<double> value) override {
        Row& row = rows.back();
        row.texts[static_cast<std::size_t>(column - 1)] = text;
        row.dates[static_cast<std::size_t>(column - 4)] = value;
    }
    int rowCount() const override { return static_cast<int>(rows.size()); }
    QString cellText(int row, int column) const override {
        return rows.at(static_cast<std::size_t>(row - 1))
            .texts[static_cast<std::size_t>(column - 1)];
    }
    QStringView cellTextView(int row, int column, QString&) const override {
        return rows.at(static_cast<std::size_t>(row - 1))
            .texts[static_cast<std::size_t>(column - 1)];
    }
    std::optional<double> cellDate(int row, int column) const override {
        const Row& r = rows.at(static_cast<std::size_t>(row - 1));
        if (const auto& kept = r.dates[static_cast<std::size_t>(column - 4)])
            return *kept;
        return db::dateFromText(r.texts[static_cast<std::size_t>(column - 1)]);
    }

    std::vector<Row> rows;
};

} // namespace bench
