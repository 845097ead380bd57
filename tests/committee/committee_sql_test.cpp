// The committee records against the recording backend over a real report database: the exact SQL
// of every loader and the exact procedure calls of every save and delete path, one table of steps
// per class. The rows are real, so every text also runs on SQLite.
#include <gtest/gtest.h>

#include "committee/committee_rows.h"
#include "support/recording_backend.h"

namespace mz {
namespace {

using namespace test;  // the row helpers, AuditTail
std::string Id(int32_t id) {
    return std::to_string(id);
}

const std::string kPage =
    "left outer join vw_mz_rpt_page_amount_ref_basic pa on f.page_amount_id = pa.group_id    "
    "and f.ref_report_id = pa.ref_report_id    and pa.delete_date is null    and "
    "pa.ref_is_audit = 0 ";
const std::string kAuditPage =
    "left outer join (    select * from vw_mz_rpt_page_amount_ref_basic x    where "
    "x.ref_report_id = 2    and (x.ref_is_audit = 1    or (x.ref_is_audit = 0    and x.group_id "
    "not in (       select group_id       From vw_mz_rpt_page_amount_ref_basic       Where "
    "unique_id <> x.unique_id       and report_group_id = x.report_group_id       and "
    "ref_is_audit = 1    )))) as pa on pa.group_id = f.page_amount_id    and f.ref_report_id = "
    "pa.ref_report_id    and pa.delete_date is null ";
// NameAddress.CanDelete's look-up of the columns naming entities.
const std::string kEntityColumns = "query select table_name, column_name from mz_entity_column";
const std::string kWhere2 = "where f.ref_report_id = 2 and f.delete_date is null ";

// Report 1 filed, report 2 its amendment; in each, one row of every class, the amendment's rows
// with a note. The recorded objects work in report 2. The name component's may-delete test reads
// through the cascade's connection; the script answers its look-up of the columns naming
// entities with none (so the entity may go), which keeps the other tables out of the logs.
class CommitteeSqlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        r1 = d.NewReport();
        r2 = d.Amend(r1);
        const int32_t r[] = {r1, r2};
        for (int i = 0; i < 2; ++i) {
            auto a = d.Object<clsAccount_Data>(r[i]);  // banks: entities 1 and 3
            account[i] = AddAccount(*a, r[i], d.Org(i ? "Second Bank" : "First Bank"),
                                    i ? "SAV" : "CHK", i + 1, 500);
            auto o = d.Object<clsOfficer_Data>(r[i]);  // entities 2 and 4
            officer[i] = AddOfficer(*o, r[i], i ? d.Person("Lee", "Ann") : d.Org("Friends"),
                                    i ? "TRS" : "CEN");
            auto t = d.Object<clsTransfer_Data>(r[i]);
            transfer[i] = AddTransfer(*t, r[i], 100 * (i + 1), i + 1);
            auto s = d.Object<clsAdminSupport_Data>(r[i]);
            support[i] = AddSupport(*s, r[i], i ? "pst" : "oth", "phone bank", 40);
            if (!i) continue;
            AddNote(*a->mobNotes, a->GroupID(), account_note);
            AddNote(*o->mobNotes, o->GroupID(), officer_note);
            AddNote(*t->mobNotes, t->GroupID(), transfer_note);
            AddNote(*s->mobNotes, s->GroupID(), support_note);
        }
        rec = Recorder::Create("com", d.db.Path());
        rec->OnQuery("mz_entity_column", "table_name:String, column_name:String");
    }

    // Connects o to the recorder in report 2.
    void Record(RecordObject& o) {
        ASSERT_TRUE(o.ConnectionVariables("com", "recording", "", "", false, "2"));
    }

    // Adds a note on group link and keeps "<link>|<note id>" for the cascade's log.
    void AddNote(clsNotes& notes, int32_t link, std::string& kept) {
        kept = Id(link) + "|" + Id(d.AddNote(notes, r2, link));
    }

