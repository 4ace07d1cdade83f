// The searches whose failure an answer once took for "not on file", "free" or "none": the New
// Company number check, the company the start opens, the restore's question, the vendor's and the
// customer's deletion checks, the Find rows, the count of a copy's destination and the PO
// deletion's header. Each runs over readable files for a record on file and one that is not (the
// honest answers), then with each of its reads failing with an I/O error in turn, and with its
// file refused at the open for an ordinary user: it must then say the file and the system's
// reason, once, ask nothing, and never give the answer of "not on file".

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "companies/comp_set.h"
#include "companies/company_manager.h"
#include "customers/customer_actions.h"
#include "exchange/backup_files.h"
#include "exchange/restore_files.h"
#include "forms/find_modes.h"
#include "forms/halt_program.h"
#include "permissions_apply.h"
#include "platform/files/fault_seam.h"
#include "platform/ui/form.h"
#include "platform/ui/support/ui_script.h"
#include "purchasing/po_delete.h"
#include "purchasing/vendor_actions.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/last_company.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/vendor_file.h"
#include "storage/isam.h"
#include "support/file_records.h"
#include "support/scratch_company.h"
#include "support/stand_in_user.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::files::FaultAction;
using platform::files::FaultPlan;
using platform::ui::TModalResult;

struct Outcome {
  QStringList said;   // every message, the text of an exception the run ended with, a failure it reported
  QStringList asked;  // every question
  std::string answer;
  // Stands in for the user at a modal form (its handlers called as the user works it); none is
  // expected when empty.
  std::function<void(platform::ui::Form&)> modal;
};

// Keeps what is shown; answers No to every question.
class Watcher : public testing_support::StandInUser {
 public:
  explicit Watcher(Outcome& outcome) : outcome_(outcome) {}

  TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    if (request.buttons == platform::ui::MsgButtons::Ok) {
      outcome_.said << request.text;
      return platform::ui::mrOk;
    }
    outcome_.asked << request.text;
    return platform::ui::mrNo;
  }
  TModalResult RunModal(platform::ui::Form& form) override {
    if (!outcome_.modal) {
      ADD_FAILURE() << "unexpected window " << form.Caption().toStdString();
      return platform::ui::mrCancel;
    }
    form.EnterModalState();
    outcome_.modal(form);
    if (form.InModalState()) form.AbandonModal(platform::ui::mrCancel);
    return form.ModalResult();
  }

 private:
  Outcome& outcome_;
};

// Where a case's search begins: its reads are counted, and failed, from there.
using Arm = std::function<void()>;

struct Case {
  const char* name;
  const char* refusedFile;  // refused at its open in one run; none when the case opens it before its search
  std::function<void(Outcome&, bool onFile, const Arm&)> run;
  // The answer read from the files after the run, for a case that does not give one itself.
  std::function<std::string(bool onFile)> answerAfter;
  std::string onFile, notOnFile;  // the answers over readable files
  // The search swept is the one for the record on file: the one for a record not on file reads
  // nothing the engine has not in memory already.
  bool sweptOnFile = false;
};

records::CompanyRec Company(const char* number, const char* name) {
  records::CompanyRec company = records::DefaultCompanyRecord();
  company.CompanyNumber.Set(number);
  company.CompanyName.Set(name);
  return company;
}

records::CustomerRec Customer(const char* number, const char* name) {
  records::CustomerRec customer{};
  customer.CustomerNo.Set(number);
  customer.CustomerName.Set(name);
  customer.CustBalance.Set("0.00");
  return customer;
}

records::VendorRec Vendor(const char* number) {
  records::VendorRec vendor{};
  vendor.VendorNo.Set(number);
  vendor.VendorName.Set(std::string("Vendor ") + number);
  return vendor;
}

records::POHeaderRec PO(const char* number, const char* vendor) {
  records::POHeaderRec header{};
  header.PONumber.Set(number);
  header.VendorNo.Set(vendor);
  return header;
}

