// The delimited exports and the contact-manager exports over real company files, each file read
// back by Python's csv module (tests/oracles/delimited_reader.py).

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "exchange/contact_export.h"
#include "exchange/record_export.h"
#include "exchange/record_export_dialog.h"
#include "platform/files/file.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/product_file.h"
#include "records/vendor_file.h"
#include "shell/permissions_apply.h"
#include "storage/isam.h"
#include "support/file_records.h"
#include "support/temp_dir.h"

namespace exchange {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using testing_support::UiScript;

// The file as Python's csv module reads it; fails the test when the line ends are wrong or a
// quoted line has an unquoted field.
Rows ReadBack(const std::string& path, const std::string& delimiter, bool quoted) {
  QProcess python;
  python.start("/usr/bin/python3",
               {QString(KESTRAVA_SOURCE_DIR) + "/tests/oracles/delimited_reader.py",
                QString::fromStdString(path), QString::fromStdString(delimiter), quoted ? "quoted" : "bare"});
  EXPECT_TRUE(python.waitForFinished(60000));
  EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  Rows rows;
  for (const QJsonValue& row :
       QJsonDocument::fromJson(python.readAllStandardOutput()).object()["rows"].toArray()) {
    rows.emplace_back();
    for (const QJsonValue& field : row.toArray())
      rows.back().push_back(field.toString().toLatin1().toStdString());
  }
  return rows;
}

records::CustomerRec Customer(const std::string& number, const std::string& name) {
  records::CustomerRec c;
  c.CustomerNo.Set(number);
  c.CustomerName.Set(name);
  c.CustBalance.Set("0.00");
  return c;
}

class RecordExportTest : public ::testing::Test {
 protected:
  RecordExportTest() {
    testing_support::EnsureGuiApplication();
    storage::IsamInitialize(0, 30);
    records::InstallCompanyFileNames();
    records::CurrentCompany = records::DefaultCompanyRecord();
    records::CurrentCompany.CompanyNumber.Set("12");
    EXPECT_TRUE(records::CreateCustomerFile());
    EXPECT_TRUE(records::CreateVendorFile());
    EXPECT_TRUE(records::CreateProductFile());
  }
  ~RecordExportTest() override {
    platform::ui::Application->DestroyForms();
    storage::IsamShutdown();
    records::CurrentCompany = records::CompanyRec{};
  }

  // Three customers filed out of name order: a quote in a name, a comma and a byte 0xE9 in the
  // address, blanks around values, and a one-character name.
  void FileCustomers() {
    records::CustomerRec acme = Customer("C2", "Acme \"Best\" Tools");
    acme.CustBillTo1.Set("12 Main St, Suite 4");
    acme.CustBillTo2.Set(
        "Montr\xE9"
        "al");
    acme.Phone1.Set("  555-0100  ");
    acme.CustEMail.Set("sales@acme.example");
    acme.CustNotes.Set("pays late");
    acme.LastPayment.Set("2026/11/30");
    acme.CustBalance.Set("1,234.50");
    records::CustomerRec zed = Customer("C1", "Zed Hardware");
    records::CustomerRec x = Customer("", "X");
    testing_support::FileRecords<records::CustomerRec>({zed, x, acme}, records::CustomerFile,
                                                       records::OpenCustomerFile, records::AddCustomerRecord);
  }

  // Works the dialog as a user: ticks as `tick` says, chooses the delimiter, saves into path.
  void RunDialog(TRecordExportDialog& dialog, const std::function<void(TRecordExportDialog&)>& choose,
                 const std::string& path, const QString& done) {
    UiScript ui;
    ui.ExpectSaveFile()
        .Inspect([&](const platform::ui::FileDialogRequest& r) {
          EXPECT_EQ(r.filter, "Record List (*.TXT)|*.TXT");
          EXPECT_EQ(r.defaultExt, "TXT");
          EXPECT_TRUE(r.overwritePrompt);
        })
        .Answer(QString::fromStdString(path));
    ui.ExpectMessage(done, "Export Complete");
    dialog.FormShow();
    choose(dialog);
    dialog.Button1Click();
    EXPECT_TRUE(ui.Done());
  }

