// What report versions cost a list: the notes of one parent row (10,000 of them) loaded through
// clsNotes::GetDataList and walked with MoveNext reading every property, once from a table that
// holds only those rows and once from a table of 1,000,000 rows in 100 report groups of up to 10
// versions, where the listed version inherits most of its rows from earlier versions. Report the
// second as a ratio of the first; the views are meant to keep it at 2x or below.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "lists/notes.h"

namespace {

constexpr int kListed = 10000;  // rows the listed version sees
constexpr int kTableRows = 1000000;
constexpr int kGroups = 100;
constexpr int kTargetGroup = 50;  // the listed group sits in the middle of the table
constexpr int32_t kLink = 50000;  // the parent row whose notes are listed

// One report version of a group, as the loader writes it.
struct Version {
    int32_t report_id = 0;
    int order = 0;  // version_order
    bool audit = false;
    int copies = 0, deletes = 0, adds = 0;  // rows written in this version
};

// A row as sp_insert_rpt_notes writes it, with the versioning columns its insert trigger sets.
struct Note {
    int64_t unique_id = 0;
    int32_t report_id = 0;
    int64_t group_id = 0;
    int64_t ref_id = 0;  // 0: an "A" row
    int32_t report_group_id = 0;
    int32_t link_id = 0;
    int32_t sequence = 0;
    int version_from = 0;
    int version_to = 0;  // 0: Null
    bool audit = false;
    bool deleted = false;  // a "D" marker
};

struct Built {
    std::string path;
    int32_t report_id = 0;  // the listed version
};

void Check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const std::string& sql) {
    Check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db, sql.c_str());
}

int64_t Scalar(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr), db, sql.c_str());
    Check(sqlite3_step(s), db, sql.c_str());
    const int64_t value = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    return value;
}

