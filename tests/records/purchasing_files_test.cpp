// The vendor file and the PO header file on the storage engine, through their data-file
// routines, with the user's answers to the notices they show.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/po_header_file.h"
#include "records/vendor_file.h"
#include "support/temp_dir.h"

namespace records {
namespace {

using platform::ui::mrOk;
using storage::IsamRecRef;
using testing_support::UiScript;

class PurchasingFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    storage::IsamInitialize(0, 30);
    storage::CurrentCompanyNumber = [] { return std::string("12"); };
  }
  void TearDown() override {
    EXPECT_TRUE(ui_.Done());
    for (storage::IsamFileBlock* file : {&VendorFile, &POHeaderFile}) {
      if (*file) storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
    storage::IsamShutdown();
    storage::CurrentCompanyNumber = nullptr;
    platform::ui::Application->DestroyForms();
  }

  void OpenVendors() {
    ui_.ExpectMessage("I am going to create a new, empty vendor file for this company.", "New Company")
        .Answer(mrOk);
    ASSERT_TRUE(OpenVendorFile());
    EXPECT_TRUE(std::filesystem::exists(dir_.File("12V.DAT")));
  }
  void OpenPOHeaders() {
    ui_.ExpectMessage("I am going to create a new, empty Purchase Order file for this company.",
                      "New Purchase Order File")
        .Answer(mrOk);
    ASSERT_TRUE(OpenPOHeaderFile());
    EXPECT_TRUE(std::filesystem::exists(dir_.File("12O.DAT")));
  }

  static bool AddVendor(const char* number, const char* name) {
    VendorRec vendor;
    vendor.VendorNo.Set(number);
    vendor.VendorName.Set(name);
    IsamRecRef ref = 0;
    return AddVendorRecord(vendor, ref);
  }

  static IsamRecRef AddPO(const char* number, const char* vendor, const char* received) {
    POHeaderBuf = POHeaderRec{};
    POHeaderBuf.PONumber.Set(number);
    POHeaderBuf.POStatus.Set("O");
    POHeaderBuf.VendorNo.Set(vendor);
    POHeaderBuf.SortDate.Set("2026/12/07");
    POHeaderBuf.ReceivedDate.Set(received);
    POHeaderBuf.DateRequired.Set("2026/12/24");
    IsamRecRef ref = 0;
    EXPECT_TRUE(AddPOHeaderRecord(POHeaderBuf, ref)) << storage::IsamError;
    return ref;
  }

  testing_support::TempDir dir_;
  UiScript ui_;
};

TEST_F(PurchasingFilesTest, VendorNamesAreUniqueWhateverTheirCaseButNumbersMayRepeat) {
  OpenVendors();
  EXPECT_TRUE(AddVendor("100", "Acme Tools"));
  EXPECT_FALSE(AddVendor("101", "  ACME tools "));  // the same key 1
  EXPECT_TRUE(AddVendor("100", "Bolt Supply"));     // only the dialog keeps numbers apart
  EXPECT_EQ(storage::IsamUsedRecs(VendorFile), 2);
  EXPECT_EQ(storage::IsamUsedKeys(VendorFile, 1), 2);
  EXPECT_EQ(storage::IsamUsedKeys(VendorFile, 2), 2);
}

TEST_F(PurchasingFilesTest, OpenPOsSortFirstByReceivedDateAndNumbersAreFoundExactly) {
  OpenPOHeaders();
  const IsamRecRef received = AddPO("1234", "V1", "2026/12/01");
  const IsamRecRef open = AddPO("123", "V1", " ");
  const IsamRecRef twin = AddPO("1234", "V2", " ");  // every key takes duplicates
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(storage::IsamUsedKeys(POHeaderFile, k), 3) << k;

  storage::IsamKeyStr key;
  IsamRecRef ref = 0;
  storage::IsamNextKey(POHeaderFile, 6, ref, key);
  ASSERT_TRUE(storage::IsamOK);
  EXPECT_EQ(key, std::string(10, ' '));
  EXPECT_NE(ref, received);

  key = "12       ";  // nothing is numbered 12: the search lands on 123, which is not it
  EXPECT_FALSE(FindPOByNumber(key, ref));
  key = "123      ";
  ASSERT_TRUE(FindPOByNumber(key, ref));
  EXPECT_EQ(ref, open);
  EXPECT_EQ(RecordsWithKey(POHeaderFile, 1, "1234     ").size(), 2u);
  EXPECT_EQ(RecordsWithKey(POHeaderFile, 2, "V2      "), std::vector<IsamRecRef>{twin});

  // Receiving the open PO moves its key 6 entry from the blanks to the date.
  ASSERT_TRUE(ChangePOHeaderKey(std::string(10, ' '), "2026/12/09", open, 6));
  EXPECT_EQ(RecordsWithKey(POHeaderFile, 6, "2026/12/09"), std::vector<IsamRecRef>{open});
}

TEST_F(PurchasingFilesTest, APOHeaderChangedSinceEditingBeganIsRefused) {
  OpenPOHeaders();
  const IsamRecRef ref = AddPO("500", "V1", " ");
  const POHeaderRec before = POHeaderBuf;
  POHeaderRec elsewhere = before;
  elsewhere.Notes.Set("changed by another window");
  ASSERT_TRUE(UpdatePOHeaderRecord(elsewhere, before, ref));

  POHeaderRec mine = before;
  mine.VendorNo.Set("V9");
  ui_.ExpectMessage("The record has changed in the meantime.", platform::ui::Application->Title);
  EXPECT_FALSE(UpdatePOHeaderRecord(mine, before, ref));
  EXPECT_TRUE(RecordsWithKey(POHeaderFile, 2, "V9      ").empty());
}

}  // namespace
}  // namespace records
