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
#include <cstdint>
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
    /// Sets a cell's text. A date column (3 or 4) set this way keeps no value beside its text.
    void setText(int row, int column, const QString& text);

    /// Sets date column `column` (3 start date, 4 deadline) to `text` and keeps `value`, the
    /// stored value it stands for (nullopt: no value), beside it.
    void setDate(int row, int column, const QString& text, std::optional<double> value);
    /// The stored value of date column `column`: the one kept beside its text, or else the
    /// text read by db::dateFromText under the current locale.
    std::optional<double> dateValue(int row, int column) const;

    /// Appends a row whose first column is `column1`, the others empty, and makes it current.
    void append(const QString& column1);
    /// Makes room for `count` more rows, so that a long list loads without its rows being
    /// moved (and held twice) as it grows.
    void reserve(int count);
    void removeAt(int row);
    void clear();

    /// The current row: the one appended rows become and the pointer last pressed or released
    /// over; -1 for none. It follows its row when rows are removed or sorted.
    int currentRow() const { return m_current; }
    void setCurrentRow(int row) { m_current = row; }

    /// Exchanges the texts of `column` between two rows, a date's value with its text.
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
    static constexpr int kFirstDate = 3;

    /// Whether a value kept beside a text is known: not known, known to be no value, or known.
    enum class Known : std::uint8_t { No, NoValue, Value };
    struct Row {
        std::array<QString, kColumns> texts;
        /// The stored values of the start date and the deadline, when kept beside their texts
        /// (datesKnown tells whether a value is kept, and whether it is no value). A row loaded
        /// from the file or written by an item dialog keeps them, so that storing it again gives
        /// back the same dates under any locale, even where the text reads as another date there
        /// ("12/5/2026" in en_GB). (Each value with a state byte beside it rather than a nested
        /// optional: a long list holds one Row per item, and this keeps a Row 40 bytes smaller.)
        std::array<double, 2> dates{};
        std::array<Known, 2> datesKnown{Known::No, Known::No};
        /// The deadline's day (Julian day number), worked out when first needed.
        mutable Known deadlineDayKnown = Known::No;
        mutable qint64 deadlineDay = 0;

        std::optional<double> keptDate(int i) const {
            return datesKnown[i] == Known::Value ? std::optional<double>(dates[i]) : std::nullopt;
        }
        void keepDate(int i, std::optional<double> value) {
            datesKnown[i] = value ? Known::Value : Known::NoValue;
            dates[i] = value.value_or(0);
        }
    };

    void cellChanged(int row, int column);

    std::vector<Row> m_rows;
    int m_current = -1;
    bool m_bulk = false;
    std::optional<QDate> m_today;
};

} // namespace ui