class SearchFailureTest : public ::testing::Test {
 protected:
  SearchFailureTest() {
    testing_support::EnsureGuiApplication();
    storage::IsamInitialize(0, 30);
    using testing_support::CompanyFile;
    EXPECT_TRUE(testing_support::OpenScratchCompany(
        testing_support::BooksCompanyRecord(),
        {CompanyFile::Customers, CompanyFile::Invoices, CompanyFile::Products, CompanyFile::Vendors,
         CompanyFile::POHeaders}));
    CloseFiles();
    FileBooks();
    CloseFiles();
    testing_support::KeepBooksAside();
  }
  // The windows go with the test run's end.
  ~SearchFailureTest() override {
    platform::files::RemoveFaultPlan();
    CloseFiles();
    storage::IsamShutdown();
    storage::CurrentCompanyNumber = nullptr;
    records::CurrentCompany = records::CompanyRec{};
  }

  // Company 12 with customer C1 (invoice 10010) and C2 (none), vendor V1 (PO 7000) and V2 (none),
  // PO 7001 deleted; company 2 "Quay Tools" listed with 12's products; company 9's products in the
  // folder, company 9 not listed; an empty product file of company 5; backups that lack company 2's
  // files and company 9's.
  void FileBooks() {
    testing_support::FileSmallBooks();
    testing_support::FileRecords<records::CustomerRec>({Customer("C2", "Baker Supply")},
                                                       records::CustomerFile, records::OpenCustomerFile,
                                                       records::AddCustomerRecord);
    testing_support::FileRecords<records::VendorRec>({Vendor("V1"), Vendor("V2")}, records::VendorFile,
                                                     records::OpenVendorFile, records::AddVendorRecord);
    ASSERT_TRUE(records::OpenPOHeaderFile());
    ASSERT_TRUE(records::AddPOHeaderRecord(PO("7000", "V1"), livePO_));
    ASSERT_TRUE(records::AddPOHeaderRecord(PO("7001", "V2"), deletedPO_));
    ASSERT_TRUE(records::DeletePOHeaderRecord(deletedPO_));
    ASSERT_TRUE(records::OpenCompanyFile());
    records::CompanyWorkRec = Company("2", "Quay Tools");
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(records::AddCompanyRecord(ref));
    CloseFiles();
    std::string failure;
    for (const char* company : {"2", "9"})
      ASSERT_TRUE(records::CopyCompanyFiles("12", company, records::FileCodeProducts, &failure)) << failure;
    ASSERT_TRUE(records::ProductUnit().CreateFileNamed("5P"));
    for (const char* lacking : {"2", "9"}) {
      std::vector<std::string> files = exchange::ListBackupFiles();
      std::erase_if(files,
                    [&](const std::string& name) { return records::CompanyOfDataFile(name) == lacking; });
      fs::create_directory(std::string("usb") + lacking);
      ASSERT_TRUE(exchange::WriteBackupArchive(files, std::string("usb") + lacking, {}, &failure)) << failure;
    }
  }

