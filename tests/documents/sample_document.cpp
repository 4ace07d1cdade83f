#include "documents/sample_document.h"

#include "documents/document_buffer.h"
#include "records/company_rec.h"
#include "records/detail_file.h"

namespace documents {

using records::CurrentCompany;

void SetUpSampleCompany() {
  records::CompanyRec& c = CurrentCompany;
  c = records::CompanyRec{};
  c.CompanyName.Set("Kestrel Hardware");
  c.CompanyAddr1.Set("12 High St");
  c.CompanyAddr2.Set("Springfield");
  c.CompanyContact.Set("Jo Smith");
  c.InvoiceCaption.Set("Invoice");
  c.InvoiceShipToCaption.Set("Ship To:");
  c.POCaption.Set("Purchase Order");
  c.POShipToCaption.Set("Deliver To:");
  c.POMemoHeader.Set("Please supply:");
  c.EMailRuleLines.Set("Y");
  c.QuantityHeader.Set("Qty");
  c.DescriptionHeader.Set("Description");
  c.UnitPriceHeader.Set("Price");
  c.ProductCodeHeader.Set("Item");
  c.ExtensionHeader.Set("Amount");
  c.ProductCodesOnInvoices = 1;
  c.TaxName.Set("Sales Tax");
  c.CurrencySymbol.Set("$");
  c.PrintSalesMessage = 1;
  c.SalesMessage1.Set("Thank you");
  c.SalesMessage2.Set("for");
  c.SalesMessage3.Set("your");
  c.SalesMessage4.Set("order");
  c.POMessage1.Set("Deliver");
  c.POMessage2.Set("before");
  c.POMessage3.Set("noon");
  c.POMessage4.Set("please");
  c.PrintCustomerAging = 1;
  c.AgingCaption1.Set("Current");
  c.AgingCaption2.Set("Over 30");
  c.AgingCaption3.Set("Over 60");
  c.AgingDays3.Set("90");
  c.PrintDuplicateInvoice = 1;
  c.CompanyEMail.Set("shop@kestrel.example");
}

void FillSampleInvoice() {
  DocHeader = TDocHeader{};
  TDocHeader& h = DocHeader;
  h.BillName = "Acme Tools";
  h.BillAddr1 = "1 Main St";
  h.BillAddr2 = "Shelbyville";
  h.ShipAddr1 = "Dock 4";
  h.AccountNo = "C100";
  h.DocNumber = "1001";
  h.DocDate = "12/07/2026";
  h.Terms = "Net 30 Days";
  h.Reference = "Order 55";
  h.NetAmount = DocMoneyText(2250);
  h.TaxAmount = DocMoneyText(180);
  h.TotalAmount = DocMoneyText(2430);
  h.PaidAmount = DocMoneyText(1000);
  h.BalanceDue = DocMoneyText(1430);
  h.BodyKind = "P";
  h.TaxRate = "8";
  h.DocType = "I";
  h.PrintNotesFlag = "Y";
  h.AccountNotes = "Deliver to the back door";
  h.PaidDate = "/ ";
  h.AccountBalance = "14.30";
  h.EMailAddress = "ap@acme.example";
  DocAging = {DocAgingText("14.30"), DocAgingText("0"), DocAgingText("0"), DocAgingText("0")};
  ClearDocLines();
  DocLines[1] = DocLineEntry("BOLT", records::LineText("9", "Bolts", "1.5", "Y", "13.50"));
  DocLines[2] = DocLineEntry("NUT", records::LineText("10", "Nuts", "0.25", "Y", "2.50"));
  DocLines[3] = DocLineEntry("", records::LineText("1,000", "Washers", "0.0065", "N", "6.50"));
}

}  // namespace documents
