// mzreport shell DB [SCRIPT] [--time-limit=SECONDS] [--trace FILE]: a script file, piped
// statements, or an interactive session with line editing and history, where Ctrl-C stops a running
// query.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include <readline/history.h>
#include <readline/readline.h>

#include "app/command_support.h"
#include "app/commands.h"
#include "app/shell.h"
#include "db/backend.h"

namespace mz::app {

namespace {

void StopQueries(int) {
    InterruptQueries();
}

int Interactive(Shell& shell, const std::string& db) {
    // While a statement runs, Ctrl-C stops its query; readline keeps its own handling of the
    // key while a line is typed and puts this one back afterwards.
    struct sigaction stop = {};
    stop.sa_handler = &StopQueries;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    std::cout << "mzreport shell on " << db
              << ". One statement per line; Quit or Ctrl-D ends, Ctrl-C stops a query.\n";
    for (;;) {
        char* raw = readline("mz> ");
        if (!raw) break;
        std::string line(raw);
        std::free(raw);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        add_history(line.c_str());
        std::string word = line.substr(first);
        while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) word.pop_back();
        if (word == "Quit" || word == "quit" || word == "Exit" || word == "exit") break;
        shell.Execute(line);
        std::cout.flush();
    }
    std::cout << "\n";
    return 0;
}

}  // namespace

int RunShell(const std::vector<std::string>& all_args) {
    CommandArgs parsed;
    if (auto status = ParseArgs(*FindCommand("shell"), all_args, parsed)) return *status;
    const std::vector<std::string>& args = parsed.rest;
    CommandTrace trace;
    if (!trace.Start(parsed.trace, "shell")) return 1;
    Shell shell(args[0], std::cout, std::cerr);
    if (args.size() == 2) {
        std::ifstream script(args[1]);
        if (!script) {
            std::fprintf(stderr, "mzreport shell: cannot read \"%s\"\n", args[1].c_str());
            return 1;
        }
        return shell.RunScript(script);
    }
    if (isatty(STDIN_FILENO)) return Interactive(shell, args[0]);
    return shell.RunScript(std::cin);
}

}  // namespace mz::app
