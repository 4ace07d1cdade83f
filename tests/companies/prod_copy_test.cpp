// Copying a company's product, vendor or customer files to another company number, through the
// UI seam, on real file sets of the storage engine.

#include "companies/prod_copy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "kill_sweep.h"

#include "platform/files/fault_seam.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_data_files.h"
#include "records/company_rec.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"
#include "support/live_records.h"
#include "support/temp_dir.h"

using namespace records;

namespace {

using companies::TProdCopy;
using platform::ui::mrCancel;
using platform::ui::mrNo;
using platform::ui::mrNone;
using platform::ui::mrOk;
using platform::ui::mrYes;
using testing_support::UiScript;

const QString DefaultCompanyText =
    "You are trying to copy the product file to the current default company. Enter a different company "
    "number to "
    "copy the products to.";
const QString CopyCompleteText =
    "The required files have been copied to specified company. To use it, open that company or create a new "
    "company "
    "using the company number you entered.";

const QString ProductsExistText =
    "Warning! Products exist in the destination company. If you continue, those products will be "
    "overwritten with these products. Continue?";

std::string Bytes(const std::string& name) {
  std::string bytes;
  if (!platform::files::ReadWholeFile(name, &bytes)) return "<missing>";
  return bytes;
}

class ProdCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(storage::IsamInitialize(0, 30), 30);
    records::CurrentCompany = records::DefaultCompanyRecord();
    records::CurrentCompany.CompanyNumber.Set("1");
    companies::CopyDataMode = "P";
    dialog = platform::ui::CreateForm<TProdCopy>();
  }
  void TearDown() override { storage::IsamShutdown(); }

  // A file set of one company and file code holding `count` records keyed by number.
  void MakeFile(const std::string& company, const std::string& fileCode, int count) {
    const std::string base = company + fileCode;
    storage::IsamKeyDescArray keys{};
    keys[0].KeyLength = 10;
    storage::IsamCreateFileBlock(base, 32, 1, keys);
    ASSERT_TRUE(storage::IsamOK) << storage::IsamError;
    storage::IsamFileBlock file = nullptr;
    storage::IsamOpenFileBlock(file, base, false, false, false, false);
    ASSERT_TRUE(storage::IsamOK) << storage::IsamError;
    for (int i = 0; i < count; ++i) {
      char record[32] = {};
      const std::string key = company + "-" + std::to_string(i);
      key.copy(record + 4, key.size());
      storage::IsamRecRef ref = 0;
      storage::IsamAddRec(file, ref, record, sizeof record);
      storage::IsamAddKey(file, 1, ref, key);
      ASSERT_TRUE(storage::IsamOK) << storage::IsamError;
    }
    storage::IsamCloseFileBlock(file);
  }

  // Types the number into the dialog and presses OK.
  platform::ui::TModalResult Copy(const QString& number) {
    ui.OnModal<TProdCopy>([number](TProdCopy& d) {
      d.Edit1->setText(number);
      d.Button1Click();
      if (d.ModalResult() == mrNone) d.SetModalResult(mrCancel);
    });
    return dialog->ShowModal();
  }

  testing_support::TempDir dir;
  UiScript ui;
  std::unique_ptr<TProdCopy> dialog;
};

