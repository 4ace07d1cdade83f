#pragma once
// The company the posting benchmarks post into, and the invoices they enter, as the Add Invoice
// form hands them to the posting.

#include <random>
#include <string>
#include <utility>

#include "invoicing/entered_invoice.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "workload.h"

namespace bench {

// What every product holds on file before the first invoice.
constexpr long kStockOnFile = 10000000;

// Creates the customer, product, invoice, detail and memo files of the company open in the engine,
// leaves them open, and files customers C1.. and products P1.. (2.50 each, with ample stock).
// False as soon as a step fails, the engine's status set.
inline bool FileCustomersAndProducts(unsigned customers, unsigned products) {
  using Step = bool (*)();
  const std::pair<Step, Step> files[] = {{records::CreateCustomerFile, records::OpenCustomerFile},
                                         {records::CreateProductFile, records::OpenProductFile},
                                         {records::CreateInvoiceFile, records::OpenInvoiceFile},
                                         {records::CreateDetailFile, records::OpenDetailFile},
                                         {records::CreateMemoFile, records::OpenMemoFile}};
  for (auto [create, open] : files)
    if (!create() || !open()) return false;
  storage::IsamRecRef ref = 0;
  for (unsigned i = 1; i <= customers; ++i) {
    records::CustomerRec c{};
    c.CustomerNo.Set(Numbered("C%u", i));
    c.CustomerName.Set(Numbered("Customer %u", i));
    c.CustBalance.Set("0.00");
    for (auto* bucket : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4}) bucket->Set("0.00");
    if (!records::AddCustomerRecord(c, ref)) return false;
  }
  for (unsigned i = 1; i <= products; ++i) {
    records::ProductRec p{};
    p.Code.Set(Numbered("P%u", i));
    p.Description.Set(Numbered("Product P%u", i));
    p.OnHand.Set(std::to_string(kStockOnFile));
    p.ListPrice.Set("2.50");
    p.PriceUpdateMode.Set("M");
    p.BatchNumber.Set("1");
    if (!records::AddProductRecord(p, ref)) return false;
  }
  return true;
}

// Invoice `index` (from 0): numbered after its index, its customer (of `customers`) and products
// (of `products`) drawn from a generator seeded with it, so that every run holds the same
// invoices; paid in full when `paid`.
inline invoicing::EnteredInvoice MakeEnteredInvoice(long index, unsigned customers, unsigned products,
                                                    const std::string& date, bool paid) {
  std::mt19937 rng(static_cast<unsigned>(index));
  invoicing::EnteredInvoice invoice;
  invoice.Number = std::to_string(100001 + index);
  invoice.CustomerNo = Numbered("C%u", 1 + rng() % customers);
  invoice.Date = date;
  invoice.KeyCode = "None";
  invoice.TaxRate = "0";
  int total = 0;
  for (int row = 1; row <= kLinesPerInvoice; ++row) {
    invoicing::EnteredLine line;
    line.Row = row;
    line.Code = Numbered("P%u", 1 + rng() % products);
    const int quantity = 1 + static_cast<int>(rng() % 5);
    line.Quantity = std::to_string(quantity);
    line.Description = "Product " + line.Code;
    line.Price = "2.50";
    line.Taxable = "N";
    line.Extension = Amount(quantity * 250);
    total += quantity * 250;
    invoice.Lines.push_back(line);
  }
  invoice.Net = invoice.Total = Amount(total);
  invoice.Tax = "0.00";
  invoice.Paid = paid ? invoice.Total : "0.00";
  return invoice;
}

}  // namespace bench