    // The in-place cascade's log for a row of table with note (as AddNote kept it), its name
    // entity if any (deleted with report argument 0) and the last step refused.
    static std::string Cascade(const std::string& select, const std::string& table,
                               const std::string& note, int32_t id, int32_t entity = 0) {
        const size_t bar = note.find('|');
        return select +
               "\nbegin\n"
               "query SELECT * from vw_mz_rpt_notes_ref_basic f Where f.ref_report_id = 2 and "
               "f.delete_date is null and f.link_id = " +
               note.substr(0, bar) +
               "and f.ref_is_audit = 0 \n"
               "exec sp_delete_table @table='rpt_notes', @unique_id=Long(" +
               note.substr(bar + 1) + ")\n" +
               (entity ? kEntityColumns + "\nexec sp_delete_rpt_name_address @Unique_id=Long(" +
                             Id(entity) + "), @Report_id=Long(0)\n"
                       : "") +
               "exec sp_delete_table @table='" + table + "', @unique_id=Long(" + Id(id) +
               ")\nrollback";
    }
    // The D marker's log for row id of table.
    static std::string Marker(const std::string& select, const std::string& table, int32_t id) {
        return select + "\nbegin\nexec sp_insert_" + table +
               " @Function='D', @Report_id='2', @Ref_id=Long(" + Id(id) + ")\ncommit";
    }

    ReportDb d;
    int32_t r1 = 0, r2 = 0;
    int32_t account[2] = {}, officer[2] = {}, transfer[2] = {}, support[2] = {};
    std::string account_note, officer_note, transfer_note, support_note;
    std::shared_ptr<Recorder> rec;
};

TEST_F(CommitteeSqlTest, AccountCalls) {
    clsAccount_Data a;
    Record(a);
    const std::string from = "from vw_mz_rpt_accounts_ref_basic f ";
    const std::string cover =
        "query select f.unique_id, f.page_amount_id, f.sequence, na.org_name, f.account_type, "
        "f.purpose, f.account_abbr, f.account_number, f.begin_balance " +
        from + "left outer join rpt_name_address na on f.entity_id = na.unique_id " + kWhere2;
    const auto row = [](int32_t id) {
        return "query SELECT * from vw_mz_rpt_accounts where unique_id = " + Id(id) + " ";
    };
    const std::string insert = "exec sp_insert_rpt_accounts ";
    rec->FailProcedure("sp_delete_table", "refused", 2);  // the cascade's own row
    WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(a.GetData(account[0])); }, row(account[0])},
            {"GetData new", [&] { EXPECT_TRUE(a.GetData()); },
             "query select * from vw_mz_rpt_accounts where unique_id is null"},
            {"GetDataList", [&] { EXPECT_TRUE(a.GetDataList(r1)); },
             "query select * " + from +
                 "where f.ref_report_id = 1 and f.delete_date is null and f.ref_is_audit = 0 "},
            {"cover none", [&] { EXPECT_FALSE(a.GetDataReportCover()); }, "query "},
            {"cover", [&] { EXPECT_TRUE(a.GetDataReportCover(r2)); },
             cover + "and f.ref_is_audit = 0 order by f.sequence "},
            {"cover audit", [&] { EXPECT_TRUE(a.GetDataReportCover(r2, true)); },
             cover + AuditTail("rpt_accounts", "f") + "order by f.sequence "},
            {"sequence", [&] { EXPECT_EQ(a.GetNewSequence(r2), 3); },
             "query select max(sequence) as sequence " + from + kWhere2 +
                 "and f.ref_is_audit = 0 "},
            {"save new: the account number is not sent, the row read back without it",
             [&] {
                 EXPECT_TRUE(a.GetData());
                 a.ReportID(r2);
                 a.AccountType("savings");
                 a.AccountAbbr("MM");
                 a.AccountNumber("12-34");
                 a.BeginBalance(Money(10));
                 a.Sequence(3);
                 EXPECT_TRUE(a.SaveData());
                 EXPECT_EQ(a.AccountNumber(), "");
             },
             "query select * from vw_mz_rpt_accounts where unique_id is null\n" + insert +
                 "@Function='A', @Report_id=Long(2), @Ref_id=Integer(-1), @Entity_id=Null, "
                 "@page_amount_id=Null, @sequence=Long(3), @Account_type='savings', "
                 "@Account_abbr='MM', @Purpose=Null, @Begin_balance=Currency(10), "
                 "@End_balance=Null, @Amend_code=Null, @Comments=Null\n" +
                 row(3)},
            {"a later save of the stored row sends it",
             [&] {
                 a.AccountNumber("12-34");
                 EXPECT_TRUE(a.SaveData());
             },
             "begin\nexec sp_update_table @table='rpt_accounts', @column='account_number', "
             "@unique_id=Long(3), @value='12-34'\ncommit"},
            {"save an earlier version's row: one C copy",
             [&] {
                 EXPECT_TRUE(a.GetData(account[0]));
                 a.EndBalance(Money(900));
                 a.Purpose("Operating");
                 EXPECT_TRUE(a.SaveData());
             },
             row(account[0]) + "\nbegin\n" + insert +
                 "@Function='C', @Report_id='2', @Ref_id=Long(" + Id(account[0]) +
                 "), @Entity_id=Long(1), @page_amount_id=Null, @sequence=Long(1), "
                 "@Account_type='checking', @Account_abbr='CHK', @Purpose='Operating', "
                 "@Begin_balance=Currency(500), @End_balance=Currency(900), @Amend_code=Null, "
                 "@Comments=Null\ncommit"},
            {"delete an earlier version's row: one D marker",
             [&] {
                 EXPECT_TRUE(a.GetData(account[0]));
                 EXPECT_TRUE(a.DeleteData(account[0]));
             },
             Marker(row(account[0]), "rpt_accounts", account[0])},
            {"delete in place: notes, the bank with report 0, the row (refused: rolled back)",
             [&] {
                 EXPECT_TRUE(a.GetData(account[1]));
                 EXPECT_FALSE(a.DeleteData(account[1]));
             },
             Cascade(row(account[1]), "rpt_accounts", account_note, account[1], 3)},
        });
}