TEST_F(ProdCopyTest, CaptionAndExplanationFollowTheKind) {
  struct Kind {
    const char* mode;
    const char* plural;
    const char* caption;
  };
  const Kind kinds[] = {{"P", "products", "Copy Products to Another Company"},
                        {"V", "vendors", "Copy Vendors to Another Company"},
                        {"C", "customers", "Copy Customers to Another Company"}};
  for (auto [mode, plural, caption] : kinds) {
    companies::CopyDataMode = mode;
    ui.OnModal<TProdCopy>([&](TProdCopy& d) {
      EXPECT_EQ(d.Caption(), caption);
      EXPECT_EQ(d.Label1->text(),
                QString("This option will copy the current %1 for this company (number 1) to the "
                        "company number you enter below.")
                    .arg(plural));
      EXPECT_EQ(d.Edit1->text(), "0");
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
  }
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProdCopyTest, ProductsReachAnEmptyCompanyWithoutAQuestion) {
  MakeFile("1", "P", 3);
  MakeFile("2", "P", 0);
  ui.ExpectMessage(CopyCompleteText, "Copy Complete");
  EXPECT_EQ(Copy("2"), mrOk);
  EXPECT_EQ(Bytes("2P.DAT"), Bytes("1P.DAT"));
  EXPECT_EQ(Bytes("2P.IX"), Bytes("1P.IX"));
  EXPECT_EQ(records::CountCompanyFileEntries("2", "P"), 3);
  EXPECT_FALSE(platform::files::Exists("2P.DAT.TMP"));
  EXPECT_FALSE(platform::files::Exists("2P.IX.TMP"));
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProdCopyTest, ProductsOfTheDestinationAreOverwrittenOnlyAfterYes) {
  MakeFile("1", "P", 3);
  MakeFile("12", "P", 5);
  const std::string before = Bytes("12P.DAT");
  ui.ExpectMessage(ProductsExistText, "Products Exist").Buttons(platform::ui::MsgButtons::YesNo).Answer(mrNo);
  EXPECT_EQ(Copy("12"), mrOk);
  EXPECT_EQ(Bytes("12P.DAT"), before);

  ui.ExpectMessage(ProductsExistText, "Products Exist").Answer(mrYes);
  ui.ExpectMessage(CopyCompleteText, "Copy Complete");
  EXPECT_EQ(Copy(" 12 "), mrOk);
  EXPECT_EQ(records::CountCompanyFileEntries("12", "P"), 3);
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProdCopyTest, EntriesThatNameNoOtherCompanyAreRefused) {
  MakeFile("1", "P", 1);
  const QString range = "The Company number must be between 0 and 32001.";
  const std::pair<const char*, std::pair<QString, QString>> refusals[] = {
      {"abc",
       {"That is not a valid company number. It must be numeric only.", platform::ui::Application->Title}},
      {"",
       {"That is not a valid company number. It must be numeric only.", platform::ui::Application->Title}},
      {"1,5",
       {"That is not a valid company number. It must be numeric only.", platform::ui::Application->Title}},
      {"0", {range, "Invalid Company Number"}},
      {"32001", {range, "Invalid Company Number"}},
      {"-3", {range, "Invalid Company Number"}},
      {"000012", {range, "Invalid Company Number"}},
      {"  1", {DefaultCompanyText, "Default Company"}},
  };
  for (const auto& [typed, message] : refusals) {
    SCOPED_TRACE(typed);
    ui.ExpectMessage(message.first, message.second);
    EXPECT_EQ(Copy(typed), mrCancel);  // the dialog stayed open until the script closed it
  }
  EXPECT_EQ(platform::files::Resolve("0P.DAT").status, platform::files::ResolveStatus::NotFound);
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProdCopyTest, VendorsAreRefusedWhereThePurchaseOrdersWouldLoseThem) {
  companies::CopyDataMode = "V";
  MakeFile("1", "V", 2);
  MakeFile("3", "V", 4);
  MakeFile("3", "O", 1);
  const std::string before = Bytes("3V.DAT");
  ui.ExpectMessage(
      "The destination company has POs on file. Overwritting those vendors is not supported. Use the EXPORT "
      "and IMPORT "
      "features in the Vendor Manager to export these vendors, then open the destination company and import "
      "them.",
      "POs and Vendors Exist");
  EXPECT_EQ(Copy("3"), mrOk);
  EXPECT_EQ(Bytes("3V.DAT"), before);

  // Vendors without purchase orders are overwritten without a question.
  MakeFile("4", "V", 4);
  ui.ExpectMessage(CopyCompleteText, "Copy Complete");
  EXPECT_EQ(Copy("4"), mrOk);
  EXPECT_EQ(records::CountCompanyFileEntries("4", "V"), 2);
  EXPECT_TRUE(ui.Done());
}

// The copied vendor file is the vendor file of the other company: its vendors are found there by
// their keys, and the open company keeps its own.
TEST_F(ProdCopyTest, CopiedVendorsAreFoundByTheirKeysInTheOtherCompany) {
  companies::CopyDataMode = "V";
  storage::CurrentCompanyNumber = [] {
    return platform::text::TrimBlanks(CurrentCompany.CompanyNumber.Get());
  };
  ASSERT_TRUE(CreateVendorFile() && OpenVendorFile());
  for (int i = 0; i < 120; ++i) {
    VendorRec vendor;
    vendor.VendorNo.Set(std::to_string(700 + i));
    vendor.VendorName.Set("Vendor " + std::to_string(i));
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(AddVendorRecord(vendor, ref));
  }
  storage::IsamCloseFileBlock(VendorFile);
  ui.ExpectMessage(CopyCompleteText, "Copy Complete");
  EXPECT_EQ(Copy("5"), mrOk);

  CurrentCompany.CompanyNumber.Set("5");
  ASSERT_TRUE(OpenVendorFile());
  VendorRec wanted;
  wanted.VendorName.Set("VENDOR 77");
  VendorRec found;
  storage::IsamRecRef ref = 0;
  ASSERT_TRUE(ReadByKey(VendorUnit(), BuildVendorKey(wanted, 1), 1, found, ref));
  EXPECT_EQ(found.VendorNo.Get(), "777");
  EXPECT_EQ(storage::IsamUsedKeys(VendorFile, 2), 120);
  storage::IsamCloseFileBlock(VendorFile);
  storage::CurrentCompanyNumber = nullptr;
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProdCopyTest, CustomersCarryTheirBalancesAndAreRefusedWhereInvoicesExist) {
  companies::CopyDataMode = "C";
  MakeFile("1", "C", 2);
  MakeFile("5", "I", 3);
  ui.ExpectMessage(
      "The destination company has invoices on file. Overwritting those customers is not supported. Use the "
      "EXPORT "
      "and IMPORT features in the Customer Manager to export these customers, then open the destination "
      "company and "
      "import them.",
      "Invoices and Customers Exist");
  EXPECT_EQ(Copy("5"), mrOk);
  EXPECT_FALSE(platform::files::Exists("5C.DAT"));

  ui.ExpectMessage(
      "The customer balances were also transfered to the new company. After you enter your first invoice in "
      "the new "
      "company, run the Aging Chart on the Tools Menu to re-calculate customer balances.",
      "Please Note Customer Balances!");
  ui.ExpectMessage(CopyCompleteText, "Copy Complete");
  EXPECT_EQ(Copy("6"), mrOk);
  EXPECT_EQ(records::CountCompanyFileEntries("6", "C"), 2);
  EXPECT_TRUE(ui.Done());
}

TEST_F(ProdCopyTest, AFailedCopyIsReportedAndNeverCalledComplete) {
  // Nothing to copy: the open company never made a product file.
  ui.ExpectMessage("Unable to copy products: the file 1P.DAT could not be read: No such file or directory.",
                   platform::ui::Application->Title);
  EXPECT_EQ(Copy("2"), mrOk);
  EXPECT_FALSE(platform::files::Exists("2P.DAT"));
  EXPECT_FALSE(platform::files::Exists("2P.IX"));
  EXPECT_FALSE(platform::files::Exists("2P.DAT.TMP"));
  EXPECT_TRUE(ui.Done());
}

// The window's count of the destination's products cannot open it either: an index it cannot read is
// no empty company, and the copy never starts.
TEST_F(ProdCopyTest, AnIndexThatCannotBeReplacedLeavesTheDestinationAsItWas) {
  MakeFile("1", "P", 3);
  MakeFile("7", "P", 0);
  const std::string data = Bytes("7P.DAT");
  const std::string index = Bytes("7P.IX");
  platform::files::File heldIndex;  // another program holds the destination's index open
  ASSERT_TRUE(heldIndex.Open("7P.IX", platform::files::OpenMode::ReadOnly));
  ui.ExpectMessage("The file 7P.IX cannot be opened now: in use by another program.",
                   "Copy Products to Another Company")
      .Icon(platform::ui::MsgIcon::Error);
  EXPECT_EQ(Copy("7"), mrOk);
  std::string failure;
  EXPECT_FALSE(CopyCompanyFiles("1", "7", FileCodeProducts, &failure));
  EXPECT_EQ(failure, "the file 7P.IX could not be opened: in use by another program");
  heldIndex.Close();
  EXPECT_EQ(Bytes("7P.DAT"), data);
  EXPECT_EQ(Bytes("7P.IX"), index);
  EXPECT_FALSE(platform::files::Exists("7P.DAT.TMP"));
  EXPECT_FALSE(platform::files::Exists("7P.IX.TMP"));
  EXPECT_TRUE(ui.Done());
}

// Files `count` products of a company, their codes starting with prefix, and closes the file.
void FileProducts(const std::string& company, const std::string& prefix, int count) {
  CurrentCompany.CompanyNumber.Set(company);
  ASSERT_TRUE(CreateProductFile() && OpenProductFile());
  for (int i = 0; i < count; ++i) {
    ProductRec product;
    product.Code.Set(prefix + std::to_string(100 + i));
    product.Description.Set(prefix + " part " + std::to_string(i % 7));
    product.KeyCode.Set("*NONE*");
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(AddProductRecord(product, ref));
  }
  storage::IsamCloseFileBlock(ProductFile);
  ProductFile = nullptr;
}

// The records the open product file's code index leads to, sorted as LiveRecords sorts them.
std::vector<std::string> ProductsByCode() {
  std::vector<std::string> found;
  ForEachRecordByKey<ProductRec>(ProductFile, 1, [&](const ProductRec& product) {
    found.emplace_back(reinterpret_cast<const char*>(&product), sizeof product);
  });
  std::sort(found.begin(), found.end());
  return found;
}

// What the folder holds under a temporary name of a copy: none of it may outlive the copy.
std::vector<std::string> Temporaries() {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator("."))
    if (const std::string name = entry.path().filename().string();
        name.find(".TMP") != std::string::npos || name.ends_with("tmp~"))
      found.push_back(name);
  return found;
}

// A stop at every write of a copy over the products of another company, by a kill and by a power
// cut: the next open of that company's product file finds its own products or the copied ones,
// never a mix, and an index that leads to exactly the records of its data file; the same copy run
// again then leaves the copied products and nothing under a temporary name.
TEST_F(ProdCopyTest, AStopAtAnyWriteLeavesTheDestinationsProductsOrTheCopiedOnesWhole) {
  namespace fs = std::filesystem;
  using platform::files::FaultAction;
  using testing_support::LiveRecords;
  storage::CurrentCompanyNumber = [] {
    return platform::text::TrimBlanks(CurrentCompany.CompanyNumber.Get());
  };
  const fs::path start = dir.path() / "start";
  fs::create_directory(start);
  fs::current_path(start);
  FileProducts("12", "OLD", 20);
  FileProducts("1", "NEW", 30);
  const std::vector<std::string> own = LiveRecords(start / "12P.DAT");
  const std::vector<std::string> copied = LiveRecords(start / "1P.DAT");
  auto copy = [&] {
    CurrentCompany.CompanyNumber.Set("1");
    ui.ExpectMessage(ProductsExistText, "Products Exist").Answer(mrYes);
    ui.ExpectMessage(CopyCompleteText, "Copy Complete");
    Copy("12");
    return ui.Done();
  };
  for (const FaultAction stop : {FaultAction::Kill, FaultAction::PowerCut}) {
    SCOPED_TRACE(stop == FaultAction::Kill ? "killed" : "power cut");
    int repaired = 0;
    bool copiedSeen = false;
    // The next open of the destination's products, as its company's windows open them.
    auto restart = [&](int status) {
      // A copy that ran to its end leaves the source's very bytes, its repair mark cleared.
      if (status == 0) {
        EXPECT_EQ(Bytes("12P.DAT"), Bytes((start / "1P.DAT").string()));
      }
      CurrentCompany.CompanyNumber.Set("12");
      if (testing_support::MarkedForRepair("12P.DAT")) {
        ++repaired;
        ui.ExpectMessage(storage::kIndexDefectivePrompt, "Products").Answer(mrYes);
      }
      ASSERT_TRUE(OpenProductFile());
      const std::vector<std::string> byCode = ProductsByCode();
      storage::IsamCloseFileBlock(ProductFile);
      ProductFile = nullptr;
      const std::vector<std::string> live = LiveRecords("12P.DAT");
      EXPECT_TRUE(byCode == live) << "the index leads to " << byCode.size()
                                  << " records; the data file holds " << live.size();
      if (live == copied) {
        copiedSeen = true;
      } else {
        EXPECT_TRUE(live == own) << "the destination holds " << live.size() << " products of neither company";
        EXPECT_FALSE(copiedSeen || status == 0);
      }
      EXPECT_TRUE(ui.Done());
      EXPECT_TRUE(copy());
      EXPECT_TRUE(LiveRecords("12P.DAT") == copied);
      EXPECT_EQ(Temporaries(), std::vector<std::string>{});
    };
    testing_support::SweepStopPoints(start, stop, copy, restart);
    EXPECT_TRUE(copiedSeen);
    EXPECT_GT(repaired, 0);
  }
  storage::CurrentCompanyNumber = nullptr;
}

}  // namespace