  static void CloseFiles() {
    for (storage::IsamFileBlock* file :
         {&records::CustomerFile, &records::InvoiceFile, &records::ProductFile, &records::VendorFile,
          &records::POHeaderFile, &records::CompanyFile}) {
      if (*file) storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
  }

  // One run of the case under `plan`, installed where its search begins, with `refused` (a file)
  // refused to an ordinary user; with `reads`, how many reads it made from there before its first
  // write (all of them when it wrote nothing). The books are put back afterwards.
  static Outcome Run(const Case& c, bool onFile, const FaultPlan& plan = {}, int* reads = nullptr,
                     const char* refused = nullptr) {
    Outcome outcome;
    {
      Watcher watcher(outcome);
      if (refused) fs::permissions(refused, fs::perms::none);
      {
        std::optional<testing_support::PermissionsApply> asAUser;
        if (refused) asAUser.emplace();
        try {
          c.run(outcome, onFile, [&plan] { platform::files::InstallFaultPlan(plan); });
        } catch (const std::exception& failure) {
          outcome.said << QString::fromStdString(failure.what());
        }
        if (reads) *reads = platform::files::FaultReadsBeforeFirstWrite();
        platform::files::RemoveFaultPlan();
      }
      if (refused) fs::permissions(refused, fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_FALSE(forms::ProgramHalted()) << c.name;
    CloseFiles();
    if (c.answerAfter) outcome.answer = c.answerAfter(onFile);
    CloseFiles();
    records::CurrentCompany = testing_support::BooksCompanyRecord();
    testing_support::PutBooksBack();
    return outcome;
  }

  std::vector<Case> Cases() const;

  testing_support::TempDir dir_;
  storage::IsamRecRef livePO_ = 0, deletedPO_ = 0;
};

std::vector<Case> SearchFailureTest::Cases() const {
  return {
      // The number of a new company, typed in the Company Manager's dialog.
      {"NewCompanyNumber", nullptr,
       [](Outcome& o, bool onFile, const Arm& arm) {
         companies::TListComps& manager = companies::CreateListComps();
         manager.FormShow();
         o.modal = [onFile](platform::ui::Form& form) {
           auto& dialog = dynamic_cast<companies::TCompSet&>(form);
           dialog.CName->setText("New Shop");
           dialog.CoNumb->setText(onFile ? "2" : "3");
           dialog.OKButtonClick();
         };
         arm();
         manager.AddCompany();
         manager.FormClose();
       },
       [](bool onFile) {
         records::CompanyRec company;
         return records::ReadCompanyRecord(onFile ? "2" : "3", company) &&
                        company.CompanyName.Get() == "New Shop"
                    ? "added"
                    : "not added";
       },
       "not added", "added", true},
      // The company LastCo.Dat names, as the start opens it.
      {"CompanyTheStartOpens", "ovcomp.IX",
       [](Outcome& o, bool onFile, const Arm& arm) {
         records::CompanyWorkRec = records::CurrentCompany;
         records::CompanyWorkRec.CompanyNumber.Set(onFile ? "12" : "5");
         ASSERT_TRUE(records::SaveCurrentCompany());
         arm();
         std::string failure;
         const records::LastCompanyStatus status = records::LoadCurrentCompany(&failure);
         if (!failure.empty()) o.said << QString::fromStdString(failure);
         o.answer = status == records::LastCompanyStatus::Loaded      ? "loaded"
                    : status == records::LastCompanyStatus::NoCompany ? "no company"
                                                                      : "list not used";
       },
       nullptr, "loaded", "no company"},
      // The companies a restore takes away, named for its question.
      {"RestoreQuestion", "ovcomp.IX",
       [](Outcome& o, bool onFile, const Arm& arm) {
         arm();
         const exchange::RestorePreview preview = exchange::PreviewRestore(onFile ? "usb2" : "usb9");
         const bool unread = !preview.companyListFailure.empty();
         if (unread) o.said << QString::fromStdString(preview.companyListFailure);
         for (const exchange::CompanyTakenAway& company : preview.companiesTakenAway)
           o.answer += company.Number + " " +
                       (!company.Name.empty() ? company.Name
                        : unread              ? "(list not read)"
                                              : "(not listed)");
       },
       nullptr, "2 Quay Tools", "9 (not listed)"},
      {"VendorDeletion", "12O.DAT",
       [](Outcome& o, bool onFile, const Arm& arm) {
         arm();
         o.answer = purchasing::CheckVendorDelete(Vendor(onFile ? "V1" : "V2")) ==
                            purchasing::VendorDeleteCheck::HasPOs
                        ? "has POs"
                        : "may go";
       },
       nullptr, "has POs", "may go"},
      {"CustomerDeletion", "12I.DAT",
       [](Outcome& o, bool onFile, const Arm& arm) {
         arm();
         o.answer = customers::CheckCustomerDelete(Customer(onFile ? "C1" : "C2", "")) ==
                            customers::CustomerDeleteCheck::HasInvoices
                        ? "has invoices"
                        : "may go";
       },
       nullptr, "has invoices", "may go"},
      // The rows the Find window lists, over the customer file the manager holds open.
      {"FindRows", nullptr,
       [](Outcome& o, bool onFile, const Arm& arm) {
         ASSERT_TRUE(records::OpenCustomerFile());
         arm();
         std::string failure;
         const std::vector<forms::FindRow> rows =
             forms::FindMatchingRows(*forms::FindModeDefinition("Cust"), onFile ? "ACME" : "ZZZ", &failure);
         if (!failure.empty()) {
           o.said << QString::fromStdString(failure);
           return;
         }
         o.answer = std::to_string(rows.size()) + " row(s)";
       },
       nullptr, "1 row(s)", "0 row(s)"},
      // The products of the company a copy goes to: none there, it is overwritten without a word.
      {"CopyDestination", "5P.DAT",
       [](Outcome& o, bool onFile, const Arm& arm) {
         arm();
         o.answer =
             std::to_string(records::CountCompanyFileEntries(onFile ? "2" : "5", records::FileCodeProducts));
       },
       nullptr, "1", "0"},
      // The header of the PO highlighted in the PO Manager, read again for its deletion (declined).
      {"PODeletion", nullptr,
       [this](Outcome& o, bool onFile, const Arm& arm) {
         ASSERT_TRUE(records::OpenPOHeaderFile());
         arm();
         (void)purchasing::DeletePO(onFile ? livePO_ : deletedPO_);
         o.answer = o.asked.isEmpty() ? "no PO" : "asked";
       },
       nullptr, "asked", "no PO"},
  };
}

TEST_F(SearchFailureTest, ASearchThatFailsIsSaidWithItsFileAndNeverAnsweredAsNotOnFile) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    // Readable: the honest answers, and nothing said of a file.
    for (const bool onFile : {true, false}) {
      const Outcome clean = Run(c, onFile);
      EXPECT_EQ(clean.answer, onFile ? c.onFile : c.notOnFile) << clean.said.join("; ").toStdString();
      EXPECT_TRUE(clean.said.filter("cannot be").isEmpty()) << clean.said.join("; ").toStdString();
    }
    auto expectSaid = [&c](const Outcome& o, const QString& reason, const std::string& point) {
      const QRegularExpression told("^The file \\w+\\.(DAT|IX|Dat) cannot be (opened|read) now: " +
                                    QRegularExpression::escape(reason) + "\\.$");
      const std::string said = o.said.join("; ").toStdString();
      EXPECT_EQ(o.said.size(), 1) << point << ": " << said;
      EXPECT_TRUE(!o.said.isEmpty() && told.match(o.said.front()).hasMatch()) << point << ": " << said;
      EXPECT_TRUE(o.asked.isEmpty()) << point << ": " << o.asked.join("; ").toStdString();
      EXPECT_NE(o.answer, c.notOnFile) << point;
    };

    // Each read of the search failing in turn, up to the first run that meets none before its first
    // write.
    int failed = 0;
    for (int read = 1;; ++read) {
      int reads = 0;
      const Outcome o =
          Run(c, c.sweptOnFile, {.Errno = EIO, .OnRead = FaultAction::Fail, .ReadNumber = read}, &reads);
      if (reads < read) break;
      expectSaid(o, "Input/output error", "read " + std::to_string(read) + " failing");
      ++failed;
    }
    EXPECT_GT(failed, 0);
    // Its file refused at the open.
    if (c.refusedFile) {
      const Outcome refused = Run(c, false, {}, nullptr, c.refusedFile);
      expectSaid(refused, "Permission denied", std::string(c.refusedFile) + " refused");
    }
  }
}

}  // namespace
