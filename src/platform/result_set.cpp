#include "platform/result_set.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <unordered_map>
#include <utility>

#include "platform/error.h"
#include "platform/result_set_filter.h"

namespace mz {

namespace {

constexpr const char* kSource = "MZ.ResultSet";

[[noreturn]] void ThrowNotFound(const std::string& what) {
    throw Error(err::kItemNotFound, kSource,
                "Item cannot be found in the collection corresponding to the requested name or "
                "ordinal: " +
                    what);
}

}  // namespace

// Rows live in one flat vector with a stride of FieldCount(): the values as loaded. A row's
// first edit copies that row into `edits`, which then holds its current values; untouched rows
// are never copied. The cursor `pos` counts visible rows: -1 is BOF, VisibleCount() is EOF.
// Memory for row blocks. Lists are reloaded all the time, and handing tens of megabytes back to
// the system after each load only to fault them in again costs more than the load itself, so
// freed blocks wait here (per thread, up to a bound) for the next load.
class BlockPool {
  public:
    static constexpr size_t kBlockBytes = 64 * 1024;
    static constexpr size_t kMaxPooled = 512;  // 32 MB

    BlockPool() = default;
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;
    ~BlockPool() {
        for (void* p : free_) ::operator delete(p);
    }

    void* Get(size_t bytes) {
        if (bytes == kBlockBytes && !free_.empty()) {
            void* p = free_.back();
            free_.pop_back();
            return p;
        }
        return ::operator new(bytes);
    }
    void Put(void* p, size_t bytes) {
        if (bytes == kBlockBytes && free_.size() < kMaxPooled)
            free_.push_back(p);
        else
            ::operator delete(p);
    }

  private:
    std::vector<void*> free_;
};

BlockPool& ThreadBlockPool() {
    thread_local BlockPool pool;
    return pool;
}

// Loaded rows in fixed blocks, so growing never moves the values already stored.
class RowStore {
  public:
    RowStore() = default;
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;
    ~RowStore() {
        for (size_t row = 0; row < rows_; ++row) std::destroy_n(Row(row), stride_);
        for (void* block : blocks_) ThreadBlockPool().Put(block, block_bytes_);
    }

    void SetStride(size_t stride) {
        stride_ = stride;
        const size_t row_bytes = std::max<size_t>(stride * sizeof(Variant), 1);
        rows_per_block_ = std::max<size_t>(BlockPool::kBlockBytes / row_bytes, 1);
        block_bytes_ = std::max(BlockPool::kBlockBytes, row_bytes);
    }
    void Reserve(size_t rows) {
        blocks_.reserve(rows / rows_per_block_ + 1);
        row_starts_.reserve(rows);
    }
    // Every property read finds its row here: one load, no division by the block size.
    Variant* Row(size_t row) const { return row_starts_[row]; }
    // The slots of the next row, each Empty.
    Variant* Append() {
        if (rows_ % rows_per_block_ == 0) blocks_.push_back(ThreadBlockPool().Get(block_bytes_));
        Variant* slots =
            static_cast<Variant*>(blocks_.back()) + (rows_ % rows_per_block_) * stride_;
        std::uninitialized_default_construct_n(slots, stride_);
        row_starts_.push_back(slots);
        ++rows_;
        return slots;
    }

  private:
    size_t stride_ = 0;
    size_t rows_per_block_ = 1;
    size_t block_bytes_ = BlockPool::kBlockBytes;
    size_t rows_ = 0;
    std::vector<void*> blocks_;
    std::vector<Variant*> row_starts_;
};

struct ResultSet::Impl {
    std::vector<FieldInfo> fields;
    detail::FieldNameIndex names;
    size_t stride = 0;
    RowStore data;
    size_t row_count = 0;
    std::unordered_map<size_t, std::vector<Variant>> edits;
    int64_t added_row = -1;

    std::string filter_text;
    bool filtered = false;
    detail::RowFilter filter;
    std::vector<uint32_t> visible;  // row indexes in order, only while filtered

    int64_t pos = 0;

    int64_t VisibleCount() const {
        return static_cast<int64_t>(filtered ? visible.size() : row_count);
    }
    size_t RowAt(int64_t p) const {
        return filtered ? visible[static_cast<size_t>(p)] : static_cast<size_t>(p);
    }
    const Variant* RowValues(size_t row) const {
        if (!edits.empty()) {
            const auto it = edits.find(row);
            if (it != edits.end()) return it->second.data();
        }
        return data.Row(row);
    }
    bool HasRow() const { return pos >= 0 && pos < VisibleCount(); }

