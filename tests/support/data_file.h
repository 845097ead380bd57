// Data files beside the tests of a layer (MZ_TEST_DATA_DIR, the layer's folder): corpora and
// vocabularies kept as data rather than code.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace mz::test {

// The lines of a data file in the test's folder, a backslash and n read as a line break.
inline std::vector<std::string> DataLines(const std::string& file) {
    std::ifstream in(std::string(MZ_TEST_DATA_DIR) + "/" + file);
    EXPECT_TRUE(in) << "cannot read " << file;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        for (size_t at; (at = line.find("\\n")) != std::string::npos;) line.replace(at, 2, 1, '\n');
        lines.push_back(line);
    }
    return lines;
}

}  // namespace mz::test
