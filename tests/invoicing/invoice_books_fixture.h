#pragma once
// The entry-form company with every file of invoicing in place and held open as the Invoice
// Manager holds them: customers C100 (with its address, notes and e-mail) and C200, products
// WIDGET (10 on hand) and BOLT (50). Invoices are posted through the posting procedure or filed
// as bare records; the books are checked from the files.

#include <string>
#include <vector>

#include "invoice_entry_fixture.h"
#include "invoicing/entered_invoice.h"
#include "records/invoice_rec.h"
#include "storage/isam_types.h"
#include "support/books_check.h"

namespace test_fixtures {

class InvoiceBooksTest : public InvoiceEntryTest {
 protected:
  InvoiceBooksTest();
  ~InvoiceBooksTest() override;

  // An invoice of C100 dated 03/05/2026 without lines; amounts as stored texts.
  static invoicing::EnteredInvoice NewInvoice(const std::string& number, const std::string& net,
                                              const std::string& tax, const std::string& total,
                                              const std::string& paid);
  static invoicing::EnteredLine NewLine(int row, const std::string& code, const std::string& quantity,
                                        const std::string& description, const std::string& price,
                                        const std::string& extension);
  // Adds the record as it stands, with its keys.
  static storage::IsamRecRef FileRecord(const records::InvoiceRec& record);
  // A record of the invoice file: number, type, customer, sort date, total, paid and due.
  static records::InvoiceRec Record(const std::string& number, const std::string& type,
                                    const std::string& customer, const std::string& sortDate,
                                    const std::string& total, const std::string& paid,
                                    const std::string& due);
  std::vector<std::string> BooksProblems() const;

  const testing_support::StockBefore stock_ = {{"WIDGET", 10}, {"BOLT", 50}};
};

}  // namespace test_fixtures
