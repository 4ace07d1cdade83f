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
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/product_rec.h"
#include "records/stored_amount.h"
#include "records/system_reason.h"
#include "records/vendor_file.h"

namespace forms {

using namespace records;
namespace {

constexpr std::size_t SearchTextLength = 10;

template <class Record>
const Record& As(const void* record) {
  return *static_cast<const Record*>(record);
}

// Where a customer or a vendor keeps what Find searches and lists: the two records hold these
// fields at the same places, under their own names.
template <class Record>
struct AccountFields {
  ShortString<8> Record::*Number;
  ShortString<35> Record::*Name;
  ShortString<25> Record::*Phone;
  std::array<ShortString<35> Record::*, 4> Address;
  ShortString<50> Record::*EMail;
};

template <class Record>
FindModeDef AccountFindMode(const char* name, storage::IsamFileBlock* file, const char* nameCaption,
                            AccountFields<Record> f) {
  FindModeDef mode;
  mode.Mode = name;
  mode.File = file;
  mode.RecordLength = sizeof(Record);
  mode.Columns = {{{nameCaption, 200},
                   {"Number", 50},
                   {"Phone Number", 150},
                   {"Address Line 1", 150},
                   {"Address Line 2", 150},
                   {"Address Line 3", 150},
                   {"Address Line 4", 150}}};
  mode.SearchedFields = [f](const void* record) {
    const auto& r = As<Record>(record);
    return std::vector<std::string>{(r.*f.Number).Get(),     (r.*f.Name).Get(),       (r.*f.Phone).Get(),
                                    (r.*f.Address[0]).Get(), (r.*f.Address[1]).Get(), (r.*f.Address[2]).Get(),
                                    (r.*f.EMail).Get(),      (r.*f.Address[3]).Get()};
  };
  mode.Row = [f](const void* record) {
    const auto& r = As<Record>(record);
    return FindRow{(r.*f.Name).Get(),       (r.*f.Number).Get(),     (r.*f.Phone).Get(),
                   (r.*f.Address[0]).Get(), (r.*f.Address[1]).Get(), (r.*f.Address[2]).Get(),
                   (r.*f.Address[3]).Get()};
  };
  return mode;
}

FindModeDef CustomerFindMode() {
  return AccountFindMode<CustomerRec>("Cust", &CustomerFile, "Customer Name",
                                      {&CustomerRec::CustomerNo,
                                       &CustomerRec::CustomerName,
                                       &CustomerRec::Phone1,
                                       {&CustomerRec::CustBillTo1, &CustomerRec::CustBillTo2,
                                        &CustomerRec::CustBillTo3, &CustomerRec::CustBillTo4},
                                       &CustomerRec::CustEMail});
}

FindModeDef VendorFindMode() {
  return AccountFindMode<VendorRec>(
      "Vend", &VendorFile, "Vendor Name",
      {&VendorRec::VendorNo,
       &VendorRec::VendorName,
       &VendorRec::Phone1,
       {&VendorRec::OrderAddr1, &VendorRec::OrderAddr2, &VendorRec::OrderAddr3, &VendorRec::OrderAddr4},
       &VendorRec::VendEMail});
}

// Where an invoice or a purchase order keeps what Find searches and lists.
template <class Record>
struct DocumentFields {
  ShortString<9> Record::*Number;
  ShortString<8> Record::*Account;
  ShortString<10> Record::*SortDate;
  ShortString<8> Record::*KeyCode;
  ShortString<10> Record::*Total;
  ShortString<10> Record::*ShortName;
  ShortString<80> Record::*Notes;
};

template <class Record>
FindModeDef DocumentFindMode(const char* name, storage::IsamFileBlock* file,
                             const std::array<FindColumn, FindColumnCount>& columns,
                             DocumentFields<Record> f) {
  FindModeDef mode;
  mode.Mode = name;
  mode.File = file;
  mode.RecordLength = sizeof(Record);
  mode.Columns = columns;
  mode.SearchedFields = [f](const void* record) {
    const auto& r = As<Record>(record);
    return std::vector<std::string>{(r.*f.Account).Get(), (r.*f.SortDate).Get(), (r.*f.Number).Get(),
                                    (r.*f.KeyCode).Get(), (r.*f.Notes).Get(),    (r.*f.ShortName).Get()};
  };
  mode.Row = [f](const void* record) {
    const auto& r = As<Record>(record);
    return FindRow{(r.*f.SortDate).Get(),
                   (r.*f.Number).Get(),
                   (r.*f.Account).Get(),
                   (r.*f.KeyCode).Get(),
                   FormatStoredAmount((r.*f.Total).Get(), ",.00"),
                   (r.*f.ShortName).Get(),
                   (r.*f.Notes).Get()};
  };
  return mode;
}

FindModeDef POFindMode() {
  return DocumentFindMode<POHeaderRec>(
      "PO", &POHeaderFile,
      {{{"Year/Mo/Dy", 80},
        {"PO#", 60},
        {"Vendor#", 75},
        {"Key Code", 75},
        {"PO Total", 100},
        {"Short Name", 80},
        {"Notes/Comment/Reference", 400}}},
      {&POHeaderRec::PONumber, &POHeaderRec::VendorNo, &POHeaderRec::SortDate, &POHeaderRec::KeyCode,
       &POHeaderRec::POTotal, &POHeaderRec::ShortName, &POHeaderRec::Notes});
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
    for (FindModeDef mode :
         {CustomerFindMode(), VendorFindMode(), ProductFindMode(), CompanyFindMode(), POFindMode()})
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

std::vector<FindRow> FindMatchingRows(const FindModeDef& mode, std::string_view searchText,
                                      std::string* failure) {
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
  // Running off the end of the file is how every scan ends; anything else cut it short.
  if (failure)
    *failure = records::IsEndOfWalk() ? std::string() : records::DataFileUnusableText((*mode.File)->DataName);
  return rows;
}

void AddInvoiceFindMode() {
  AddFindMode(DocumentFindMode<InvoiceRec>(
      "Inv", &InvoiceFile,
      {{{"Year/Mo/Dy", 80},
        {"Invoice#", 60},
        {"Customer#", 75},
        {"Key Code", 75},
        {"Invoice Total", 100},
        {"Short Name", 80},
        {"Notes/Comments/Reference", 400}}},
      {&InvoiceRec::InvoiceNo, &InvoiceRec::InvCustomerNo, &InvoiceRec::SortDate, &InvoiceRec::KeyCode,
       &InvoiceRec::InvTotal, &InvoiceRec::ShortName, &InvoiceRec::Notes}));
}

}  // namespace forms
