// A seeded generator of hostile texts for the fuzz tests of the translator, the filter parser and
// the shell: texts grown from a vocabulary of pieces, and corpus texts mutated (spans cut,
// doubled, swapped or overwritten, pieces spliced in). Each test runs it for a fixed time budget,
// so a slow build (the sanitizers) tries fewer texts rather than taking longer. The vocabularies
// are data files beside the tests, one piece a line as it stands ("\n" for a line break).
#pragma once

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/data_file.h"

namespace mz::test {

// piece n times over: the deep and long inputs of the hostile-input tests.
inline std::string Repeat(std::string_view piece, int n) {
    std::string s;
    s.reserve(piece.size() * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) s += piece;
    return s;
}

class Fuzzer {
  public:
    // pieces: the vocabulary file (DataLines).
    Fuzzer(uint32_t seed, const std::string& pieces, std::chrono::milliseconds budget)
        : random_(seed),
          pieces_(DataLines(pieces)),
          end_(std::chrono::steady_clock::now() + budget) {}

    // True while the budget lasts, and for at least a few hundred texts.
    bool More() { return ++tried_ < 300 || std::chrono::steady_clock::now() < end_; }
    int Tried() const { return tried_; }

    size_t Below(size_t n) { return n == 0 ? 0 : random_() % n; }
    std::string_view Piece() { return pieces_[Below(pieces_.size())]; }

    // Up to max_pieces pieces, each followed by a blank or not; now and then one piece repeated
    // many times, for depth.
    std::string Grow(size_t max_pieces) {
        std::string out;
        const size_t n = 1 + Below(max_pieces);
        for (size_t i = 0; i < n; ++i) {
            const std::string_view piece = Piece();
            const size_t times = Below(40) == 0 ? 50 + Below(400) : 1;
            for (size_t t = 0; t < times; ++t) {
                out += piece;
                if (Below(2)) out += ' ';
            }
        }
        return out;
    }

    // text with one to four edits.
    std::string Mutate(std::string text) {
        for (size_t edits = 1 + Below(4); edits > 0; --edits) {
            const size_t at = Below(text.size() + 1);
            const size_t len = Below(std::min<size_t>(12, text.size() - at) + 1);
            switch (Below(5)) {
                case 0:
                    text.erase(at, len);
                    break;
                case 1:
                    text.insert(at, text.substr(at, len));
                    break;
                case 2:
                    text.insert(at, Piece());
                    break;
                case 3:
                    for (size_t i = at; i < at + len; ++i) text[i] = static_cast<char>(random_());
                    break;
                default:
                    text.insert(at, std::string(1 + Below(3), "()'\"[]-*/;,"[Below(11)]));
                    break;
            }
        }
        return text;
    }

  private:
    std::mt19937 random_;
    std::vector<std::string> pieces_;
    std::chrono::steady_clock::time_point end_;
    int tried_ = 0;
};

}  // namespace mz::test
