#include "reports/label_queue.h"

#include <QString>
#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

#include "forms/run_state.h"
#include "forms/saved_rows.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/vendor_file.h"
#include "reports/label_lookup.h"
#include "reports/report_walk.h"

namespace reports {

using platform::text::TrimBlanks;
using records::CustomerRec;
using records::ProductRec;
using records::VendorRec;

LabelQueue LabelPrintQueue;

const std::string& LabelQueueRow::Column(int column) const {
  switch (column) {
    case 0:
      return Code;
    case 1:
      return Name;
    case 2:
      return SortPrice;
    case 3:
      return TypeKey;
    default:
      return Letter;
  }
}

LabelQueueRow CustomerQueueRow(const CustomerRec& c) {
  return {c.CustomerNo.Get(), c.CustomerName.Get(), c.MailSortCode.Get(), c.CustomerType.Get(), "C"};
}

LabelQueueRow VendorQueueRow(const VendorRec& v) {
  return {v.VendorNo.Get(), v.VendorName.Get(), v.MailSortCode.Get(), v.VendorType.Get(), "V"};
}

LabelQueueRow ProductQueueRow(const ProductRec& p, ProductColumn fourth) {
  return {p.Code.Get(), p.Description.Get(), p.Price.Get(),
          fourth == ProductColumn::KeyCode ? p.KeyCode.Get() : p.Location.Get(), "P"};
}

void LabelQueue::Notify() {
  if (Changed) Changed();
}

void LabelQueue::Append(LabelQueueRow row) {
  std::vector<LabelQueueRow> one;
  one.push_back(std::move(row));
  AppendAll(std::move(one));
}

void LabelQueue::AppendAll(std::vector<LabelQueueRow> rows) {
  if (rows.empty()) return;
  rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
  forms::LabelsQueued = 1;
  Notify();
}

void LabelQueue::Remove(int index) {
  if (index < 0 || index >= Count()) return;
  rows_.erase(rows_.begin() + index);
  if (rows_.empty()) forms::LabelsQueued = 0;
  Notify();
}

void LabelQueue::Clear() {
  rows_.clear();
  forms::LabelsQueued = 0;
  Notify();
}

void LabelQueue::SortByColumn(int column) {
  std::stable_sort(rows_.begin(), rows_.end(), [column](const LabelQueueRow& a, const LabelQueueRow& b) {
    return platform::text::ToQString(a.Column(column))
               .localeAwareCompare(platform::text::ToQString(b.Column(column))) < 0;
  });
  Notify();
}

namespace {

std::string Announce(const std::string& name) {
  std::string text = name + " added to label queue.";
  LabelPrintQueue.ShowStatus(text);
  return text;
}

}  // namespace

std::string QueueCustomer(const CustomerRec& customer) {
  LabelPrintQueue.Append(CustomerQueueRow(customer));
  return Announce(customer.CustomerName.Get());
}

std::string QueueVendor(const VendorRec& vendor) {
  LabelPrintQueue.Append(VendorQueueRow(vendor));
  return Announce(vendor.VendorName.Get());
}

std::string QueueProduct(const ProductRec& product) {
  LabelPrintQueue.Append(ProductQueueRow(product, ProductColumn::Location));
  return Announce(product.Description.Get());
}

// ---- queue files ----

namespace {

// Widths of the four padded fields; the letter follows the last one's blank.
constexpr std::array<size_t, 4> kFieldWidths{8, 35, 15, 25};
constexpr size_t kLetterColumn = 88;  // 1-based

std::string PadRight(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string Field(std::string_view line, size_t from, size_t width) {
  if (from >= line.size()) return "";
  return TrimBlanks(line.substr(from, width));
}

}  // namespace

std::string QueueFileLine(const LabelQueueRow& row) {
  std::string line;
  for (int i = 0; i < 4; ++i) line += PadRight(row.Column(i), kFieldWidths[i]) + " ";
  return line + row.Letter;
}

LabelQueueRow QueueRowFromLine(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\n'))
    line.remove_suffix(1);
  // Only a code can outgrow its field (a product code of up to 15 characters); the extra length
  // of the line is the extra length of the code.
  const size_t extra = line.size() > kLetterColumn ? line.size() - kLetterColumn : 0;
  LabelQueueRow row;
  row.Code = Field(line, 0, kFieldWidths[0] + extra);
  size_t from = kFieldWidths[0] + extra + 1;
  for (int i = 1; i < 4; ++i) {
    std::string text = Field(line, from, kFieldWidths[i]);
    if (i == 1) row.Name = text;
    if (i == 2) row.SortPrice = text;
    if (i == 3) row.TypeKey = text;
    from += kFieldWidths[i] + 1;
  }
  row.Letter = Field(line, from, 1);
  return row;
}

bool SaveQueueFile(const std::string& path, const std::vector<LabelQueueRow>& rows) {
  std::vector<std::string> lines;
  for (const LabelQueueRow& row : rows) lines.push_back(QueueFileLine(row));
  return forms::WriteTextLines(path, lines);
}

bool ReadQueueFile(const std::string& path, std::vector<LabelQueueRow>& rows) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    rows.push_back(QueueRowFromLine(line));
  }
  return true;
}

