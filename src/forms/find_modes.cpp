#include "forms/find_modes.h"

#include <map>
#include <utility>

#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/customer_rec.h"
#include "records/invoice_file.h"
#include "records/product_file.h"
#include "records/product_rec.h"
#include "records/stored_amount.h"

namespace forms {

using namespace records;
namespace {

constexpr std::size_t SearchTextLength = 10;

template <class Record>
const Record& As(const void* record) {
  return *static_cast<const Record*>(record);
}

FindModeDef CustomerFindMode() {
  FindModeDef mode;
  mode.Mode = "Cust";
  mode.File = &CustomerFile;
  mode.RecordLength = sizeof(CustomerRec);
  mode.Columns = {{{"Customer Name", 200},
                   {"Number", 50},
                   {"Phone Number", 150},
                   {"Address Line 1", 150},
                   {"Address Line 2", 150},
                   {"Address Line 3", 150},
                   {"Address Line 4", 150}}};
  mode.SearchedFields = [](const void* record) {
    const auto& c = As<CustomerRec>(record);
    return std::vector<std::string>{c.CustomerNo.Get(),  c.CustomerName.Get(), c.Phone1.Get(),
                                    c.CustBillTo1.Get(), c.CustBillTo2.Get(),  c.CustBillTo3.Get(),
                                    c.CustEMail.Get(),   c.CustBillTo4.Get()};
  };
  mode.Row = [](const void* record) {
    const auto& c = As<CustomerRec>(record);
    return FindRow{c.CustomerName.Get(), c.CustomerNo.Get(),  c.Phone1.Get(),     c.CustBillTo1.Get(),
                   c.CustBillTo2.Get(),  c.CustBillTo3.Get(), c.CustBillTo4.Get()};
  };
  return mode;
}

FindModeDef ProductFindMode() {
  FindModeDef mode;
  mode.Mode = "Prod";
  mode.File = &ProductFile;
  mode.RecordLength = sizeof(ProductRec);
  mode.Columns = {{{"Product#", 100}, {"Description", 200}, {"Unit Price", 85}, {"Preferred Vendor", 160}}};
  mode.SearchedFields = [](const void* record) {
    const auto& p = As<ProductRec>(record);
    return std::vector<std::string>{p.Code.Get(), p.Description.Get(), p.PreferredVendor.Get(),
                                    p.Price.Get()};
  };
  mode.Row = [](const void* record) {
    const auto& p = As<ProductRec>(record);
    return FindRow{p.Code.Get(), p.Description.Get(), p.Price.Get(), p.PreferredVendor.Get()};
  };
  return mode;
}

FindModeDef CompanyFindMode() {
  FindModeDef mode;
  mode.Mode = "Comp";
  mode.File = &CompanyFile;
  mode.RecordLength = sizeof(CompanyRec);
  mode.Columns = {{{"Company Name", 200},
                   {"Number", 50},
                   {"Address Line 1", 150},
                   {"Address Line 2", 150},
                   {"Address Line 3", 150},
                   {"Address Line 4", 150}}};
  mode.SearchedFields = [](const void* record) {
    const auto& c = As<CompanyRec>(record);
    return std::vector<std::string>{c.CompanyName.Get(),  c.CompanyNumber.Get(), c.CompanyAddr1.Get(),
                                    c.CompanyAddr2.Get(), c.CompanyAddr3.Get(),  c.CompanyAddr4.Get()};
  };
  mode.Row = [](const void* record) {
    const auto& c = As<CompanyRec>(record);
    return FindRow{c.CompanyName.Get(),
                   c.CompanyNumber.Get(),
                   c.CompanyAddr1.Get(),
                   c.CompanyAddr2.Get(),
                   c.CompanyAddr3.Get(),
                   c.CompanyAddr4.Get(),
                   ""};
  };
  return mode;
}

std::map<std::string, FindModeDef, std::less<>>& Modes() {
  static std::map<std::string, FindModeDef, std::less<>> modes = [] {
    std::map<std::string, FindModeDef, std::less<>> builtIn;
    for (FindModeDef mode : {CustomerFindMode(), ProductFindMode(), CompanyFindMode()})
      builtIn[mode.Mode] = std::move(mode);
    return builtIn;
  }();
  return modes;
}

}  // namespace

const FindModeDef* FindModeDefinition(std::string_view mode) {
  auto found = Modes().find(mode);
  return found == Modes().end() ? nullptr : &found->second;
}

void AddFindMode(FindModeDef definition) {
  std::string name = definition.Mode;
  Modes()[name] = std::move(definition);
}

std::string FindSearchText(std::string_view typed) {
  return platform::text::UpperCase(platform::text::TrimBlanks(typed)).substr(0, SearchTextLength);
}

bool RecordMatches(const FindModeDef& mode, const void* record, std::string_view searchText) {
  if (searchText.empty()) return false;
  for (const std::string& field : mode.SearchedFields(record)) {
    if (platform::text::UpperCase(field).find(searchText) != std::string::npos) return true;
  }
  return false;
}

std::vector<FindRow> FindMatchingRows(const FindModeDef& mode, std::string_view searchText) {
  using namespace storage;
  std::vector<FindRow> rows;
  std::vector<uint8_t> record(mode.RecordLength);
  IsamRecRef ref = 0;
  for (;;) {
    IsamNextRec(*mode.File, ref);
    if (!IsamOK) break;
    IsamGetRec(*mode.File, ref, record.data(), record.size());
    if (!IsamOK) break;
    if (RecordMatches(mode, record.data(), searchText)) rows.push_back(mode.Row(record.data()));
  }
  return rows;
}

void AddInvoiceFindMode() {
  FindModeDef mode;
  mode.Mode = "Inv";
  mode.File = &InvoiceFile;
  mode.RecordLength = sizeof(InvoiceRec);
  mode.Columns = {{{"Year/Mo/Dy", 80},
                   {"Invoice#", 60},
                   {"Customer#", 75},
                   {"Key Code", 75},
                   {"Invoice Total", 100},
                   {"Short Name", 80},
                   {"Notes/Comments/Reference", 400}}};
  mode.SearchedFields = [](const void* record) {
    const auto& r = *static_cast<const InvoiceRec*>(record);
    return std::vector<std::string>{r.InvCustomerNo.Get(), r.SortDate.Get(), r.InvoiceNo.Get(),
                                    r.KeyCode.Get(),       r.Notes.Get(),    r.ShortName.Get()};
  };
  mode.Row = [](const void* record) {
    const auto& r = *static_cast<const InvoiceRec*>(record);
    return FindRow{r.SortDate.Get(),
                   r.InvoiceNo.Get(),
                   r.InvCustomerNo.Get(),
                   r.KeyCode.Get(),
                   FormatStoredAmount(r.InvTotal.Get(), ",.00"),
                   r.ShortName.Get(),
                   r.Notes.Get()};
  };
  AddFindMode(std::move(mode));
}

}  // namespace forms
