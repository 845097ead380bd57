#include "platform/result_set.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/data_file.h"
#include "support/fuzz.h"

namespace mz {
namespace {

// Runs f and returns "ok" or "E<number>".
template <typename F>
std::string Outcome(F f) {
    try {
        f();
        return "ok";
    } catch (const Error& e) {
        return "E" + std::to_string(e.Number());
    }
}

std::string ErrorText(auto f) {
    try {
        f();
    } catch (const Error& e) {
        return e.Description();
    }
    return "no error";
}

ResultSet MakeSet() {
    ResultSet rs({{"Code", VarType::String, 10},
                  {"description", VarType::String, 50},
                  {"amount", VarType::Currency, 8, 19, 4},
                  {"trans_date", VarType::Date},
                  {"sequence", VarType::Int32, 4}});
    auto row = [&](Variant code, Variant desc, double amount, Variant date, int32_t seq) {
        rs.AppendRow({code, desc, Currency::FromDouble(amount), date, seq});
    };
    row("abc", "Alpha", 10.5, Date(2019, 4, 1), 1);
    row("ABD", "O'Brien", 200, Date(2019, 4, 15), 2);
    row("xyz", Variant::Null(), -3, Variant::Null(), 3);
    row("b_1", "Beta", 0, Date(2019, 5, 1, 9, 30), 10);
    return rs;
}

// The codes of the visible rows from the first to EOF; leaves the cursor at EOF.
std::string Codes(ResultSet& rs) {
    std::string out;
    for (rs.MoveFirst(); !rs.EOF(); rs.MoveNext()) {
        out += (out.empty() ? "" : ",") + rs.Value("code").ToText();
    }
    return out;
}

std::string Filtered(ResultSet& rs, std::string_view criteria) {
    rs.Filter(criteria);
    return Codes(rs);
}

TEST(ResultSetTest, CursorAtBothEnds) {
    ResultSet rs = MakeSet();
    EXPECT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(rs.AbsolutePosition(), 1);  // loading leaves the cursor on the first row
    rs.MovePrevious();
    EXPECT_TRUE(rs.BOF());
    EXPECT_FALSE(rs.EOF());
    EXPECT_EQ(rs.AbsolutePosition(), ResultSet::kPosBOF);
    EXPECT_EQ(Outcome([&] { rs.MovePrevious(); }), "E3021");
    EXPECT_EQ(Outcome([&] { rs.Value(0); }), "E3021");
    rs.MoveNext();
    EXPECT_EQ(rs.Value("CODE").ToText(), "abc");
    rs.MoveLast();
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    rs.MoveNext();
    EXPECT_TRUE(rs.EOF());
    EXPECT_EQ(rs.AbsolutePosition(), ResultSet::kPosEOF);
    EXPECT_EQ(Outcome([&] { rs.MoveNext(); }), "E3021");
    EXPECT_EQ(ErrorText([&] { rs.Value(0); }),
              "Either BOF or EOF is True, or the current record has been deleted. Requested "
              "operation requires a current record.");
    rs.AbsolutePosition(2);
    EXPECT_EQ(rs.Value(0).ToText(), "ABD");
    EXPECT_EQ(Outcome([&] { rs.AbsolutePosition(5); }), "E3001");
    EXPECT_EQ(Outcome([&] { rs.AbsolutePosition(0); }), "E3001");

    ResultSet empty({{"code"}});
    EXPECT_TRUE(empty.BOF() && empty.EOF());
    empty.MoveFirst();
    empty.MoveLast();
    EXPECT_TRUE(empty.BOF() && empty.EOF());
    EXPECT_EQ(empty.RecordCount(), 0);
    EXPECT_EQ(empty.AbsolutePosition(), ResultSet::kPosUnknown);
    EXPECT_EQ(Outcome([&] { empty.MoveNext(); }), "E3021");
    EXPECT_EQ(Outcome([&] { empty.MovePrevious(); }), "E3021");
}

TEST(ResultSetTest, FieldsByNameAndMisuse) {
    ResultSet rs = MakeSet();
    EXPECT_EQ(rs.FieldIndex("TRANS_DATE"), 3);
    EXPECT_EQ(rs.FieldIndex("nope"), -1);
    Field amount = rs.Fields("Amount");
    EXPECT_EQ(amount.Name(), "amount");
    EXPECT_EQ(amount.Type(), VarType::Currency);
    EXPECT_EQ(amount.Precision(), 19);
    EXPECT_EQ(rs.Fields(0).DefinedSize(), 10);
    EXPECT_EQ(ErrorText([&] { rs.Fields("xyz"); }),
              "Item cannot be found in the collection corresponding to the requested name or "
              "ordinal: 'xyz'");
    EXPECT_EQ(Outcome([&] { rs.Value("xyz"); }), "E3265");
    EXPECT_EQ(Outcome([&] { rs.Value(5); }), "E3265");
    EXPECT_EQ(Outcome([&] { rs.Fields(-1); }), "E3265");

    ResultSet moved = std::move(rs);
    EXPECT_EQ(moved.RecordCount(), 4);
    EXPECT_EQ(rs.State(), ResultSet::kStateClosed);  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(Outcome([&] { rs.MoveFirst(); }), "E3704");
    moved.Close();
    EXPECT_EQ(moved.State(), ResultSet::kStateClosed);
    EXPECT_EQ(Outcome([&] { (void)moved.EOF(); }), "E3704");
    EXPECT_EQ(Outcome([&] { moved.Filter("code = 'a'"); }), "E3704");
    ResultSet never_opened;
    EXPECT_EQ(Outcome([&] { never_opened.MoveFirst(); }), "E3704");
}

TEST(ResultSetTest, EditsAndAddedRow) {
    ResultSet rs = MakeSet();
    rs.AbsolutePosition(2);
    rs.Fields("description").Value(Variant::Null());
    rs.SetValue(4, int32_t{20});
    EXPECT_TRUE(rs.Value(1).IsNull());
    EXPECT_EQ(rs.OriginalValue(1).ToText(), "O'Brien");
    EXPECT_EQ(rs.Value(4), Variant(int32_t{20}));
    rs.MoveNext();
    EXPECT_EQ(rs.Value(4), rs.OriginalValue(4));  // other rows untouched
    rs.MovePrevious();
    EXPECT_EQ(rs.Value(4).ToInt32(), 20);  // the edit stays with its row

    EXPECT_FALSE(rs.HasAddedRow());
    rs.AddNew();
    EXPECT_TRUE(rs.HasAddedRow());
    EXPECT_EQ(rs.RecordCount(), 5);
    EXPECT_EQ(rs.AbsolutePosition(), 5);
    EXPECT_TRUE(rs.Value("code").IsNull());
    EXPECT_TRUE(rs.OriginalValue(0).IsNull());
    rs.SetValue(0, "new");
    EXPECT_EQ(rs.Value(0).ToText(), "new");
    EXPECT_EQ(Outcome([&] { rs.AddNew(); }), "E3001");
    EXPECT_EQ(Codes(rs), "abc,ABD,xyz,b_1,new");
}

TEST(ResultSetTest, FilterCorpus) {
    int cases = 0;
    for (const std::string& line : test::DataLines("filter_corpus.test")) {
        const size_t arrow = line.find(" => ");
        if (line.starts_with("#") || arrow == std::string::npos) continue;
        ++cases;
        SCOPED_TRACE(line);
        ResultSet rs = MakeSet();
        rs.Filter("sequence > 2");
        const std::string criteria = line.substr(0, arrow), expected = line.substr(arrow + 4);
        const std::string error = ErrorText([&] { rs.Filter(criteria); });
        if (error == "no error") {
            EXPECT_EQ(Codes(rs), expected);
            EXPECT_EQ(rs.Filter(), criteria);
        } else {
            EXPECT_EQ(error, expected);
            EXPECT_EQ(rs.Filter(), "sequence > 2");  // a bad criterion keeps the old filter
            EXPECT_EQ(Codes(rs), "xyz,b_1");
        }
    }
    EXPECT_GT(cases, 30);
}

TEST(ResultSetTest, FilterCountsCursorAndEdits) {
    ResultSet rs = MakeSet();
    EXPECT_EQ(Filtered(rs, "code = 'ABC'"), "abc");
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(Filtered(rs, "code = 'none'"), "");
    EXPECT_TRUE(rs.BOF() && rs.EOF());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_EQ(Filtered(rs, ""), "abc,ABD,xyz,b_1");
    EXPECT_EQ(rs.Filter(), "0");  // no filter
    EXPECT_EQ(Filtered(rs, "code = 'ABC'"), "abc");
    EXPECT_EQ(Filtered(rs, "0"), "abc,ABD,xyz,b_1");
    EXPECT_EQ(Outcome([&] { rs.Filter("code ="); }), "E3001");

    // Edited values are what the filter sees.
    rs.MoveFirst();
    rs.SetValue(0, "zzz");
    EXPECT_EQ(Filtered(rs, "code > 'x'"), "zzz,xyz");

    // The cursor lands on the first match.
    rs.Filter("sequence > 1");
    EXPECT_EQ(rs.Value("code").ToText(), "ABD");
    EXPECT_EQ(rs.AbsolutePosition(), 1);
}

// Long chains are one level, as they are written; nesting is limited. Hostile criteria, grown and
// mutated, get Error 3001 or work, and leave the result set usable.
TEST(ResultSetTest, DeepLongAndHostileCriteria) {
    ResultSet rs = MakeSet();
    std::string chain = "sequence = 2";
    for (int i = 0; i < 100'000; ++i) chain += " or sequence = 99";
    rs.Filter(chain);
    EXPECT_EQ(Codes(rs), "ABD");
    std::string deep = "sequence = 2";
    for (int i = 0; i < 64; ++i) deep = "(" + deep + ")";
    rs.Filter(deep);
    EXPECT_EQ(Codes(rs), "ABD");
    EXPECT_EQ(ErrorText([&] { rs.Filter(std::string(20'000, '(') + "sequence = 1"); }),
              "Filter criterion is not valid at position 65: more than 64 levels of parentheses");
    EXPECT_EQ(Outcome([&] { rs.Find(std::string(20'000, '(') + "sequence = 1"); }), "E3001");

    test::Fuzzer fuzz(7, "filter_pieces.txt", std::chrono::milliseconds(500));
    while (fuzz.More()) {
        const std::string criteria =
            fuzz.Below(3) ? fuzz.Grow(12) : fuzz.Mutate(chain.substr(0, 60));
        SCOPED_TRACE(criteria);
        const std::string filtered = Outcome([&] { rs.Filter(criteria); });
        EXPECT_TRUE(filtered == "ok" || filtered == "E3001") << filtered;
        rs.Filter("");
        rs.MoveFirst();
        const std::string found = Outcome([&] { rs.Find(criteria); });
        EXPECT_TRUE(found == "ok" || found == "E3001") << found;
    }
    EXPECT_EQ(rs.RecordCount(), 4);
}

TEST(ResultSetTest, FindSearchesForwardFromTheCurrentRow) {
    ResultSet rs = MakeSet();
    rs.AbsolutePosition(2);
    rs.Find("code = 'abd'");  // the current row counts
    EXPECT_EQ(rs.AbsolutePosition(), 2);
    rs.Find("code LIKE 'b*'");
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    rs.Find("code = 'abc'");  // behind the cursor: not found
    EXPECT_TRUE(rs.EOF());
    rs.MoveFirst();
    rs.Find("sequence = 3");
    EXPECT_EQ(rs.Value("code").ToText(), "xyz");
    EXPECT_EQ(Outcome([&] { rs.Find("code = 'a' and sequence = 1"); }), "E3001");
    EXPECT_EQ(rs.Value("code").ToText(), "xyz");  // a bad criterion leaves the cursor alone

    // Under a filter Find sees only the matching rows, and positions count those rows.
    rs.Filter("sequence <> 3");
    rs.Find("code = 'xyz'");
    EXPECT_TRUE(rs.EOF());
    rs.MoveFirst();
    rs.Find("code = 'b_1'");
    EXPECT_EQ(rs.AbsolutePosition(), 3);

    ResultSet empty({{"code"}});
    empty.Find("code = 'a'");
    EXPECT_TRUE(empty.EOF());
}

}  // namespace
}  // namespace mz
