// What every engine's backend does alike, written once: a caller's T-SQL text is translated (the
// engine's TranslationCache keeps it) and run either as a reading statement or as an exec of a
// reading procedure; procedures are described and run from the engine's loaded form of them; the
// two generic procedures (sp_update_table, sp_delete_table) are planned here and written by the
// engine. Private to the db layer.
//
// Engine derives from ProcedureBackend<Engine, Procedure> and provides (ProcedureBackend is its
// friend):
//   TranslationCache& Translations();
//   std::string LoadProcedure(std::string_view name, Procedure*& out);   // cached; error text
//   std::string RunStatements(Procedure&, ParamValues&, ResultSet* last_rows);
//   std::string AllOrNothing(bool read_only, ParamValues&, F&& body);    // one call as a whole
//   std::string Watched(F&& run);              // run under the query time limit's watch
//   std::string RunQuery(const Translation&, std::string_view tsql, ResultSet&, const RowBatches*);
//   const SchemaTable* FindTable(std::string_view name);
//   std::string RunBuiltin(const BuiltinWrite&);
//   static constexpr BuiltinDialect kBuiltins;
// Procedure has params, param_types, statements and read_only.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/backend.h"
#include "db/builtin_procedures.h"
#include "db/tsql_translator.h"
#include "platform/text.h"

namespace mz {

template <class Engine, class Procedure>
class ProcedureBackend : public Backend {
  public:
    std::string Query(std::string_view tsql, ResultSet& out) final {
        return RunQueryText(tsql, out, nullptr);
    }
    std::string QueryBatches(std::string_view tsql, const RowBatches& each) final {
        ResultSet out;
        return RunQueryText(tsql, out, &each);
    }

    std::string DescribeProcedure(std::string_view name, ProcedureInfo& info) final {
        info = ProcedureInfo{};
        if (const auto& generic = GenericParams(name); !generic.empty()) {
            info.params = generic;
            return "";
        }
        Procedure* proc = nullptr;
        std::string error = self().LoadProcedure(name, proc);
        if (error.empty()) info.params = proc->params;
        return error;
    }

    std::string Execute(std::string_view name, ParamValues& values) final {
        Engine& e = self();
        const auto plan = EqualsNoCase(name, "sp_update_table")   ? &PlanUpdateTable
                          : EqualsNoCase(name, "sp_delete_table") ? &PlanDeleteTable
                                                                  : nullptr;
        if (plan) {
            const FindSchemaTable find = [&e](std::string_view t) { return e.FindTable(t); };
            return e.AllOrNothing(
                false, values, [&] { return e.RunBuiltin(plan(values, find, Engine::kBuiltins)); });
        }
        Procedure* proc = nullptr;
        if (std::string error = e.LoadProcedure(name, proc); !error.empty()) return error;
        return e.AllOrNothing(proc->read_only, values,
                              [&] { return e.RunStatements(*proc, values, nullptr); });
    }

  private:
    Engine& self() { return static_cast<Engine&>(*this); }

    static const std::vector<ProcedureParam>& GenericParams(std::string_view name) {
        static const std::vector<ProcedureParam> update = {{"@table", "varchar(128)", false},
                                                           {"@column", "varchar(128)", false},
                                                           {"@unique_id", "int", false},
                                                           {"@value", "varchar(8000)", false}};
        static const std::vector<ProcedureParam> remove = {{"@table", "varchar(128)", false},
                                                           {"@unique_id", "int", false}};
        static const std::vector<ProcedureParam> none;
        if (EqualsNoCase(name, "sp_update_table")) return update;
        if (EqualsNoCase(name, "sp_delete_table")) return remove;
        return none;
    }

    std::string RunQueryText(std::string_view tsql, ResultSet& out, const RowBatches* each) {
        out.Close();
        if (tsql.find_first_not_of(" \t\r\n") == std::string_view::npos)
            return "The SQL text is empty.";
        std::shared_ptr<const Translation> tr = self().Translations().Get(tsql);
        if (!tr->error.empty()) return tr->error;
        return self().Watched([&] {
            if (tr->exec_procedure.empty()) return self().RunQuery(*tr, tsql, out, each);
            std::string error = RunReadProcedure(*tr, out);
            if (error.empty() && each) (*each)(out);
            return error;
        });
    }

    std::string RunReadProcedure(const Translation& tr, ResultSet& out) {
        Engine& e = self();
        Procedure* proc = nullptr;
        if (std::string error = e.LoadProcedure(tr.exec_procedure, proc); !error.empty())
            return error;
        if (!proc->read_only)
            return "Only reading procedures may be run by a query; refused: exec " +
                   tr.exec_procedure;
        if (tr.exec_args.size() > proc->params.size())
            return "Procedure " + tr.exec_procedure + " takes " +
                   std::to_string(proc->params.size()) + " arguments, not " +
                   std::to_string(tr.exec_args.size()) + ".";
        ParamValues values;
        for (size_t i = 0; i < proc->params.size(); ++i)
            values.emplace_back(proc->params[i].name,
                                i < tr.exec_args.size() ? tr.exec_args[i] : Variant::Null());
        if (proc->statements.empty())
            return "Procedure " + tr.exec_procedure + " has no statement.";
        return e.AllOrNothing(true, values, [&] { return e.RunStatements(*proc, values, &out); });
    }
};

}  // namespace mz
