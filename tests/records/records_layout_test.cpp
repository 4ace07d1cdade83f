// The company, customer and product records as bytes, checked by the independent layout checker
// against the offsets and widths of the record tables.
#include <gtest/gtest.h>

#include "layout_sampler.h"
#include "records/company_rec.h"
#include "records/customer_rec.h"
#include "records/product_rec.h"
#include "support/temp_dir.h"

namespace records {
namespace {

using records_test::Sampler;

#define SAMPLE(field) sampler.Set(r.field, #field)

void SampleCompany(CompanyRec& r, Sampler& sampler) {
  SAMPLE(Status), SAMPLE(CompanyName), SAMPLE(CompanyNumber), SAMPLE(CompanyARBalance);
  SAMPLE(CompanyAddr1), SAMPLE(CompanyAddr4), SAMPLE(POShipTo1), SAMPLE(POShipTo4), SAMPLE(CompanyContact);
  SAMPLE(EditorFontName), SAMPLE(EditorFontSize), SAMPLE(EditorFontColor), SAMPLE(EditorFontStyle);
  SAMPLE(BackgroundFlag), SAMPLE(BackgroundBitmap), SAMPLE(SalesMessage1), SAMPLE(SalesMessage4);
  SAMPLE(NextInvoiceNumber), SAMPLE(DefaultInvoiceQuantity), SAMPLE(PrintDuplicateInvoice);
  SAMPLE(InvoicePrintFlagDefault), SAMPLE(CalculateInvoiceTaxes), SAMPLE(DefaultTaxRate);
  SAMPLE(DefaultInvoiceTerms), SAMPLE(DateOrder), SAMPLE(InvoiceNumberPrefix), SAMPLE(NextCustomerNumber);
  SAMPLE(LastAgingDate), SAMPLE(DefaultInvoiceKind), SAMPLE(CopyBillingToShipping), SAMPLE(BrowserFontName);
  SAMPLE(BrowserFontSize), SAMPLE(BrowserFontColor), SAMPLE(BrowserFontStyle), SAMPLE(VerticalLines);
  SAMPLE(HorizontalLines), SAMPLE(FormLineWidth), SAMPLE(BoxAroundStatements), SAMPLE(MoveDownTotals);
  SAMPLE(BoxTop), SAMPLE(FormTopMargin), SAMPLE(FormLeftMargin), SAMPLE(PrintLogo), SAMPLE(LogoFile);
  SAMPLE(InvoiceCaption), SAMPLE(FileCopyCaption), SAMPLE(ProductCodeHeader), SAMPLE(DescriptionHeader);
  SAMPLE(UnitPriceHeader), SAMPLE(ExtensionHeader), SAMPLE(TaxName), SAMPLE(StatementNote);
  SAMPLE(PrintPackingSlips), SAMPLE(ShowButtonHints), SAMPLE(InvoiceManagerStartNumber);
  SAMPLE(InvBodyFont), SAMPLE(ColHeadFont), SAMPLE(SalesMsgFont), SAMPLE(InvoiceMemoHeader), SAMPLE(MaxLines);
  SAMPLE(LastInterestInvoicesDate), SAMPLE(LastBatchRun), SAMPLE(NextDepositNumber);
  SAMPLE(InterestMarkPrinted), SAMPLE(InterestPaymentTerms), SAMPLE(InterestOverdueDays);
  SAMPLE(InterestMinimumCharge), SAMPLE(InterestMonthlyRate), SAMPLE(EnvelopeFont);
  SAMPLE(EnvelopeLineSpacing), SAMPLE(EnvelopeLeftMargin), SAMPLE(EnvelopeSendAddressLeft);
  SAMPLE(EnvelopeOrientation), SAMPLE(FileCopyCount), SAMPLE(AddressIndent), SAMPLE(PrintReturnAddress);
  SAMPLE(LastPriceChangeDate), SAMPLE(OmitCompanyAddress), SAMPLE(AuditTrail), SAMPLE(NextPONumber);
  SAMPLE(POSignature1), SAMPLE(POSignature2), SAMPLE(AutoReceivePOs), SAMPLE(POCaption);
  SAMPLE(POPrintFileCopies), SAMPLE(POCopyCaption), SAMPLE(POMemoHeader), SAMPLE(CalculatePOTaxes);
  SAMPLE(POManagerStartNumber), SAMPLE(NextReceiverNumber), SAMPLE(BackupOnExit), SAMPLE(ShadeLineSpacing);
  SAMPLE(ShadeLineStyle), SAMPLE(CurrencySymbol), SAMPLE(POPrintFlagDefault), SAMPLE(ProductCodesOnPOs);
  SAMPLE(HideCost), SAMPLE(TotalQuantities), SAMPLE(POMessage1), SAMPLE(POMessage4);
  SAMPLE(InvoiceShipToCaption), SAMPLE(POShipToCaption), SAMPLE(DefaultPOTerms), SAMPLE(DefaultPOKind);
  SAMPLE(POBatchCopyToLabelQueue), SAMPLE(POFileCopyCount), SAMPLE(NextVendorNumber);
  SAMPLE(ReceiptPrinter), SAMPLE(BarCodeType), SAMPLE(BarCodesOnLabels), SAMPLE(CompanyEMail);
  SAMPLE(SmtpHost), SAMPLE(DefaultOutputEMail), SAMPLE(SmtpUserName), SAMPLE(SmtpPassword);
  SAMPLE(EMailRuleLines), SAMPLE(EMailWithoutAddress), SAMPLE(AgingDays1), SAMPLE(AgingDays3);
  SAMPLE(AgingCaption1), SAMPLE(AgingCaption3), SAMPLE(CompanyAddr2), SAMPLE(CompanyAddr3), SAMPLE(POShipTo2);
  SAMPLE(POShipTo3), SAMPLE(SalesMessage2), SAMPLE(SalesMessage3), SAMPLE(BoxAroundForm);
  SAMPLE(PrintCustomerAging), SAMPLE(UseShading), SAMPLE(LetterheadStyle), SAMPLE(PrintSalesMessage);
  SAMPLE(ProductCodesOnInvoices), SAMPLE(StatementCaption), SAMPLE(PackingSlipCaption),
      SAMPLE(QuantityHeader);
  SAMPLE(PrintFileCopies), SAMPLE(CapHeadFont), SAMPLE(CompHeadFont), SAMPLE(CustHeadFont);
  SAMPLE(Reserved2133), SAMPLE(EnvelopeTopMargin), SAMPLE(EnvelopeAddressUsed),
      SAMPLE(NewInvoiceToLabelQueue);
  SAMPLE(BatchCopyToLabelQueue), SAMPLE(Reserved2637), SAMPLE(POMessage2), SAMPLE(POMessage3);
  SAMPLE(PONumberPrefix), SAMPLE(PrintDuplicatePO), SAMPLE(NewPOToLabelQueue), SAMPLE(Reserved3096);
  SAMPLE(BarCodesOnInvoices), SAMPLE(BarCodesOnPOs), SAMPLE(BarCodeInvoiceNumbers), SAMPLE(BarCodePONumbers);
  SAMPLE(AgingDays2), SAMPLE(AgingCaption2);
}

void SampleCustomer(CustomerRec& r, Sampler& sampler) {
  SAMPLE(Status), SAMPLE(CustomerNo), SAMPLE(CustomerName), SAMPLE(CustBalance), SAMPLE(LastPayment);
  SAMPLE(LastInvoice), SAMPLE(CustomerType), SAMPLE(TaxExempt), SAMPLE(CreditLimit), SAMPLE(PaymentTerms);
  SAMPLE(CustBillTo1), SAMPLE(CustBillTo2), SAMPLE(CustBillTo3), SAMPLE(CustBillTo4), SAMPLE(Phone1);
  SAMPLE(ShipTo1), SAMPLE(ShipTo2), SAMPLE(ShipTo3), SAMPLE(ShipTo4), SAMPLE(Phone2);
  SAMPLE(CustAging1), SAMPLE(CustAging2), SAMPLE(CustAging3), SAMPLE(CustAging4), SAMPLE(CustNotes);
  SAMPLE(NotesOnInvoice), SAMPLE(NotesOnStatement), SAMPLE(ConvertedText1), SAMPLE(ConvertedFlag);
  SAMPLE(ShortName), SAMPLE(MailSortCode), SAMPLE(ConvertedText2), SAMPLE(CreditHold), SAMPLE(CustEMail);
}

void SampleProduct(ProductRec& r, Sampler& sampler) {
  SAMPLE(Status), SAMPLE(Code), SAMPLE(Description), SAMPLE(ConvertedText1), SAMPLE(TaxOnInvoice);
  SAMPLE(Price), SAMPLE(OnHand), SAMPLE(Notes), SAMPLE(SetupDate), SAMPLE(ChangedDate);
  SAMPLE(ConvertedChar1), SAMPLE(ConvertedChar2), SAMPLE(ConvertedText2), SAMPLE(ListPrice), SAMPLE(Cost);
  SAMPLE(PODescription), SAMPLE(PricingMethod), SAMPLE(PriceUpdateMode), SAMPLE(TaxOnPO);
  SAMPLE(Percentage), SAMPLE(NonStock), SAMPLE(NonDepleting), SAMPLE(Location), SAMPLE(KeyCode);
  SAMPLE(Weight), SAMPLE(ConvertedText3), SAMPLE(PreviousPrice), SAMPLE(ConvertedByte);
  SAMPLE(ConvertedText4), SAMPLE(PriceChangeDate), SAMPLE(MaximumQuantity), SAMPLE(MinimumQuantity);
  SAMPLE(TargetQuantity), SAMPLE(HoldSales), SAMPLE(BatchNumber), SAMPLE(PreferredVendor);
}

#undef SAMPLE

// One record of each kind with every field set to its sample value.
struct SampledRecords {
  CompanyRec company;
  CustomerRec customer;
  ProductRec product;
  Sampler companyFields{&company}, customerFields{&customer}, productFields{&product};

  SampledRecords() {
    SampleCompany(company, companyFields);
    SampleCustomer(customer, customerFields);
    SampleProduct(product, productFields);
  }
  SampledRecords(const SampledRecords&) = delete;
};

TEST(RecordsLayoutTest, CompanyCustomerAndProductBytesMatchTheRecordTables) {
  testing_support::TempDir dir;
  SampledRecords r;
  r.companyFields.Write(r.company, "company");
  r.customerFields.Write(r.customer, "customer");
  r.productFields.Write(r.product, "product");
  records_test::ExpectCheckerAccepts({"company", "customer", "product"});
}

TEST(RecordsLayoutTest, EveryFieldReadsBackFromACopyOfTheRecordBytes) {
  SampledRecords r;
  r.companyFields.ExpectRoundTrip(r.company);
  r.customerFields.ExpectRoundTrip(r.customer);
  r.productFields.ExpectRoundTrip(r.product);
}

}  // namespace
}  // namespace records