TEST_F(CommitteeSqlTest, OfficerCalls) {
    clsOfficer_Data o;
    Record(o);
    const std::string from = "from vw_mz_rpt_officers_ref_basic f ";
    const std::string cover =
        "query select f.unique_id, nad.first_name, nad.last_name, nad.full_name, "
        "pa.current_page_number as page_amount_id, f.name_type_desc " +
        from +
        "left outer join vw_mz_rpt_name_address_detail nad on f.entity_id = nad.unique_id left "
        "outer join lks_name_type nt on f.Name_type_code = nt.code ";
    const std::string condition = kWhere2 + "and f.entity_id <> 0 ";
    const auto row = [](int32_t id) {
        return "query SELECT * from vw_mz_rpt_officers_detail Where unique_id = " + Id(id) + " ";
    };
    const std::string insert = "exec sp_insert_rpt_officers ";
    rec->FailProcedure("sp_delete_table", "refused", 2);
    WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(o.GetData(officer[0])); }, row(officer[0])},
            {"GetData new", [&] { EXPECT_TRUE(o.GetData()); },
             "query select * from vw_mz_rpt_officers where unique_id is null "},
            {"GetDataList", [&] { EXPECT_TRUE(o.GetDataList(r2)); },
             "query select * " + from + kWhere2 + "and f.ref_is_audit = 0 "},
            {"cover: the officers", [&] { EXPECT_TRUE(o.GetDataReportCover(r2)); },
             cover + kPage + condition + "and f.ref_is_audit = 0 and f.name_type_code <> 'CEN' "},
            {"cover, audit: the committee entity",
             [&] { EXPECT_TRUE(o.GetDataReportCover(r2, true, true)); },
             cover + kAuditPage + condition + AuditTail("rpt_officers", "f") +
                 "and f.name_type_code = 'CEN' "},
            {"save new: page and comments are not sent",
             [&] {
                 EXPECT_TRUE(o.GetData());
                 o.ReportID(r2);
                 o.EntityID(d.Person("Park", "Bo"));
                 o.NameCode("CHR");
                 o.JudicialSeat("Seat 2");
                 o.PageAmountID(7);
                 o.Comments("acting");
                 EXPECT_TRUE(o.SaveData());
                 EXPECT_EQ(o.PageAmountID(), 0);
             },
             "query select * from vw_mz_rpt_officers where unique_id is null \n" + insert +
                 "@Function='A', @Report_id=Long(2), @Ref_id=Integer(-1), @Entity_id=Long(5), "
                 "@Name_type_code='CHR', @Judicial_seat='Seat 2', @Amend_code=Null\n" +
                 row(3)},
            {"delete an earlier version's row: one D marker",
             [&] {
                 EXPECT_TRUE(o.GetData(officer[0]));
                 EXPECT_TRUE(o.DeleteData(officer[0]));
             },
             Marker(row(officer[0]), "rpt_officers", officer[0])},
            {"delete in place: notes, the person with report 0, the row (refused)",
             [&] {
                 EXPECT_TRUE(o.GetData(officer[1]));
                 EXPECT_FALSE(o.DeleteData(officer[1]));
             },
             Cascade(row(officer[1]), "rpt_officers", officer_note, officer[1], 4)},
        });
}

