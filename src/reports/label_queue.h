#pragma once
// The label print queue: the one list of customers, vendors and products collected for labels,
// the address export, the form letters and the e-mail notice. It lives in memory for the run;
// the label wizard shows it and can save it to a queue file (".LST") and reload it.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/customer_rec.h"
#include "records/product_rec.h"
#include "records/vendor_rec.h"

namespace reports {

// One queued record as the list shows it, the texts copied from the record as stored. Letter
// "C", "V" or "P" says in which file the code is looked up.
struct LabelQueueRow {
  std::string Code;       // customer or vendor number, product code
  std::string Name;       // name or product description
  std::string SortPrice;  // mailing-list sort code or sales price
  std::string TypeKey;    // customer or vendor type, key code or storage location
  std::string Letter;

  // The text of list column 0 to 4, in the order above.
  const std::string& Column(int column) const;
  bool operator==(const LabelQueueRow&) const = default;
};

LabelQueueRow CustomerQueueRow(const records::CustomerRec& customer);
LabelQueueRow VendorQueueRow(const records::VendorRec& vendor);
// A product row carries the key code when a whole file or a filter is loaded, the storage
// location when a single product is picked.
enum class ProductColumn { KeyCode, Location };
LabelQueueRow ProductQueueRow(const records::ProductRec& product, ProductColumn fourth);

class LabelQueue {
 public:
  const std::vector<LabelQueueRow>& Rows() const { return rows_; }
  int Count() const { return static_cast<int>(rows_.size()); }
  bool Empty() const { return rows_.empty(); }

  // Appends a row and marks the queue as holding unprinted labels.
  void Append(LabelQueueRow row);
  // Appends rows as one change (the wizard fills its list once); nothing for no rows.
  void AppendAll(std::vector<LabelQueueRow> rows);
  // Removes one row; an emptied queue no longer counts as unprinted.
  void Remove(int index);
  void Clear();
  // Ascending by the text of one column, compared locale-aware and case-sensitive.
  void SortByColumn(int column);

  // Called after every change; the label wizard redraws its list.
  std::function<void()> Changed;
  // Shows a text in the label wizard's status line, once the wizard is there.
  std::function<void(const std::string&)> StatusShown;
  void ShowStatus(const std::string& text) const {
    if (StatusShown) StatusShown(text);
  }

 private:
  void Notify();
  std::vector<LabelQueueRow> rows_;
};

extern LabelQueue LabelPrintQueue;

// Appends the record shown by a manager and shows (and returns) the status text naming it.
std::string QueueCustomer(const records::CustomerRec& customer);
std::string QueueVendor(const records::VendorRec& vendor);
std::string QueueProduct(const records::ProductRec& product);

// Queue files: one line per row in fixed columns (code 1-8, name 10-44, sort code or price
// 46-60, type or key 62-86, letter 88), ended by CR LF. A code longer than 8 characters pushes
// the later fields right; such lines are written whole and read back by their length.
std::string QueueFileLine(const LabelQueueRow& row);
LabelQueueRow QueueRowFromLine(std::string_view line);
// Written whole (a temporary file renamed over the old one), so that a failure or a power cut
// leaves the old file or the new one; false when it cannot be written, after the user was told why.
bool SaveQueueFile(const std::string& path, const std::vector<LabelQueueRow>& rows);
// The rows of a queue file; false when it cannot be read.
bool ReadQueueFile(const std::string& path, std::vector<LabelQueueRow>& rows);

// Loaders over the current company's files, in file order; each returns the rows it appended.
int LoadAllCustomers();
int LoadAllVendors();
int LoadAllProducts();
// Customers with a non-zero balance in aging bucket 1 to 4. A stored amount that is not a
// number raises the conversion error.
int LoadAgingCategory(int category);
// Records whose type or sort code (products: description or key code) holds the filter,
// compared in capitals; the filter is taken as typed.
enum class QueueKind { Customers, Vendors, Products };
int LoadByFilter(QueueKind kind, const std::string& filter);

// The address export: per customer or vendor row its name and billing lines joined by ",".
// Rows whose record is no longer on file are left out and counted. The lines are written whole
// with forms::WriteTextLines.
struct AddressExport {
  std::vector<std::string> Lines;
  int Missing = 0;
};
AddressExport BuildAddressExport(const std::vector<LabelQueueRow>& rows);

}  // namespace reports
