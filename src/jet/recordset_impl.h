// The state behind a Recordset handle.
#pragma once

#include "internal.h"

#include <memory>
#include <optional>
#include <vector>

#include "database_impl.h"
#include "jet/error.h"
#include "jet/recordset.h"

namespace jet {

class RecordsetImpl {
public:
    RecordsetImpl(std::shared_ptr<DatabaseImpl> db, std::shared_ptr<const Table> table)
        : db_(std::move(db)), table_(std::move(table)), generation_(db_->generation) {
        rows_ = db_->scan(*table_);
        deleted_.assign(rows_.size(), false);
        live_ = rows_.size();
    }

    /// Moves past deleted rows to the next live one (or the end).
    void skipDeleted() {
        while (pos_ < rows_.size() && deleted_[pos_])
            ++pos_;
    }

    void checkOpen() const {
        if (!db_)
            throw Error(ErrorKind::InvalidState, "The record set is closed.");
        if (db_->generation != generation_)
            throw Error(ErrorKind::InvalidState,
                        "The record set is no longer valid: its changes were rolled back.");
    }
    void checkRow() const {
        checkOpen();
        if (afterDelete_)
            throw Error(ErrorKind::InvalidState, "The current record has been deleted.");
        if (pos_ >= rows_.size())
            throw Error(ErrorKind::InvalidState, "There is no current record.");
    }
    /// The current row's structure, cracked once per row and kept while its page is unchanged.
    const row::Cracked& current() {
        if (cachedPos_ != pos_ || cachedEpoch_ != db_->pager.epoch()) {
            const bytes::View b = db_->rowBytes(*table_, rows_[pos_]);
            cached_ = row::crack(b.data(), b.size(), table_->layout);
            cachedPos_ = pos_;
            cachedEpoch_ = db_->pager.epoch();
        }
        return cached_;
    }

    /// The table's writer in the running transaction, looked up once per transaction.
    TableWriter& writer() {
        if (!writer_ || writerFound_ != db_->writersCleared) {
            writer_ = &db_->writer(table_);
            writerFound_ = db_->writersCleared;
        }
        return *writer_;
    }

    int fieldIndex(std::string_view name) const { return table_->findColumn(name); }
    /// The column of the row being added that a field index names. (Called for every field of
    /// every row added: the checks are tested at once, and the error worked out apart.)
    std::size_t pendingColumn(int columnIndex) {
        if (!db_ || db_->generation != generation_ || !editing_ || columnIndex < 0 ||
            static_cast<std::size_t>(columnIndex) >= pending_.state.size()) [[unlikely]]
            refusePendingColumn(columnIndex);
        return static_cast<std::size_t>(columnIndex);
    }
    [[noreturn, gnu::noinline, gnu::cold]] void refusePendingColumn(int columnIndex) const {
        checkOpen();
        if (!editing_)
            throw Error(ErrorKind::InvalidState, "A field was set without AddNew.");
        throw Error(ErrorKind::NotFound,
                    "There is no field number " + std::to_string(columnIndex) + ".");
    }
    /// The value a field of the row being added is set to, by column index.
    Value& pendingField(int columnIndex) { return pending_.value(pendingColumn(columnIndex)); }
    /// The column a row being added sets next. Programs set the fields of every row they add
    /// in the same order, so the column found at the same step of the row before is tried
    /// first: a comparison of two names instead of a hash lookup.
    int fieldToSet(std::string_view name) {
        const std::size_t step = setStep_++;
        if (step < setOrder_.size()) {
            const int guess = setOrder_[step];
            if (table_->def.columns[static_cast<std::size_t>(guess)].name == name)
                return guess;
        } else {
            setOrder_.resize(step + 1);
        }
        return setOrder_[step] = requireField(name);
    }
    int requireField(std::string_view name) const {
        const int i = fieldIndex(name);
        if (i < 0)
            throw Error(ErrorKind::NotFound, "Table '" + table_->def.name + "' has no field '" +
                                                 std::string(name) + "'.");
        return i;
    }

    std::shared_ptr<DatabaseImpl> db_;
    std::shared_ptr<const Table> table_;
    std::uint64_t generation_;
    RowList rows_;              // in stored order; rows added by update() at the end
    std::vector<bool> deleted_; // rows deleted through this record set keep their place
    std::size_t live_ = 0;
    std::size_t pos_ = 0;
    bool afterDelete_ = false;
    bool editing_ = false;
    std::size_t cachedPos_ = static_cast<std::size_t>(-1);
    std::uint64_t cachedEpoch_ = 0;
    row::Cracked cached_;
    PendingRow pending_; // the row being added; fields not set are null
    TableWriter* writer_ = nullptr;
    std::uint64_t writerFound_ = 0;

    std::vector<int> setOrder_; // columns set by the steps of the last rows added
    std::size_t setStep_ = 0;
};

} // namespace jet
