// The purchasing steps that search or walk the PO files (the receiving list, the receipt, the PO
// printout, the PO deletion, the vendor renumbering and a new PO's vendor label), each run with every read of
// the files failing in turn: each says the file and the system's reason once, and posts, prints and lists
// nothing; the books stay as they were. Over files that hold nothing each gives its usual answer.

#include <QDate>

#include "po_output_fixture.h"
#include "purchasing/po_delete.h"
#include "purchasing/po_document.h"
#include "purchasing/po_posting.h"
#include "purchasing/receiving.h"
#include "purchasing/vendor_actions.h"
#include "records/memo_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "storage/naming.h"
#include "support/read_sweep.h"

namespace {

using test_fixtures::PO;
using test_fixtures::POLine;
using testing_support::SweepStep;

class SearchFailureTest : public test_fixtures::POOutputTest {
 protected:
  static std::vector<testing_support::BooksFile> Books() {
    return {{&records::ProductFile, records::OpenProductFile},
            {&records::POHeaderFile, records::OpenPOHeaderFile},
            {&records::PODetailFile, records::OpenPODetailFile},
            {&records::POMemoFile, records::OpenPOMemoFile},
            {&records::VendorFile, records::OpenVendorFile}};
  }

  static bool ListsPO(const char* number) {
    return !purchasing::LoadReceivingList(number, false).Rows.empty();
  }

  static bool Receives(const char* number, const char* code, const char* quantity) {
    purchasing::ReceivingList list = purchasing::LoadReceivingList(number, false);
    purchasing::Receipt receipt{list.PONumber, "400", QDate(2026, 12, 6), list.Rows};
    for (purchasing::ReceivingRow& row : receipt.Rows)
      if (row.Code == code) row.InToday = quantity;
    return purchasing::PostReceipt(receipt).RowsReceived > 0;
  }

  bool Prints(const char* number) const {
    purchasing::POToPrint = number;
    purchasing::POPrintMode = 1;
    const int before = Jobs();
    const bool built = purchasing::BuildPODocument();
    purchasing::POPrintMode = 0;
    return built && Jobs() > before;
  }

  static bool Deletes(const char* number) {
    records::POHeaderRec wanted{};
    wanted.PONumber.Set(number);
    const auto headers = records::ReadRecordsWithKey<records::POHeaderRec>(
        records::POHeaderFile, 1, records::BuildPOHeaderKey(wanted, 1));
    if (headers.empty()) return false;
    purchasing::PostPODeletion(headers.front().Record, headers.front().Ref);
    return true;
  }

  static bool Renumbers() { return purchasing::RenumberVendorPOs("V1", "V9") > 0; }
};

TEST_F(SearchFailureTest, ASearchOrWalkThatFailsSaysSoAndPostsPrintsAndListsNothing) {
  // Files that hold nothing: the usual answers.
  for (const auto& [said, run] : std::vector<std::pair<QString, std::function<bool()>>>{
           {"", [] { return ListsPO("7000"); }},
           {"PO 7000 was not found.", [this] { return Prints("7000"); }},
           {"You need to select a PO to receive.", [] { return Receives("7000", "AB", "5"); }},
           {"", [] { return Renumbers(); }}}) {
    const testing_support::StepOutcome empty = testing_support::RunStep({"empty", run});
    EXPECT_FALSE(empty.Done) << said.toStdString();
    EXPECT_EQ(empty.Said, said.isEmpty() ? QStringList{} : QStringList{said});
  }

  purchasing::PostNewPO(PO("7000", {POLine(1, "WIDGET", "10"), POLine(2, "AB", "5")}));
  purchasing::PostNewPO(PO("7001", {POLine(1, "WIDGET", "7"), POLine(2, "MANUAL", "3")}));
  Receive("7000", "300", {{"WIDGET", "4"}});
  Receive("7001", "301", {{"WIDGET", "7"}, {"MANUAL", "1"}});
  ExpectBooksBalance();

  const std::vector<SweepStep> steps = {
      {"ReceivingList", [] { return ListsPO("7000"); }},
      {"POPrintout", [this] { return Prints("7000"); }, true},
      {"Receipt", [] { return Receives("7000", "AB", "5"); }},
      {"PODeletion", [] { return Deletes("7001"); }},
      {"VendorRenumbering", [] { return Renumbers(); }},
      // The new PO's vendor read for the label queue: a failure undoes the whole PO.
      {"NewPOQueuingItsVendorLabel",
       [] {
         records::CurrentCompany.NewPOToLabelQueue.Set("Y");
         purchasing::PostNewPO(PO("7002", {POLine(1, "WIDGET", "1")}));
         return true;
       }},
  };
  const std::string vendors = storage::IsamFileName(records::VendorUnit().FileName(), storage::IsamDataExt);
  testing_support::ExpectRefusedAtOpen(steps[1], vendors, Books());
  for (const SweepStep& step : steps) testing_support::SweepReads(step, Books());

  // The clean runs did their work: AB received in full, PO 7001 gone with its stock taken back.
  EXPECT_EQ(OnHand("AB"), "5");
  EXPECT_EQ(OnHand("WIDGET"), "104");
  EXPECT_TRUE(Details("7001").empty());
  EXPECT_EQ(Header("7000").VendorNo.Get(), "V9");
  ExpectBooksBalance();
}

}  // namespace