// The groups' notes in filing order: every group files its original, then every group files
// its next version, and so on, so the rows of one version lie together but a group's versions are
// spread through the table. A version first copies ("C") and deletes ("D") rows it inherits, then
// adds its own. Writes the reports into db and returns the notes, unique_id n at n - 1.
std::vector<Note> Generate(sqlite3* db, std::vector<std::vector<Version>>& groups, int listed,
                           const std::vector<int>& originals, int others_listed) {
    sqlite3_stmt* report = nullptr;
    Check(sqlite3_prepare_v2(db,
                             "INSERT INTO rpt_report (report_group_id, version_order, is_audit, "
                             "based_on_report_id, filed_date) VALUES (?, ?, ?, ?, ?)",
                             -1, &report, nullptr),
          db, "prepare report");
    std::mt19937 random(20060301);
    std::vector<Note> rows;
    rows.reserve(kTableRows);
    // Per group: the unique_id each filed chain (group_id) currently ends in.
    std::vector<std::vector<int64_t>> live(groups.size());
    size_t rounds = 0;
    for (const auto& g : groups) rounds = std::max(rounds, g.size());
    for (size_t g = 0; g < groups.size(); ++g)
        Exec(db, "INSERT INTO rpt_report_group DEFAULT VALUES");

    for (size_t k = 0; k < rounds; ++k) {
        for (size_t g = 0; g < groups.size(); ++g) {
            if (k >= groups[g].size()) continue;
            Version& v = groups[g][k];
            v.order = static_cast<int>(k) + 1;
            sqlite3_bind_int64(report, 1, static_cast<int64_t>(g) + 1);
            sqlite3_bind_int(report, 2, v.order);
            sqlite3_bind_int(report, 3, v.audit ? 1 : 0);
            if (k)
                sqlite3_bind_int(report, 4, groups[g][k - 1].report_id);
            else
                sqlite3_bind_null(report, 4);
            // Every version but a group's latest was filed by the next.
            if (k + 1 < groups[g].size())
                sqlite3_bind_text(report, 5, "2006-03-01 10:00:00", -1, SQLITE_STATIC);
            else
                sqlite3_bind_null(report, 5);
            Check(sqlite3_step(report), db, "insert report");
            sqlite3_reset(report);
            v.report_id = static_cast<int32_t>(sqlite3_last_insert_rowid(db));
            auto written = [&](Note n) -> Note& {
                n.unique_id = static_cast<int64_t>(rows.size()) + 1;
                n.report_id = v.report_id;
                n.report_group_id = static_cast<int32_t>(g) + 1;
                n.version_from = v.order;
                n.version_to = 0;
                n.audit = v.audit;
                rows.push_back(n);
                return rows.back();
            };

            // Distinct chains, drawn to the end of the list: a version writes one row per chain.
            std::vector<int64_t>& chains = live[g];
            const size_t size = chains.size();
            const size_t picks = k == 0 ? 0 : static_cast<size_t>(v.copies + v.deletes);
            for (size_t i = 0; i < picks; ++i)
                std::swap(chains[random() % (size - i)], chains[size - 1 - i]);
            for (size_t i = 0; i < picks; ++i) {
                int64_t& chain = chains[size - picks + i];
                Note n = rows[static_cast<size_t>(chain - 1)];
                n.ref_id = n.unique_id;
                n.deleted = i >= static_cast<size_t>(v.copies);
                const Note& copy = written(n);
                // Filed rows supersede filed rows; an audit copy stands beside the filed row.
                if (!v.audit) {
                    rows[static_cast<size_t>(chain - 1)].version_to = v.order;
                    chain = copy.unique_id;
                }
            }
            if (k > 0) chains.resize(size - static_cast<size_t>(v.deletes));

            const int32_t link =
                static_cast<int>(g) == listed ? kLink : 1000 * static_cast<int32_t>(g);
            // Rows of the listed group on other parents: they must not show in the list.
            const int others = static_cast<int>(g) == listed && k == 0 ? others_listed : 0;
            const int adds = k == 0 ? originals[g] : v.adds;
            for (int i = 0; i < adds + others; ++i) {
                Note n;
                n.link_id = i < adds ? link : link + 1 + i % 40;
                n.sequence = static_cast<int>(chains.size()) + 1;
                Note& added = written(n);
                added.group_id = added.unique_id;
                if (added.link_id == link) chains.push_back(added.unique_id);
            }
        }
    }
    sqlite3_finalize(report);
    return rows;
}

