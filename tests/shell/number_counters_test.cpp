// The numbering counters of the company at the limit of their fields, each advanced by the work
// that advances it: one below the limit they go on; at the limit they are left empty and the note
// says so (the next number is asked for), never cut back to a shorter number that may be taken; a
// posting that cannot ask is refused whole.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "books_fixture.h"
#include "customers/customer_actions.h"
#include "invoicing/interest_charges.h"
#include "invoicing/invoice_posting.h"
#include "posting_folder.h"
#include "purchasing/po_posting.h"
#include "purchasing/receiving.h"
#include "purchasing/vendor_actions.h"
#include "records/company_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/record_file.h"

namespace {

using records::CompanyRec;

class NumberCountersTest : public test_fixtures::BooksTest {
 protected:
  NumberCountersTest() {
    FileCustomer("C1", "Baker");
    FileProduct("WIDGET", "10");
    stock["WIDGET"] = 10;
    EXPECT_TRUE(records::CreatePOHeaderFile() && records::CreatePODetailFile() &&
                records::CreatePOMemoFile());
    headers_.emplace(records::POHeaderFile, records::OpenPOHeaderFile);
    details_.emplace(records::PODetailFile, records::OpenPODetailFile);
    memos_.emplace(records::POMemoFile, records::OpenPOMemoFile);
    EXPECT_TRUE(headers_->Open() && details_->Open() && memos_->Open());
  }

  static invoicing::EnteredInvoice Invoice(const std::string& number) {
    return testing_support::Invoice(number, "C1", "12/07/2026", {});
  }

  static purchasing::EnteredPO PO(const std::string& number) {
    return testing_support::PurchaseOrder(number, "WIDGET", "5", "1.00");
  }

  static std::string PostPO(const std::string& number) {
    return purchasing::PostNewPO(PO(number)).CounterNote;
  }

  // Receives the whole of a new PO under `receiver`.
  static std::string Receive(const std::string& receiver) {
    const std::string number = "R" + receiver.substr(receiver.size() - 2);
    purchasing::PostNewPO(PO(number));
    purchasing::ReceivingList list = purchasing::LoadReceivingList(number, true);
    purchasing::ReceiveAll(list.Rows);
    return purchasing::PostReceipt({number, receiver, QDate(2026, 12, 7), list.Rows}).CounterNote;
  }

