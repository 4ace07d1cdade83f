#pragma once
// The invoices the posting benchmarks enter, as the Add Invoice form hands them to the posting.

#include <random>
#include <string>

#include "invoicing/entered_invoice.h"
#include "workload.h"

namespace bench {

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
