// Posting invoices beside the bare engine writes the same postings need, in one run.
//
//   posting_bench [scratch folder] [invoices]
//
// Both runs start from the same company: 100 customers, 50 stocked products, empty invoice,
// detail and memo files. The posting run hands 10,000 three-line invoices to PostNewInvoice, each
// a posting with its journal (appended to before every record change, emptied at the end). The
// bare run does, for the same invoices, only the engine calls the posting must make: the
// invoice record with its keys, three detail records with theirs, and for each product, the
// customer and the company a key search, a read and a rewrite in place. Times are seconds; the
// ratio is posting / bare. The company file is held open in both runs, as the Invoice Manager
// holds it.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "invoicing/invoice_posting.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "scratch_company.h"

namespace {

using invoicing::EnteredInvoice;
using invoicing::EnteredLine;
using storage::IsamRecRef;

constexpr int kCustomers = 100;
constexpr int kProducts = 50;

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "posting_bench: %s\n", what.c_str());
  std::exit(1);
}

std::vector<EnteredInvoice> MakeInvoices(int count) {
  std::mt19937 rng(7);
  std::vector<EnteredInvoice> invoices;
  for (int i = 0; i < count; ++i) {
    EnteredInvoice invoice;
    invoice.Number = std::to_string(100001 + i);
    invoice.CustomerNo = "C" + std::to_string(1 + rng() % kCustomers);
    invoice.Date = "12/07/2026";
    invoice.KeyCode = "None";
    invoice.TaxRate = "0";
    for (int row = 1; row <= 3; ++row) {
      EnteredLine line;
      line.Row = row;
      line.Code = "P" + std::to_string(1 + rng() % kProducts);
      line.Quantity = std::to_string(1 + rng() % 5);
      line.Description = "Product " + line.Code;
      line.Price = "2.50";
      line.Taxable = "N";
      line.Extension = "10.00";
      invoice.Lines.push_back(line);
    }
    invoice.Net = invoice.Total = "30.00";
    invoice.Tax = invoice.Paid = "0.00";
    invoices.push_back(invoice);
  }
  return invoices;
}

void Require(bool ok, const char* what) {
  if (!ok) Die(std::string(what) + " failed, engine error " + std::to_string(storage::IsamError));
}

// A fresh company in its own folder, with every file the posting touches open.
void SetUpCompany(const std::filesystem::path& folder) {
  Require(bench::StartScratchCompany(folder), "company");
  IsamRecRef ref = 0;
  using Step = bool (*)();
  const std::pair<Step, Step> files[] = {{records::CreateCustomerFile, records::OpenCustomerFile},
                                         {records::CreateProductFile, records::OpenProductFile},
                                         {records::CreateInvoiceFile, records::OpenInvoiceFile},
                                         {records::CreateDetailFile, records::OpenDetailFile},
                                         {records::CreateMemoFile, records::OpenMemoFile}};
  for (auto [create, open] : files) Require(create() && open(), "data file");
  for (int i = 1; i <= kCustomers; ++i) {
    records::CustomerRec c{};
    c.CustomerNo.Set("C" + std::to_string(i));
    c.CustomerName.Set("Customer " + std::to_string(i));
    c.CustBalance.Set("0.00");
    Require(records::AddCustomerRecord(c, ref), "customer");
  }
  for (int i = 1; i <= kProducts; ++i) {
    records::ProductRec p{};
    p.Code.Set("P" + std::to_string(i));
    p.OnHand.Set("1000000");
    Require(records::AddProductRecord(p, ref), "product");
  }
}

void TearDownCompany() {
  storage::IsamShutdown();
  records::CustomerFile = records::ProductFile = records::InvoiceFile = records::DetailFile =
      records::MemoFile = nullptr;
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Searches key keyNr for exactly `key`, reads the record, lets change alter it and rewrites it.
template <class Record>
void ReadChangeRewrite(storage::IsamFileBlock file, int keyNr, const storage::IsamKeyStr& key,
                       const std::function<void(Record&)>& change) {
  storage::IsamKeyStr found = key;
  IsamRecRef ref = 0;
  storage::IsamSearchKey(file, keyNr, ref, found);
  Require(storage::IsamOK && found == key, "search");
  Record record{};
  storage::IsamGetRec(file, ref, &record, sizeof record);
  change(record);
  storage::IsamPutRec(file, ref, &record, sizeof record);
  Require(storage::IsamOK, "rewrite");
}

void PostBare(const EnteredInvoice& invoice) {
  records::InvoiceBuf = invoicing::NewInvoiceRecord(invoice);
  IsamRecRef ref = 0;
  Require(records::AddInvoiceRecord(ref), "invoice");
  for (const EnteredLine& line : invoice.Lines) {
    records::DetailBuf = records::DetailRec{};
    records::DetailBuf.InvoiceNumber.Set(invoice.Number);
    records::DetailBuf.Date.Set("2026/12/07");
    records::DetailBuf.Product.Set(line.Code);
    records::DetailBuf.LineKey.Set(records::LineKeyText(invoice.Number, line.Row));
    records::DetailBuf.LineText.Set(
        records::LineText(line.Quantity, line.Description, line.Price, line.Taxable, line.Extension));
    Require(records::AddDetailRecord(ref), "detail");
    records::ProductRec product{};
    product.Code.Set(line.Code);
    ReadChangeRewrite<records::ProductRec>(records::ProductFile, 1, records::BuildProductKey(product, 1),
                                           [](records::ProductRec& p) { p.OnHand.Set("999999"); });
  }
  records::CustomerRec customer{};
  customer.CustomerNo.Set(invoice.CustomerNo);
  ReadChangeRewrite<records::CustomerRec>(records::CustomerFile, 2, records::BuildCustomerKey(customer, 2),
                                          [](records::CustomerRec& c) { c.CustBalance.Set("30.00"); });
  ReadChangeRewrite<records::CompanyRec>(records::CompanyFile, 1,
                                         records::BuildCompanyKey(records::CurrentCompany, 1),
                                         [](records::CompanyRec& c) { c.CompanyARBalance.Set("30.00"); });
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::filesystem::path scratch = argc > 1
                                      ? std::filesystem::path(argv[1])
                                      : std::filesystem::temp_directory_path() / "kestrava-posting-bench";
  scratch = std::filesystem::absolute(scratch);
  int count = argc > 2 ? std::atoi(argv[2]) : 10000;
  platform::text::SetClock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
  platform::text::SetShortDateFormat("mm/dd/yyyy");
  const std::vector<EnteredInvoice> invoices = MakeInvoices(count);

  SetUpCompany(scratch / "posting");
  Require(records::OpenCompanyFile(), "company file");  // held, as the Invoice Manager holds it
  double posting = Seconds([&] {
    for (const EnteredInvoice& invoice : invoices) invoicing::PostNewInvoice(invoice);
  });
  records::CloseCompanyFile();
  TearDownCompany();

  SetUpCompany(scratch / "bare");
  Require(records::OpenCompanyFile(), "company file");
  double bare = Seconds([&] {
    for (const EnteredInvoice& invoice : invoices) PostBare(invoice);
  });
  records::CloseCompanyFile();
  TearDownCompany();

  std::filesystem::current_path(scratch.parent_path());
  std::filesystem::remove_all(scratch);
  std::printf(
      "%d three-line invoices   posting with journal %.3f s   bare engine writes %.3f s   ratio %.2f\n",
      count, posting, bare, posting / bare);
  return 0;
}
