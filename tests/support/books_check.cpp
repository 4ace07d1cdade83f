#include "support/books_check.h"

#include <cmath>
#include <optional>
#include <set>

#include "platform/text/amount.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"

namespace testing_support {
namespace {

using platform::text::Cents;

// Every live record of an open file, in key 1 order; nothing when the file is not open.
template <class Record, class Visit>
void EachRecord(storage::IsamFileBlock file, Visit visit) {
  if (!file || !storage::IsamIsOpen(file)) return;
  storage::IsamKeyStr key;
  storage::IsamRecRef ref = 0;
  storage::IsamSearchKey(file, 1, ref, key);
  while (storage::IsamOK) {
    Record record{};
    storage::IsamGetRec(file, ref, &record, sizeof record);
    if (!storage::IsamOK) break;
    visit(record);
    storage::IsamNextKey(file, 1, ref, key);
  }
}

std::string Key(const std::string& text) {
  return platform::text::UpperCase(platform::text::TrimBlanks(text));
}

double Quantity(const std::string& text) {
  return platform::text::TryStrToFloat(platform::text::TrimBlanks(platform::text::StripCommas(text)))
      .value_or(0);
}

double OrderedQuantity(const records::PODetailRec& d) {
  return Quantity(d.LineText.Get().substr(0, records::kLineQuantityWidth));
}

class Checker {
 public:
  Cents Amount(const std::string& what, const std::string& text) {
    std::optional<Cents> cents = platform::text::ParseAmount(text);
    if (!cents) problems.push_back(what + ": \"" + text + "\" is not an amount");
    return cents.value_or(0);
  }
  std::string Money(Cents cents) { return platform::text::AmountText(cents); }
  void Differ(const std::string& what, Cents stored, Cents expected, const std::string& from) {
    if (stored != expected)
      problems.push_back(what + " is " + Money(stored) + " but " + from + " make " + Money(expected));
  }

  std::vector<std::string> problems;
};

}  // namespace

std::vector<std::string> BooksProblems(const records::CompanyRec& company, const StockBefore& stockBefore) {
  Checker check;

  std::map<std::string, Cents> dueByCustomer;
  std::map<std::string, Cents> unaccountedByNumber;
  std::set<std::string> invoiceNumbers;  // those with an invoice among their records
  EachRecord<records::InvoiceRec>(records::InvoiceFile, [&](const records::InvoiceRec& r) {
    std::string what = "invoice record " + platform::text::TrimBlanks(r.InvoiceNo.Get()) + " (" +
                       r.TransactionType.Get() + ")";
    if (r.TransactionType.Get() == "R") return;  // a master bills nothing itself
    Cents due = check.Amount(what + " amount due", r.AmountDue.Get());
    dueByCustomer[Key(r.InvCustomerNo.Get())] += due;
    const std::string number = Key(r.InvoiceNo.Get());
    unaccountedByNumber[number] +=
        check.Amount(what + " total", r.InvTotal.Get()) - check.Amount(what + " paid", r.InvPaid.Get()) - due;
    if (std::string("IZG").find(r.TransactionType.Get()) != std::string::npos) invoiceNumbers.insert(number);
    bool settled = r.SettledFlag.Get() == "P";
    if (settled != (due == 0))
      check.problems.push_back(
          what + (settled ? " is settled with " + check.Money(due) + " due" : " is open with nothing due"));
  });

  // An invoice's documents sum the records of its number: billed less paid is what they owe.
  // (A deposit and its offset may be deleted one at a time, so deposits are left out.)
  for (const auto& [number, unaccounted] : unaccountedByNumber)
    if (unaccounted != 0 && invoiceNumbers.contains(number))
      check.problems.push_back("the records of invoice " + number + " bill less paid " +
                               check.Money(unaccounted) + " more than they owe");

  Cents balances = 0;
  EachRecord<records::CustomerRec>(records::CustomerFile, [&](const records::CustomerRec& c) {
    std::string who = "customer " + platform::text::TrimBlanks(c.CustomerNo.Get());
    Cents balance = check.Amount(who + " balance", c.CustBalance.Get());
    Cents buckets = 0;
    for (const auto* bucket : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4})
      buckets += check.Amount(who + " aging", bucket->Get());
    check.Differ(who + " balance", balance, buckets, "the aging buckets");
    auto due = dueByCustomer.find(Key(c.CustomerNo.Get()));
    check.Differ(who + " balance", balance, due == dueByCustomer.end() ? 0 : due->second,
                 "the amounts due of its records");
    if (due != dueByCustomer.end()) dueByCustomer.erase(due);
    balances += balance;
  });
  for (const auto& [customer, due] : dueByCustomer)
    if (due != 0)
      check.problems.push_back("records of unknown customer " + customer + " hold " + check.Money(due));
  check.Differ("the company's receivables", check.Amount("receivables", company.CompanyARBalance.Get()),
               balances, "the customers' balances");

  std::map<std::string, double> sold;
  EachRecord<records::DetailRec>(records::DetailFile, [&](const records::DetailRec& d) {
    sold[Key(d.Product.Get())] += Quantity(d.LineText.Get().substr(0, records::kLineQuantityWidth));
  });
  std::map<std::string, double> received;
  std::map<std::string, double> orderedByPO;
  std::map<std::string, double> openByPO;
  EachRecord<records::PODetailRec>(records::PODetailFile, [&](const records::PODetailRec& d) {
    double in = Quantity(d.QuantityReceived.Get());
    received[Key(d.Product.Get())] += in;
    double ordered = d.RecordKind.Get() == "P" ? OrderedQuantity(d) : 0;
    orderedByPO[Key(d.PONumber.Get())] += ordered;
    openByPO[Key(d.PONumber.Get())] += ordered - in;
  });
  EachRecord<records::ProductRec>(records::ProductFile, [&](const records::ProductRec& p) {
    if (p.NonStock) return;
    std::string code = Key(p.Code.Get());
    auto before = stockBefore.find(code);
    if (before == stockBefore.end()) return;  // a product the test did not count
    double expected = before->second - (p.NonDepleting ? 0 : sold[code]) + received[code];
    std::optional<double> onHand = platform::text::TryStrToFloat(p.OnHand.Get());
    if (!onHand || std::fabs(*onHand - expected) > 1e-6)
      check.problems.push_back("product " + code + " has " + p.OnHand.Get() + " on hand but " +
                               std::to_string(expected) + " should be left");
  });
  // A PO is marked received exactly when nothing it ordered remains due (a PO that orders
  // nothing may stay open).
  EachRecord<records::POHeaderRec>(records::POHeaderFile, [&](const records::POHeaderRec& h) {
    std::string number = Key(h.PONumber.Get());
    double open = openByPO[number];
    bool receivedPO = !platform::text::TrimBlanks(h.ReceivedDate.Get()).empty();
    if (receivedPO && open > 1e-6)
      check.problems.push_back("PO " + number + " is marked received with " + std::to_string(open) + " due");
    if (!receivedPO && open < 1e-6 && orderedByPO[number] > 1e-6)
      check.problems.push_back("PO " + number + " is open with nothing due");
  });
  return check.problems;
}

}  // namespace testing_support
