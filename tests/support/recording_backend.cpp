#include "support/recording_backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <sstream>
#include <utility>

#include "db/backend.h"
#include "db/db_connect.h"
#include "db/db_observer.h"
#include "platform/text.h"

namespace mz::test {
namespace {

std::vector<FieldInfo> Fields(const std::string& description) {
    static const std::map<std::string, VarType> kTypes = {
        {"Long", VarType::Int32},        {"Integer", VarType::Int16}, {"String", VarType::String},
        {"Currency", VarType::Currency}, {"Double", VarType::Double}, {"Date", VarType::Date},
        {"Boolean", VarType::Boolean}};
    std::vector<FieldInfo> fields;
    std::istringstream in(description);
    for (std::string field; std::getline(in, field, ',');) {
        const size_t colon = field.find(':');
        FieldInfo f;
        f.name = field.substr(field.find_first_not_of(' '), colon - field.find_first_not_of(' '));
        const auto type = kTypes.find(field.substr(colon + 1));
        EXPECT_NE(type, kTypes.end()) << field;
        if (type != kTypes.end()) f.type = type->second;
        fields.push_back(f);
    }
    return fields;
}

std::map<std::string, std::weak_ptr<Recorder>>& Registry() {
    static std::map<std::string, std::weak_ptr<Recorder>> registry;
    return registry;
}

}  // namespace

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

// One connection's backend over the real one; the recorder holds the rules and the log shared by
// all of them.
class RecordingBackend : public Backend {
  public:
    RecordingBackend(std::shared_ptr<Recorder> recorder, std::unique_ptr<Backend> real)
        : recorder_(std::move(recorder)), real_(std::move(real)) {}

    std::string Query(std::string_view tsql, ResultSet& out) override {
        if (const Recorder::Rule* rule = recorder_->Fire(Recorder::Kind::Query, tsql)) {
            out = ResultSet();
            if (rule->raise) throw *rule->raise;
            if (rule->fields) out = ResultSet(Fields(*rule->fields));
            return rule->error_text.value_or("");
        }
        return real_->Query(tsql, out);
    }

    std::string DescribeProcedure(std::string_view name, ProcedureInfo& info) override {
        if (const Recorder::Rule* rule = recorder_->Fire(Recorder::Kind::Create, name))
            return *rule->error_text;
        return real_->DescribeProcedure(name, info);
    }

    std::string Execute(std::string_view name, ParamValues& values) override {
        if (const Recorder::Rule* rule = recorder_->Fire(Recorder::Kind::Exec, name)) {
            if (rule->raise) throw *rule->raise;
            return *rule->error_text;
        }
        return real_->Execute(name, values);
    }

    bool InTransaction() const override { return real_->InTransaction(); }
    void QueryTimeLimit(std::chrono::milliseconds limit) override { real_->QueryTimeLimit(limit); }
    void Begin() override { real_->Begin(); }
    void Commit() override { real_->Commit(); }
    void Rollback() override {
        if (InTransaction()) real_->Rollback();
    }

  private:
    std::shared_ptr<Recorder> recorder_;
    std::unique_ptr<Backend> real_;
};

// The log: the calls that the connections made to this recorder report (Source "recording",
// DatabaseName the recorder's name), in the order they end.
class Recorder::CallLog : public DbObserver {
  public:
    explicit CallLog(std::string name) : name_(std::move(name)) {}

