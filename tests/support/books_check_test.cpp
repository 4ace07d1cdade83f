#include "support/books_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/product_file.h"
#include "support/temp_dir.h"

namespace testing_support {
namespace {

using storage::IsamRecRef;

// Two customers with invoices, a payment, a deposit and a master; a stocked product and a
// service; books that balance.
class BooksCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    storage::IsamInitialize(0, 30);
    storage::CurrentCompanyNumber = [] { return std::string("12"); };
    using Step = bool (*)();
    const std::pair<Step, Step> files[] = {{records::CreateCustomerFile, records::OpenCustomerFile},
                                           {records::CreateInvoiceFile, records::OpenInvoiceFile},
                                           {records::CreateDetailFile, records::OpenDetailFile},
                                           {records::CreateProductFile, records::OpenProductFile}};
    for (auto [create, open] : files) {
      ASSERT_TRUE(create());
      ASSERT_TRUE(open());
    }
    c1_ = AddCustomer("C1", "150.00", {"100.00", "50.00", "0.00", "0.00"});
    AddCustomer("c2", "-20.00", {"-20.00", "0", "0", "0"});
    invoice1001_ = AddInvoice("1001", "I", "C1", "100.00", "0.00", "100.00", "");
    AddInvoice("1002", "I", "c1", "50.00", "0.00", "50.00", "");
    AddInvoice("1003", "Z", "C1", "60.00", "0.00", "0.00", "P");
    payment1003_ = AddInvoice("1003", "X", "C1", "0.00", "60.00", "0.00", "P");
    AddInvoice("1004", "R", "C1", "999.00", "0.00", "999.00", "");  // a master bills nothing itself
    AddInvoice("DP15000", "D", "C2", "0.00", "20.00", "-20.00", "");
    company_.CompanyARBalance.Set("130.00");
    widget_ = AddProduct("WIDGET", "95", false);
    AddProduct("SERVICE", "0", true);
    AddLine("1001", "widget", "3");
    AddLine("1002", "WIDGET", "2");
    AddLine("1002", "SERVICE", "1");
  }
  void TearDown() override {
    storage::IsamShutdown();
    records::CustomerFile = records::InvoiceFile = records::DetailFile = records::ProductFile = nullptr;
    storage::CurrentCompanyNumber = nullptr;
  }

  static IsamRecRef AddCustomer(const char* number, const char* balance, std::array<const char*, 4> aging) {
    records::CustomerRec c{};
    c.CustomerNo.Set(number);
    c.CustomerName.Set(std::string("Customer ") + number);
    c.CustBalance.Set(balance);
    c.CustAging1.Set(aging[0]);
    c.CustAging2.Set(aging[1]);
    c.CustAging3.Set(aging[2]);
    c.CustAging4.Set(aging[3]);
    IsamRecRef ref = 0;
    EXPECT_TRUE(records::AddCustomerRecord(c, ref));
    return ref;
  }
  static IsamRecRef AddInvoice(const char* number, const char* type, const char* customer, const char* total,
                               const char* paid, const char* due, const char* settled) {
    records::InvoiceBuf = records::InvoiceRec{};
    records::InvoiceBuf.InvoiceNo.Set(number);
    records::InvoiceBuf.TransactionType.Set(type);
    records::InvoiceBuf.InvCustomerNo.Set(customer);
    records::InvoiceBuf.InvTotal.Set(total);
    records::InvoiceBuf.InvPaid.Set(paid);
    records::InvoiceBuf.AmountDue.Set(due);
    records::InvoiceBuf.SettledFlag.Set(settled);
    IsamRecRef ref = 0;
    EXPECT_TRUE(records::AddInvoiceRecord(ref));
    return ref;
  }
  static IsamRecRef AddProduct(const char* code, const char* onHand, bool nonStock) {
    records::ProductRec p{};
    p.Code.Set(code);
    p.OnHand.Set(onHand);
    p.NonStock = nonStock;
    IsamRecRef ref = 0;
    EXPECT_TRUE(records::AddProductRecord(p, ref));
    return ref;
  }
  static void AddLine(const char* invoice, const char* product, const char* quantity) {
    records::DetailBuf = records::DetailRec{};
    records::DetailBuf.InvoiceNumber.Set(invoice);
    records::DetailBuf.Product.Set(product);
    records::DetailBuf.LineText.Set(records::LineText(quantity, product, "1.00", "N", quantity));
    IsamRecRef ref = 0;
    EXPECT_TRUE(records::AddDetailRecord(ref));
  }
  template <class Record>
  static void Rewrite(storage::IsamFileBlock file, IsamRecRef ref,
                      const std::function<void(Record&)>& change) {
    Record record{};
    storage::IsamGetRec(file, ref, &record, sizeof record);
    change(record);
    storage::IsamPutRec(file, ref, &record, sizeof record);
    ASSERT_TRUE(storage::IsamOK);
  }
  std::vector<std::string> Problems() const {
    return BooksProblems(company_, {{"WIDGET", 100}, {"SERVICE", 7}});
  }

