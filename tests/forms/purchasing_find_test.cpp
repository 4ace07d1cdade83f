// Find over the vendor file and the PO header file: the fields sought and the rows listed, the
// dialog handing the chosen record to the manager's browser, and a scan that an engine error cut
// short.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include "forms/find_box.h"
#include "forms/find_modes.h"
#include "forms/record_find.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/po_header_file.h"
#include "records/scratch_file_set.h"
#include "records/vendor_file.h"

namespace {
int readsUntilFailure = 0;  // 0: no failure armed
}  // namespace

// Reads fail with EIO from the armed one on, as a failing disk's would.
extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
  using Real = ssize_t (*)(int, void*, size_t, off_t);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "pread"));
  if (readsUntilFailure > 0 && --readsUntilFailure == 0) {
    readsUntilFailure = 1;
    errno = EIO;
    return -1;
  }
  return real(fd, buffer, count, offset);
}

// While a failure is armed the engine cannot map its files either, so that its reads go to the
// failing disk.
extern "C" void* mmap(void* address, size_t length, int protection, int flags, int fd, off_t offset) {
  using Real = void* (*)(void*, size_t, int, int, int, off_t);
  static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "mmap"));
  if (readsUntilFailure > 0 && fd >= 0) {
    errno = ENODEV;
    return MAP_FAILED;
  }
  return real(address, length, protection, flags, fd, offset);
}

