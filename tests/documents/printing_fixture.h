#pragma once
// What the document printer tests share: a company whose fonts all measure 50 x 100 printer
// pixels on the recording printer (Arial 20: 50 pixels a character, 100 a line), an invoice in the
// document buffer, the recording printer's log read back as placed texts, and a scratch invoice
// file for the printed marks.

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"
#include "records/invoice_rec.h"
#include "storage/isam.h"
#include "support/temp_dir.h"

namespace documents::testing_printing {

// One TextOut of the log: the page it is on (from 1), its cell's top-left and the font size.
struct Placed {
  int page = 0;
  int x = 0, y = 0;
  QString text;
  int size = 0;
};
std::vector<Placed> PlacedTexts(const QStringList& log);
// The first text equal to `text` (page 0 when there is none).
Placed Find(const std::vector<Placed>& texts, const QString& text);
// Every text on a page, in drawing order.
QStringList TextsOnPage(const std::vector<Placed>& texts, int page);
int CountOf(const QStringList& log, const QString& prefix);
bool HasLine(const QStringList& log, const QString& prefix);

// The company: every font Arial 20, top margin 50, left margin 75, no box, logo, shading or
// lines unless a test turns them on; captions "INVOICE", "PACKING SLIP", "FILE COPY",
// "PURCHASE ORDER", "PO COPY".
void SetUpPrintingCompany();
// An invoice 1001 of Acme Tools with `lines` line items "Item k" (quantity k, price 1.50,
// extension 1.5 x k), totals 100.00 + 8.00 tax = 108.00, 8.00 paid.
void FillInvoiceBuffer(int lines);
// The same buffer as a purchase order 5001 of Bolt Supply.
void FillPOBuffer(int lines);

// A printer on the recording back-end with its own page size.
class PrinterTest : public testing::Test {
 protected:
  explicit PrinterTest(QSize page = QSize(2400, 3150));
  void TearDown() override;

  const QStringList& Log() const { return recorder_->Log(); }
  std::vector<Placed> Texts() const { return PlacedTexts(Log()); }

  platform::print::RecordingPrintBackend* recorder_;
  std::unique_ptr<platform::print::TPrinter> printer_;
};

// An open invoice file of company 12 in a scratch folder.
class InvoiceFileScope {
 public:
  InvoiceFileScope();
  ~InvoiceFileScope();
  storage::IsamRecRef Add(const char* number, const char* type, const char* printed = "N");
  records::InvoiceRec Read(storage::IsamRecRef ref) const;
  void Reopen();  // closes and opens the file again: nothing of it is kept in memory

 private:
  testing_support::TempDir dir_;
};

}  // namespace documents::testing_printing
