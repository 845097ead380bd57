// What the benchmark programs share: report databases made for one run in the temp directory and
// removed, with their WAL files, when the program ends.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/schema_loader.h"

namespace mz::bench {

inline std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("mz_bench_" + name + "_" + std::to_string(::getpid()) + ".db"))
        .string();
}

inline void RemoveAtExit(const std::string& path) {
    static struct Cleanup {
        std::vector<std::string> paths;
        ~Cleanup() {
            std::error_code ec;
            for (const std::string& p : paths)
                for (const char* s : {"", "-wal", "-shm"}) std::filesystem::remove(p + s, ec);
        }
    } cleanup;
    cleanup.paths.push_back(path);
}

// A new, empty report database for this run; throws when it cannot be made.
inline std::string NewReportDatabase(const std::string& name) {
    std::string path = TempPath(name);
    if (std::string error = CreateReportDatabase(path); !error.empty())
        throw std::runtime_error(error);
    RemoveAtExit(path);
    return path;
}

}  // namespace mz::bench