TEST_F(CommitteeSqlTest, TransferCalls) {
    clsTransfer_Data t;
    Record(t);
    const std::string from = "from vw_mz_rpt_transfers_ref_basic f ";
    const std::string list =
        "query select distinct f.*, pa.actual_page_number, pa.current_page_number, "
        "pa.current_page_amount " +
        from;
    const std::string sequence = "query select max(sequence) as sequence " + from +
                                 "where ref_report_id = 2 and delete_date is null ";
    const auto row = [](int32_t id) {
        return "query SELECT * from vw_mz_rpt_transfers where unique_id = " + Id(id) + " ";
    };
    const std::string insert = "exec sp_insert_rpt_transfers ";
    rec->FailProcedure("sp_delete_table", "refused", 2);
    WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(t.GetData(transfer[0])); }, row(transfer[0])},
            {"GetData new", [&] { EXPECT_TRUE(t.GetData()); },
             "query select * from vw_mz_rpt_transfers where unique_id is null "},
            {"GetDataList none", [&] { EXPECT_FALSE(t.GetDataList()); }, "query "},
            {"GetDataList", [&] { EXPECT_TRUE(t.GetDataList(r2)); },
             list + kPage + kWhere2 +
                 "and f.ref_is_audit = 0 order by pa.actual_page_number, f.sequence "},
            {"GetDataList audit", [&] { EXPECT_TRUE(t.GetDataList(r2, true)); },
             list + kAuditPage + kWhere2 + AuditTail("rpt_transfers", "f") +
                 "order by pa.actual_page_number, f.sequence "},
            {"sequence: no alias, whatever the section",
             [&] { EXPECT_EQ(t.GetNewSequence(r2, "XYZ"), 3); },
             sequence + "and ref_is_audit = 0 "},
            {"sequence audit: the audit pieces keep f",
             [&] { EXPECT_EQ(t.GetNewSequence(r2, "", true), 3); },
             sequence + AuditTail("rpt_transfers", "f")},
            {"save new",
             [&] {
                 EXPECT_TRUE(t.GetData());
                 t.ReportID(r2);
                 t.AccountFrom("SAV");
                 t.AccountTo("CHK");
                 t.TransDate("3/15/2005");
                 t.Amount(Money(250));
                 t.Sequence(3);
                 t.CurrentPageNumber("2");
                 EXPECT_TRUE(t.SaveData());
             },
             "query select * from vw_mz_rpt_transfers where unique_id is null \n" + insert +
                 "@Function='A', @Report_id=Long(2), @Ref_id=Integer(-1), @Page_amount_id=Null, "
                 "@Sequence=Long(3), @Account_abbr_from='SAV', @Account_abbr_to='CHK', "
                 "@Occur_date=Date(2005-03-15), @Amount=Currency(250), @Amend_code=Null, "
                 "@Comments=Null\n" +
                 row(3)},
            {"delete an earlier version's row: one D marker",
             [&] {
                 EXPECT_TRUE(t.GetData(transfer[0]));
                 EXPECT_TRUE(t.DeleteData(transfer[0]));
             },
             Marker(row(transfer[0]), "rpt_transfers", transfer[0])},
            {"delete in place: notes, the row (refused)",
             [&] {
                 EXPECT_TRUE(t.GetData(transfer[1]));
                 EXPECT_FALSE(t.DeleteData(transfer[1]));
             },
             Cascade(row(transfer[1]), "rpt_transfers", transfer_note, transfer[1])},
        });
}

