// The rows of the main window's to-do list: five texts per row, in list order.
//
// List order is the order the rows are kept in, shown in and written back to the database in:
// sorting reorders the rows themselves, so a sorted list is stored sorted. Rows have no key;
// they are addressed by position (0-based here; the main window numbers them from 1).
#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace ui {

class ToDoListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 5;

    /// How a row's deadline (column 5) stands against today.
    enum class Urgency { None, DueToday, Overdue };

    explicit ToDoListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int size() const { return static_cast<int>(m_rows.size()); }
    const QString& text(int row, int column) const { return m_rows.at(row).texts.at(column); }
    void setText(int row, int column, const QString& text);

    /// Appends a row whose first column is `column1`, the others empty, and makes it current.
    void append(const QString& column1);
    void removeAt(int row);
    void clear();

    /// The current row: the one appended rows become and the pointer last pressed or released
    /// over; -1 for none. It follows its row when rows are removed or sorted.
    int currentRow() const { return m_current; }
    void setCurrentRow(int row) { m_current = row; }

    /// Exchanges the texts of `column` between two rows.
    void swapTexts(int rowA, int rowB, int column);

    /// Reorders the rows by the text of `column`: compared character by character, ignoring
    /// letter case, so "10/2/2026" comes before "9/30/2026". Stable: rows with equal texts
    /// keep their relative order.
    void sortByColumn(int column, Qt::SortOrder order);

    /// Appends made between beginBulkAppend() and endBulkAppend() are announced to views as
    /// one reset, which keeps loading a long list linear. Selection is cleared.
    void beginBulkAppend();
    void endBulkAppend();

    Urgency urgency(int row) const;
    /// The day deadlines are measured against; unset means the system's current date.
    void setToday(std::optional<QDate> today) { m_today = today; }

private:
    struct Row {
        std::array<QString, kColumns> texts;
        /// The deadline's day (Julian day number), read from column 5 when first needed.
        mutable std::optional<std::optional<qint64>> deadlineDay;
    };

    std::vector<Row> m_rows;
    int m_current = -1;
    bool m_bulk = false;
    std::optional<QDate> m_today;
};

} // namespace ui
