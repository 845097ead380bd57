#include "support/recording_backend.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <mutex>
#include <stdexcept>

#include "db/backend.h"
#include "db/db_connect.h"
#include "db/db_observer.h"

namespace mz::test {

namespace {

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Splits on sep outside '...' and #...#.
std::vector<std::string> Split(std::string_view s, char sep) {
    std::vector<std::string> parts;
    std::string current;
    bool in_quote = false, in_date = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\'' && !in_date) in_quote = !in_quote;
        if (c == '#' && !in_quote) in_date = !in_date;
        if (c == sep && !in_quote && !in_date) {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

FieldInfo ParseField(const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) throw std::invalid_argument("field without type: " + text);
    FieldInfo f;
    f.name = Trim(text.substr(0, colon));
    std::string type = Trim(text.substr(colon + 1));
    int size = 0;
    if (const size_t paren = type.find('('); paren != std::string::npos) {
        size = std::stoi(type.substr(paren + 1));
        type = Trim(type.substr(0, paren));
    }
    static const std::map<std::string, VarType> kTypes = {
        {"Long", VarType::Int32},        {"Integer", VarType::Int16}, {"String", VarType::String},
        {"Currency", VarType::Currency}, {"Double", VarType::Double}, {"Date", VarType::Date},
        {"Boolean", VarType::Boolean}};
    auto it = kTypes.find(type);
    if (it == kTypes.end()) throw std::invalid_argument("unknown field type: " + type);
    f.type = it->second;
    if (f.type == VarType::String) f.defined_size = size;
    if (f.type == VarType::Currency || f.type == VarType::Double) {
        f.precision = static_cast<uint8_t>(size);
        f.scale = f.type == VarType::Currency ? 4 : 0;
    }
    if (f.type == VarType::Int32) f.defined_size = 4;
    if (f.type == VarType::Int16) f.defined_size = 2;
    return f;
}

Variant ParseValue(const std::string& raw, VarType type) {
    const std::string text = Trim(raw);
    if (text == "Null") return Variant::Null();
    if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
        std::string s;
        for (size_t i = 1; i + 1 < text.size(); ++i) {
            s += text[i];
            if (text[i] == '\'' && text[i + 1] == '\'') ++i;
        }
        return Variant(s);
    }
    if (text.size() >= 2 && text.front() == '#' && text.back() == '#') {
        auto d = Date::Parse(text.substr(1, text.size() - 2));
        if (!d) throw std::invalid_argument("bad date: " + text);
        return Variant(*d);
    }
    switch (type) {
        case VarType::Int32:
            return Variant(static_cast<int32_t>(std::stol(text)));
        case VarType::Int16:
            return Variant(static_cast<int16_t>(std::stoi(text)));
        case VarType::Double:
            return Variant(std::stod(text));
        case VarType::Currency:
            return Variant(*Currency::Parse(text));
        case VarType::Boolean:
            return Variant(text == "True" || text == "1");
        case VarType::Date:
            return Variant(*Date::Parse(text));
        default:
            return Variant(text);
    }
}

std::map<std::string, std::weak_ptr<Recorder>>& Registry() {
    static std::map<std::string, std::weak_ptr<Recorder>> registry;
    return registry;
}

}  // namespace

ResultSet MakeResultSet(std::string_view description) {
    std::vector<std::string> parts = Split(description, '|');
    std::vector<FieldInfo> fields;
    for (const std::string& f : Split(parts[0], ',')) fields.push_back(ParseField(f));
    ResultSet rs(fields);
    for (size_t r = 1; r < parts.size(); ++r) {
        std::vector<std::string> cells = Split(parts[r], ',');
        if (cells.size() != fields.size()) {
            throw std::invalid_argument("row " + std::to_string(r) + " has " +
                                        std::to_string(cells.size()) + " values");
        }
        std::vector<Variant> values;
        for (size_t i = 0; i < cells.size(); ++i)
            values.push_back(ParseValue(cells[i], fields[i].type));
        rs.AppendRow(std::move(values));
    }
    if (rs.RecordCount() > 0) rs.MoveFirst();
    return rs;
}

std::string LogValue(const Variant& value) {
    switch (value.Type()) {
        case VarType::Empty:
            return "Empty";
        case VarType::Null:
            return "Null";
        case VarType::String:
            return "'" + value.GetString() + "'";
        case VarType::Int32:
            return "Long(" + value.ToText() + ")";
        case VarType::Int16:
            return "Integer(" + value.ToText() + ")";
        case VarType::Double:
            return "Double(" + value.ToText() + ")";
        case VarType::Currency:
            return "Currency(" + value.GetCurrency().ToString() + ")";
        case VarType::Boolean:
            return std::string("Boolean(") + (value.GetBool() ? "True" : "False") + ")";
        case VarType::Date:
            return "Date(" + value.GetDate().ToIso() + ")";
    }
    return "?";
}