// Loads the reports and notes in one transaction. The insert trigger would look up, for every
// row, what Generate already knows, so it is set aside during the load and put back after it;
// Build then checks the columns against the trigger's rules. Returns the report_id of the last
// version of group `listed`.
int32_t Load(sqlite3* db, std::vector<std::vector<Version>>& groups, int listed,
             const std::vector<int>& originals, int others_listed) {
    sqlite3_stmt* trigger = nullptr;
    Check(sqlite3_prepare_v2(db,
                             "SELECT sql FROM sqlite_master WHERE type = 'trigger' AND name = "
                             "'trg_rpt_notes_version_insert'",
                             -1, &trigger, nullptr),
          db, "read trigger");
    if (sqlite3_step(trigger) != SQLITE_ROW) {
        sqlite3_finalize(trigger);
        throw std::runtime_error("rpt_notes has no insert trigger");
    }
    const std::string trigger_sql = reinterpret_cast<const char*>(sqlite3_column_text(trigger, 0));
    sqlite3_finalize(trigger);

    Exec(db, "BEGIN; DROP TRIGGER trg_rpt_notes_version_insert");
    const std::vector<Note> rows = Generate(db, groups, listed, originals, others_listed);
    sqlite3_stmt* note = nullptr;
    Check(sqlite3_prepare_v2(
              db,
              "INSERT INTO rpt_notes (unique_id, report_id, group_id, report_group_id, sequence, "
              "delete_date, ref_id, version_from, version_to, is_audit_row, report_section_code, "
              "link_id, Note_type_code, note_keywords, Description, entry_date, amend_code, "
              "orig_date, orig_user_id) VALUES (?1, ?2, ?3, ?4, ?5, "
              "CASE WHEN ?6 THEN '2006-04-12 09:15:00' END, ?7, ?8, ?9, ?10, 'REC', ?11, 'GEN', "
              "'keyword ' || ?5, 'Note ' || ?1 || ' on the schedule row, as the filer entered it', "
              "'2006-03-01', CASE WHEN ?7 IS NULL THEN 'A' ELSE 'C' END, '2006-03-01 10:00:00', "
              "'filer')",
              -1, &note, nullptr),
          db, "prepare note");
    for (const Note& n : rows) {
        sqlite3_bind_int64(note, 1, n.unique_id);
        sqlite3_bind_int(note, 2, n.report_id);
        sqlite3_bind_int64(note, 3, n.group_id);
        sqlite3_bind_int(note, 4, n.report_group_id);
        sqlite3_bind_int(note, 5, n.sequence);
        sqlite3_bind_int(note, 6, n.deleted ? 1 : 0);
        if (n.ref_id)
            sqlite3_bind_int64(note, 7, n.ref_id);
        else
            sqlite3_bind_null(note, 7);
        sqlite3_bind_int(note, 8, n.version_from);
        if (n.version_to)
            sqlite3_bind_int(note, 9, n.version_to);
        else
            sqlite3_bind_null(note, 9);
        sqlite3_bind_int(note, 10, n.audit ? 1 : 0);
        sqlite3_bind_int(note, 11, n.link_id);
        Check(sqlite3_step(note), db, "insert note");
        sqlite3_reset(note);
    }
    sqlite3_finalize(note);
    Exec(db, trigger_sql);
    Exec(db, "COMMIT");
    return groups[static_cast<size_t>(listed)].back().report_id;
}

// Rows whose versioning columns differ from what the insert trigger gives them: the report's
// group, version and audit flag, and the range ended by the next row of the same chain.
int64_t Inconsistent(sqlite3* db) {
    return Scalar(db,
                  "select count(*) from rpt_notes t join rpt_report r on r.report_id = t.report_id "
                  "where t.report_group_id is not r.report_group_id "
                  "or t.version_from is not r.version_order or t.is_audit_row is not r.is_audit "
                  "or t.group_id is not coalesce((select o.group_id from rpt_notes o "
                  "where o.unique_id = t.ref_id), t.unique_id) "
                  "or t.version_to is not (select min(o.version_from) from rpt_notes o "
                  "where o.group_id = t.group_id and o.is_audit_row = t.is_audit_row "
                  "and o.version_from > t.version_from)");
}

// The rows the list of report_id shows, counted in SQL over the same view the class reads.
int64_t Visible(sqlite3* db, int32_t report_id) {
    return Scalar(db, "select count(*) from vw_mz_rpt_notes_ref_basic where ref_report_id = " +
                          std::to_string(report_id) + " and delete_date is null and link_id = " +
                          std::to_string(kLink) + " and ref_is_audit = 0");
}

