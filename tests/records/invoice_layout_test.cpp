// The invoice record as bytes, checked by the independent layout checker against the offsets and
// widths of the invoice record table.
#include <gtest/gtest.h>

#include "layout_sampler.h"
#include "records/invoice_rec.h"
#include "support/temp_dir.h"

namespace records {
namespace {

#define SAMPLE(field) sampler.Set(r.field, #field)

void SampleInvoice(InvoiceRec& r, records_test::Sampler& sampler) {
  SAMPLE(Status), SAMPLE(InvoiceNo), SAMPLE(TransactionType), SAMPLE(KeyCode), SAMPLE(InvCustomerNo);
  SAMPLE(CompanyNumber), SAMPLE(InvoiceDate), SAMPLE(PrintedMark), SAMPLE(Month), SAMPLE(Day), SAMPLE(Year);
  SAMPLE(SortDate), SAMPLE(Notes), SAMPLE(Terms), SAMPLE(StatementComment), SAMPLE(Body), SAMPLE(ShortName);
  SAMPLE(NetAmount), SAMPLE(TaxAmount), SAMPLE(InvTotal), SAMPLE(InvPaid), SAMPLE(AmountDue);
  SAMPLE(DatePaid), SAMPLE(ConvertedChar), SAMPLE(SettledFlag), SAMPLE(NextDueDate), SAMPLE(ConvertedText);
  SAMPLE(CreatedDate), SAMPLE(EMailedDate), SAMPLE(TaxRate), SAMPLE(ShipTo1), SAMPLE(ShipTo2);
  SAMPLE(ShipTo3), SAMPLE(ShipTo4);
}

#undef SAMPLE

TEST(InvoiceLayoutTest, InvoiceBytesMatchTheRecordTable) {
  testing_support::TempDir dir;
  InvoiceRec invoice;
  records_test::Sampler sampler(&invoice);
  SampleInvoice(invoice, sampler);
  sampler.Write(invoice, "invoice");
  records_test::ExpectCheckerAccepts({"invoice"});
}

TEST(InvoiceLayoutTest, EveryFieldReadsBackFromACopyOfTheRecordBytes) {
  InvoiceRec invoice;
  records_test::Sampler sampler(&invoice);
  SampleInvoice(invoice, sampler);
  sampler.ExpectRoundTrip(invoice);
}

}  // namespace
}  // namespace records