// One connection's backend; the recorder holds the script and the log shared by all of them.
class RecordingBackend : public Backend {
  public:
    RecordingBackend(std::shared_ptr<Recorder> recorder, std::unique_ptr<Backend> real)
        : recorder_(std::move(recorder)), real_(std::move(real)) {}

    std::string Query(std::string_view tsql, ResultSet& out) override {
        out = ResultSet();
        if (const Recorder::Rule* rule = recorder_->Fire(Recorder::Kind::Query, tsql)) {
            if (rule->raise) throw *rule->raise;
            if (rule->error_text) return *rule->error_text;
            out = MakeResultSet(*rule->answer);
            return "";
        }
        if (real_) return real_->Query(tsql, out);
        out = ResultSet(std::vector<FieldInfo>{});
        return "";
    }

    std::string DescribeProcedure(std::string_view name, ProcedureInfo& info) override {
        if (const Recorder::Rule* rule = recorder_->Fire(Recorder::Kind::Create, name)) {
            return *rule->error_text;
        }
        if (real_ && !recorder_->FindProcedure(name)) return real_->DescribeProcedure(name, info);
        info = ProcedureInfo{};
        info.any_input = true;
        if (const auto* script = recorder_->FindProcedure(name)) {
            for (const auto& [param, value] : script->outputs) {
                info.params.push_back(ProcedureParam{param, "", true});
            }
        }
        return "";
    }

    std::string Execute(std::string_view name, ParamValues& values) override {
        const auto* script = recorder_->FindProcedure(name);
        if (const Recorder::Rule* rule = recorder_->Fire(Recorder::Kind::Exec, name)) {
            if (rule->raise) throw *rule->raise;
            return *rule->error_text;
        }
        if (real_ && !script) return real_->Execute(name, values);
        if (script) {
            for (const auto& [output, answer] : script->outputs) {
                bool set = false;
                for (auto& [param, value] : values) {
                    if (SameText(output, param)) value = answer, set = true;
                }
                if (!set) values.emplace_back(output, answer);
            }
        }
        return "";
    }

    bool InTransaction() const override { return real_ ? real_->InTransaction() : in_transaction_; }
    void QueryTimeLimit(std::chrono::milliseconds limit) override {
        if (real_) real_->QueryTimeLimit(limit);
    }
    void Begin() override {
        if (real_) return real_->Begin();
        if (in_transaction_)
            throw Error(err::kInvalidCall, "recording", "transaction already open");
        in_transaction_ = true;
    }
    void Commit() override {
        if (real_) return real_->Commit();
        if (!in_transaction_) throw Error(err::kInvalidCall, "recording", "no transaction open");
        in_transaction_ = false;
    }
    void Rollback() override {
        if (!InTransaction()) return;
        if (real_) return real_->Rollback();
        in_transaction_ = false;
    }

  private:
    std::shared_ptr<Recorder> recorder_;
    std::unique_ptr<Backend> real_;
    bool in_transaction_ = false;
};

// The log: the calls that the connections made to this recorder report (Source "recording",
// DatabaseName the recorder's name), in the order they end.
class Recorder::CallLog : public DbObserver {
  public:
    explicit CallLog(std::string name) : name_(std::move(name)) {}

    void OnCall(const DbCallEvent& e) override {
        const ConnectionSettings& settings = e.connection.Settings();
        if (!SameText(settings.source, "recording") || settings.database_name != name_) return;
        std::lock_guard lock(mutex_);
        lines_.push_back(Line(e));
    }

    static std::string Line(const DbCallEvent& e) {
        switch (e.call) {
            case DbCall::kOpen:
            case DbCall::kExecute:
                return "query " + std::string(e.text);
            case DbCall::kProc: {
                std::string line = "exec " + std::string(e.text);
                bool first = true;
                for (const auto& [param, value] : *e.params) {
                    line += (first ? " " : ", ") + param + "=" + LogValue(value);
                    first = false;
                }
                return line;
            }
            case DbCall::kBegin:
                return "begin";
            case DbCall::kCommit:
                return "commit";
            case DbCall::kRollback:
                return "rollback";
        }
        return "?";
    }

    std::mutex mutex_;
    std::vector<std::string> lines_;

  private:
    std::string name_;
};

Recorder::Recorder(std::string name, std::string real_database)
    : name_(std::move(name)),
      real_database_(std::move(real_database)),
      log_(std::make_shared<CallLog>(name_)) {
    AttachObserver(log_);
}

