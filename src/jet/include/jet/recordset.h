// A table opened for reading and changing its rows, in the shape of a table-type record set:
// a cursor over the rows in stored order.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "jet/schema.h"
#include "jet/value.h"

namespace jet {

class Database;
class RecordsetImpl;

class Recordset {
public:
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    ~Recordset();

    const TableDef& definition() const;

    /// True when the cursor is past the last row (or the table has no rows).
    bool eof() const;
    void moveFirst();
    void moveNext(); ///< Throws InvalidState at the end of rows.
    /// Number of live rows.
    std::size_t recordCount() const;

    /// The current row's value of a field (exact name). Throws NotFound for an unknown field,
    /// InvalidState at the end of rows, Corrupt when the row's bytes are damaged.
    Value field(std::string_view name) const;
    Value field(int columnIndex) const;          ///< index into definition().columns
    int fieldIndex(std::string_view name) const; ///< -1 when there is none
    /// fieldIndex(), but an unknown field throws NotFound naming the table and the field.
    int requireField(std::string_view name) const;
    /// Appends to `out` what field(columnIndex).asText() would return (UTF-8 text, the bytes
    /// of binary and GUID values, the decimal text of Decimal values) without building the
    /// Value, so that reading many rows allocates nothing per value. Returns false, appending
    /// nothing, when the field is null. Throws InvalidState for Yes/No, number and date fields,
    /// and as field() does.
    bool appendField(int columnIndex, std::string& out) const;

    /// Starts a new row; fields not set stay null. The row is written by update().
    void addNew();
    /// Sets a field of the row being added. Text longer than the field's size, or a value
    /// that the field's type cannot hold, throws InvalidArgument.
    void setField(std::string_view name, const Value& value);
    void setField(std::string_view name, Value&& value);
    /// Sets a Text field; the same as a Text Value, without making one for each field.
    void setField(std::string_view name, std::string_view utf8Text);
    /// The same by index into definition().columns, as field(int) reads.
    void setField(int columnIndex, Value value);
    void setField(int columnIndex, std::string_view utf8Text);
    /// Sets a Text or Memo field from UTF-16, encoded at once: the same as a Text Value of
    /// that text, without converting it to UTF-8 and back.
    void setField(int columnIndex, std::u16string_view utf16Text);
    /// The same as setField(columnIndex, Value::dateTime(days)), without making the Value.
    void setDateTime(int columnIndex, double days);
    /// Stores the new row at the end of the table's stored order. The cursor stays where
    /// it was.
    void update();
    void cancelUpdate();
    bool editing() const;

    /// Deletes the current row; the cursor then stands between rows, and moveNext() goes
    /// to the row after the deleted one.
    void deleteCurrent();
    /// Deletes every row of the record set, as deleteCurrent() on each in turn would, and
    /// moves to the end (eof()).
    void deleteAll();

    void close();

private:
    friend class Database;
    explicit Recordset(std::unique_ptr<RecordsetImpl> impl);
    std::unique_ptr<RecordsetImpl> impl_;
};

} // namespace jet
