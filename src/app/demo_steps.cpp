#include "app/demo_steps.h"

#include <cstdio>

#include "core/report_versions.h"

namespace mz::app {

bool DemoSteps::Connect() {
    names_.ConnectionVariables(path_, "", "", "", false);
    return Check(db_.ConnectionVariables(path_, "", "", "", false), "connect");
}

bool DemoSteps::Check(bool ok, const std::string& what) {
    std::printf("  %-72s %s\n", what.c_str(), ok ? "ok" : "FAILED");
    ok_ = ok_ && ok;
    return ok;
}

int32_t DemoSteps::Report(const char* action, int32_t based_on) {
    std::string error;
    const int32_t id = CreateReportVersion(db_, action, based_on, error);
    Check(error.empty(), std::string("report version: ") + action);
    return id < 0 ? 0 : id;
}

int32_t DemoSteps::Name(const std::string& name, const std::string& first, bool org) {
    NameAddressEntry e;
    e.is_org = org;
    (org ? e.org_name : e.last_name) = name;
    e.first_name = first;
    std::string error;
    const int32_t id = names_.Save(e, error);
    ok_ = ok_ && error.empty();
    return id;
}

std::string DemoSteps::Counts(std::initializer_list<const char*> tables) {
    std::string text;
    for (const char* table : tables) {
        ResultSet rs;
        db_.OpenRecordset(std::string("select count(*) as n from ") + table, rs);
        text += std::string(table) + "=" + rs.Value("n").ToText() + " ";
    }
    return text;
}

}  // namespace mz::app