  TempDir dir_;
  records::CompanyRec company_{};
  IsamRecRef c1_ = 0, invoice1001_ = 0, payment1003_ = 0, widget_ = 0;
};

TEST_F(BooksCheckTest, BooksThatBalanceHaveNoProblems) {
  EXPECT_EQ(Problems(), std::vector<std::string>{});
}

TEST_F(BooksCheckTest, EachKindOfDisagreementIsFound) {
  struct Case {
    const char* name;
    std::function<void()> spoil;
    const char* mentioned;  // a text every problem found must carry one of
  };
  const Case cases[] = {
      {"a bucket off by a cent",
       [&] {
         Rewrite<records::CustomerRec>(records::CustomerFile, c1_,
                                       [](auto& c) { c.CustAging2.Set("50.01"); });
       },
       "aging buckets"},
      {"a balance nobody else knows",
       [&] {
         Rewrite<records::CustomerRec>(records::CustomerFile, c1_,
                                       [](auto& c) { c.CustBalance.Set("150.01"); });
       },
       "customer C1 balance"},
      {"an invoice due more than the customer owes",
       [&] {
         Rewrite<records::InvoiceRec>(records::InvoiceFile, invoice1001_,
                                      [](auto& r) { r.AmountDue.Set("100.10"); });
       },
       "amounts due"},
      {"a settled invoice still due",
       [&] {
         Rewrite<records::InvoiceRec>(records::InvoiceFile, invoice1001_,
                                      [](auto& r) { r.SettledFlag.Set("P"); });
       },
       "settled with 100.00 due"},
      {"a payment gone while its invoice stays",
       [&] {
         storage::IsamGetRec(records::InvoiceFile, payment1003_, &records::InvoiceBuf,
                             sizeof records::InvoiceBuf);
         ASSERT_TRUE(records::DeleteInvoiceRecord(payment1003_));
       },
       "invoice 1003 bill less paid 60.00"},
      {"receivables that lost a cent", [&] { company_.CompanyARBalance.Set("129.99"); }, "receivables"},
      {"stock not taken out",
       [&] {
         Rewrite<records::ProductRec>(records::ProductFile, widget_, [](auto& p) { p.OnHand.Set("97"); });
       },
       "WIDGET"},
      {"a damaged amount",
       [&] {
         Rewrite<records::CustomerRec>(records::CustomerFile, c1_, [](auto& c) { c.CustAging4.Set("1x"); });
       },
       "customer C1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    c.spoil();
    std::vector<std::string> problems = Problems();
    ASSERT_FALSE(problems.empty());
    bool mentioned = false;
    for (const std::string& problem : problems) mentioned |= problem.find(c.mentioned) != std::string::npos;
    EXPECT_TRUE(mentioned) << ::testing::PrintToString(problems);
  }
}

}  // namespace
}  // namespace testing_support
