// The command line of mzreport: the table of commands, `help`, `--version`, and the dispatch to
// the command named first.
#include <cstdio>
#include <iostream>

#include "app/command_support.h"
#include "app/commands.h"
#include "db/sqlite_backend.h"

#ifndef MZ_VERSION
#define MZ_VERSION "unknown"
#endif

namespace mz::app {

namespace {

constexpr const char* kDbNote =
    "DB is the path of a report database file, or a PostgreSQL connection string or URI\n"
    "(postgresql://clerk@host/office, \"host=db1 dbname=office\").\n";

const std::vector<CommandDef>& Table() {
    static const std::vector<CommandDef> commands = {
        {"init",
         "init PATH",
         "create a new, empty report database",
         "Creates a report database at PATH (never over an existing file), or on the server\n"
         "when PATH is a connection string.\n",
         {"PATH"},
         1,
         0,
         &RunInit},
        {"demo",
         "demo [PATH]",
         "build a report database and walk reports through it",
         "The main job: files, amends and audits reports by name through the object model and\n"
         "prints every call and what the lists show. PATH is the new database (a temporary\n"
         "file when omitted).\n",
         {"PATH"},
         0,
         0,
         &RunDemo},
        {"shell",
         "shell DB [SCRIPT] [--time-limit=SECONDS] [--trace FILE]",
         "drive the objects by name, typed or from a script",
         "Runs the statements of SCRIPT, of piped input, or typed at the prompt (with line\n"
         "editing, completion of members with Tab, and history kept between sessions). Type\n"
         "Help for the statements and Help OBJECT for an object's members. A script stops at\n"
         "its first error, printed with its line number, and exits 1.\n"
         "--time-limit=SECONDS  how long one query may run (default 60, 0 for no limit)\n"
         "--trace FILE          a line for every database call\n",
         {"DB", "SCRIPT"},
         1,
         kFlagTimeLimit | kFlagTrace,
         &RunShell},
        {"query",
         "query DB \"SQL\" [--json] [--time-limit=SECONDS] [--trace FILE]",
         "run one T-SQL query as a record class would",
         "Runs one reading T-SQL statement through the same translation the record classes\n"
         "use and prints its rows as a table, or as JSON with --json. A statement that would\n"
         "write is refused.\n",
         {"DB", "SQL"},
         2,
         kFlagJson | kFlagTimeLimit | kFlagTrace,
         &RunQuery},
        {"report",
         "report DB new|file ID|amend ID|audit ID|list [--json] [--trace FILE]",
         "create, file and list report versions",
         "new        a new report (its original version); prints its report id\n"
         "file ID    files report version ID: its rows can no longer change\n"
         "amend ID   an amendment of report version ID (filing it); prints the new version's id\n"
         "audit ID   an audit of report version ID (filing it); prints the new version's id\n"
         "list       every version: its report group and version, kind, the version it is\n"
         "           based on, filed (and when) or open, whether it is the current version of its "
         "group,\n"
         "           and the committee, report name and period of its cover\n",
         {"DB", "new|file ID|amend ID|audit ID|list", "ID"},
         2,
         kFlagJson | kFlagTrace,
         &RunReport},
        {"lookups",
         "lookups import|export DB DIR",
         "replace or write the lookup tables as CSV files",
         "import  replaces the lookup tables named by the CSV files of DIR, all or nothing\n"
         "export  writes every lookup table to DIR, one CSV file a table\n",
         {"import|export", "DB", "DIR"},
         3,
         0,
         &RunLookups},
        {"diff",
         "diff DB FROM TO [--json] [--trace FILE]",
         "what changed between two versions of one report",
         "FROM and TO are report ids of two versions of one report group, in either order.\n",
         {"DB", "FROM", "TO"},
         3,
         kFlagJson | kFlagTrace,
         &RunDiff},
        {"history",
         "history DB TABLE GROUP_ID [--json] [--trace FILE]",
         "every version of one row",
         "TABLE is a versioned table (rpt_Receipts), GROUP_ID the row's group_id.\n",
         {"DB", "TABLE", "GROUP_ID"},
         3,
         kFlagJson | kFlagTrace,
         &RunHistory},
        {"export",
         "export DB REPORT DIR [--format csv|json] [--force] [--trace FILE]",
         "a report version, one file a section",
         "Writes every section of report version REPORT into DIR, one file a section, as CSV\n"
         "(the default) or JSON: the business columns first, with the names of the people\n"
         "and organisations a row names, the version columns last, rows in page and sequence\n"
         "order. A folder that exists and is not empty is refused unless --force is given.\n",
         {"DB", "REPORT", "DIR"},
         3,
         kFlagFormat | kFlagForce | kFlagTrace,
         &RunExport},
        {"print",
         "print DB REPORT OUT.pdf [--force] [--trace FILE]",
         "a report version as the paper form, a PDF file",
         "Prints report version REPORT as the paper form: the cover, the summary, each\n"
         "schedule's pages with their items, page totals and \"Page x of y\", notes under their\n"
         "rows, and in an amendment or audit the rows that changed marked and what it deleted.\n"
         "A page whose total is not the sum of its items says so. An existing OUT.pdf is\n"
         "replaced only with --force.\n",
         {"DB", "REPORT", "OUT.pdf"},
         3,
         kFlagForce | kFlagTrace,
         &RunPrint},
        {"check",
         "check DB REPORT [--json] [--rules FILE] [--trace FILE]",
         "what in a report version does not add up",
         "Runs the report check over report version REPORT as its lists show it (the audit\n"
         "view for an audit): page totals and highest pages, the summary's totals and\n"
         "balances, cash on hand, debts, transfers, codes, dates, names, items and sequence\n"
         "numbers. Prints every finding with its rule and row; exits 1 when one is an error.\n"
         "--json         the findings as JSON\n"
         "--rules FILE   an office's own rules besides the built-in ones (a rule of the same\n"
         "               name replaces one); a malformed file is refused with its line\n",
         {"DB", "REPORT"},
         2,
         kFlagJson | kFlagRules | kFlagTrace,
         &RunCheck},
        {"totals",
         "totals DB REPORT [--rules FILE] [--trace FILE]",
         "set a report version's totals from its rows",
         "Computes the page totals, the highest page numbers and amounts and the summary's\n"
         "totals and end balance of report version REPORT from its rows, saves each that\n"
         "differs through the record classes (as \"C\" copies of an earlier version's rows)\n"
         "and prints what it changed.\n",
         {"DB", "REPORT"},
         2,
         kFlagRules | kFlagTrace,
         &RunTotals},
    };
    return commands;
}

std::string Overview() {
    std::string text =
        "usage: mzreport COMMAND [ARGUMENTS]\n"
        "       mzreport help [COMMAND] | --help | --version\n\ncommands:\n";
    for (const CommandDef& c : Commands()) {
        std::string line = "  " + std::string(c.name);
        line.resize(11, ' ');
        text += line + c.summary + "\n";
    }
    return text + "\n" + kDbNote + "\"mzreport help COMMAND\" shows a command's arguments.\n";
}

int Help(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cout << Overview();
        return 0;
    }
    const CommandDef* c = FindCommand(args[0]);
    if (!c) {
        std::fprintf(stderr, "mzreport help: unknown command \"%s\"\n", args[0].c_str());
        return 2;
    }
    if (args.size() > 1) {
        std::fprintf(stderr, "mzreport help: unexpected argument \"%s\"\n", args[1].c_str());
        return 2;
    }
    std::cout << CommandHelp(*c);
    return 0;
}

}  // namespace

std::span<const CommandDef> Commands() {
    return Table();
}

const CommandDef* FindCommand(std::string_view name) {
    for (const CommandDef& c : Commands())
        if (name == c.name) return &c;
    return nullptr;
}

int RunCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << Overview();
        return 2;
    }
    const std::string& name = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (name == "help" || name == "--help" || name == "-h") return Help(rest);
    if (name == "--version") {
        std::cout << "mzreport " << MZ_VERSION << " (report database schema "
                  << KnownSchemaVersion() << ")\n";
        return 0;
    }
    if (const CommandDef* c = FindCommand(name)) return c->run(rest);
    std::fprintf(stderr,
                 "mzreport: unknown command \"%s\" (\"mzreport help\" lists the commands)\n",
                 name.c_str());
    return 2;
}

}  // namespace mz::app
