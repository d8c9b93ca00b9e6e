#include "jet/recordset.h"

#include "jet/error.h"
#include "recordset_impl.h"

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

void Recordset::addNew() {
    impl_->checkOpen();
    impl_->db_->checkWritable(*impl_->table_);
    impl_->editing_ = true;
    impl_->pending_.resize(impl_->table_->def.columns.size());
    for (Value& v : impl_->pending_)
        v.reset();
    impl_->setStep_ = 0;
}

void Recordset::setField(std::string_view name, const Value& value) {
    impl_->checkOpen();
    if (!impl_->editing_)
        throw Error(ErrorKind::InvalidState, "A field was set without AddNew.");
    impl_->pending_[impl_->fieldToSet(name)] = value;
}

void Recordset::update() {
    impl_->checkOpen();
    if (!impl_->editing_)
        throw Error(ErrorKind::InvalidState, "Update was called without AddNew.");
    auto& db = *impl_->db_;
    RowRef placed;
    db.change([&] {
        TableWriter& w = db.writer(impl_->table_);
        placed = db.insertRow(w, impl_->pending_);
    });
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
    impl_->pending_[impl_->fieldToSet(name)] = std::move(value);
}

void Recordset::setField(std::string_view name, std::string_view utf8Text) {
    impl_->checkOpen();
    if (!impl_->editing_)
        throw Error(ErrorKind::InvalidState, "A field was set without AddNew.");
    impl_->pending_[impl_->fieldToSet(name)].assignText(utf8Text);
}

void Recordset::setField(int columnIndex, Value value) {
    impl_->pendingField(columnIndex) = std::move(value);
}

void Recordset::setField(int columnIndex, std::string_view utf8Text) {
    impl_->pendingField(columnIndex).assignText(utf8Text);
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
    db.change([&] { db.writer(impl_->table_).remove(ref); });
    impl_->deleted_[impl_->pos_] = true;
    --impl_->live_;
    impl_->afterDelete_ = true;
}

void Recordset::close() {
    impl_->db_.reset();
}

} // namespace jet