Recorder::~Recorder() {
    DetachObserver(log_.get());
    auto it = Registry().find(name_);
    if (it != Registry().end() && it->second.expired()) Registry().erase(it);
}

const std::vector<std::string>& Recorder::Lines() const {
    return log_->lines_;
}

void Recorder::ClearLog() {
    std::lock_guard lock(log_->mutex_);
    log_->lines_.clear();
}

std::shared_ptr<Recorder> Recorder::Create(const std::string& name,
                                           const std::string& real_database) {
    static const bool registered = [] {
        RegisterBackend(
            "recording",
            [](const ConnectionSettings& settings, std::string& error) -> std::unique_ptr<Backend> {
                auto it = Registry().find(settings.database_name);
                std::shared_ptr<Recorder> recorder =
                    it == Registry().end() ? nullptr : it->second.lock();
                if (!recorder) {
                    error = "no recorder named '" + settings.database_name + "'";
                    return nullptr;
                }
                std::unique_ptr<Backend> real;
                if (!recorder->real_database_.empty()) {
                    ConnectionSettings real_settings = settings;
                    real_settings.database_name = recorder->real_database_;
                    real_settings.source = "";
                    real = FindBackend("")(real_settings, error);
                    if (!real) return nullptr;
                }
                return std::make_unique<RecordingBackend>(recorder, std::move(real));
            });
        return true;
    }();
    (void)registered;
    std::shared_ptr<Recorder> recorder(new Recorder(name, real_database));
    Registry()[name] = recorder;
    return recorder;
}

const Recorder::Rule* Recorder::Fire(Kind kind, std::string_view text) {
    for (Rule& rule : rules_) {
        if (rule.kind != kind) continue;
        const bool match = kind == Kind::Query ? text.find(rule.match) != std::string_view::npos
                                               : rule.match.empty() || SameText(rule.match, text);
        if (!match) continue;
        ++rule.seen;
        if (rule.nth == 0 || rule.nth == rule.seen) return &rule;
    }
    return nullptr;
}

const Recorder::ProcedureScript* Recorder::FindProcedure(std::string_view name) const {
    for (const ProcedureScript& p : procedures_) {
        if (SameText(p.name, name)) return &p;
    }
    return nullptr;
}

Recorder& Recorder::OnQuery(std::string substring, std::string result) {
    rules_.push_back(Rule{Kind::Query, std::move(substring), 0, 0, {}, {}, std::move(result)});
    return *this;
}

Recorder& Recorder::FailQuery(std::string substring, std::string error_text, int nth) {
    rules_.push_back(
        Rule{Kind::Query, std::move(substring), nth, 0, std::move(error_text), {}, {}});
    return *this;
}

Recorder& Recorder::RaiseOnQuery(std::string substring, Error error, int nth) {
    rules_.push_back(Rule{Kind::Query, std::move(substring), nth, 0, {}, std::move(error), {}});
    return *this;
}

Recorder& Recorder::OnProcedure(std::string name,
                                std::vector<std::pair<std::string, Variant>> outputs) {
    procedures_.push_back(ProcedureScript{std::move(name), std::move(outputs)});
    return *this;
}

Recorder& Recorder::FailProcedure(std::string name, std::string error_text, int nth) {
    rules_.push_back(Rule{Kind::Exec, std::move(name), nth, 0, std::move(error_text), {}, {}});
    return *this;
}

Recorder& Recorder::RaiseOnProcedure(std::string name, Error error, int nth) {
    rules_.push_back(Rule{Kind::Exec, std::move(name), nth, 0, {}, std::move(error), {}});
    return *this;
}

Recorder& Recorder::FailCreate(std::string name, std::string error_text) {
    rules_.push_back(Rule{Kind::Create, std::move(name), 0, 0, std::move(error_text), {}, {}});
    return *this;
}

std::string Recorder::Log() const {
    std::lock_guard lock(log_->mutex_);
    std::string log;
    for (const std::string& line : log_->lines_) {
        if (!log.empty()) log += "\n";
        log += line;
    }
    return log;
}

void WalkSteps(Recorder& recorder, const std::vector<LoggedStep>& steps) {
    for (const LoggedStep& step : steps) {
        recorder.ClearLog();
        step.call();
        EXPECT_EQ(recorder.Log(), step.log) << step.name;
    }
}

std::string AuditTail(const std::string& table, const std::string& a, const std::string& suffix) {
    return "and (" + a + ".ref_is_audit = 1 or (" + a + ".ref_is_audit = 0 and " + a +
           ".group_id not in (    select group_id    from vw_mz_" + table + suffix +
           "    where unique_id <> " + a + ".unique_id    and report_group_id = " + a +
           ".report_group_id    and ref_is_audit = 1 ))) ";
}

}  // namespace mz::test