    void OnCall(const DbCallEvent& e) override {
        const ConnectionSettings& settings = e.connection.Settings();
        if (!EqualsNoCase(settings.source, "recording") || settings.database_name != name_) return;
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
                ConnectionSettings real_settings = settings;
                real_settings.database_name = recorder->real_database_;
                real_settings.source = "";
                std::unique_ptr<Backend> real = FindBackend("")(real_settings, error);
                if (!real) return nullptr;
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
        const bool match = kind == Kind::Query
                               ? text.find(rule.match) != std::string_view::npos
                               : rule.match.empty() || EqualsNoCase(rule.match, text);
        if (!match) continue;
        ++rule.seen;
        if (rule.nth == 0 || rule.nth == rule.seen) return &rule;
    }
    return nullptr;
}

Recorder& Recorder::OnQuery(std::string substring, std::string fields) {
    rules_.push_back(Rule{Kind::Query, std::move(substring), 0, 0, {}, {}, std::move(fields)});
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

namespace {

// The lines as they match the expected text: an expected line ending in "..." stands for every
// line it begins.
std::string Matched(const std::vector<std::string>& lines, const std::string& expected) {
    std::string log;
    size_t from = 0;
    for (const std::string& line : lines) {
        const size_t end = std::min(expected.find('\n', from), expected.size());
        const std::string_view want = std::string_view(expected).substr(from, end - from);
        const bool wild =
            want.ends_with("...") && line.starts_with(want.substr(0, want.size() - 3));
        log += (log.empty() ? "" : "\n") + (wild ? std::string(want) : line);
        from = std::min(end + 1, expected.size());
    }
    return log;
}

}  // namespace

void WalkSteps(Recorder& recorder, const std::vector<LoggedStep>& steps) {
    for (const LoggedStep& step : steps) {
        recorder.ClearLog();
        step.call();
        EXPECT_EQ(Matched(recorder.Lines(), step.log), step.log) << step.name;
    }
}

std::vector<std::string> StepShell::Run(const std::string& line) {
    shell_.Execute(line);
    std::vector<std::string> printed;
    for (auto [stream, mark] : {std::pair{&out_, "= "}, std::pair{&err_, "! "}}) {
        std::istringstream text(stream->str());
        for (std::string l; std::getline(text, l);) printed.push_back(mark + l);
        stream->str("");
    }
    return printed;
}

void WalkSteps(Recorder& recorder, const std::vector<std::string>& log_file,
               const std::vector<NamedCall>& calls, StepShell* shell) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string section = std::string("### ") + test->test_suite_name() + "." + test->name();
    std::vector<LoggedStep> steps;
    bool inside = false;
    for (const std::string& line : log_file) {
        if (line.starts_with("### ")) {
            inside = line == section;
        } else if (inside && line.starts_with("== ")) {
            steps.push_back({line.substr(3), nullptr, ""});
        } else if (inside && !steps.empty() && !line.empty()) {
            steps.back().log += (steps.back().log.empty() ? "" : "\n") + line;
        }
    }
    const auto by_shell = [](const LoggedStep& step) {
        return step.log.starts_with("> ") || step.log.find("\n> ") != std::string::npos;
    };
    size_t next = 0;
    for (LoggedStep& step : steps) {
        if (by_shell(step)) {
            ASSERT_NE(shell, nullptr) << step.name;
            // The shell lines and rules, each followed by what it logged and printed.
            step.call = [&recorder, shell, &step] {
                std::vector<std::string> lines;
                std::istringstream in(step.log);
                for (std::string line; std::getline(in, line);) {
                    if (line.starts_with("+ ")) {
                        std::istringstream rule(line.substr(2));
                        std::string kind, name, text;
                        int nth = 0;
                        rule >> kind >> name >> nth >> std::ws;
                        std::getline(rule, text);
                        EXPECT_EQ(kind, "FailProcedure") << line;
                        recorder.FailProcedure(name, text, nth);
                    } else if (!line.starts_with("> ")) {
                        continue;
                    }
                    lines.push_back(line);
                    const size_t logged = recorder.Lines().size();
                    const auto printed = line.starts_with("> ") ? shell->Run(line.substr(2))
                                                                : std::vector<std::string>{};
                    lines.insert(lines.end(), recorder.Lines().begin() + static_cast<long>(logged),
                                 recorder.Lines().end());
                    lines.insert(lines.end(), printed.begin(), printed.end());
                }
                EXPECT_EQ(Matched(lines, step.log), step.log) << step.name;
            };
        } else {
            ASSERT_LT(next, calls.size()) << "no call for step " << step.name;
            EXPECT_EQ(step.name, calls[next].name);
            step.call = calls[next++].call;
        }
    }
    EXPECT_EQ(next, calls.size()) << "calls without a step in the log file";
    for (const LoggedStep& step : steps) {
        recorder.ClearLog();
        step.call();
        if (!by_shell(step)) {
            EXPECT_EQ(Matched(recorder.Lines(), step.log), step.log) << step.name;
        }
    }
}

std::string AuditTail(const std::string& table, const std::string& a, const std::string& suffix) {
    return "and (" + a + ".ref_is_audit = 1 or (" + a + ".ref_is_audit = 0 and " + a +
           ".group_id not in (    select group_id    from vw_mz_" + table + suffix +
           "    where unique_id <> " + a + ".unique_id    and report_group_id = " + a +
           ".report_group_id    and ref_is_audit = 1 ))) ";
}

}  // namespace mz::test
