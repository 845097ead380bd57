#include "db/backend.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "db/postgres/pg_connection.h"
#include "db/postgres/postgres_backend.h"
#include "db/sqlite_backend.h"
#include "platform/text.h"

namespace mz {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, BackendFactory> factories;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::unique_ptr<Backend> OpenDefaultBackend(const ConnectionSettings& settings,
                                            std::string& error) {
    if (IsServerConnection(settings.database_name)) return OpenPostgresBackend(settings, error);
    return OpenSqliteBackend(settings, error);
}

std::atomic<uint32_t> g_interrupts{0};
static_assert(std::atomic<uint32_t>::is_always_lock_free, "signal handlers bump it");

}  // namespace

void InterruptQueries() {
    g_interrupts.fetch_add(1, std::memory_order_relaxed);
}

uint32_t QueryInterrupts() {
    return g_interrupts.load(std::memory_order_relaxed);
}

QueryStop::QueryStop(std::chrono::milliseconds limit)
    : limit_(limit),
      deadline_(std::chrono::steady_clock::now() + limit),
      interrupts_(QueryInterrupts()) {}

bool QueryStop::Due() {
    if (stopped_) return true;
    if (QueryInterrupts() != interrupts_) {
        stopped_ = true;
    } else if (limit_.count() > 0 && std::chrono::steady_clock::now() > deadline_) {
        stopped_ = timed_out_ = true;
    }
    return stopped_;
}

std::chrono::milliseconds QueryStop::NextLook() const {
    // An interrupt is noticed within this time even without a limit.
    constexpr std::chrono::milliseconds kLongest(50);
    if (limit_.count() <= 0) return kLongest;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline_ - std::chrono::steady_clock::now());
    return std::clamp(left + std::chrono::milliseconds(1), std::chrono::milliseconds(1), kLongest);
}

void QueryStop::Raise(std::string_view engine) const {
    const std::string why = timed_out_ ? "it ran longer than its time limit of " +
                                             std::to_string(limit_.count()) + " ms"
                                       : std::string("it was interrupted (Ctrl-C)");
    throw Error(kQueryStoppedNumber, std::string(engine), "The query was stopped: " + why);
}

void RowsMemory::Add(const Variant* values, int count) {
    bytes_ += sizeof(Variant) * static_cast<size_t>(count);
    for (int i = 0; i < count; ++i)
        if (values[i].Type() == VarType::String) bytes_ += values[i].GetString().size();
    if (bytes_ > kQueryRowsMemory)
        throw Error(kQueryTooBigNumber, std::string(engine_),
                    "The query was stopped: its rows need more than the " +
                        std::to_string(kQueryRowsMemory >> 20) +
                        " MB of memory a query may hold; ask for fewer rows or columns.");
}

void RowsMemory::RaiseOutOfMemory() const {
    throw Error(kQueryTooBigNumber, std::string(engine_),
                "The query was stopped: there was no memory left for its rows; ask for fewer rows "
                "or columns.");
}

void RegisterBackend(std::string source, BackendFactory factory) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.factories[Lower(source)] = std::move(factory);
}

bool IsServerConnection(std::string_view text) {
    const std::string low = Lower(text.substr(0, 16));
    if (low.starts_with("postgresql://") || low.starts_with("postgres://")) return true;
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string_view::npos) return false;
    const size_t start = i;
    while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
        ++i;
    if (i == start) return false;
    i = text.find_first_not_of(" \t", i);
    return i != std::string_view::npos && text[i] == '=';
}

bool IsConflict(const Error& e) {
    // The source may carry the layers it passed through: "PostgreSQL (clsNotes.DeleteData)".
    return e.Source().starts_with("PostgreSQL") &&
           (e.Number() == pg::ErrorNumber("40001") || e.Number() == pg::ErrorNumber("40P01"));
}

void WaitAfterConflict(int attempt) {
    // Half the growing wait for certain, the other half by chance.
    thread_local std::minstd_rand chance(std::random_device{}());
    const int most = 5 * attempt * attempt;
    const int wait = most / 2 + static_cast<int>(chance() % static_cast<unsigned>(most / 2 + 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(wait));
}

BackendFactory FindBackend(std::string_view source) {
    std::string key = Lower(source);
    if (key.empty() || key == "sqlite") return &OpenDefaultBackend;
    if (key == "postgresql" || key == "postgres" || IsServerConnection(source))
        return &OpenPostgresBackend;
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.factories.find(key);
    return it == r.factories.end() ? BackendFactory() : it->second;
}

}  // namespace mz