 private:
  // The PO files held open as the PO Manager holds them, once made.
  std::optional<records::FileForAction> headers_, details_, memos_;
};

// Each counter advanced from the last number below its limit, then from the limit.
TEST_F(NumberCountersTest, ACounterAtTheLimitOfItsFieldIsLeftEmptyAndSaidNeverCutBack) {
  struct Case {
    const char* Name;
    const char* Prefix;  // the invoice and PO numbers' month-and-year prefix option
    std::string (*Advance)(const std::string& last);  // the note the work gives, when it gives one
    std::string (*Stored)(const CompanyRec& company);
    const char* Below;  // a number just below the limit, and the limit
    const char* Limit;
    const char* Note;  // what the work tells at the limit ("" when the entry dialog tells it)
  };
  const Case cases[] = {
      {"customer", "N",
       [](const std::string& last) {
         customers::AdvanceNextCustomerNumber(last);
         return std::string();
       },
       [](const CompanyRec& c) { return c.NextCustomerNumber.Get(); }, "99999998", "99999999", ""},
      {"vendor (the 8 characters of a vendor number, not the 10 of its counter)", "N",
       [](const std::string& last) {
         purchasing::AdvanceNextVendorNumber(last);
         return std::string();
       },
       [](const CompanyRec& c) { return c.NextVendorNumber.Get(); }, "99999998", "99999999", ""},
      {"invoice", "N",
       [](const std::string& last) { return invoicing::PostNewInvoice(Invoice(last)).CounterNote; },
       [](const CompanyRec& c) { return c.NextInvoiceNumber.Get(); }, "999999998", "999999999",
       "Invoice number 999999999 is the largest number the 9 characters of an invoice number hold, so no "
       "next "
       "invoice number will be offered: type the next one yourself."},
      {"invoice after its month-and-year prefix", "Y",
       [](const std::string& last) { return invoicing::PostNewInvoice(Invoice(last)).CounterNote; },
       [](const CompanyRec& c) { return c.NextInvoiceNumber.Get(); }, "122699998", "122699999",
       "Invoice number 99999 is the largest number the 5 characters after the month-and-year prefix of an "
       "invoice number hold, so no next invoice number will be offered: type the next one yourself."},
      {"PO", "N", PostPO, [](const CompanyRec& c) { return c.NextPONumber.Get(); }, "999999998", "999999999",
       "PO number 999999999 is the largest number the 9 characters of a PO number hold, so no next PO number "
       "will be offered: type the next one yourself."},
      {"PO after its month-and-year prefix", "Y", PostPO,
       [](const CompanyRec& c) { return c.NextPONumber.Get(); }, "122699998", "122699999",
       "PO number 99999 is the largest number the 5 characters after the month-and-year prefix of a PO "
       "number "
       "hold, so no next PO number will be offered: type the next one yourself."},
      {"receiver", "N", Receive, [](const CompanyRec& c) { return c.NextReceiverNumber.Get(); }, "999999998",
       "999999999",
       "Receiver number 999999999 is the largest number the 9 characters of a receiver number hold, so no "
       "next receiver number will be offered: type the next one yourself."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_TRUE(records::UpdateCurrentCompanyRecord([&](CompanyRec& company) {
      company.InvoiceNumberPrefix.Set(c.Prefix);
      company.PONumberPrefix.Set(c.Prefix);
    }));
    const std::string below(c.Below);
    const size_t counted = std::string(c.Prefix) == "Y" ? 5 : below.size();
    EXPECT_EQ(c.Advance(below), "");
    EXPECT_EQ(c.Stored(StoredCompany()),
              std::to_string(std::stoll(below.substr(below.size() - counted)) + 1));
    EXPECT_EQ(c.Advance(c.Limit), c.Note);
    EXPECT_EQ(c.Stored(StoredCompany()), "") << "left empty: the next number is asked for";
    EXPECT_EQ(c.Stored(records::CurrentCompany), "");
  }
  stock["WIDGET"] = 10;
  ExpectBooksBalance();

  // A receiver counter wider than a receiver number is not offered cut to a smaller number.
  ASSERT_TRUE(records::UpdateCurrentCompanyRecord([](CompanyRec& c) { c.NextReceiverNumber.Set("1000000000"); }));
  purchasing::PostNewPO(PO("R77"));
  EXPECT_EQ(purchasing::LoadReceivingList("R77", true).ReceiverNumber, "");
}

// Interest invoices are numbered inside their posting, where no number can be asked for: a
// counter that has ended, or a number that would not fit before the "I", refuses the whole run
// with its reason; nothing is charged.
TEST_F(NumberCountersTest, InterestThatWouldPassTheInvoiceCounterIsRefusedWhole) {
  PostInvoice("1001", "C1", "08/29/2026", "500.00", "0.00");
  const struct {
    std::string counter;
    std::string reason;
  } cases[] = {
      {"99999999",
       "The next invoice number, 100000000, does not fit the 8 characters before the \"I\" of an interest "
       "invoice. No interest invoices were made."},
      {"", "No next invoice number is set: type one in the Company Options. No interest invoices were made."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.counter);
    ASSERT_TRUE(records::UpdateCurrentCompanyRecord(
        [&](CompanyRec& company) { company.NextInvoiceNumber.Set(c.counter); }));
    std::vector<invoicing::InterestRow> rows = {{"Baker", "C1", 50000, 750, ""},
                                                {"Baker", "C1", 50000, 750, ""}};
    invoicing::InterestSettings settings;
    settings.Rate = "1.500";
    settings.Minimum = ".10";
    settings.Date = "12/07/2026";
    try {
      invoicing::GenerateInterestInvoices(rows, settings);
      ADD_FAILURE() << "interest numbered past the counter";
    } catch (const std::runtime_error& refused) {
      EXPECT_NE(std::string(refused.what()).find(c.reason), std::string::npos) << refused.what();
    }
    EXPECT_EQ(StoredCompany().NextInvoiceNumber.Get(), c.counter);
    EXPECT_EQ(Customer("C1").CustBalance.Get(), "500.00");
    EXPECT_TRUE(Records("99999999I").empty());
    ExpectBooksBalance();
  }
}

}  // namespace
