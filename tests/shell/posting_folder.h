#pragma once
// What the tests of a posting stopped part-way share: the person at the restart, the company's
// files opened as the windows open them, and an invoice as the entry form hands it over.

#include <QString>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "exchange/import_keys.h"
#include "invoicing/invoice_posting.h"
#include "purchasing/entered_po.h"
#include "platform/files/fault_seam.h"
#include "platform/ui/ui_driver.h"

namespace testing_support {

// The person at the restart: says yes to every question and OK to every message, and keeps what
// was shown. In the child that posts, any box at all ends the child with status 4 instead.
class RestartUser : public platform::ui::UiDriver {
 public:
  explicit RestartUser(bool inChild = false);
  ~RestartUser() override;
  platform::ui::TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override;
  platform::ui::TModalResult RunModal(platform::ui::Form&) override;
  bool RunOpenFile(platform::ui::FileDialogRequest&) override;
  bool RunSaveFile(platform::ui::FileDialogRequest&) override;
  bool RunChooseFolder(platform::ui::FolderRequest&) override;
  bool RunFont(platform::ui::FontRequest&) override;
  bool RunPrinterSetup(QPrinter&) override;
  bool OpenHelp(const QString&, const QString&) override;
  void Beep() override {}

  std::vector<QString> told;   // the messages (OK boxes)
  std::vector<QString> asked;  // the questions

 private:
  bool inChild_;
  platform::ui::UiDriver* previous_;
};

// The live records of every data file in the folder, by file name, each file's records sorted:
// read from the bytes of the closed files, not through the engine.
using FolderRecords = std::map<std::string, std::vector<std::string>>;
FolderRecords ReadFolderRecords(const std::filesystem::path& folder);

// Every file of company "12" opened as the windows open them, after the company list named it.
bool OpenCompanyFiles();
// Stops the engine and forgets the handles of the files it closed.
void CloseEngine();

// Runs a posting in a child process working in the folder: open readies the company there (status
// 2 when it cannot), then the fault plan is installed and post runs. The child's exit status: 0
// posted (with a count asked for, 10 + the writes or syncs the posting made), 5 it failed and was
// undone, 6 it failed and could not be undone, 3 another error, 4 a message box, else how the seam
// ended it.
enum class FaultCount { None, Writes, Syncs };
int PostInChildProcess(const std::filesystem::path& folder, const std::function<bool()>& open,
                       const platform::files::FaultPlan& plan, const std::function<void()>& post,
                       FaultCount count = FaultCount::None);

// An invoice of ten dollars a line, as the entry form hands it over.
invoicing::EnteredInvoice Invoice(const std::string& number, const std::string& customer,
                                  const std::string& date,
                                  const std::vector<std::pair<std::string, std::string>>& sales);

// A PO of vendor V1 dated 7 December 2026, untaxed, of one line: `quantity` of `code` at `price`.
purchasing::EnteredPO PurchaseOrder(const std::string& number, const std::string& code, const std::string& quantity,
                                    const std::string& price);

// The files the stop sweeps import into company 12, larger than the batches imports were once
// committed in: every third customer has no number (the company's next number numbers it), every
// fourth product no code (the counter codes it).
constexpr int kImportedRows = 1200;
std::vector<exchange::ImportRow> ImportedCustomerRows();
std::vector<exchange::ImportRow> ImportedProductRows();

}  // namespace testing_support
