#pragma once
// The invoices, lines and purchase orders the benchmarks work on, made the same way in every run.

#include <QDate>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/text/date_text.h"
#include "platform/text/format_float.h"
#include "records/detail_file.h"
#include "records/invoice_rec.h"
#include "records/po_header_file.h"

namespace bench {

using records::DetailRec;
using records::InvoiceRec;
using records::LineKeyText;
using records::LineNumberText;
using records::LineText;
using records::POHeaderRec;

constexpr int kLinesPerInvoice = 3;

inline std::string Amount(int cents) {
  return platform::text::FormatFloat("0.00", cents / 100.0);
}

inline std::string Numbered(const char* pattern, unsigned number) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, number);
  return text;
}

// The invoices and their lines: dates over 2025 and 2026, a third of the invoices still open,
// every fiftieth record a deposit, every hundredth a repeat-billing master. The POs over the same
// two years: half of them received, every fortieth of no value (every other one of those closed).
struct Workload {
  std::vector<InvoiceRec> Invoices;
  std::vector<DetailRec> Lines;
  std::vector<POHeaderRec> POs;

  Workload(int invoices, unsigned customers = 5000, unsigned products = 900, int purchaseOrders = 0) {
    std::mt19937 rng(20261207);
    const QDate first(2025, 1, 1);
    char number[16];
    for (int i = 0; i < invoices; ++i) {
      InvoiceRec r{};
      std::snprintf(number, sizeof number, "%d", 100000 + i);
      const QDate date = first.addDays(static_cast<int>(rng() % 730));
      const std::string customer = Numbered("C%u", rng() % customers);
      const int total = static_cast<int>(rng() % 500000);
      const bool open = rng() % 3 == 0;
      const char* type = i % 50 == 0 ? "D" : i % 100 == 1 ? "R" : "I";
      r.InvoiceNo.Set(number);
      r.TransactionType.Set(type);
      r.InvCustomerNo.Set(customer);
      r.ShortName.Set(Numbered("SHOP%u", rng() % customers));
      r.SortDate.Set(platform::text::SortableDate(date));
      r.InvoiceDate.Set(platform::text::FormatTypedDate(date, 'M'));
      r.InvTotal.Set(Amount(total));
      r.AmountDue.Set(Amount(open ? total : 0));
      // A deposit is dated paid when it is taken; it stays open until it is settled.
      const bool deposit = type[0] == 'D';
      r.DatePaid.Set(deposit ? r.SortDate.Get() : open ? "" : platform::text::SortableDate(date.addDays(20)));
      r.SettledFlag.Set(open ? "" : "P");
      Invoices.push_back(r);
      for (int line = 1; line <= kLinesPerInvoice; ++line) {
        DetailRec d{};
        const int quantity = static_cast<int>(rng() % 40) + 1;
        const int price = static_cast<int>(rng() % 10000);
        d.LineText.Set(LineText(std::to_string(quantity), Numbered("Product %u", rng() % products),
                                Amount(price), "Y", Amount(quantity * price)));
        d.InvoiceNumber.Set(number);
        d.Date.Set(r.SortDate.Get());
        d.Product.Set(Numbered("P%u", rng() % products));
        d.Customer.Set(customer);
        d.ShortName.Set(r.ShortName.Get());
        d.LineKey.Set(LineKeyText(number, line));
        d.LineNumber.Set(LineNumberText(line));
        Lines.push_back(d);
      }
    }
    for (int i = 0; i < purchaseOrders; ++i) POs.push_back(PurchaseOrder(i, first, rng));
  }

  static POHeaderRec PurchaseOrder(int i, const QDate& first, std::mt19937& rng) {
    POHeaderRec r{};
    const QDate date = first.addDays(static_cast<int>(rng() % 730));
    const int net = i % 40 == 0 ? 0 : static_cast<int>(rng() % 400000);
    const int tax = net / 12;
    r.PONumber.Set(Numbered("P%u", 500000 + i));
    r.POStatus.Set(i % 80 == 0 ? "C" : "O");
    r.VendorNo.Set(Numbered("V%u", rng() % 500));
    r.ShortName.Set(Numbered("MAKER%u", rng() % 500));
    r.SortDate.Set(platform::text::SortableDate(date));
    r.PODate.Set(platform::text::FormatTypedDate(date, 'M'));
    r.DateRequired.Set(platform::text::SortableDate(date.addDays(14)));
    r.ReceivedDate.Set(rng() % 2 == 0 ? platform::text::SortableDate(date.addDays(10)) : " ");
    r.NetAmount.Set(Amount(net));
    r.TaxAmount.Set(Amount(tax));
    r.POTotal.Set(Amount(net + tax));
    r.POKind.Set("P");
    return r;
  }
};

}  // namespace bench