  testing_support::TempDir dir_;
};

TEST_F(RecordExportTest, CustomerDefaultsQuotedReadBackByCsvInNameOrder) {
  FileCustomers();
  TCustExp& dialog = CreateCustExp();
  dialog.FormShow();
  EXPECT_EQ(dialog.Label3->text(), "You have 3 customers to export...");
  EXPECT_EQ(dialog.windowTitle(), "Customer Export to File");
  RunDialog(
      dialog, [](TRecordExportDialog&) {}, dir_.File("cust.txt"),
      "All customers have been exported to text file.");
  EXPECT_EQ(dialog.Label3->text(), "3 records exported.");

  const Rows rows = ReadBack(dir_.File("cust.txt"), ",", true);
  ASSERT_EQ(rows.size(), 3u);
  const std::vector<std::string> acme = {"Acme \"Best\" Tools",
                                         "C2",
                                         "12 Main St, Suite 4",
                                         "Montr\xE9"
                                         "al",
                                         "",
                                         "",
                                         "",
                                         "",
                                         "",
                                         "",
                                         "555-0100",
                                         "",
                                         "",
                                         "",
                                         "",
                                         "sales@acme.example"};
  EXPECT_EQ(rows[0], acme);
  EXPECT_EQ(rows[1][0], "X");  // the quotes make a one-character name a line of its own
  EXPECT_EQ(rows[2][0], "Zed Hardware");
  for (const auto& row : rows) EXPECT_EQ(row.size(), 16u);
}

TEST_F(RecordExportTest, CustomerTicksKeepTheFixedOrderInEveryDelimiterMode) {
  FileCustomers();
  struct Case {
    std::function<void(TRecordExportDialog&)> choose;
    std::string delimiter;
    bool quoted;
    Rows expected;
  };
  auto untickAllBut = [](std::vector<int> keep) {
    return [keep](TRecordExportDialog& d) {
      for (std::size_t i = 0; i < d.FieldBoxes.size(); ++i)
        d.FieldBoxes[i]->setChecked(std::find(keep.begin(), keep.end(), int(i)) != keep.end());
    };
  };
  const std::vector<Case> cases = {
      // Nothing ticked, comma only: the bare name, and the one-character name writes no line.
      {[&](TRecordExportDialog& d) {
         untickAllBut({})(d);
         d.RadioButton2->setChecked(true);
       },
       ",",
       false,
       {{"Acme \"Best\" Tools"}, {"Zed Hardware"}}},
      // Notes, balance and number ticked (the last first): still number, balance, notes.
      {[&](TRecordExportDialog& d) {
         untickAllBut({11, 9, 0})(d);
         d.RadioButton1->setChecked(true);
       },
       ",",
       true,
       {{"Acme \"Best\" Tools", "C2", "1,234.50", "pays late"},
        {"X", "", "0.00", ""},
        {"Zed Hardware", "C1", "0.00", ""}}},
      // "Character:" with an empty box separates with ";".
      {[&](TRecordExportDialog& d) {
         untickAllBut({0, 10})(d);
         d.RadioButton3->setChecked(true);
         d.Edit1->setText("");
       },
       ";",
       false,
       {{"Acme \"Best\" Tools", "C2", "2026/11/30"}, {"X", "", ""}, {"Zed Hardware", "C1", ""}}},
      {[&](TRecordExportDialog& d) {
         untickAllBut({0})(d);
         d.RadioButton3->setChecked(true);
         d.Edit1->setText("|");
       },
       "|",
       false,
       {{"Acme \"Best\" Tools", "C2"}, {"X", ""}, {"Zed Hardware", "C1"}}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    const std::string path = dir_.File("case" + std::to_string(n++) + ".txt");
    RunDialog(CreateCustExp(), c.choose, path, "All customers have been exported to text file.");
    EXPECT_EQ(ReadBack(path, c.delimiter, c.quoted), c.expected);
  }
}

TEST_F(RecordExportTest, ProductFlagsAreYesForAnyNonZeroByteAndUntickedFieldsDrop) {
  records::ProductRec a;
  a.Code.Set("A-100");
  a.Description.Set("Widget; large");
  a.PODescription.Set("WIDGET L");
  a.TaxOnInvoice = 1;
  a.TaxOnPO = 0;
  a.NonStock = 2;
  a.NonDepleting = 1;
  a.Price.Set("12.50");
  a.ListPrice.Set("15.00");
  a.Cost.Set("7.25");
  a.OnHand.Set("40");
  a.Location.Set("Bin 4");
  a.KeyCode.Set("*NONE*");
  a.MaximumQuantity.Set("100");
  a.MinimumQuantity.Set("10");
  a.TargetQuantity.Set("50");
  testing_support::FileRecords<records::ProductRec>({a}, records::ProductFile, records::OpenProductFile,
                                                    records::AddProductRecord);

  const std::string all = dir_.File("all.txt");
  RunDialog(
      CreateProdExp(), [](TRecordExportDialog&) {}, all, "All products have been exported to text file.");
  EXPECT_EQ(ReadBack(all, ",", true),
            (Rows{{"A-100", "Widget; large", "WIDGET L", "Y", "N", "Y", "Y", "12.50", "15.00", "7.25", "40",
                   "Bin 4", "*NONE*", "100", "10", "50"}}));

  const std::string fewer = dir_.File("fewer.txt");
  RunDialog(
      CreateProdExp(),
      [](TRecordExportDialog& d) {
        d.FieldBoxes[4]->setChecked(false);  // "Non-stock Code"
        d.RadioButton3->setChecked(true);
        d.Edit1->setText("#");
      },
      fewer, "All products have been exported to text file.");
  EXPECT_EQ(ReadBack(fewer, "#", false),
            (Rows{{"A-100", "Widget; large", "WIDGET L", "Y", "N", "Y", "12.50", "15.00", "7.25", "40",
                   "Bin 4", "*NONE*", "100", "10", "50"}}));
}

TEST_F(RecordExportTest, ExportWalksTheFileTheManagerHoldsAndLeavesItUsable) {
  FileCustomers();
  ASSERT_TRUE(records::OpenCustomerFile());  // as the Customer Manager holds it
  RunDialog(
      CreateCustExp(), [](TRecordExportDialog&) {}, dir_.File("held.txt"),
      "All customers have been exported to text file.");
  EXPECT_EQ(ReadBack(dir_.File("held.txt"), ",", true).size(), 3u);
  ASSERT_TRUE(storage::IsamIsOpen(records::CustomerFile));
  EXPECT_EQ(storage::IsamUsedKeys(records::CustomerFile, 1), 3);
  storage::IsamCloseFileBlock(records::CustomerFile);
  records::CustomerFile = nullptr;
}

TEST_F(RecordExportTest, FailuresAreReportedAndNothingIsClaimedOrReplaced) {
  FileCustomers();
  // A file that cannot be written: the system's reason, no success message, the dialog stays.
  UiScript ui;
  const std::string missing = dir_.File("no-such-folder/cust.txt");
  ui.ExpectSaveFile().Answer(QString::fromStdString(missing));
  ui.ExpectMessage(
      QString("Cannot write \"%1\": No such file or directory").arg(QString::fromStdString(missing)),
      "Customer Export to File");
  CreateCustExp().Button1Click();
  EXPECT_TRUE(ui.Done()) << ui.Pending().size();
  EXPECT_FALSE(std::filesystem::exists(missing));

  // Cancelling the save dialog does nothing at all.
  UiScript cancel;
  cancel.ExpectSaveFile().Cancel();
  CreateCustExp().Button1Click();
  EXPECT_TRUE(cancel.Done());

  // An engine failure other than the end of the index is not a normal end.
  const ExportLines broken = CollectLines(nullptr, sizeof(records::CustomerRec),
                                          [](const void*) { return std::optional<std::string>("line"); });
  EXPECT_NE(broken.engineError, 0);
  EXPECT_TRUE(broken.lines.empty());
  // An empty file ends normally with no lines.
  const ExportLines empty = ExportRecords(VendorExportKind(), {}, {});
  EXPECT_EQ(empty.engineError, 0);
  EXPECT_TRUE(empty.lines.empty());
}

// A file that cannot be opened is said with its name and the system's reason, and nothing is
// exported: never "0 records exported", never the engine's number alone.
TEST_F(RecordExportTest, AnExportOrItsCountOfAFileThatCannotBeOpenedNamesTheFileAndItsReason) {
  FileCustomers();
  const std::filesystem::path file = std::filesystem::current_path() / "12C.DAT";
  std::filesystem::permissions(file, std::filesystem::perms::none);
  ExportLines refused;
  {
    UiScript ui;
    testing_support::PermissionsApply asAUser;
    refused = ExportRecords(CustomerExportKind(), {}, {});
    // The window's count is no "You have 0 customers" for a file it could not open.
    auto& dialog = CreateCustExp();
    dialog.FormShow();
    EXPECT_EQ(dialog.Label3->text(), "The file 12C.DAT cannot be opened now: Permission denied.");
    EXPECT_TRUE(ui.Done());
  }
  std::filesystem::permissions(file,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_TRUE(refused.lines.empty());
  EXPECT_NE(refused.engineError, 0);
  EXPECT_EQ(EngineFailureText("customer file", refused),
            "The file 12C.DAT cannot be opened now: Permission denied.  Nothing was exported.");
}

TEST_F(RecordExportTest, ContactManagerFilesHoldNineteenQuotedFieldsOfEveryNamedRecord) {
  FileCustomers();
  records::VendorRec v;
  v.VendorNo.Set("V1");
  v.VendorName.Set("Bolt, Nut & Co");
  v.Balance.Set("88.00");
  v.LastPayment.Set("2026/10/01");
  v.VendNotes.Set("net 30");
  v.VendorType.Set("Parts");
  records::VendorRec q;
  q.VendorName.Set("Q");
  q.VendEMail.Set("q@example.com");
  testing_support::FileRecords<records::VendorRec>({q, v}, records::VendorFile, records::OpenVendorFile,
                                                   records::AddVendorRecord);

  // An old file is replaced whole by the second run.
  ASSERT_TRUE(platform::files::WriteWholeFile("CPCUST.TXT", "\"old\"\r\n\"old\"\r\n\"old\"\r\n\"old\"\r\n"));
  for (int run = 0; run < 2; ++run) {
    UiScript ui;
    ui.ExpectMessage("Export complete. There were 2 records exported.", "Contact Manager Export");
    ContactManagerExportCustomers();
    EXPECT_TRUE(ui.Done());
  }
  const Rows customers = ReadBack(dir_.File("CPCUST.TXT"), ",", true);
  ASSERT_EQ(customers.size(), 2u);  // "X" is left out
  EXPECT_EQ(customers[0],
            (std::vector<std::string>{"Acme \"Best\" Tools", "C2", "12 Main St, Suite 4",
                                      "Montr\xE9"
                                      "al",
                                      "", "", "", "", "", "", "555-0100", "", "", "", "",
                                      "sales@acme.example", "1,234.50", "2026/11/30", "pays late"}));
  EXPECT_EQ(customers[1].size(), 19u);

  UiScript ui;
  ui.ExpectMessage("Export complete. There were 1 records exported.", "Contact Manager Export");
  ContactManagerExportVendors();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(ReadBack(dir_.File("CPVEND.TXT"), ",", true),
            (Rows{{"Bolt, Nut & Co", "V1", "", "", "", "", "", "", "", "", "", "", "Parts", "", "", "",
                   "88.00", "2026/10/01", "net 30"}}));
}

}  // namespace
}  // namespace exchange
