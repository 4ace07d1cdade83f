// The settings a company starts with when no company is open to copy them from. Every value is
// one the printed forms, envelopes and lists can use as it stands: margins, spacings and pen
// widths convert to numbers, fonts have a name and a size, headings are not blank.

#include "records/company_rec.h"

namespace records {

namespace {

constexpr int32_t Black = 0x000000;
constexpr int32_t Blue = 0xFF0000;  // Windows colour values are 0x00BBGGRR

void SetScreenFonts(CompanyRec& r) {
  r.EditorFontName.Set("Arial");
  r.EditorFontSize.Set(10);
  r.EditorFontColor.Set(Blue);
  r.EditorFontStyle = FontStyleBold;
  r.BrowserFontName.Set("Courier New");
  r.BrowserFontSize.Set(10);
  r.BrowserFontColor.Set(Black);
  r.BrowserFontStyle = 0;
}

void SetFormLayout(CompanyRec& r) {
  r.VerticalLines = 1;
  r.HorizontalLines = 1;
  r.FormLineWidth.Set("1");
  r.BoxAroundStatements = 1;
  r.BoxAroundForm = 1;
  r.PrintCustomerAging = 1;
  r.PrintSalesMessage = 1;
  r.ProductCodesOnInvoices = 1;
  r.ProductCodesOnPOs = 1;
  r.BoxTop.Set("20");
  r.FormTopMargin.Set("60");
  r.FormLeftMargin.Set("60");
  r.MaxLines.Set("20");
  r.AddressIndent.Set("0");
  r.ShadeLineSpacing.Set("8");
  r.ShadeLineStyle.Set("D");
  r.OmitCompanyAddress.Set("N");
  r.FileCopyCount.Set("1");
  r.POFileCopyCount.Set("1");
}

void SetHeadings(CompanyRec& r) {
  r.InvoiceCaption.Set("INVOICE");
  r.StatementCaption.Set("STATEMENT");
  r.PackingSlipCaption.Set("Packing Slip");
  r.FileCopyCaption.Set("File Copy");
  r.POCaption.Set("Purchase Order");
  r.POCopyCaption.Set("PO Copy");
  r.ProductCodeHeader.Set("Product Code");
  r.QuantityHeader.Set("Quantity");
  r.DescriptionHeader.Set("Description");
  r.UnitPriceHeader.Set("Unit Price");
  r.ExtensionHeader.Set("Extension");
  r.TaxName.Set("Tax");
  r.InvoiceMemoHeader.Set("Description of goods and services:");
  r.POMemoHeader.Set("Description of goods and services purchased:");
  r.InvoiceShipToCaption.Set("Ship To:");
  r.POShipToCaption.Set("Ship Order To:");
}

void SetHeadingFonts(CompanyRec& r) {
  r.InvBodyFont.Set("Arial", 10, Black, 0);
  r.CapHeadFont.Set("Arial", 16, Black, FontStyleBold);
  r.CompHeadFont.Set("Arial", 12, Black, FontStyleBold);
  r.CustHeadFont.Set("Arial", 10, Black, 0);
  r.ColHeadFont.Set("Arial", 8, Black, 0);
  r.SalesMsgFont.Set("Arial", 10, Black, FontStyleItalic);
}

// Envelope positions are printer pixels (300 per inch): a #10 envelope printed landscape.
void SetEnvelope(CompanyRec& r) {
  r.EnvelopeFont.Set("Arial", 12, Black, 0);
  r.EnvelopeLineSpacing.Set("60");
  r.EnvelopeLeftMargin.Set("100");
  r.EnvelopeTopMargin.Set("100");
  r.EnvelopeSendAddressLeft.Set("1200");
  r.EnvelopeOrientation.Set("L");
  r.EnvelopeAddressUsed.Set("B");
  r.PrintReturnAddress.Set("Y");
}

void SetOptions(CompanyRec& r) {
  r.DateOrder.Set("M");
  r.ShowButtonHints = 1;
  r.DefaultInvoiceKind.Set("P");
  r.DefaultPOKind.Set("P");
  r.DefaultInvoiceTerms.Set("Net 30 Days");
  r.DefaultPOTerms.Set("Net 30 Days");
  r.BarCodeType.Set("3");
  r.EMailRuleLines.Set("Y");
  r.AuditTrail.Set("N");
  for (ShortString<1>* no :
       {&r.InvoiceNumberPrefix, &r.NewInvoiceToLabelQueue, &r.BatchCopyToLabelQueue, &r.BackupOnExit,
        &r.PONumberPrefix, &r.PrintDuplicatePO, &r.NewPOToLabelQueue, &r.POBatchCopyToLabelQueue,
        &r.ReceiptPrinter, &r.BarCodesOnInvoices, &r.BarCodesOnPOs, &r.BarCodeInvoiceNumbers,
        &r.BarCodePONumbers, &r.BarCodesOnLabels, &r.DefaultOutputEMail, &r.EMailWithoutAddress})
    no->Set("N");
}

void SetAging(CompanyRec& r) {
  r.AgingDays1.Set("30");
  r.AgingDays2.Set("60");
  r.AgingDays3.Set("90");
  r.AgingCaption1.Set("Current:");
  r.AgingCaption2.Set("31-60:");
  r.AgingCaption3.Set("61-90:");
}

}  // namespace

CompanyRec DefaultCompanyRecord() {
  CompanyRec r;
  SetScreenFonts(r);
  SetFormLayout(r);
  SetHeadings(r);
  SetHeadingFonts(r);
  SetEnvelope(r);
  SetOptions(r);
  SetAging(r);
  return r;
}

}  // namespace records
