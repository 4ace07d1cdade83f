// The vendor dialog's checks, in their order, each refusing with its message and keeping the
// dialog open at the field named.
#include "purchasing/vendor_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>

#include "platform/ui/support/ui_script.h"
#include "purchasing/vendor_actions.h"
#include "purchasing/vendor_manager.h"
#include "records/company_rec.h"
#include "vendor_fixture.h"

namespace purchasing {

using namespace records;
namespace {

using platform::ui::mrNone;
using platform::ui::mrOk;
using platform::ui::MsgIcon;
using testing_support::UiScript;

struct Entry {
  QString number, name, email;
};

struct Refusal {
  Entry entry;
  QString text, title;  // empty: accepted
  enum Field { None, Number, Name, EMail } field = None;
};

const QString NumberTaken = "That vendor number already exists. You will need to use a different number.";
const QString NameTaken =
    "That vendor name already exists. You should not enter the same vendor name with a different vendor "
    "number.";
const QString MailTitle = "Vendor E-Mail Address";

class VendorDialogTest : public test_fixtures::VendorFixture {
 protected:
  VendorDialogTest() { File({Vendor("V1", "Bolt Brothers"), Vendor("0", "Zero Supply")}); }

  // Types each entry into the dialog of New (or of Edit on "Bolt Brothers") and presses OK.
  static void Check(bool edit, const std::vector<Refusal>& cases) {
    for (const Refusal& c : cases) {
      SCOPED_TRACE(c.entry.number.toStdString() + "/" + c.entry.name.toStdString() + "/" +
                   c.entry.email.toStdString());
      UiScript ui;
      if (!c.text.isEmpty()) ui.ExpectMessage(c.text, c.title).Icon(MsgIcon::Warning);
      ui.OnModal<TVenList>([edit](TVenList& m) {
        auto highlighted = [&m] {
          int32_t status = 0;
          m.RecBrowser1->BrowserReadCurrent(status);
          return m.VendRec.VendorName.Get();
        };
        m.RecBrowser1->FirstEntry();
        for (int row = 0; row < 3 && highlighted() != "Bolt Brothers"; ++row) m.RecBrowser1->RowDown();
        edit ? m.EditCustButnClick() : m.NewCustButnClick();
      });
      ui.OnModal<TVendEdit>([&c](TVendEdit& d) {
        d.CNo->setText(c.entry.number);
        d.CName->setText(c.entry.name);
        d.VenEMAdd->setText(c.entry.email);
        d.OKBtnClick();
        if (c.text.isEmpty()) {
          EXPECT_EQ(d.ModalResult(), mrOk);
        } else {
          EXPECT_EQ(d.ModalResult(), mrNone);
          const QWidget* fields[] = {nullptr, d.CNo, d.CName, d.VenEMAdd};
          EXPECT_EQ(d.focusWidget(), fields[c.field]);
          d.CancelDiscarding();
        }
      });
      CreateVenList().ShowModal();
      EXPECT_TRUE(ui.Done());
    }
  }
};

TEST_F(VendorDialogTest, AddRunsTheChecksInOrder) {
  Check(false, {
                   {{" ", "", "x"}, "You must enter a vendor number.", "Vendor Number", Refusal::Number},
                   {{"V7", "  ", "x"}, "You must enter a vendor name.", "Vendor Name", Refusal::Name},
                   {{"V7", "Anchor", "anchor.example"},
                    "The vendor e-mail address does not have the @ sign included. Incomplete e-mail address.",
                    MailTitle,
                    Refusal::EMail},
                   {{"V7", "Anchor", "a b@anchor.example"},
                    "The vendor e-mail address has a blank space. Invalid e-mail address.",
                    MailTitle,
                    Refusal::EMail},
                   {{"V7", "Anchor", "a@anchor"},
                    "The vendor e-mail address does not have a period (.) included. Invalid e-mail address.",
                    MailTitle,
                    Refusal::EMail},
                   {{" v1 ", "Anchor", ""}, NumberTaken, "Vendor Number", Refusal::Number},
                   {{"V7", "BOLT brothers ", ""}, NameTaken, "Duplicate Vendor Name", Refusal::Name},
               });
  EXPECT_EQ(StoredVendors().size(), 2u);
}

// While adding, no number is the vendor's own: "0" on file is refused as any other number is, and
// so is the name of the vendor that has it. Editing accepts the vendor's own number and name.
TEST_F(VendorDialogTest, AddRefusesTheNumberZeroOnFileAndEditAcceptsTheVendorsOwnNumberAndName) {
  Check(false, {{{" 0", "Anchor", ""}, NumberTaken, "Vendor Number", Refusal::Number},
                {{"V7", "zero SUPPLY", ""}, NameTaken, "Duplicate Vendor Name", Refusal::Name},
                {{"V7", "Anchor", " a@anchor.example "}, "", ""}});
  Check(true, {{{"v1", "Bolt Brothers", ""}, "", ""},
               {{"0", "Bolt Brothers", ""}, NumberTaken, "Vendor Number", Refusal::Number},
               {{"V1", "Zero supply", ""}, NameTaken, "Duplicate Vendor Name", Refusal::Name}});
  EXPECT_EQ(StoredVendors().size(), 3u);
}

// The vendor number that fills the 8 characters of a vendor number is told as it is taken, and
// the next New offers no number (the counter, 10 characters wide, is not cut back to 8).
TEST_F(VendorDialogTest, TheLastNumberAVendorNumberHoldsIsToldAndTheNextIsAskedFor) {
  UiScript ui;
  ui.OnModal<TVenList>([](TVenList& m) { m.NewCustButnClick(); });
  ui.OnModal<TVendEdit>([](TVendEdit& d) {
    d.CNo->setText("99999999");
    d.CName->setText("Anchor");
    d.OKBtnClick();
  });
  ui.ExpectMessage(
        "Vendor number 99999999 is the largest number the 8 characters of a vendor number hold, so no next "
        "vendor number will be offered: type the next one yourself.",
        "Vendor Number")
      .Icon(MsgIcon::Information);
  CreateVenList().ShowModal();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(CurrentCompany.NextVendorNumber.Get(), "");

  // Nor is a counter that an earlier version kept past the field offered cut short.
  for (const char* counter : {"", "100000000"}) {
    CurrentCompany.NextVendorNumber.Set(counter);
    UiScript next;
    next.OnModal<TVenList>([](TVenList& m) { m.NewCustButnClick(); });
    next.OnModal<TVendEdit>([](TVendEdit& d) {
      EXPECT_EQ(d.CNo->text(), "");
      d.CancelDiscarding();
    });
    CreateVenList().ShowModal();
    EXPECT_TRUE(next.Done()) << counter;
  }
  EXPECT_EQ(StoredVendors().size(), 3u);
}

// Every caption of the dialog, word for word.
TEST_F(VendorDialogTest, TheDialogsCaptionsAreTheVendorsOwn) {
  TVendEdit& d = CreateVendEdit();
  QStringList captions;
  for (const QLabel* label : d.findChildren<QLabel*>())
    if (!label->text().isEmpty()) captions << label->text();
  for (const QAbstractButton* button : d.findChildren<QAbstractButton*>()) captions << button->text();
  captions.sort();
  QStringList expected = {"&Vendor #:",
                          "Vendor / Company Name:",
                          "Short Name:",
                          "Vendor Type:",
                          "PO Payment Terms:",
                          "TE:",
                          "Mail &List Sort Code:",
                          "&E-Mail:",
                          "&Order Address:",
                          "&Shipping Address:",
                          "&Phone1:",
                          "Pho&ne2:",
                          "Notes / Comments:",
                          "Print notes / comments on PO's",
                          "Hol&d / Inactive Account",
                          "Copy Billing &to Shipping",
                          "Clea&r Shipping",
                          "&Auto-Copy to Shipping",
                          "&Ok",
                          "&Cancel",
                          "&Help"};
  expected.sort();
  EXPECT_EQ(captions, expected);
}

TEST_F(VendorDialogTest, ShortNameAndShippingButtons) {
  UiScript ui;
  ui.OnModal<TVenList>([](TVenList& m) { m.NewCustButnClick(); });
  ui.OnModal<TVendEdit>([](TVendEdit& d) {
    for (const auto& [name, shortName] :
         std::initializer_list<std::pair<QString, QString>>{{"  Acme  ", "Acme"},
                                                            {"Northernlightsoutfitters", "Northernli"},
                                                            {"Bolt Brothers and Sons", "BBrothers "},
                                                            {"Cord  Works", "C Works"}}) {
      d.ShortName->clear();
      d.CName->setText(name);
      d.CNameExit();
      EXPECT_EQ(d.ShortName->text(), shortName) << name.toStdString();
    }
    d.CNameExit();
    EXPECT_EQ(d.ShortName->text(), "C Works");  // a short name once there is kept
    // Tab goes down the rows on top, then into the addresses, then to the notes.
    EXPECT_EQ(d.CName->nextInFocusChain(), d.ShortName);
    EXPECT_EQ(d.VenEMAdd->nextInFocusChain(), d.CAdd1Edit);
    EXPECT_EQ(d.CAdd4Edit->nextInFocusChain(), d.CShip1);
    EXPECT_EQ(d.CheckBox1->nextInFocusChain(), d.CstNote);
    d.CheckBox1->setChecked(false);
    d.CAdd1Edit->setText("1 Main Street");
    EXPECT_EQ(d.CShip1->text(), "");
    d.Button1Click();
    EXPECT_EQ(d.CShip1->text(), "1 Main Street");
    d.Button2Click();
    EXPECT_EQ(d.CShip1->text(), "");
    d.CancelDiscarding();
  });
  CreateVenList().ShowModal();
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace purchasing
