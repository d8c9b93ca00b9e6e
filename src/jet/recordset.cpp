#include "jet/recordset.h"

#include "jet/error.h"
#include "recordset_impl.h"
#include "text.h"

namespace jet {

Recordset::Recordset(std::unique_ptr<RecordsetImpl> impl) : impl_(std::move(impl)) {}
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::~Recordset() = default;

const TableDef& Recordset::definition() const {
    if (!impl_ || !impl_->table_)
        throw Error(ErrorKind::InvalidState, "The record set is closed.");
    return impl_->table_->def;
}

bool Recordset::eof() const {
    impl_->checkOpen();
    return impl_->pos_ >= impl_->rows_.size();
}

void Recordset::moveFirst() {
    impl_->checkOpen();
    impl_->pos_ = 0;
    impl_->afterDelete_ = false;
    impl_->skipDeleted();
}

void Recordset::moveNext() {
    impl_->checkOpen();
    if (!impl_->afterDelete_ && impl_->pos_ >= impl_->rows_.size())
        throw Error(ErrorKind::InvalidState, "There is no next record: the end was reached.");
    impl_->afterDelete_ = false;
    const std::uint32_t left = impl_->rows_[impl_->pos_].page;
    ++impl_->pos_;
    impl_->skipDeleted();
    if (impl_->pos_ >= impl_->rows_.size() || impl_->rows_[impl_->pos_].page != left)
        impl_->db_->leavePage(*impl_->table_, left);
}

std::size_t Recordset::recordCount() const {
    impl_->checkOpen();
    return impl_->live_;
}

Value Recordset::field(std::string_view name) const {
    impl_->checkOpen();
    const int i = impl_->requireField(name);
    return field(i);
}

Value Recordset::field(int columnIndex) const {
    impl_->checkRow();
    if (columnIndex < 0 ||
        static_cast<std::size_t>(columnIndex) >= impl_->table_->def.columns.size())
        throw Error(ErrorKind::NotFound,
                    "There is no field number " + std::to_string(columnIndex) + ".");
    return impl_->db_->readField(*impl_->table_, impl_->current(),
                                 static_cast<std::size_t>(columnIndex));
}

bool Recordset::appendField(int columnIndex, std::string& out) const {
    impl_->checkRow();
    if (columnIndex < 0 ||
        static_cast<std::size_t>(columnIndex) >= impl_->table_->def.columns.size())
        throw Error(ErrorKind::NotFound,
                    "There is no field number " + std::to_string(columnIndex) + ".");
    return impl_->db_->appendField(*impl_->table_, impl_->current(),
                                   static_cast<std::size_t>(columnIndex), out);
}

int Recordset::fieldIndex(std::string_view name) const {
    return impl_->fieldIndex(name);
}

int Recordset::requireField(std::string_view name) const {
    return impl_->requireField(name);
}

void Recordset::addNew() {
    impl_->checkOpen();
    impl_->db_->checkWritable(*impl_->table_);
    impl_->editing_ = true;
    impl_->pending_.clear(impl_->table_->def.columns.size());
    impl_->setStep_ = 0;
}

void Recordset::setField(std::string_view name, const Value& value) {
    impl_->checkOpen();
    if (!impl_->editing_)
        throw Error(ErrorKind::InvalidState, "A field was set without AddNew.");
    impl_->pending_.value(static_cast<std::size_t>(impl_->fieldToSet(name))) = value;
}

void Recordset::update() {
    impl_->checkOpen();
    if (!impl_->editing_)
        throw Error(ErrorKind::InvalidState, "Update was called without AddNew.");
    auto& db = *impl_->db_;
    RowRef placed;
    db.change([&] { placed = db.insertRow(impl_->writer(), impl_->pending_); });
    // A failed change rolled the transaction back (and made this record set stale); here it
    // succeeded.
    impl_->rows_.push_back(placed);
    impl_->deleted_.push_back(false);
    ++impl_->live_;
    impl_->editing_ = false;
}

void Recordset::setField(std::string_view name, Value&& value) {
    impl_->checkOpen();
    if (!impl_->editing_)
        throw Error(ErrorKind::InvalidState, "A field was set without AddNew.");
    impl_->pending_.value(static_cast<std::size_t>(impl_->fieldToSet(name))) = std::move(value);
}

void Recordset::setField(std::string_view name, std::string_view utf8Text) {
    impl_->checkOpen();
    if (!impl_->editing_)
        throw Error(ErrorKind::InvalidState, "A field was set without AddNew.");
    impl_->pending_.value(static_cast<std::size_t>(impl_->fieldToSet(name))).assignText(utf8Text);
}

void Recordset::setField(int columnIndex, Value value) {
    impl_->pendingField(columnIndex) = std::move(value);
}

void Recordset::setField(int columnIndex, std::string_view utf8Text) {
    impl_->pendingField(columnIndex).assignText(utf8Text);
}

void Recordset::setField(int columnIndex, std::u16string_view utf16Text) {
    const std::size_t i = impl_->pendingColumn(columnIndex);
    const ColumnDef& c = impl_->table_->def.columns[i];
    PendingRow& row = impl_->pending_;
    if (c.type != ColumnType::Text) {
        // Memo values are wrapped as long values by update(), other types refused there.
        row.value(i) = Value::text(text::utf16ToUtf8(utf16Text));
        return;
    }
    // Encoded now; update() checks the length against the field's size.
    row.units[i] = static_cast<std::uint32_t>(
        text::encodeStoredUtf16(utf16Text, c.compressedUnicode(), row.bytes[i]));
    row.state[i] = PendingRow::State::Stored;
}

void Recordset::setDateTime(int columnIndex, double days) {
    const std::size_t i = impl_->pendingColumn(columnIndex);
    PendingRow& row = impl_->pending_;
    if (impl_->table_->def.columns[i].type != ColumnType::DateTime) {
        row.value(i) = Value::dateTime(days); // converted or refused by update()
        return;
    }
    std::string& stored = row.bytes[i];
    stored.resize(8);
    bytes::putF64(reinterpret_cast<std::uint8_t*>(stored.data()), days);
    row.state[i] = PendingRow::State::Stored;
}

void Recordset::cancelUpdate() {
    impl_->editing_ = false;
}

bool Recordset::editing() const {
    return impl_->editing_;
}

void Recordset::deleteCurrent() {
    impl_->checkRow();
    auto& db = *impl_->db_;
    db.checkWritable(*impl_->table_);
    const RowRef ref = impl_->rows_[impl_->pos_];
    db.change([&] { impl_->writer().remove(ref); });
    impl_->deleted_[impl_->pos_] = true;
    --impl_->live_;
    impl_->afterDelete_ = true;
}

void Recordset::deleteAll() {
    impl_->checkOpen();
    auto& db = *impl_->db_;
    db.checkWritable(*impl_->table_);
    const RowList& rows = impl_->rows_;
    impl_->afterDelete_ = false;
    if (impl_->live_ == 0) {
        impl_->pos_ = rows.size();
        return;
    }
    db.change([&] { impl_->writer().removeAll(rows, impl_->deleted_); });
    impl_->deleted_.assign(rows.size(), true);
    impl_->live_ = 0;
    impl_->pos_ = rows.size();
    // The pages left behind, as moveNext() lets them go.
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (i + 1 == rows.size() || rows[i + 1].page != rows[i].page)
            db.leavePage(*impl_->table_, rows[i].page);
}

void Recordset::close() {
    impl_->db_.reset();
}

} // namespace jet