namespace forms {

using namespace records;
namespace {

using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using test_fixtures::ScratchFileSet;
using testing_support::UiScript;

std::vector<std::string> Captions(const FindModeDef& mode) {
  std::vector<std::string> captions;
  for (const FindColumn& column : mode.Columns) captions.push_back(column.Caption);
  return captions;
}

// A vendor and a customer with the same texts in the fields the two records share are found by
// the same texts and listed in the same row; only the first column's caption differs.
TEST(PurchasingFindTest, VendorsAreSoughtAndListedAsCustomersAre) {
  AddInvoiceFindMode();
  const FindModeDef& vendors = *FindModeDefinition("Vend");
  const FindModeDef& customers = *FindModeDefinition("Cust");
  EXPECT_EQ(Captions(vendors)[0], "Vendor Name");
  EXPECT_EQ(vendors.Columns[0].Width, 200);
  std::vector<std::string> vendorCaptions = Captions(vendors), customerCaptions = Captions(customers);
  vendorCaptions.erase(vendorCaptions.begin());
  customerCaptions.erase(customerCaptions.begin());
  EXPECT_EQ(vendorCaptions, customerCaptions);

  const char* texts[] = {"Acme", "zebra crossing", "555-0101", "ZEBRA", "z@e.bra", "", "Ze"};
  for (int i = 0; i < 200; ++i) {
    auto text = [&](int field) {
      return std::string(texts[(i * 7 + field * 3) % 7]) + std::to_string(field);
    };
    VendorRec v;
    CustomerRec c;
    v.VendorNo.Set(text(0)), c.CustomerNo.Set(text(0));
    v.VendorName.Set(text(1)), c.CustomerName.Set(text(1));
    v.Phone1.Set(text(2)), c.Phone1.Set(text(2));
    v.OrderAddr1.Set(text(3)), c.CustBillTo1.Set(text(3));
    v.OrderAddr2.Set(text(4)), c.CustBillTo2.Set(text(4));
    v.OrderAddr3.Set(text(5)), c.CustBillTo3.Set(text(5));
    v.OrderAddr4.Set(text(6)), c.CustBillTo4.Set(text(6));
    v.VendEMail.Set(text(7)), c.CustEMail.Set(text(7));
    v.ShipTo1.Set("ZEBRA"), v.VendNotes.Set("ZEBRA");  // not searched
    for (const char* sought : {"ZEBRA", "ACME", "555", "E.BRA", "Q"})
      EXPECT_EQ(RecordMatches(vendors, &v, sought), RecordMatches(customers, &c, sought)) << i << sought;
    EXPECT_EQ(vendors.Row(&v), customers.Row(&c));
  }
}

// The same holds between a PO header and an invoice: the six fields sought and the row listed,
// the total with separators.
TEST(PurchasingFindTest, POHeadersAreSoughtAndListedAsInvoicesAre) {
  AddInvoiceFindMode();
  const FindModeDef& pos = *FindModeDefinition("PO");
  const FindModeDef& invoices = *FindModeDefinition("Inv");
  EXPECT_EQ(Captions(pos), (std::vector<std::string>{"Year/Mo/Dy", "PO#", "Vendor#", "Key Code", "PO Total",
                                                     "Short Name", "Notes/Comment/Reference"}));
  for (int column = 0; column < FindColumnCount; ++column)
    EXPECT_EQ(pos.Columns[column].Width, invoices.Columns[column].Width);

  const char* texts[] = {"1001", "V7", "2026/12/07", "None", "Rush order", "ACME", "1234.5"};
  for (int i = 0; i < 100; ++i) {
    auto text = [&](int field) { return std::string(texts[(i + field * 2) % 7]) + (i % 3 ? "" : "x"); };
    POHeaderRec po;
    InvoiceRec inv;
    po.PONumber.Set(text(0)), inv.InvoiceNo.Set(text(0));
    po.VendorNo.Set(text(1)), inv.InvCustomerNo.Set(text(1));
    po.SortDate.Set(text(2)), inv.SortDate.Set(text(2));
    po.KeyCode.Set(text(3)), inv.KeyCode.Set(text(3));
    po.Notes.Set(text(4)), inv.Notes.Set(text(4));
    po.ShortName.Set(text(5)), inv.ShortName.Set(text(5));
    po.POTotal.Set(text(6)), inv.InvTotal.Set(text(6));
    po.Signature1.Set("ACME RUSH"), po.ShipTo1.Set("ACME RUSH");  // not searched
    for (const char* sought : {"ACME", "RUSH", "2026/12", "V7", "1234", "X"})
      EXPECT_EQ(RecordMatches(pos, &po, sought), RecordMatches(invoices, &inv, sought)) << i << sought;
    EXPECT_EQ(pos.Row(&po), invoices.Row(&inv));
  }
  POHeaderRec po;
  po.POTotal.Set("1234.5");
  EXPECT_EQ(pos.Row(&po)[4], "1,234.50");
}

class PurchasingFindDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UiScript guard;  // makes the application the forms need
    browser_ = std::make_unique<storage::TRecBrowser>();
    storage::IsamInitialize(0, 30);
    storage::CurrentCompanyNumber = [] { return std::string("12"); };
  }
  void TearDown() override {
    platform::ui::Application->DestroyForms();
    FindBox = nullptr;
    browser_.reset();
    for (storage::IsamFileBlock* file : {&VendorFile, &POHeaderFile}) {
      if (*file) storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
    storage::IsamShutdown();
    storage::CurrentCompanyNumber = nullptr;
  }

  // Types the text, searches and double-clicks the row whose column `column` is `wanted`.
  static void PickRow(UiScript& ui, const QString& caption, const QString& text, int column,
                      const QString& wanted) {
    ui.OnModal<TFindBox>([=](TFindBox& f) {
      EXPECT_EQ(f.Caption(), caption);
      f.FindText->setText(text);
      f.FindButtonClick();
      for (int i = 0; i < f.ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = f.ListView1->topLevelItem(i);
        if (item->text(column) != wanted) continue;
        f.ListView1->setCurrentItem(item);
        item->setSelected(true);
      }
      f.ListView1DblClick();
    });
  }

  testing_support::TempDir dir_;
  std::unique_ptr<storage::TRecBrowser> browser_;
};

TEST_F(PurchasingFindDialogTest, TheChosenVendorAndPOAreReadAndShownInTheBrowser) {
  ASSERT_TRUE(CreateVendorFile() && OpenVendorFile());
  for (const auto& [number, name] :
       {std::pair{"100", "Acme Tools"}, {"200", "Bolt Brothers"}, {"300", "Acme Bolts"}}) {
    VendorRec v;
    v.VendorNo.Set(number);
    v.VendorName.Set(name);
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(AddVendorRecord(v, ref));
  }
  VendorRec shown;
  AttachVendorBrowser(*browser_, shown);
  UiScript ui;
  PickRow(ui, "Find Vendor", "bolt", 1, "300");
  EXPECT_TRUE(FindVendor(*browser_, shown));
  EXPECT_EQ(shown.VendorName.Get(), "Acme Bolts");
  EXPECT_EQ(browser_->BrowserCurrentRef(), 3);
  EXPECT_TRUE(ui.Done());

  ASSERT_TRUE(CreatePOHeaderFile() && OpenPOHeaderFile());
  for (const char* number : {"12", "123", "1234"}) {
    POHeaderRec po;
    po.PONumber.Set(number);
    po.Notes.Set("Rush");
    po.SortDate.Set("2026/12/07");  // the row's caption, the same for all three
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(AddPOHeaderRecord(po, ref));
  }
  AttachPOBrowser(*browser_);
  PickRow(ui, "Find PO", "rush", 1, "123");
  EXPECT_TRUE(FindPO(*browser_));
  EXPECT_EQ(POHeaderBuf.PONumber.Get(), "123");
  EXPECT_EQ(browser_->BrowserCurrentRef(), 2);
  EXPECT_TRUE(ui.Done());
}

// A file that cannot be read to its end is reported as such, never as a complete search.
TEST_F(PurchasingFindDialogTest, AScanStoppedByAnErrorSaysSoInsteadOfSearchComplete) {
  ASSERT_TRUE(CreateVendorFile() && OpenVendorFile());
  for (int i = 0; i < 300; ++i) {
    VendorRec v;
    v.VendorNo.Set(std::to_string(i));
    v.VendorName.Set("Vendor " + std::to_string(i));
    storage::IsamRecRef ref = 0;
    ASSERT_TRUE(AddVendorRecord(v, ref));
  }
  storage::IsamCloseFileBlock(VendorFile);
  ASSERT_TRUE(OpenVendorFile());
  readsUntilFailure = 20;  // the disk fails part of the way through the file

  UiScript ui;
  ui.ExpectMessage(
        "The file 12V.DAT cannot be read now: Input/output error. The list shows only the items found before "
        "the error.",
        "Text to Find")
      .Icon(MsgIcon::Error);
  ui.OnModal<TFindBox>([](TFindBox& f) {
    f.FindText->setText("vendor");
    f.FindButtonClick();
    EXPECT_EQ(f.StatusBar1->currentMessage(),
              QString("Search stopped. Found %1 items before it.").arg(f.ListView1->topLevelItemCount()));
    EXPECT_GT(f.ListView1->topLevelItemCount(), 0);
    EXPECT_LT(f.ListView1->topLevelItemCount(), 300);
  });
  EXPECT_FALSE(RunFind("Find Vendor", "Vend"));
  readsUntilFailure = 0;
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace forms
