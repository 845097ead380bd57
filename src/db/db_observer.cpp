#include "db/db_observer.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/json_text.h"
#include "platform/text.h"

namespace mz {

namespace detail {
std::atomic<int> g_attached_observers{0};
}

namespace {

using ObserverList = std::vector<std::shared_ptr<DbObserver>>;

// Copy on write: a call reads the current list under the lock and walks it outside, so an
// observer attached or detached meanwhile never disturbs a walk in progress.
struct Observers {
    std::mutex mutex;
    std::shared_ptr<const ObserverList> list = std::make_shared<ObserverList>();
};

// Never destroyed: connections closing during exit still report their rollback.
Observers& TheObservers() {
    static Observers* observers = new Observers;
    return *observers;
}

void Replace(Observers& o, std::shared_ptr<const ObserverList> next) {
    detail::g_attached_observers.store(static_cast<int>(next->size()), std::memory_order_relaxed);
    o.list = std::move(next);
}

std::string TraceValue(const Variant& value) {
    if (value.IsNull()) return "Null";
    if (value.Type() == VarType::Date) return value.GetDate().ToIso();
    return value.ToText();
}

constexpr std::string_view kCallNames[] = {"open",  "execute", "proc",
                                           "begin", "commit",  "rollback"};

}  // namespace

void AttachObserver(std::shared_ptr<DbObserver> observer) {
    if (!observer) return;
    Observers& o = TheObservers();
    std::lock_guard lock(o.mutex);
    auto next = std::make_shared<ObserverList>(*o.list);
    next->push_back(std::move(observer));
    Replace(o, std::move(next));
}

void DetachObserver(const DbObserver* observer) {
    Observers& o = TheObservers();
    std::lock_guard lock(o.mutex);
    auto next = std::make_shared<ObserverList>(*o.list);
    const auto gone = std::find_if(next->begin(), next->end(), [&](const auto& attached) {
        return attached.get() == observer;
    });
    if (gone == next->end()) return;
    next->erase(gone);
    Replace(o, std::move(next));
}

void NotifyObservers(const DbCallEvent& event) noexcept {
    std::shared_ptr<const ObserverList> list;
    {
        Observers& o = TheObservers();
        std::lock_guard lock(o.mutex);
        list = o.list;
    }
    for (const auto& observer : *list) {
        try {
            observer->OnCall(event);
        } catch (...) {
            // An observer only watches: its failure must not become the call's.
        }
    }
}

DbCall QueryCall(std::string_view sql) {
    size_t i = 0;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
    size_t end = i;
    while (end < sql.size() &&
           (std::isalnum(static_cast<unsigned char>(sql[end])) || sql[end] == '_'))
        ++end;
    const std::string word = Lower(sql.substr(i, end - i));
    return word == "exec" || word == "execute" ? DbCall::kExecute : DbCall::kOpen;
}

std::string TraceEscape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    AppendEscaped(out, field, false);
    return out;
}

std::string TraceLine(const DbCallEvent& event) {
    std::string line(kCallNames[static_cast<size_t>(event.call)]);
    line += '\t';
    line += std::to_string(event.elapsed_us);
    if (event.call == DbCall::kOpen || event.call == DbCall::kExecute ||
        event.call == DbCall::kProc) {
        line += '\t';
        line += TraceEscape(event.text);
    }
    if (event.params) {
        for (const auto& [name, value] : *event.params) {
            line += '\t';
            line += TraceEscape(name + "=" + TraceValue(value));
        }
    }
    return line;
}

void TraceWriter::OnCall(const DbCallEvent& event) {
    std::string line = TraceLine(event);
    line += '\n';
    std::lock_guard lock(mutex_);
    out_ << line;
    out_.flush();
}

}  // namespace mz
