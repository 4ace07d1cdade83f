#include "po_entry_fixture.h"

#include <QDir>
#include <QPixmap>

#include "forms/cal_form.h"
#include "forms/run_state.h"
#include "forms/shipping_address_dialog.h"
#include "platform/ui/application.h"
#include "platform/ui/modal_result.h"
#include "products/product_manager.h"
#include "purchasing/po_add.h"
#include "purchasing/po_edit.h"
#include "purchasing/receiving_wizard.h"
#include "purchasing/vendor_manager.h"
#include "records/company_file.h"
#include "records/payment_terms.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "storage/stat_form.h"
#include "support/tab_order.h"
#include "support/whole_window.h"

using namespace purchasing;

namespace test_fixtures {

POEntryTest::POEntryTest() {
  EXPECT_TRUE(records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) {
    c.CompanyName.Set("Acme Supply");
    c.DefaultPOKind.Set("P");
    c.DefaultInvoiceQuantity.Set("1");
    c.DefaultTaxRate.Set("8.25");
    c.CalculatePOTaxes = 1;
    c.DefaultPOTerms.Set("Net 30 Days");
    c.POSignature1.Set("Buyer: J. Smith");
    c.POShipTo1.Set("Acme Supply");
    c.POShipTo2.Set("1 Dock Road");
    c.PONumberPrefix.Set("N");
    c.AuditTrail.Set("N");
  }));
  EXPECT_TRUE(records::SavePaymentTerms({"Net 30 Days", "Due on receipt"}));
  records::ProductRec bolt{};
  bolt.Code.Set("BOLT");
  bolt.PODescription.Set("Hex bolt");
  bolt.Cost.Set("0.50");
  bolt.Price.Set("0.90");
  bolt.OnHand.Set("40");
  bolt.TaxOnPO = 1;
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(records::AddProductRecord(bolt, ref));
  stock["BOLT"] = 40;
  forms::ResetDefaultDates();
  forms::CreatePOShipWin();
  CreateVenList();
  CreatePOEdit1();
  CreateRecvWiz();
}

POEntryTest::~POEntryTest() {
  platform::ui::Application->DestroyForms();
  POEdit1 = nullptr;
  RecvWiz = nullptr;
  VenList = nullptr;
  forms::POShipWin = nullptr;
  forms::CalForm = nullptr;
  storage::StatForm = nullptr;
  POEntryMode = 0;
  records::VendorBuf = records::VendorRec{};
  records::POHeaderBuf = records::POHeaderRec{};
}

bool POEntryTest::AddPOWith(const std::function<void(TPOEdit1&)>& work, std::string* status) {
  ui.OnModal<TPOEdit1>([work](TPOEdit1& f) { work(f); });
  return AddPO(status);
}

bool POEntryTest::EditPOWith(const char* number, const std::function<void(TPOEdit1&)>& work,
                             std::string* status) {
  ui.OnModal<TPOEdit1>([work](TPOEdit1& f) { work(f); });
  return EditPO(HeaderRef(number), status);
}

storage::IsamRecRef POEntryTest::HeaderRef(const char* number) {
  records::POHeaderRec wanted{}, found{};
  wanted.PONumber.Set(number);
  storage::IsamRecRef ref = 0;
  EXPECT_TRUE(
      records::ReadByKey(records::POHeaderUnit(), records::BuildPOHeaderKey(wanted, 1), 1, found, ref));
  return ref;
}

void POEntryTest::PickVendor(TPOEdit1& form) {
  ui.OnModal<TVenList>([](TVenList& manager) {
    EXPECT_EQ(manager.StatusText(1), "Double-click or press <enter> to select.");
    manager.RecBrowser1DblClick();
  });
  form.SpeedButton3Click();
}

void POEntryTest::Type(TPOEdit1& form, int row, int column, const QString& text) {
  form.StringGrid1->SetCursor(row, column);
  EXPECT_TRUE(form.Lines->Enter(row, column, text)) << row << "," << column << " " << text.toStdString();
}

void POEntryTest::EnterCode(TPOEdit1& form, int row, const QString& code) {
  Type(form, row, kPOColCode, code);
  form.StringGrid1CodeEntered(row);
}

QStringList POEntryTest::RowOf(TPOEdit1& form, int row) {
  QStringList cells;
  for (int column = kPOColLine; column <= kPOColExtension; ++column) cells << form.Lines->Cell(row, column);
  return cells;
}

void POEntryTest::Screenshot(QWidget& window, const char* name, std::initializer_list<const QWidget*> parts) {
  testing_support::ExpectWholeWindow(window, name);
  testing_support::ExpectTabOrderReads(window, name);
  const QPixmap picture = window.grab();
  // A 1024 x 768 screen less the window's frame and title bar.
  EXPECT_LE(picture.width(), 1024 - 2 * 8) << name;
  EXPECT_LE(picture.height(), 768 - 32) << name;
  for (const QWidget* part : parts) {
    EXPECT_TRUE(part->isVisibleTo(&window)) << name << " " << part->metaObject()->className();
    EXPECT_TRUE(window.rect().contains(QRect(part->mapTo(&window, QPoint(0, 0)), part->size())))
        << name << " " << part->metaObject()->className();
  }
}

void POEntryTest::ExpectRowsShown(const QAbstractItemView& grid, int rows) {
  for (int row = 0; row < rows; ++row) {
    const QRect cell = grid.visualRect(grid.model()->index(row, 0));
    EXPECT_FALSE(cell.isEmpty()) << row;
    EXPECT_TRUE(grid.viewport()->rect().contains(cell)) << row;
  }
}

}  // namespace test_fixtures