// ---- loaders ----

namespace {

template <class Record, class Keep, class Row>
int LoadWhere(storage::DataFileUnit& unit, Keep keep, Row row) {
  ReportFile file(unit);
  std::vector<LabelQueueRow> rows;
  WalkRecords<Record>(file, [&](const Record& record) {
    if (keep(record)) rows.push_back(row(record));
  });
  const int added = static_cast<int>(rows.size());
  LabelPrintQueue.AppendAll(std::move(rows));
  return added;
}

LabelQueueRow WholeFileProductRow(const ProductRec& p) {
  return ProductQueueRow(p, ProductColumn::KeyCode);
}

bool Contains(const std::string& field, const std::string& upperFilter) {
  return platform::text::UpperCase(field).find(upperFilter) != std::string::npos;
}

}  // namespace

int LoadAllCustomers() {
  return LoadWhere<CustomerRec>(
      records::CustomerUnit(), [](const CustomerRec& c) { return !c.CustomerName.Get().empty(); },
      CustomerQueueRow);
}

int LoadAllVendors() {
  return LoadWhere<VendorRec>(
      records::VendorUnit(), [](const VendorRec& v) { return !v.VendorName.Get().empty(); }, VendorQueueRow);
}

int LoadAllProducts() {
  return LoadWhere<ProductRec>(
      records::ProductUnit(), [](const ProductRec& p) { return !p.Code.Get().empty(); }, WholeFileProductRow);
}

int LoadAgingCategory(int category) {
  const std::array<decltype(CustomerRec::CustAging1) CustomerRec::*, 4> buckets{
      &CustomerRec::CustAging1, &CustomerRec::CustAging2, &CustomerRec::CustAging3, &CustomerRec::CustAging4};
  const auto bucket = buckets.at(static_cast<size_t>(category - 1));
  const int added = LoadWhere<CustomerRec>(
      records::CustomerUnit(),
      [bucket](const CustomerRec& c) {
        // A bucket never aged is blank and holds nothing.
        const std::string amount = TrimBlanks((c.*bucket).Get());
        return !amount.empty() && platform::text::StrToFloat(amount) != 0.0;
      },
      CustomerQueueRow);
  if (added > 0) forms::LabelsQueued = 1;
  return added;
}

int LoadByFilter(QueueKind kind, const std::string& filter) {
  const std::string wanted = platform::text::UpperCase(filter);
  switch (kind) {
    case QueueKind::Customers:
      return LoadWhere<CustomerRec>(
          records::CustomerUnit(),
          [&](const CustomerRec& c) {
            return Contains(c.CustomerType.Get(), wanted) || Contains(c.MailSortCode.Get(), wanted);
          },
          CustomerQueueRow);
    case QueueKind::Vendors:
      return LoadWhere<VendorRec>(
          records::VendorUnit(),
          [&](const VendorRec& v) {
            return Contains(v.VendorType.Get(), wanted) || Contains(v.MailSortCode.Get(), wanted);
          },
          VendorQueueRow);
    case QueueKind::Products:
      return LoadWhere<ProductRec>(
          records::ProductUnit(),
          [&](const ProductRec& p) {
            return Contains(p.Description.Get(), wanted) || Contains(p.KeyCode.Get(), wanted);
          },
          WholeFileProductRow);
  }
  return 0;
}

// ---- address export ----

namespace {

std::string AddressLine(const std::string& name, std::initializer_list<std::string> lines) {
  std::string text = TrimBlanks(name).size() > 1 ? TrimBlanks(name) : "";
  for (const std::string& line : lines)
    if (TrimBlanks(line).size() > 1) text += "," + TrimBlanks(line);
  return text.substr(0, 200);
}

}  // namespace

AddressExport BuildAddressExport(const std::vector<LabelQueueRow>& rows) {
  AddressExport result;
  QueuedRecords files;
  for (const LabelQueueRow& row : rows) {
    std::string line;
    if (row.Letter == "C") {
      CustomerRec c{};
      if (!files.Customer(row.Code, c)) {
        ++result.Missing;
        continue;
      }
      line = AddressLine(c.CustomerName.Get(), {c.CustBillTo1.Get(), c.CustBillTo2.Get(), c.CustBillTo3.Get(),
                                                c.CustBillTo4.Get()});
    } else if (row.Letter == "V") {
      VendorRec v{};
      if (!files.Vendor(row.Code, v)) {
        ++result.Missing;
        continue;
      }
      line = AddressLine(v.VendorName.Get(),
                         {v.OrderAddr1.Get(), v.OrderAddr2.Get(), v.OrderAddr3.Get(), v.OrderAddr4.Get()});
    }
    if (TrimBlanks(line).size() > 1) result.Lines.push_back(line);
  }
  return result;
}

}  // namespace reports
