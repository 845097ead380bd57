// mzreport shell DB [SCRIPT] [--time-limit=SECONDS] [--trace FILE]: a script file, piped
// statements, or an interactive session with line editing, completion of members with Tab and
// history kept between sessions, where Ctrl-C stops a running query.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

// The session readline completes for (one interactive session a process).
const Shell* g_completing = nullptr;
std::vector<std::string> g_matches;

char* NextMatch(const char*, int state) {
    static size_t next = 0;
    if (state == 0) next = 0;
    return next < g_matches.size() ? strdup(g_matches[next++].c_str()) : nullptr;
}

char** CompleteWord(const char* text, int start, int end) {
    rl_attempted_completion_over = 1;  // never file names
    g_matches = g_completing->Complete(rl_line_buffer, static_cast<size_t>(start),
                                       static_cast<size_t>(end));
    rl_completion_append_character = '\0';
    return rl_completion_matches(text, &NextMatch);
}

// Where typed lines are kept between sessions: $XDG_STATE_HOME/mzreport/shell_history, else
// ~/.local/state/mzreport/shell_history; "" without a home (nothing is kept).
std::string HistoryFile() {
    std::filesystem::path dir;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') {
        dir = state;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        dir = std::filesystem::path(home) / ".local" / "state";
    } else {
        return "";
    }
    dir /= "mzreport";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return ec ? "" : (dir / "shell_history").string();
}

constexpr int kHistoryLines = 1000;

int Interactive(Shell& shell, const std::string& db) {
    // While a statement runs, Ctrl-C stops its query; readline keeps its own handling of the
    // key while a line is typed and puts this one back afterwards.
    struct sigaction stop = {};
    stop.sa_handler = &StopQueries;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    g_completing = &shell;
    rl_attempted_completion_function = &CompleteWord;
    rl_basic_word_break_characters = const_cast<char*>(" \t\n\"'(),=<>+-*/&;?");
    rl_variable_bind("completion-ignore-case", "on");
    int rows = 0, columns = 0;
    rl_get_screen_size(&rows, &columns);
    if (columns > 0) shell.ScreenWidth(static_cast<size_t>(columns));
    using_history();
    const std::string history = HistoryFile();
    if (!history.empty()) read_history(history.c_str());
    std::cout << "mzreport shell on " << db
              << ". One statement per line; Help lists them, Tab completes a member, Quit or "
                 "Ctrl-D ends, Ctrl-C stops a query.\n";
    for (;;) {
        char* raw = readline("mz> ");
        if (!raw) break;
        std::string line(raw);
        std::free(raw);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        add_history(line.c_str());
        // Each line is kept at once, so a session that dies keeps what was typed.
        if (!history.empty() && append_history(1, history.c_str()) != 0)
            write_history(history.c_str());
        std::string word = line.substr(first);
        while (!word.empty() && (word.back() == ' ' || word.back() == '\t')) word.pop_back();
        if (word == "Quit" || word == "quit" || word == "Exit" || word == "exit") break;
        shell.Execute(line);
        std::cout.flush();
    }
    if (!history.empty()) history_truncate_file(history.c_str(), kHistoryLines);
    g_completing = nullptr;
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