    // Makes row `row` visible when it passes the current filter (rows arrive in order).
    void Admit(size_t row) {
        if (filtered && filter.Matches(RowValues(row)))
            visible.push_back(static_cast<uint32_t>(row));
    }
    void CheckIndex(int index) const {
        if (index < 0 || static_cast<size_t>(index) >= stride) ThrowNotFound(std::to_string(index));
    }
};

ResultSet::ResultSet() = default;

ResultSet::ResultSet(std::vector<FieldInfo> fields) : open_(true), impl_(std::make_unique<Impl>()) {
    impl_->fields = std::move(fields);
    impl_->stride = impl_->fields.size();
    impl_->data.SetStride(impl_->stride);
    impl_->names.Build(impl_->fields);
}

ResultSet::ResultSet(ResultSet&& other) noexcept
    : open_(std::exchange(other.open_, false)),
      impl_(std::move(other.impl_)),
      current_(std::exchange(other.current_, nullptr)) {}

ResultSet& ResultSet::operator=(ResultSet&& other) noexcept {
    if (this != &other) {
        open_ = std::exchange(other.open_, false);
        impl_ = std::move(other.impl_);
        current_ = std::exchange(other.current_, nullptr);
    }
    return *this;
}

ResultSet::~ResultSet() = default;

void ResultSet::RequireOpen() const {
    if (!open_ || !impl_) {
        throw Error(err::kObjectClosed, kSource,
                    "Operation is not allowed when the object is closed.");
    }
}

void ResultSet::RequireRow() const {
    RequireOpen();
    if (!impl_->HasRow()) {
        throw Error(err::kNoCurrentRecord, kSource,
                    "Either BOF or EOF is True, or the current record has been deleted. "
                    "Requested operation requires a current record.");
    }
}

void ResultSet::Seat() noexcept {
    current_ = open_ && impl_ && impl_->HasRow() ? impl_->RowValues(RowIndex()) : nullptr;
}

size_t ResultSet::RowIndex() const {
    return impl_->RowAt(impl_->pos);
}

void ResultSet::AppendRow(std::vector<Variant> values) {
    AppendRowFrom(values);
}

void ResultSet::AppendRowFrom(std::span<Variant> values) {
    RequireOpen();
    Impl& m = *impl_;
    if (values.size() != m.stride) {
        throw Error(err::kInvalidCall, kSource,
                    "AppendRow was given " + std::to_string(values.size()) +
                        " values for a result set of " + std::to_string(m.stride) + " fields");
    }
    std::move(values.begin(), values.end(), BeginAppend());
    EndAppend();
}

Variant* ResultSet::BeginAppend() {
    RequireOpen();
    return impl_->data.Append();
}

void ResultSet::EndAppend() {
    Impl& m = *impl_;
    ++m.row_count;
    m.Admit(m.row_count - 1);
    m.pos = 0;
    Seat();
}

void ResultSet::Reserve(size_t rows) {
    RequireOpen();
    impl_->data.Reserve(rows);
}

void ResultSet::Close() {
    open_ = false;
    impl_.reset();
    current_ = nullptr;
}

bool ResultSet::BOF() const {
    RequireOpen();
    return impl_->pos < 0 || impl_->VisibleCount() == 0;
}

bool ResultSet::EOF() const {
    RequireOpen();
    return impl_->pos >= impl_->VisibleCount();
}

int32_t ResultSet::RecordCount() const {
    RequireOpen();
    return static_cast<int32_t>(impl_->VisibleCount());
}

int32_t ResultSet::AbsolutePosition() const {
    RequireOpen();
    if (impl_->VisibleCount() == 0) return kPosUnknown;
    if (impl_->pos < 0) return kPosBOF;
    if (impl_->pos >= impl_->VisibleCount()) return kPosEOF;
    return static_cast<int32_t>(impl_->pos + 1);
}

void ResultSet::AbsolutePosition(int32_t position) {
    RequireOpen();
    const int64_t count = impl_->VisibleCount();
    if (position < 1 || position > count) {
        throw Error(err::kBadArguments, kSource,
                    "AbsolutePosition " + std::to_string(position) +
                        " is out of range: the result set has " + std::to_string(count) +
                        " visible rows");
    }
    impl_->pos = position - 1;
    Seat();
}

void ResultSet::MoveFirst() {
    RequireOpen();
    impl_->pos = 0;
    Seat();
}

void ResultSet::MoveLast() {
    RequireOpen();
    impl_->pos = impl_->VisibleCount() - 1;
    if (impl_->pos < 0) impl_->pos = 0;  // no rows: BOF and EOF both stay true
    Seat();
}

void ResultSet::MoveNext() {
    if (EOF()) {
        throw Error(err::kNoCurrentRecord, kSource,
                    "MoveNext is not possible: EOF is already True, there is no next record.");
    }
    ++impl_->pos;
    Seat();
}

void ResultSet::MovePrevious() {
    if (BOF()) {
        throw Error(err::kNoCurrentRecord, kSource,
                    "MovePrevious is not possible: BOF is already True, there is no previous "
                    "record.");
    }
    --impl_->pos;
    Seat();
}

int ResultSet::FieldCount() const {
    RequireOpen();
    return static_cast<int>(impl_->stride);
}

const FieldInfo& ResultSet::FieldAt(int index) const {
    RequireOpen();
    impl_->CheckIndex(index);
    return impl_->fields[static_cast<size_t>(index)];
}

int ResultSet::FieldIndex(std::string_view name) const {
    RequireOpen();
    return impl_->names.Find(name);
}

Field ResultSet::Fields(std::string_view name) {
    const int index = FieldIndex(name);
    if (index < 0) ThrowNotFound("'" + std::string(name) + "'");
    return Field(this, index);
}

Field ResultSet::Fields(int index) {
    RequireOpen();
    impl_->CheckIndex(index);
    return Field(this, index);
}

const Variant& ResultSet::Value(int index) const {
    RequireRow();
    impl_->CheckIndex(index);
    return impl_->RowValues(RowIndex())[index];
}

const Variant& ResultSet::OriginalValue(int index) const {
    RequireRow();
    impl_->CheckIndex(index);
    return impl_->data.Row(RowIndex())[index];
}

void ResultSet::SetValue(int index, Variant value) {
    RequireRow();
    Impl& m = *impl_;
    m.CheckIndex(index);
    const size_t row = RowIndex();
    auto it = m.edits.find(row);
    if (it == m.edits.end()) {
        const Variant* first = m.data.Row(row);
        it = m.edits
                 .emplace(row, std::vector<Variant>(first,
                                                    first + static_cast<std::ptrdiff_t>(m.stride)))
                 .first;
    }
    it->second[static_cast<size_t>(index)] = std::move(value);
    Seat();  // the row's values now live in its edit
}

const Variant& ResultSet::Value(std::string_view name) const {
    RequireOpen();
    const int index = impl_->names.Find(name);
    if (index < 0) ThrowNotFound("'" + std::string(name) + "'");
    return Value(index);
}

void ResultSet::AddNew() {
    RequireOpen();
    Impl& m = *impl_;
    if (m.added_row >= 0) {
        throw Error(err::kBadArguments, kSource,
                    "AddNew is not possible: the result set already holds an added row.");
    }
    std::fill_n(m.data.Append(), m.stride, Variant::Null());
    m.added_row = static_cast<int64_t>(m.row_count);
    ++m.row_count;
    // The new row is shown whatever the filter says, as the row being worked on.
    if (m.filtered) m.visible.push_back(static_cast<uint32_t>(m.added_row));
    m.pos = m.VisibleCount() - 1;
    Seat();
}

bool ResultSet::HasAddedRow() const {
    RequireOpen();
    return impl_->added_row >= 0;
}

void ResultSet::Filter(std::string_view criteria) {
    RequireOpen();
    Impl& m = *impl_;
    size_t first = 0, last = criteria.size();
    while (first < last && (criteria[first] == ' ' || criteria[first] == '\t')) ++first;
    while (last > first && (criteria[last - 1] == ' ' || criteria[last - 1] == '\t')) --last;
    if (first == last || criteria.substr(first, last - first) == "0") {
        m.filtered = false;
        m.filter = detail::RowFilter();
        m.filter_text.clear();
        m.visible.clear();
        m.visible.shrink_to_fit();
    } else {
        // Parse first: bad criteria throw here and leave the old filter in place.
        detail::RowFilter parsed = detail::RowFilter::Parse(criteria, m.names, false, "Filter");
        std::vector<uint32_t> visible;
        for (size_t row = 0; row < m.row_count; ++row) {
            if (parsed.Matches(m.RowValues(row))) visible.push_back(static_cast<uint32_t>(row));
        }
        m.filter = std::move(parsed);
        m.visible = std::move(visible);
        m.filtered = true;
        m.filter_text = std::string(criteria);
    }
    m.pos = 0;
    Seat();
}

std::string ResultSet::Filter() const {
    RequireOpen();
    return impl_->filtered ? impl_->filter_text : "0";
}

void ResultSet::Find(std::string_view criterion) {
    RequireOpen();
    Impl& m = *impl_;
    const detail::RowFilter parsed = detail::RowFilter::Parse(criterion, m.names, true, "Find");
    const int64_t count = m.VisibleCount();
    int64_t p = m.pos < 0 ? 0 : m.pos;
    for (; p < count; ++p) {
        if (parsed.Matches(m.RowValues(m.RowAt(p)))) break;
    }
    m.pos = p;  // == count when nothing matched: EOF
    Seat();
}

// Field handles forward to the result set, which checks state and index on every call.
const std::string& Field::Name() const {
    return rs_->FieldAt(index_).name;
}
VarType Field::Type() const {
    return rs_->FieldAt(index_).type;
}
int32_t Field::DefinedSize() const {
    return rs_->FieldAt(index_).defined_size;
}
uint8_t Field::Precision() const {
    return rs_->FieldAt(index_).precision;
}
const Variant& Field::Value() const {
    return rs_->Value(index_);
}
const Variant& Field::OriginalValue() const {
    return rs_->OriginalValue(index_);
}
void Field::Value(Variant value) {
    rs_->SetValue(index_, std::move(value));
}

}  // namespace mz
