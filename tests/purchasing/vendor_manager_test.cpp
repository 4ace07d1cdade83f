// The Vendor Manager worked as a user works it: adding, editing with renumbering, deleting,
// picking and finding, with the stored records read back from the engine's files.
#include "purchasing/vendor_manager.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "exchange/record_export_dialog.h"
#include "forms/find_box.h"
#include "platform/files/file.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "purchasing/vendor_actions.h"
#include "purchasing/vendor_dialog.h"
#include "records/company_file.h"
#include "records/company_rec.h"
#include "records/po_header_file.h"
#include "storage/posting_journal.h"
#include "vendor_fixture.h"

namespace purchasing {

using namespace records;
using namespace forms;
namespace {

using platform::ui::mrCancel;
using platform::ui::mrNo;
using platform::ui::mrOk;
using platform::ui::mrYes;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using testing_support::UiScript;

class VendorManagerTest : public test_fixtures::VendorFixture {
 protected:
  static platform::ui::TModalResult ShowManager() { return CreateVenList().ShowModal(); }
  // The vendor of the highlighted row (the record buffer holds the row built last).
  static VendorRec Highlighted(TVenList& m) {
    int32_t status = 0;
    EXPECT_EQ(m.RecBrowser1->BrowserReadCurrent(status), 0);
    return m.VendRec;
  }
  // Moves the highlight to the vendor named `name`.
  static void Highlight(TVenList& m, const std::string& name) {
    m.RecBrowser1->FirstEntry();
    for (int i = 0; i < 50 && Highlighted(m).VendorName.Get() != name; ++i) m.RecBrowser1->RowDown();
    ASSERT_EQ(Highlighted(m).VendorName.Get(), name);
  }
  // Edits the vendor named `name`, giving it the number `number`.
  static void Renumber(UiScript& ui, const std::string& name, const QString& number) {
    ui.OnModal<TVenList>([name](TVenList& m) {
      Highlight(m, name);
      m.EditCustButnClick();
    });
    ui.OnModal<TVendEdit>([number](TVendEdit& d) {
      EXPECT_EQ(d.Caption(), "Edit Vendor");
      EXPECT_EQ(d.focusWidget(), d.CancelBtn);
      d.CNo->setText(number);
      d.OKBtnClick();
    });
  }
};

TEST_F(VendorManagerTest, AddStoresTheDialogsVendorAndAdvancesTheNextNumber) {
  UiScript ui;
  ui.OnModal<TVenList>([](TVenList& m) {
    EXPECT_EQ(m.Caption(), "Vendor Manager");
    EXPECT_EQ(m.Label1->text(), "Acme Supply - #12");
    EXPECT_EQ(m.StatusText(0), "Vendors: 0");
    m.NewCustButnClick();
    EXPECT_EQ(Highlighted(m).VendorName.Get(), "Bolt Brothers");
    EXPECT_EQ(m.StatusText(0), "Vendors: 1");
  });
  ui.OnModal<TVendEdit>([](TVendEdit& d) {
    EXPECT_EQ(d.Caption(), "Add Vendor");
    EXPECT_EQ(d.CNo->text(), "700");
    EXPECT_EQ(d.focusWidget(), d.CNo);
    EXPECT_EQ(d.CTE->text(), "N");
    EXPECT_EQ(d.CTerms->currentText(), "Net 30 Days");
    d.CName->setText("Bolt Brothers");
    d.CName->editingFinished();
    EXPECT_EQ(d.ShortName->text(), "BBrothers");
    d.CustType->setText("Fasteners");
    d.CTE->setText("y");
    d.CheckBox1->setChecked(true);
    d.CAdd1Edit->setText("4 Quay Street");
    d.CAdd2Edit->setText("Portsmouth");
    EXPECT_EQ(d.CShip2->text(), "Portsmouth");  // auto-copy to shipping
    d.CShip1->setText("Gate 2");
    d.CPhone1->setText("555-0140");
    d.VenEMAdd->setText("  orders@bolt.example  ");  // blanks around it are allowed
    d.CstNote->setPlainText(QString(250, 'n'));
    d.CRHold->setChecked(true);
    d.NotesOnInv->setChecked(true);
    d.OKBtnClick();
  });
  EXPECT_EQ(ShowManager(), mrCancel);
  EXPECT_TRUE(ui.Done());

  const std::vector<VendorRec> stored = StoredVendors();
  ASSERT_EQ(stored.size(), 1u);
  const VendorRec& v = stored[0];
  EXPECT_EQ(v.VendorNo.Get(), "700");
  EXPECT_EQ(v.ShortName.Get(), "BBrothers");
  EXPECT_EQ(v.VendorType.Get(), "Fasteners");
  EXPECT_EQ(v.TaxExempt.Get(), "Y");
  EXPECT_EQ(v.POTerms.Get(), "Net 30 Days");
  EXPECT_EQ(OrderAddressLines(v), (std::array<std::string, 4>{"4 Quay Street", "Portsmouth", "", ""}));
  EXPECT_EQ(ShippingAddressLines(v), (std::array<std::string, 4>{"Gate 2", "Portsmouth", "", ""}));
  EXPECT_EQ(v.VendNotes.Get(), std::string(200, 'n'));
  EXPECT_EQ(v.Hold.Get(), "Y");
  EXPECT_EQ(v.NotesOnPO.Get(), "Y");
  EXPECT_EQ(v.SecondNotesFlag.Get(), "N");
  for (const std::string& amount :
       {v.Balance.Get(), v.Amount1.Get(), v.Amount2.Get(), v.Amount3.Get(), v.Amount4.Get()})
    EXPECT_EQ(amount, "0.00");
  EXPECT_EQ(CurrentCompany.NextVendorNumber.Get(), "701");
  CompanyRec onFile;
  ASSERT_TRUE(ReadCompanyRecord("12", onFile));
  EXPECT_EQ(onFile.NextVendorNumber.Get(), "701");
}

TEST_F(VendorManagerTest, CancelledAddStoresNothingAndANumberThatIsNotWholeLeavesTheCounter) {
  UiScript ui;
  ui.OnModal<TVenList>([](TVenList& m) {
    m.NewCustButnClick();
    m.NewCustButnClick();
  });
  ui.OnModal<TVendEdit>([](TVendEdit& d) {
    d.CName->setText("Nobody");
    d.CancelBtn->click();
  });
  ui.ExpectMessage("Discard this vendor?", "Add Vendor").Answer(platform::ui::mrYes);
  ui.OnModal<TVendEdit>([](TVendEdit& d) {
    EXPECT_EQ(d.CName->text(), "");  // nothing of the cancelled entry is offered again
    d.CNo->setText("A-7");
    d.CName->setText("Anchor Marine");
    d.OKBtnClick();
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  ASSERT_EQ(StoredVendors().size(), 1u);
  EXPECT_EQ(CurrentCompany.NextVendorNumber.Get(), "700");
}

// The new number reaches every PO header of the vendor, and only those: V10 and v2 are other
// vendors, and the key of each header follows its number.
TEST_F(VendorManagerTest, ChangedNumberIsCarriedIntoEveryPOOfTheVendor) {
  File({Vendor("V1", "Bolt Brothers"), Vendor("V10", "Anchor Marine"), Vendor("V2", "Cord Works")});
  FilePOs({{"1001", "V1"}, {"1002", "V10"}, {"1003", "v1"}, {"1004", "V2"}});
  FilePOs({{"1005", " V1 "}}, "2026/12/01");  // received, carried all the same
  UiScript ui;
  ui.ExpectMessage(
        "This vendor has 3 record(s) on file. All have been changed to reflect the new vendor number.",
        "Vendor Number Changed")
      .Icon(MsgIcon::Information);
  Renumber(ui, "Bolt Brothers", "V9");
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(POVendors(), (std::vector<std::string>{"V9", "V10", "V9", "V2", "V9"}));
  EXPECT_EQ(POsIndexedFor("V9"), 3);
  EXPECT_EQ(POsIndexedFor("V1"), 0);
  EXPECT_EQ(POsIndexedFor("V10"), 1);
  EXPECT_EQ(StoredVendors()[2].VendorNo.Get(), "V9");
}

TEST_F(VendorManagerTest, ANumberChangedOnlyInCaseOrBlanksTouchesNoPO) {
  File({Vendor("V1", "Bolt Brothers")});
  FilePOs({{"1001", "V1"}});
  UiScript ui;
  Renumber(ui, "Bolt Brothers", " v1 ");
  ShowManager();
  EXPECT_TRUE(ui.Done());  // no message
  EXPECT_EQ(POVendors(), (std::vector<std::string>{"V1"}));
  EXPECT_EQ(StoredVendors()[0].VendorNo.Get(), "v1");
}

// PO entry may hold the PO header file open while the manager picks for it; renumbering then
// works in that file and leaves it open.
TEST_F(VendorManagerTest, RenumberingUsesAPOFileHeldOpenAndLeavesItOpen) {
  FilePOs({{"1", "500"}, {"2", "500"}, {"3", "5000"}});
  ASSERT_TRUE(OpenPOHeaderFile());
  EXPECT_EQ(RenumberVendorPOs("500", "600"), 2);
  EXPECT_TRUE(storage::IsamIsOpen(POHeaderFile));
  storage::IsamCloseFileBlock(POHeaderFile);
  EXPECT_EQ(POVendors(), (std::vector<std::string>{"600", "600", "5000"}));
  EXPECT_EQ(RenumberVendorPOs("700", "800"), 0);
  EXPECT_FALSE(storage::IsamIsOpen(POHeaderFile));
}

// Refused as well while a posting waits, before anything is asked.
TEST_F(VendorManagerTest, DeleteIsRefusedWhilePOsNameTheVendorEvenWhenReceived) {
  File({Vendor("V1", "Bolt Brothers"), Vendor("V10", "Anchor Marine")});
  FilePOs({{"1001", "V1"}}, "2026/12/01");
  UiScript ui;
  ui.ExpectMessage(
        "Vendor V10 cannot be deleted now: invoice 1004 was interrupted and is not undone yet. Make 12C.DAT "
        "readable and start the program again.",
        "Delete Vendor")
      .Icon(MsgIcon::Warning);
  ui.ExpectMessage(
      "This vendor has Purchase Orders on file and may not be deleted. You can mark this vendor as inactive, "
      "otherwise, wait until you remove their old Purchase Orders, then delete.",
      "Delete Vendor");
  ui.ExpectMessage("Are you sure you want to delete this vendor?", "Delete Vendor#: V10")
      .Buttons(MsgButtons::YesNo)
      .Icon(MsgIcon::Question)
      .Answer(mrNo);
  ui.ExpectMessage("Are you sure you want to delete this vendor?", "Delete Vendor#: V10").Answer(mrYes);
  ui.OnModal<TVenList>([](TVenList& m) {
    Highlight(m, "Anchor Marine");
    storage::KeepJournalWaiting("12", "invoice 1004", "Make 12C.DAT readable and start the program again.");
    m.DeleteCustButnClick();
    storage::ForgetWaitingJournal("12");
    Highlight(m, "Bolt Brothers");
    m.DeleteCustButnClick();
    Highlight(m, "Anchor Marine");  // V10 is not V1, though its key starts alike
    m.DeleteCustButnClick();
    m.DeleteCustButnClick();
    EXPECT_EQ(m.StatusText(0), "Vendors: 1");
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  const std::vector<VendorRec> left = StoredVendors();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].VendorName.Get(), "Bolt Brothers");
}

TEST_F(VendorManagerTest, AnEmptyFileLetsNoRowActionDoAnything) {
  UiScript ui;
  ui.OnModal<TVenList>([](TVenList& m) {
    m.EditCustButnClick();
    m.DeleteCustButnClick();
    m.PrinCustClick();
    m.PrintEnvButnClick();
    m.CopytoClipboard1Click();
    m.RecBrowser1DblClick();
    EXPECT_EQ(m.StatusText(1), "");
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());  // no dialog, no message, no printing
}

TEST_F(VendorManagerTest, PickerModeStartsAtTheCallersVendorAndReturnsTheOnePicked) {
  File({Vendor("500", "Baker"), Vendor("501", "Carter"), Vendor("502", "Dunn")});
  QWidget poEntry;
  poEntry.show();
  VendorPickers.Add(&poEntry);
  CreateVenList();  // made at start-up, before any caller sets the pick mode
  VendorPickMode = 1;
  VendorBuf = Vendor("501", "Carter");
  UiScript ui;
  ui.OnModal<TVenList>([](TVenList& m) {
    EXPECT_EQ(Highlighted(m).VendorName.Get(), "Carter");
    m.RecBrowser1->RowDown();
    m.RecBrowser1DblClick();
  });
  EXPECT_EQ(ShowManager(), mrOk);
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(VendorBuf.VendorName.Get(), "Dunn");
  EXPECT_EQ(VendorBuf.VendorNo.Get(), "502");
  VendorPickers.Remove(&poEntry);
  VendorPickMode = 0;
}

TEST_F(VendorManagerTest, FindMovesToTheChosenVendorAndTheOrderCanChange) {
  VendorRec carter = Vendor("301", "Carter");
  carter.Phone1.Set("555-0199");
  File({Vendor("500", "Baker"), carter, Vendor("100", "Dunn")});
  UiScript ui;
  ui.OnModal<TVenList>([](TVenList& m) {
    m.FinCustButnClick();
    EXPECT_EQ(Highlighted(m).VendorName.Get(), "Carter");
    m.ByNumber1Click();
    EXPECT_TRUE(m.ByNumber1->isChecked());
    EXPECT_FALSE(m.ByName1->isChecked());
    EXPECT_EQ(Highlighted(m).VendorName.Get(), "Carter");  // still highlighted, now by number
    m.RecBrowser1->FirstEntry();
    EXPECT_EQ(Highlighted(m).VendorName.Get(), "Dunn");
    m.ByName1Click();
  });
  ui.OnModal<TFindBox>([](TFindBox& f) {
    EXPECT_EQ(f.Caption(), "Find Vendor");
    f.FindText->setText("0199");
    f.FindButtonClick();
    ASSERT_EQ(f.ListView1->topLevelItemCount(), 1);
    f.ListView1->setCurrentItem(f.ListView1->topLevelItem(0));
    f.ListView1DblClick();
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(VendorSortKey, 1);
}

// The keyboard works the list: Delete asks to delete the highlighted vendor, Enter edits it.
TEST_F(VendorManagerTest, DeleteAndEnterKeysActOnTheHighlightedVendor) {
  File({Vendor("V1", "Bolt Brothers")});
  UiScript ui;
  ui.ExpectMessage("Are you sure you want to delete this vendor?", "Delete Vendor#: V1").Answer(mrNo);
  ui.OnModal<TVenList>([](TVenList& m) {
    QTest::keyClick(m.RecBrowser1, Qt::Key_Delete);
    QTest::keyClick(m.RecBrowser1, Qt::Key_Return);
  });
  ui.OnModal<TVendEdit>([](TVendEdit& d) {
    EXPECT_EQ(d.CName->text(), "Bolt Brothers");
    d.CancelBtn->click();
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(StoredVendors().size(), 1u);
}

TEST_F(VendorManagerTest, ExportsFromTheMenuUseTheFileTheManagerHolds) {
  File({Vendor("V2", "Zenith Parts"), Vendor("V1", "Acme Bolts")});
  UiScript ui;
  ui.ExpectMessage("Export complete. There were 2 records exported.", "Contact Manager Export");
  ui.ExpectSaveFile().Answer("VendList.TXT");
  ui.ExpectMessage("All vendors have been exported to text file.", "Export Complete");
  ui.OnModal<TVenList>([](TVenList& m) {
    m.ExporttoContactManager1->trigger();
    m.ExporttoTextFile1->trigger();
  });
  ui.OnModal<exchange::TVenExport>([](exchange::TVenExport& d) {
    EXPECT_EQ(d.Label3->text(), "You have 2 vendors to export...");
    d.Button1Click();
  });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  std::string cp, list;
  ASSERT_TRUE(platform::files::ReadWholeFile("CPVEND.TXT", &cp));
  ASSERT_TRUE(platform::files::ReadWholeFile("VendList.TXT", &list));
  EXPECT_EQ(cp.substr(0, 18), "\"Acme Bolts\",\"V1\",");
  EXPECT_EQ(list.substr(0, 18), "\"Acme Bolts\",\"V1\",");
  EXPECT_EQ(StoredVendors().size(), 2u);  // the manager closed its file in good order
}

// The tool buttons carry their captions, each its own hint, and the export item its caption. A
// caption without a letter still leaves its button to Alt and a letter: Alt+N adds a vendor.
TEST_F(VendorManagerTest, ToolButtonsAndTheExportItemCarryTheirCaptions) {
  UiScript ui;
  bool adding = false;
  ui.OnModal<TVenList>([&adding](TVenList& m) {
    m.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier);  // where the keyboard is
    QTRY_VERIFY(adding);  // a button pressed by its letter clicks once its press has been seen
  });
  ui.OnModal<TVendEdit>([&adding](TVendEdit& d) { adding = d.Caption() == "Add Vendor"; });
  ShowManager();
  EXPECT_TRUE(ui.Done());
  TVenList& m = CreateVenList();
  const std::pair<QToolButton*, const char*> buttons[] = {
      {m.NewCustButn, "New"},  {m.EditCustButn, "Edit"},        {m.DeleteCustButn, "Delete"},
      {m.FinCustButn, "Find"}, {m.CustBookButn, "Vendor List"}, {m.PrintEnvButn, "Print Envelope"},
      {m.PrinCust, "Print"},   {m.SpeedButton2, "Close"},       {m.SpeedButton3, "Help"},
  };
  for (auto [button, caption] : buttons) {
    EXPECT_EQ(button->text(), caption);
    EXPECT_EQ(button->toolTip(), caption);
  }
  EXPECT_EQ(m.ExporttoContactManager1->text(), "Export to Contact Manager");
}

TEST_F(VendorManagerTest, ActionsOfLaterSubsystemsAreEnabled) {
  TVenList& m = CreateVenList();
  for (QAction* item : {m.New1, m.ExporttoTextFile1, m.ExporttoContactManager1, m.ImportfromTextFile1,
                        m.AddtoLabelQueue1, m.AddtoLabelQueue2})
    EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
}

}  // namespace
}  // namespace purchasing
