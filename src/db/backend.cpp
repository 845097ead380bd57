#include "db/backend.h"

#include <atomic>
#include <map>
#include <mutex>

#include "db/sqlite_backend.h"

namespace mz {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

struct Registry {
    std::mutex mutex;
    std::map<std::string, BackendFactory> factories;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
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

void RegisterBackend(std::string source, BackendFactory factory) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.factories[Lower(source)] = std::move(factory);
}

BackendFactory FindBackend(std::string_view source) {
    std::string key = Lower(source);
    if (key.empty() || key == "sqlite") return &OpenSqliteBackend;
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.factories.find(key);
    return it == r.factories.end() ? BackendFactory() : it->second;
}

}  // namespace mz
