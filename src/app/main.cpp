// mzreport: the command line of the report library (commands in app/command_line.cpp;
// `mzreport help` lists them).
#include <string>
#include <vector>

#include "app/commands.h"

int main(int argc, char** argv) {
    return mz::app::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
