#include "posting_folder.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

#include "exchange/comma_text.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/system_reason.h"
#include "records/vendor_file.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"
#include "support/live_records.h"

namespace testing_support {
namespace {

platform::ui::TModalResult Unexpected(const char* what) {
  ADD_FAILURE() << "the restart showed " << what;
  return platform::ui::mrCancel;
}

}  // namespace

RestartUser::RestartUser(bool inChild) : inChild_(inChild), previous_(platform::ui::InstallUiDriver(this)) {}

RestartUser::~RestartUser() {
  platform::ui::InstallUiDriver(previous_);
}

platform::ui::TModalResult RestartUser::ShowMessageBox(const platform::ui::MessageRequest& request) {
  if (inChild_) ::_exit(4);
  if (request.buttons == platform::ui::MsgButtons::Ok) {
    told.push_back(request.text);
    return platform::ui::mrOk;
  }
  asked.push_back(request.text);
  return request.buttons == platform::ui::MsgButtons::YesNo ? platform::ui::mrYes : platform::ui::mrOk;
}

platform::ui::TModalResult RestartUser::RunModal(platform::ui::Form&) {
  return Unexpected("a window");
}
bool RestartUser::RunOpenFile(platform::ui::FileDialogRequest&) {
  return Unexpected("a dialog");
}
bool RestartUser::RunSaveFile(platform::ui::FileDialogRequest&) {
  return Unexpected("a dialog");
}
bool RestartUser::RunChooseFolder(platform::ui::FolderRequest&) {
  return Unexpected("a dialog");
}
bool RestartUser::RunFont(platform::ui::FontRequest&) {
  return Unexpected("a dialog");
}
bool RestartUser::RunPrinterSetup(QPrinter&) {
  return Unexpected("a dialog");
}
bool RestartUser::OpenHelp(const QString&, const QString&) {
  return Unexpected("help");
}

FolderRecords ReadFolderRecords(const std::filesystem::path& folder) {
  FolderRecords found;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    if (item.path().extension() == ".DAT" && name.find("JNL") == std::string::npos)
      found[name] = LiveRecords(item.path());
  }
  return found;
}

bool OpenCompanyFiles() {
  records::InstallCompanyFileNames();
  try {
    if (!records::ReadCompanyRecord("12", records::CurrentCompany)) return false;
  } catch (const records::FileUnusable&) {
    return false;  // the company list held or unreadable: the windows would not open the company either
  }
  for (auto open : {records::OpenCustomerFile, records::OpenProductFile, records::OpenInvoiceFile,
                    records::OpenDetailFile, records::OpenMemoFile, records::OpenVendorFile,
                    records::OpenPOHeaderFile, records::OpenPODetailFile, records::OpenPOMemoFile})
    if (!open()) return false;
  return true;
}

void CloseEngine() {
  storage::IsamShutdown();
  records::CustomerFile = records::ProductFile = records::InvoiceFile = records::DetailFile =
      records::MemoFile = records::VendorFile = records::POHeaderFile = records::PODetailFile =
          records::POMemoFile = records::CompanyFile = nullptr;
}

int PostInChildProcess(const std::filesystem::path& folder, const std::function<bool()>& open,
                       const platform::files::FaultPlan& plan, const std::function<void()>& post,
                       FaultCount count) {
  const pid_t child = ::fork();
  if (child == 0) {
    int status = 2;
    try {
      RestartUser nobody(true);
      std::filesystem::current_path(folder);
      if (open()) {
        platform::files::InstallFaultPlan(plan);
        post();
        status = 0;
        if (count == FaultCount::Writes) status = 10 + platform::files::FaultWritesSoFar();
        if (count == FaultCount::Syncs) status = 10 + platform::files::FaultSyncsSoFar();
      }
    } catch (const storage::PostingFailed& failure) {
      status = failure.Undone() ? 5 : 6;
    } catch (...) {
      status = 3;
    }
    ::_exit(status);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

invoicing::EnteredInvoice Invoice(const std::string& number, const std::string& customer,
                                  const std::string& date,
                                  const std::vector<std::pair<std::string, std::string>>& sales) {
  invoicing::EnteredInvoice invoice;
  invoice.Number = number;
  invoice.CustomerNo = customer;
  invoice.Date = date;
  invoice.KeyCode = "None";
  invoice.Tax = invoice.Paid = "0.00";
  int row = 0;
  for (const auto& [code, quantity] : sales) {
    invoicing::EnteredLine line;
    line.Row = ++row;
    line.Code = code;
    line.Quantity = quantity;
    line.Description = code;
    line.Price = line.Extension = "10.00";
    line.Taxable = "N";
    invoice.Lines.push_back(line);
  }
  invoice.Net = invoice.Total = std::to_string(10 * row) + ".00";
  return invoice;
}

purchasing::EnteredPO PurchaseOrder(const std::string& number, const std::string& code, const std::string& quantity,
                                    const std::string& price) {
  char extension[32];
  std::snprintf(extension, sizeof extension, "%.2f", std::stod(quantity) * std::stod(price));
  purchasing::EnteredPO po;
  po.Number = number;
  po.VendorNo = "V1";
  po.Date = po.DateRequired = "12/07/2026";
  po.KeyCode = "None";
  po.Net = po.Total = extension;
  po.Tax = "0.00";
  po.Lines = {{1, code, quantity, code, price, "N", extension}};
  return po;
}

std::vector<exchange::ImportRow> ImportedCustomerRows() {
  std::vector<exchange::ImportRow> rows;
  for (int i = 1; i <= kImportedRows; ++i)
    rows.push_back(exchange::SplitCommaText("\"Imported Customer " + std::to_string(i) + "\"," +
                                            (i % 3 ? "N" + std::to_string(i) : std::string()) +
                                            ",\"1 Main St\""));
  return rows;
}

std::vector<exchange::ImportRow> ImportedProductRows() {
  std::vector<exchange::ImportRow> rows;
  for (int i = 1; i <= kImportedRows; ++i)
    rows.push_back(exchange::SplitCommaText((i % 4 ? "IMP" + std::to_string(i) : std::string()) +
                                            ",\"Imported product " + std::to_string(i) + "\",,,,,,9.95,,,5"));
  return rows;
}

}  // namespace testing_support
