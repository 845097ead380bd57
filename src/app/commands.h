// The commands of mzreport. Each returns the process exit code: 0 success, 1 failure, 2 misuse.
#pragma once

#include <string>
#include <vector>

namespace mz::app {

int RunInit(const std::vector<std::string>& args);
int RunDemo(const std::vector<std::string>& args);
int RunShell(const std::vector<std::string>& args);
int RunQuery(const std::vector<std::string>& args);
int RunReport(const std::vector<std::string>& args);
int RunLookups(const std::vector<std::string>& args);
int RunDiff(const std::vector<std::string>& args);
int RunHistory(const std::vector<std::string>& args);
int RunExport(const std::vector<std::string>& args);
int RunPrint(const std::vector<std::string>& args);
int RunCheck(const std::vector<std::string>& args);
int RunTotals(const std::vector<std::string>& args);

// The whole command line after the program's name: a command and its arguments, `help
// [COMMAND]`, `--help`, `-h` or `--version`.
int RunCommandLine(const std::vector<std::string>& args);

}  // namespace mz::app
