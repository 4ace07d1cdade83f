// The Vendor Manager's outputs: the list report in the list window, the vendor card and the
// envelope on a recording printer, the clipboard, and a look at the window.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "forms/list_window.h"
#include "platform/files/path.h"
#include "platform/text/clock.h"
#include "platform/ui/desktop.h"
#include "platform/ui/support/ui_script.h"
#include "purchasing/vendor_dialog.h"
#include "purchasing/vendor_manager.h"
#include "purchasing/vendor_texts.h"
#include "records/company_rec.h"
#include "support/recording_printer.h"
#include "support/whole_window.h"
#include "vendor_fixture.h"

namespace purchasing {

using namespace records;
using namespace forms;
namespace {

using platform::ui::mrCancel;
using platform::ui::mrNo;
using platform::ui::mrYes;
using testing_support::UiScript;

std::string Pad(const std::string& text, std::size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

// A stopped clock, a recording printer and a vendor with every field the outputs show.
class VendorOutputTest : public test_fixtures::VendorFixture {
 protected:
  static VendorRec Bolt() {
    VendorRec v = Vendor("V1", "Bolt Brothers");
    v.ShortName.Set("BBROTHERS");
    v.VendorType.Set("Fasteners");
    v.LastPayment.Set("03/01/2026");
    v.Balance.Set("1234.5");
    v.Phone1.Set("555-0140");
    v.Phone2.Set("555-0141");
    v.POTerms.Set("Net 30 Days");
    v.OrderAddr1.Set("4 Quay Street");
    v.OrderAddr2.Set("Portsmouth");
    v.ShipTo1.Set("Gate 2");
    v.VendEMail.Set("orders@bolt.example");
    v.MailSortCode.Set("SOUTH");
    v.TaxExempt.Set("Y");
    v.VendNotes.Set("Closed on Mondays");
    return v;
  }
  QStringList Calls() const { return printer_.Calls(); }

  testing_support::ScopedRecordingPrinter printer_;
  platform::text::FixedClock clock_{QDateTime(QDate(2026, 3, 5), QTime(14, 7))};
};

TEST_F(VendorOutputTest, BrowserRowsAndListLinesPadTheirColumns) {
  EXPECT_EQ(VendorBrowserHeader(), Pad(Pad("Name", 36) + Pad("Number", 9) + "Phone Number(s)", 128));
  VendorRec v = Bolt();
  v.VendorName.Set(std::string(35, 'N'));
  v.VendorNo.Set(" V1 ");
  EXPECT_EQ(VendorBrowserRow(v), Pad(std::string(35, 'N') + " " + Pad("V1", 9) + "555-0140", 128));

  const std::string rule(80, '-');
  EXPECT_EQ(
      VendorListEntry(Bolt(), true),
      (std::vector<std::string>{
          Pad("Bolt Brothers", 35) + "     Number: V1          Balance: 1,234.50",
          "Short Name: BBROTHERS     Type: " + Pad("Fasteners", 25) + "   Last Pmt: 03/01/2026",
          "Phone1: " + Pad("555-0140", 25) + "     Phone2: 555-0141", "Payment Terms: Net 30 Days",
          Pad("Billing Address:", 35) + "     Shipping Address:", Pad("4 Quay Street", 35) + "     Gate 2",
          Pad("Portsmouth", 35) + "     ", Pad("", 40), Pad("", 40), rule}));
  EXPECT_EQ(VendorListEntry(Bolt(), false).size(), 5u);
  EXPECT_EQ(VendorListHeading("Acme Supply", platform::text::Now()),
            (std::vector<std::string>{"Vendor List for Acme Supply",
                                      "Date: Thursday, March 5, 2026, 02:07 PM", rule}));
}

TEST_F(VendorOutputTest, VendorListGoesToTheListWindowInTheChosenOrder) {
  VendorRec zed = Bolt();
  zed.VendorNo.Set("A0");
  zed.VendorName.Set("Zed");
  VendorRec nameless = Bolt();
  nameless.VendorNo.Set("  ");
  nameless.VendorName.Set("No Number");
  File({Bolt(), zed, nameless});
  UiScript ui;
  ui.ExpectMessage("Do you want to include the vendor addresses on this list?", "Vendor List").Answer(mrYes);
  ui.ExpectMessage("Vendors will be sorted by name. Would you rather sort by vendor number?", "Vendor Sort")
      .DefaultButton(mrNo)
      .Answer(mrYes);
  ui.ExpectMessage("Do you want to include the vendor addresses on this list?", "Vendor List")
      .Answer(mrCancel);
  ui.OnModal<TVenList>([](TVenList& m) {
    m.CustBookButnClick();
    m.CustBookButnClick();  // cancelled at once
  });
  ui.OnModal<TListWindow>([](TListWindow& w) {
    EXPECT_EQ(w.Caption(), "Vendor List by Number");
    EXPECT_EQ(ListWindowFileName, "Vendor");
    const std::vector<std::string> lines = w.Lines();
    ASSERT_EQ(lines.size(), 3u + 2 * 10);
    EXPECT_EQ(lines[0], "Vendor List for Acme Supply");
    EXPECT_EQ(lines[3].substr(0, 3), "Zed");  // A0 before V1; the one without a number is left out
    EXPECT_EQ(lines[13].substr(0, 13), "Bolt Brothers");
  });
  CreateVenList().ShowModal();
  EXPECT_TRUE(ui.Done());
  EXPECT_FALSE(platform::files::Exists("TXTTEMP.TXT"));
}

TEST_F(VendorOutputTest, CardEnvelopeAndClipboardOfTheHighlightedVendor) {
  CurrentCompany.FormLeftMargin.Set("60");
  CurrentCompany.FormTopMargin.Set("60");
  CurrentCompany.PrintReturnAddress.Set("N");
  CurrentCompany.EnvelopeAddressUsed.Set("S");
  File({Bolt()});
  UiScript ui;
  ui.OnModal<TVenList>([](TVenList& m) {
    m.PrinCustClick();
    EXPECT_EQ(m.StatusText(1), "Vendor: Bolt Brothers sent to printer.");
    m.PrintEnvButnClick();
    EXPECT_EQ(m.StatusText(1), "Envelope for Bolt Brothers sent to printer.");
    m.CopytoClipboard1Click();
    EXPECT_EQ(m.StatusText(1), "Vendor: Bolt Brothers copied to clipboard.");
  });
  CreateVenList().ShowModal();
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(platform::ui::ClipboardText(), "Bolt Brothers\n4 Quay Street\nPortsmouth\n\n");

  const QStringList calls = Calls();
  const qsizetype envelope = calls.indexOf(QRegularExpression("BeginDoc\\(\"Envelope\".*"));
  ASSERT_GT(envelope, 6);
  const QStringList card = calls.mid(0, envelope);
  // Report font Arial 10 bold: lines 50 high, the title 100, gaps 25; left 60 x 2, top 60 x 4.
  EXPECT_EQ(card[0], "BeginDoc(\"Print: Bolt Brothers\", portrait, 2400x3150)");
  EXPECT_EQ(card[1], "TextOut(120, 240, \"Vendor: Bolt Brothers\")");
  EXPECT_TRUE(card[2].startsWith("MoveTo(120, 340)")) << card[2].toStdString();
  // The rule runs to the page's width less twice the left margin.
  EXPECT_TRUE(card[3].startsWith("LineTo(2280, 340)")) << card[3].toStdString();
  for (const char* line :
       {"Vendor Number: V1", "Short Name: BBROTHERS", "Type: Fasteners", "PO Terms: Net 30 Days",
        "Tax Exempt: Yes", "Billing Address:", "4 Quay Street", "Phone 1: 555-0140",
        "Shipping Address:", "Gate 2", "Phone 2: 555-0141", "E-mail: orders@bolt.example",
        "Mail List Sort Code: SOUTH", "Notes / Comments:", "Closed on Mondays",
        "Printed: Thursday, March 5, 2026, 02:07 PM", "from default company: Acme Supply"})
    EXPECT_EQ(card.filter(QString("\"%1\")").arg(line)).size(), 1) << line;
  EXPECT_EQ(card.back(), "EndDoc");
  // The envelope goes to the shipping address, as the company says.
  EXPECT_TRUE(calls.mid(envelope).contains("TextOut(1200, 640, \"Gate 2\")"));
  EXPECT_EQ(calls.back(), "EndDoc");
}

// A few hundred vendors page through the browser.
TEST_F(VendorOutputTest, ListsAFewHundredVendors) {
  std::vector<VendorRec> vendors;
  for (int i = 1; i <= 300; ++i) {
    VendorRec v = Bolt();
    v.VendorNo.Set(std::to_string(1000 + i));
    v.VendorName.Set("Vendor " + std::to_string(100000 + i * 7919 % 90000));
    vendors.push_back(v);
  }
  File(vendors);
  UiScript ui;
  ui.OnModal<TVenList>([](TVenList& m) {
    EXPECT_EQ(m.StatusText(0), "Vendors: 300");
    m.RecBrowser1->LastEntry();
    testing_support::ExpectWholeWindow(m, "vendor_manager");
    m.EditCustButnClick();
  });
  ui.OnModal<TVendEdit>([](TVendEdit& d) {
    testing_support::ExpectWholeWindow(d, "vendor_dialog");
    d.CancelBtn->click();
  });
  CreateVenList().ShowModal();
  EXPECT_TRUE(ui.Done());
}

}  // namespace
}  // namespace purchasing