Built Build(const char* name, std::vector<std::vector<Version>> groups, int listed,
            const std::vector<int>& originals, int others_listed, int64_t expected_rows) {
    Built b;
    b.path = mz::bench::NewReportDatabase(name);
    sqlite3* db = nullptr;
    sqlite3_open(b.path.c_str(), &db);
    mz::RegisterDialectFunctions(db);
    try {
        // A cache that holds the whole table keeps the load from spilling pages mid-transaction.
        Exec(db,
             "PRAGMA journal_mode = WAL; PRAGMA foreign_keys = ON; PRAGMA cache_size = -262144");
        b.report_id = Load(db, groups, listed, originals, others_listed);
        if (const int64_t n = Scalar(db, "select count(*) from rpt_notes"); n != expected_rows)
            throw std::runtime_error(std::string(name) + ": " + std::to_string(n) + " rows, not " +
                                     std::to_string(expected_rows));
        if (Inconsistent(db) != 0)
            throw std::runtime_error(std::string(name) +
                                     ": versioning columns unlike the trigger's");
        if (const int64_t n = Visible(db, b.report_id); n != kListed)
            throw std::runtime_error(std::string(name) + ": the listed version sees " +
                                     std::to_string(n) + " rows, not " + std::to_string(kListed));
        Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    return b;
}

// One report, one version, the 10,000 notes of one parent row.
const Built& PlainDatabase() {
    static const Built built = Build("plain_list", {{Version{}}}, 0, {kListed}, 0, kListed);
    return built;
}

// 100 report groups. The listed group: an original of 9,100 notes of the parent plus 910 on
// other parents, then 9 amendments that each copy 100, delete 100 and add 200, so its tenth
// version sees 10,000 notes of the parent. The other groups have 1 to 10 versions (every third
// one ending in an audit that copies 300 rows) and share the rest of the million rows.
const Built& VersionedDatabase() {
    static const Built built = [] {
        std::vector<std::vector<Version>> groups(kGroups);
        std::vector<int> originals(kGroups);
        int64_t rest = kTableRows;
        for (int g = 0; g < kGroups; ++g) {
            auto& versions = groups[static_cast<size_t>(g)];
            if (g == kTargetGroup) {
                versions.resize(10, Version{0, 0, false, 100, 100, 200});
                originals[static_cast<size_t>(g)] = 9100;
                rest -= 9100 + 910 + 9 * 400;
            } else {
                versions.resize(1 + static_cast<size_t>(g % 10),
                                Version{0, 0, false, 100, 50, 150});
                if (versions.size() > 1 && g % 3 == 0)
                    versions.back() = Version{0, 0, true, 300, 0, 0};
            }
        }
        // Originals of the other groups take what the amendments leave of the million.
        int64_t amended = 0;
        for (int g = 0; g < kGroups; ++g)
            if (g != kTargetGroup)
                for (size_t k = 1; k < groups[static_cast<size_t>(g)].size(); ++k) amended += 300;
        const int64_t share = (rest - amended) / (kGroups - 1);
        int64_t left = rest - amended - share * (kGroups - 1);
        for (int g = 0; g < kGroups; ++g) {
            if (g == kTargetGroup) continue;
            originals[static_cast<size_t>(g)] = static_cast<int>(share + (left-- > 0 ? 1 : 0));
        }
        return Build("versioned_list", std::move(groups), kTargetGroup, originals, 910, kTableRows);
    }();
    return built;
}

// GetDataList of the parent's notes and a walk reading every column the list carries.
void ListAndWalk(benchmark::State& state, const Built& db) {
    mz::clsNotes notes;
    if (!notes.ConnectionVariables(db.path, "", "", "", false, std::to_string(db.report_id))) {
        state.SkipWithError("cannot connect");
        return;
    }
    for (auto _ : state) {
        if (!notes.GetDataList(db.report_id, kLink, false) || notes.Count() != kListed) {
            state.SkipWithError("the list does not show the expected rows");
            return;
        }
        size_t sum = 0;
        for (notes.MoveFirst(); !notes.EOF(); notes.MoveNext()) {
            sum += static_cast<size_t>(notes.UniqueID() + notes.ReportID() + notes.GroupID());
            sum += notes.ReportSection().size() + notes.LinkID().size() + notes.NoteCode().size();
            sum += notes.NoteKeywords().size() + notes.Description().size();
            sum += notes.EntryDate().size() + notes.AmendCode().size();
            sum += notes.DeleteUserID().size() + notes.OldTranID().size() + notes.OldTable().size();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kListed);
}

void BM_PlainList_10k(benchmark::State& state) {
    try {
        ListAndWalk(state, PlainDatabase());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_PlainList_10k)->Unit(benchmark::kMillisecond);

void BM_VersionedList_10kOf1M(benchmark::State& state) {
    try {
        ListAndWalk(state, VersionedDatabase());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_VersionedList_10kOf1M)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