TEST_F(CommitteeSqlTest, AdminSupportCalls) {
    clsAdminSupport_Data s;
    Record(s);
    const std::string from = "from vw_mz_rpt_admin_support_ref_basic f ";
    const std::string list =
        "query select f.*, f.support_item_type_desc, sit.sequence as 'type_sequence', "
        "isnull(sit.allow_multiple, 0) as allow_multiple, case f.support_item_type_code   when "
        "'oth' then isnull(f.support_item_type_desc, '') + ' - ' + "
        "isnull(f.support_item_other_desc, '')   else isnull(f.support_item_type_desc, '') end "
        "as 'full_name' " +
        from + "left outer join lks_support_item_type sit on f.Support_item_type_code = sit.code " +
        kWhere2;
    const std::string sequence = "query select max(sequence) as sequence " + from + kWhere2 +
                                 "and f.support_item_type_code = 'oth' ";
    const auto row = [](int32_t id) {
        return "query SELECT * from vw_mz_rpt_admin_support_detail  where unique_id = " + Id(id) +
               " ";
    };
    const std::string insert = "exec sp_insert_rpt_admin_support ";
    rec->FailProcedure("sp_delete_table", "refused", 2);
    WalkSteps(
        *rec,
        {
            {"GetData", [&] { EXPECT_TRUE(s.GetData(support[0])); }, row(support[0])},
            {"GetData new", [&] { EXPECT_TRUE(s.GetData()); },
             "query select * from vw_mz_rpt_admin_support where unique_id is null"},
            {"GetDataList", [&] { EXPECT_TRUE(s.GetDataList(r2)); },
             list + "and f.ref_is_audit = 0 order by sit.sequence, f.sequence "},
            {"GetDataList audit", [&] { EXPECT_TRUE(s.GetDataList(r2, true)); },
             list + AuditTail("rpt_admin_support", "f") + "order by sit.sequence, f.sequence "},
            {"sequence: 'oth' items only", [&] { EXPECT_EQ(s.GetNewSequence(r2), 2); },
             sequence + "and f.ref_is_audit = 0 "},
            {"save new",
             [&] {
                 EXPECT_TRUE(s.GetData());
                 s.ReportID(r2);
                 s.ItemCode("off");
                 s.Amount(Money(300));
                 s.PageAmountID(5);
                 EXPECT_TRUE(s.SaveData());
             },
             "query select * from vw_mz_rpt_admin_support where unique_id is null\n" + insert +
                 "@Function='A', @Report_id=Long(2), @Ref_id=Integer(-1), "
                 "@page_amount_id=Long(5), @sequence=Null, @Support_item_type_code='off', "
                 "@Support_item_other_desc=Null, @Amount=Currency(300), @Amend_code=Null\n" +
                 row(3)},
            {"delete an earlier version's row: one D marker",
             [&] {
                 EXPECT_TRUE(s.GetData(support[0]));
                 EXPECT_TRUE(s.DeleteData(support[0]));
             },
             Marker(row(support[0]), "rpt_admin_support", support[0])},
            {"delete in place: notes, the row (refused)",
             [&] {
                 EXPECT_TRUE(s.GetData(support[1]));
                 EXPECT_FALSE(s.DeleteData(support[1]));
             },
             Cascade(row(support[1]), "rpt_admin_support", support_note, support[1])},
        });
}

}  // namespace
}  // namespace mz
