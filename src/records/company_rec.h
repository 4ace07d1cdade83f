#pragma once
// CompanyRec: one company of the company list file "ovcomp" (.DAT and .IX in the program
// directory), 3600 bytes: identity and address, numbering counters, tax, terms, date order,
// aging, print layout, headings and fonts, envelope, label, barcode and e-mail settings.
//
// Every member below sits at the byte offset its static_assert names. Numbers, amounts and
// dates are text (amounts "0.00", dates as typed in the company's date order); Yes/No options
// are one-letter text "Y" or "N"; Flag options are a byte 1 or 0. The Unused ranges carry no
// meaning and are written back as they were read, so older files keep whatever they hold there.
//
// Keys of the company file:
//   1  company number, 5 characters, unique
//   2  company name, 30 characters, duplicates allowed

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "records/font_rec.h"
#include "records/record_fields.h"
#include "storage/isam_types.h"

namespace records {

struct CompanyRec {
  // Record header and identity.
  Int32Field Status;  // status word of the data file, 0 in a live record
  ShortString<35> CompanyName;
  ShortString<5> CompanyNumber;      // decimal text 1 to 32000
  ShortString<10> CompanyARBalance;  // receivables total, amount text
  ShortString<35> CompanyAddr1;
  ShortString<35> CompanyAddr2;
  ShortString<35> CompanyAddr3;
  ShortString<35> CompanyAddr4;
  ShortString<35> POShipTo1;  // ship-to address printed on purchase orders
  ShortString<35> POShipTo2;
  ShortString<35> POShipTo3;
  ShortString<35> POShipTo4;
  ShortString<35> CompanyContact;

  // Screen fonts and background.
  ShortString<32> EditorFontName;  // "Invoice Editor" font: entry forms, titles, company caption
  uint8_t Unused414[2] = {};
  Int32Field EditorFontSize;
  Int32Field EditorFontColor;
  uint8_t EditorFontStyle = 0;
  Flag BackgroundFlag = 0;  // tile the background bitmap over the main window
  ShortString<250> BackgroundBitmap;

  // Sales messages, numbering, tax and terms.
  ShortString<78> SalesMessage1;
  ShortString<78> SalesMessage2;
  ShortString<78> SalesMessage3;
  ShortString<78> SalesMessage4;
  ShortString<9> NextInvoiceNumber;
  ShortString<9> DefaultInvoiceQuantity;
  Flag PrintDuplicateInvoice = 0;
  Flag InvoicePrintFlagDefault = 0;
  Flag CalculateInvoiceTaxes = 0;
  uint8_t Unused1016[2] = {};
  ShortString<6> DefaultTaxRate;  // percent, "8.125"
  ShortString<35> DefaultInvoiceTerms;
  ShortString<1> DateOrder;            // "M" month first, "D" day first, "Y" year first
  ShortString<1> InvoiceNumberPrefix;  // Yes/No: prefix invoice numbers with year and month
  ShortString<8> NextCustomerNumber;
  uint8_t Unused1074[3] = {};
  ShortString<10> LastAgingDate;
  uint8_t Unused1088[7] = {};
  ShortString<1> DefaultInvoiceKind;  // "P" line items, "M" memo
  Flag CopyBillingToShipping = 0;
  ShortString<40> BrowserFontName;  // fixed-pitch font of the managers' lists
  uint8_t Unused1139[1] = {};
  Int32Field BrowserFontSize;
  Int32Field BrowserFontColor;
  uint8_t BrowserFontStyle = 0;

  // Printed form layout.
  Flag VerticalLines = 0;
  Flag HorizontalLines = 0;
  ShortString<1> FormLineWidth;  // pen width, one digit
  Flag BoxAroundStatements = 0;
  Flag BoxAroundForm = 0;
  Flag PrintCustomerAging = 0;
  Flag UseShading = 0;
  Flag LetterheadStyle = 0;
  Flag PrintSalesMessage = 0;
  Flag ProductCodesOnInvoices = 0;
  Flag MoveDownTotals = 0;
  ShortString<2> BoxTop;
  ShortString<2> FormTopMargin;
  ShortString<2> FormLeftMargin;
  Flag PrintLogo = 0;
  ShortString<250> LogoFile;

  // Headings and heading fonts.
  ShortString<25> InvoiceCaption;
  ShortString<25> StatementCaption;
  ShortString<25> PackingSlipCaption;
  ShortString<25> FileCopyCaption;
  ShortString<15> ProductCodeHeader;
  ShortString<15> QuantityHeader;
  ShortString<32> DescriptionHeader;
  ShortString<15> UnitPriceHeader;
  ShortString<15> ExtensionHeader;
  ShortString<10> TaxName;
  ShortString<80> StatementNote;
  Flag PrintPackingSlips = 0;
  Flag PrintFileCopies = 0;
  Flag ShowButtonHints = 0;
  ShortString<9> InvoiceManagerStartNumber;
  FontRec InvBodyFont;
  FontRec CapHeadFont;
  FontRec CompHeadFont;
  FontRec CustHeadFont;
  FontRec ColHeadFont;  // aging analysis and PO signature
  FontRec SalesMsgFont;
  ShortString<80> InvoiceMemoHeader;
  ShortString<2> MaxLines;

  // Run dates, deposit counter and interest defaults.
  ShortString<10> LastInterestInvoicesDate;
  ShortString<10> LastBatchRun;  // last statements date
  ShortString<10> NextDepositNumber;
  ShortString<10> Reserved2133;
  Flag InterestMarkPrinted = 0;
  ShortString<35> InterestPaymentTerms;
  ShortString<1> InterestOverdueDays;  // "6" 60 days, "9" 90 days, else 30 days
  ShortString<5> InterestMinimumCharge;
  ShortString<5> InterestMonthlyRate;
  uint8_t Unused2195[1] = {};

  // Envelopes.
  FontRec EnvelopeFont;
  ShortString<3> EnvelopeLineSpacing;
  ShortString<4> EnvelopeLeftMargin;
  ShortString<4> EnvelopeTopMargin;
  ShortString<4> EnvelopeSendAddressLeft;
  ShortString<1> EnvelopeOrientation;  // "L" landscape, "P" portrait
  ShortString<1> EnvelopeAddressUsed;  // "S" ship-to, "B" billing
  ShortString<1> NewInvoiceToLabelQueue;
  ShortString<1> BatchCopyToLabelQueue;
  ShortString<1> FileCopyCount;  // invoice copies, "1" to "5"
  ShortString<10> AddressIndent;
  ShortString<1> PrintReturnAddress;
  ShortString<10> LastPriceChangeDate;
  ShortString<2> OmitCompanyAddress;
  ShortString<2> AuditTrail;

  // Purchasing.
  ShortString<9> NextPONumber;
  ShortString<75> POSignature1;
  ShortString<75> POSignature2;
  Flag AutoReceivePOs = 0;
  ShortString<25> POCaption;
  Flag POPrintFileCopies = 0;
  uint8_t Unused2493[2] = {};
  ShortString<25> POCopyCaption;
  ShortString<80> POMemoHeader;
  Flag CalculatePOTaxes = 0;
  uint8_t Unused2603[5] = {};
  ShortString<9> POManagerStartNumber;
  ShortString<12> NextReceiverNumber;
  ShortString<1> BackupOnExit;
  uint8_t Unused2633[4] = {};
  ShortString<10> Reserved2637;
  ShortString<5> ShadeLineSpacing;  // line spacing of printed forms
  ShortString<1> ShadeLineStyle;    // "D" dotted, "L" solid
  ShortString<1> CurrencySymbol;
  Flag POPrintFlagDefault = 0;
  Flag ProductCodesOnPOs = 0;
  Flag HideCost = 0;
  Flag TotalQuantities = 0;
  uint8_t Unused2662[5] = {};
  ShortString<78> POMessage1;
  ShortString<78> POMessage2;
  ShortString<78> POMessage3;
  ShortString<78> POMessage4;
  ShortString<25> InvoiceShipToCaption;
  ShortString<25> POShipToCaption;
  ShortString<35> DefaultPOTerms;
  ShortString<1> DefaultPOKind;  // "P" line items, "M" memo
  ShortString<1> PONumberPrefix;
  ShortString<1> PrintDuplicatePO;
  ShortString<1> NewPOToLabelQueue;
  ShortString<1> POBatchCopyToLabelQueue;
  uint8_t Unused3081[2] = {};
  ShortString<1> POFileCopyCount;  // "1" to "5"
  ShortString<10> NextVendorNumber;
  ShortString<10> Reserved3096;

  // Receipts, barcodes and e-mail.
  ShortString<1> ReceiptPrinter;
  ShortString<1> BarCodeType;  // "3" Code 39, "U" UPC-A, "E" EAN-13
  ShortString<1> BarCodesOnInvoices;
  ShortString<1> BarCodesOnPOs;
  ShortString<1> BarCodeInvoiceNumbers;
  ShortString<1> BarCodePONumbers;
  ShortString<1> BarCodesOnLabels;
  ShortString<50> CompanyEMail;
  uint8_t Unused3172[51] = {};
  ShortString<50> SmtpHost;
  uint8_t Unused3274[51] = {};
  ShortString<1> DefaultOutputEMail;
  uint8_t Unused3327[61] = {};
  ShortString<60> SmtpUserName;
  ShortString<60> SmtpPassword;
  uint8_t Unused3510[37] = {};
  ShortString<1> EMailRuleLines;
  uint8_t Unused3549[2] = {};
  ShortString<1> EMailWithoutAddress;  // include customers without e-mail addresses
  uint8_t Unused3553[2] = {};

  // Aging.
  ShortString<3> AgingDays1;
  ShortString<3> AgingDays2;
  ShortString<3> AgingDays3;
  ShortString<10> AgingCaption1;
  ShortString<10> AgingCaption2;
  ShortString<10> AgingCaption3;

  // The six heading fonts in the order of InvoiceHeaderFonts.
  std::array<FontRec*, 6> HeadingFonts() {
    return {&InvBodyFont, &CapHeadFont, &CompHeadFont, &CustHeadFont, &ColHeadFont, &SalesMsgFont};
  }
};

static_assert(sizeof(CompanyRec) == 3600 && alignof(CompanyRec) == 1);
static_assert(std::is_trivially_copyable_v<CompanyRec> && std::is_standard_layout_v<CompanyRec>);

static_assert(offsetof(CompanyRec, Status) == 0);
static_assert(offsetof(CompanyRec, CompanyName) == 4);
static_assert(offsetof(CompanyRec, CompanyNumber) == 40);
static_assert(offsetof(CompanyRec, CompanyARBalance) == 46);
static_assert(offsetof(CompanyRec, CompanyAddr1) == 57);
static_assert(offsetof(CompanyRec, CompanyAddr2) == 93);
static_assert(offsetof(CompanyRec, CompanyAddr3) == 129);
static_assert(offsetof(CompanyRec, CompanyAddr4) == 165);
static_assert(offsetof(CompanyRec, POShipTo1) == 201);
static_assert(offsetof(CompanyRec, POShipTo2) == 237);
static_assert(offsetof(CompanyRec, POShipTo3) == 273);
static_assert(offsetof(CompanyRec, POShipTo4) == 309);
static_assert(offsetof(CompanyRec, CompanyContact) == 345);
static_assert(offsetof(CompanyRec, EditorFontName) == 381);
static_assert(offsetof(CompanyRec, EditorFontSize) == 416);
static_assert(offsetof(CompanyRec, EditorFontColor) == 420);
static_assert(offsetof(CompanyRec, EditorFontStyle) == 424);
static_assert(offsetof(CompanyRec, BackgroundFlag) == 425);
static_assert(offsetof(CompanyRec, BackgroundBitmap) == 426);
static_assert(offsetof(CompanyRec, SalesMessage1) == 677);
static_assert(offsetof(CompanyRec, SalesMessage2) == 756);
static_assert(offsetof(CompanyRec, SalesMessage3) == 835);
static_assert(offsetof(CompanyRec, SalesMessage4) == 914);
static_assert(offsetof(CompanyRec, NextInvoiceNumber) == 993);
static_assert(offsetof(CompanyRec, DefaultInvoiceQuantity) == 1003);
static_assert(offsetof(CompanyRec, PrintDuplicateInvoice) == 1013);
static_assert(offsetof(CompanyRec, InvoicePrintFlagDefault) == 1014);
static_assert(offsetof(CompanyRec, CalculateInvoiceTaxes) == 1015);
static_assert(offsetof(CompanyRec, DefaultTaxRate) == 1018);
static_assert(offsetof(CompanyRec, DefaultInvoiceTerms) == 1025);
static_assert(offsetof(CompanyRec, DateOrder) == 1061);
static_assert(offsetof(CompanyRec, InvoiceNumberPrefix) == 1063);
static_assert(offsetof(CompanyRec, NextCustomerNumber) == 1065);
static_assert(offsetof(CompanyRec, LastAgingDate) == 1077);
static_assert(offsetof(CompanyRec, DefaultInvoiceKind) == 1095);
static_assert(offsetof(CompanyRec, CopyBillingToShipping) == 1097);
static_assert(offsetof(CompanyRec, BrowserFontName) == 1098);
static_assert(offsetof(CompanyRec, BrowserFontSize) == 1140);
static_assert(offsetof(CompanyRec, BrowserFontColor) == 1144);
static_assert(offsetof(CompanyRec, BrowserFontStyle) == 1148);
static_assert(offsetof(CompanyRec, VerticalLines) == 1149);
static_assert(offsetof(CompanyRec, HorizontalLines) == 1150);
static_assert(offsetof(CompanyRec, FormLineWidth) == 1151);
static_assert(offsetof(CompanyRec, BoxAroundStatements) == 1153);
static_assert(offsetof(CompanyRec, BoxAroundForm) == 1154);
static_assert(offsetof(CompanyRec, PrintCustomerAging) == 1155);
static_assert(offsetof(CompanyRec, UseShading) == 1156);
static_assert(offsetof(CompanyRec, LetterheadStyle) == 1157);
static_assert(offsetof(CompanyRec, PrintSalesMessage) == 1158);
static_assert(offsetof(CompanyRec, ProductCodesOnInvoices) == 1159);
static_assert(offsetof(CompanyRec, MoveDownTotals) == 1160);
static_assert(offsetof(CompanyRec, BoxTop) == 1161);
static_assert(offsetof(CompanyRec, FormTopMargin) == 1164);
static_assert(offsetof(CompanyRec, FormLeftMargin) == 1167);
static_assert(offsetof(CompanyRec, PrintLogo) == 1170);
static_assert(offsetof(CompanyRec, LogoFile) == 1171);
static_assert(offsetof(CompanyRec, InvoiceCaption) == 1422);
static_assert(offsetof(CompanyRec, StatementCaption) == 1448);
static_assert(offsetof(CompanyRec, PackingSlipCaption) == 1474);
static_assert(offsetof(CompanyRec, FileCopyCaption) == 1500);
static_assert(offsetof(CompanyRec, ProductCodeHeader) == 1526);
static_assert(offsetof(CompanyRec, QuantityHeader) == 1542);
static_assert(offsetof(CompanyRec, DescriptionHeader) == 1558);
static_assert(offsetof(CompanyRec, UnitPriceHeader) == 1591);
static_assert(offsetof(CompanyRec, ExtensionHeader) == 1607);
static_assert(offsetof(CompanyRec, TaxName) == 1623);
static_assert(offsetof(CompanyRec, StatementNote) == 1634);
static_assert(offsetof(CompanyRec, PrintPackingSlips) == 1715);
static_assert(offsetof(CompanyRec, PrintFileCopies) == 1716);
static_assert(offsetof(CompanyRec, ShowButtonHints) == 1717);
static_assert(offsetof(CompanyRec, InvoiceManagerStartNumber) == 1718);
static_assert(offsetof(CompanyRec, InvBodyFont) == 1728);
static_assert(offsetof(CompanyRec, CapHeadFont) == 1776);
static_assert(offsetof(CompanyRec, CompHeadFont) == 1824);
static_assert(offsetof(CompanyRec, CustHeadFont) == 1872);
static_assert(offsetof(CompanyRec, ColHeadFont) == 1920);
static_assert(offsetof(CompanyRec, SalesMsgFont) == 1968);
static_assert(offsetof(CompanyRec, InvoiceMemoHeader) == 2016);
static_assert(offsetof(CompanyRec, MaxLines) == 2097);
static_assert(offsetof(CompanyRec, LastInterestInvoicesDate) == 2100);
static_assert(offsetof(CompanyRec, LastBatchRun) == 2111);
static_assert(offsetof(CompanyRec, NextDepositNumber) == 2122);
static_assert(offsetof(CompanyRec, Reserved2133) == 2133);
static_assert(offsetof(CompanyRec, InterestMarkPrinted) == 2144);
static_assert(offsetof(CompanyRec, InterestPaymentTerms) == 2145);
static_assert(offsetof(CompanyRec, InterestOverdueDays) == 2181);
static_assert(offsetof(CompanyRec, InterestMinimumCharge) == 2183);
static_assert(offsetof(CompanyRec, InterestMonthlyRate) == 2189);
static_assert(offsetof(CompanyRec, EnvelopeFont) == 2196);
static_assert(offsetof(CompanyRec, EnvelopeLineSpacing) == 2244);
static_assert(offsetof(CompanyRec, EnvelopeLeftMargin) == 2248);
static_assert(offsetof(CompanyRec, EnvelopeTopMargin) == 2253);
static_assert(offsetof(CompanyRec, EnvelopeSendAddressLeft) == 2258);
static_assert(offsetof(CompanyRec, EnvelopeOrientation) == 2263);
static_assert(offsetof(CompanyRec, EnvelopeAddressUsed) == 2265);
static_assert(offsetof(CompanyRec, NewInvoiceToLabelQueue) == 2267);
static_assert(offsetof(CompanyRec, BatchCopyToLabelQueue) == 2269);
static_assert(offsetof(CompanyRec, FileCopyCount) == 2271);
static_assert(offsetof(CompanyRec, AddressIndent) == 2273);
static_assert(offsetof(CompanyRec, PrintReturnAddress) == 2284);
static_assert(offsetof(CompanyRec, LastPriceChangeDate) == 2286);
static_assert(offsetof(CompanyRec, OmitCompanyAddress) == 2297);
static_assert(offsetof(CompanyRec, AuditTrail) == 2300);
static_assert(offsetof(CompanyRec, NextPONumber) == 2303);
static_assert(offsetof(CompanyRec, POSignature1) == 2313);
static_assert(offsetof(CompanyRec, POSignature2) == 2389);
static_assert(offsetof(CompanyRec, AutoReceivePOs) == 2465);
static_assert(offsetof(CompanyRec, POCaption) == 2466);
static_assert(offsetof(CompanyRec, POPrintFileCopies) == 2492);
static_assert(offsetof(CompanyRec, POCopyCaption) == 2495);
static_assert(offsetof(CompanyRec, POMemoHeader) == 2521);
static_assert(offsetof(CompanyRec, CalculatePOTaxes) == 2602);
static_assert(offsetof(CompanyRec, POManagerStartNumber) == 2608);
static_assert(offsetof(CompanyRec, NextReceiverNumber) == 2618);
static_assert(offsetof(CompanyRec, BackupOnExit) == 2631);
static_assert(offsetof(CompanyRec, Reserved2637) == 2637);
static_assert(offsetof(CompanyRec, ShadeLineSpacing) == 2648);
static_assert(offsetof(CompanyRec, ShadeLineStyle) == 2654);
static_assert(offsetof(CompanyRec, CurrencySymbol) == 2656);
static_assert(offsetof(CompanyRec, POPrintFlagDefault) == 2658);
static_assert(offsetof(CompanyRec, ProductCodesOnPOs) == 2659);
static_assert(offsetof(CompanyRec, HideCost) == 2660);
static_assert(offsetof(CompanyRec, TotalQuantities) == 2661);
static_assert(offsetof(CompanyRec, POMessage1) == 2667);
static_assert(offsetof(CompanyRec, POMessage2) == 2746);
static_assert(offsetof(CompanyRec, POMessage3) == 2825);
static_assert(offsetof(CompanyRec, POMessage4) == 2904);
static_assert(offsetof(CompanyRec, InvoiceShipToCaption) == 2983);
static_assert(offsetof(CompanyRec, POShipToCaption) == 3009);
static_assert(offsetof(CompanyRec, DefaultPOTerms) == 3035);
static_assert(offsetof(CompanyRec, DefaultPOKind) == 3071);
static_assert(offsetof(CompanyRec, PONumberPrefix) == 3073);
static_assert(offsetof(CompanyRec, PrintDuplicatePO) == 3075);
static_assert(offsetof(CompanyRec, NewPOToLabelQueue) == 3077);
static_assert(offsetof(CompanyRec, POBatchCopyToLabelQueue) == 3079);
static_assert(offsetof(CompanyRec, POFileCopyCount) == 3083);
static_assert(offsetof(CompanyRec, NextVendorNumber) == 3085);
static_assert(offsetof(CompanyRec, Reserved3096) == 3096);
static_assert(offsetof(CompanyRec, ReceiptPrinter) == 3107);
static_assert(offsetof(CompanyRec, BarCodeType) == 3109);
static_assert(offsetof(CompanyRec, BarCodesOnInvoices) == 3111);
static_assert(offsetof(CompanyRec, BarCodesOnPOs) == 3113);
static_assert(offsetof(CompanyRec, BarCodeInvoiceNumbers) == 3115);
static_assert(offsetof(CompanyRec, BarCodePONumbers) == 3117);
static_assert(offsetof(CompanyRec, BarCodesOnLabels) == 3119);
static_assert(offsetof(CompanyRec, CompanyEMail) == 3121);
static_assert(offsetof(CompanyRec, SmtpHost) == 3223);
static_assert(offsetof(CompanyRec, DefaultOutputEMail) == 3325);
static_assert(offsetof(CompanyRec, SmtpUserName) == 3388);
static_assert(offsetof(CompanyRec, SmtpPassword) == 3449);
static_assert(offsetof(CompanyRec, EMailRuleLines) == 3547);
static_assert(offsetof(CompanyRec, EMailWithoutAddress) == 3551);
static_assert(offsetof(CompanyRec, AgingDays1) == 3555);
static_assert(offsetof(CompanyRec, AgingDays2) == 3559);
static_assert(offsetof(CompanyRec, AgingDays3) == 3563);
static_assert(offsetof(CompanyRec, AgingCaption1) == 3567);
static_assert(offsetof(CompanyRec, AgingCaption2) == 3578);
static_assert(offsetof(CompanyRec, AgingCaption3) == 3589);

// The company file.
inline constexpr std::string_view CompanyFileName = "ovcomp";
inline constexpr uint16_t CompanyRecordLength = sizeof(CompanyRec);
inline constexpr std::array<storage::IsamKeyDesc, 2> CompanyKeyDescs = {{{5, 0}, {30, 1}}};

// Key 1: the number, trimmed, padded to 5, upper-cased. Key 2: the name, trimmed, padded to 30,
// upper-cased, cut to 30. Any other key number gives the empty key.
storage::IsamKeyStr BuildCompanyKey(const CompanyRec& record, int keyNr);

// Company numbers name files: a company's data files are its number followed by a file code.
// Only letters and digits are accepted, at most 5 after trimming, ending in a digit, so that a
// number can neither reach outside the program directory nor name another company's files (the
// files of "1P" + "D" would be those of "1" + "PD").
[[nodiscard]] bool IsValidCompanyNumber(std::string_view number);

// File codes of a company's data files.
inline constexpr std::string_view FileCodeProducts = "P";
inline constexpr std::string_view FileCodeCustomers = "C";
inline constexpr std::string_view FileCodeInvoices = "I";
inline constexpr std::string_view FileCodeInvoiceLines = "D";
inline constexpr std::string_view FileCodeInvoiceMemos = "M";
inline constexpr std::string_view FileCodePurchaseOrders = "O";
inline constexpr std::string_view FileCodePOLines = "PD";
inline constexpr std::string_view FileCodePOMemos = "PM";
inline constexpr std::string_view FileCodeVendors = "V";

// The base name of one of a company's data files: the trimmed company number followed by the
// file code, at most 8 characters ("12345PD"). None for a number that IsValidCompanyNumber
// refuses: such a name must never reach the file system.
std::optional<std::string> DataFileBaseName(std::string_view companyNumber, std::string_view fileCode);

// True when the record names a company (a company number is set), false for the empty record
// the program runs with until a company has been set up.
[[nodiscard]] bool IsCompanyOpen(const CompanyRec& company);

// The record of a new company, before the options dialog shows it: a copy of the open company
// with its receivables, logo, run dates, deposit counter and statement note reset and the
// standard purchase-order signature lines. With no company open there is nothing sensible to
// copy (fonts of size 0 without a name, no headings, margins that do not convert), so the new
// company then starts from DefaultCompanyRecord() instead.
CompanyRec NewCompanyRecord(const CompanyRec& current);

// Built-in settings for a company made when none is open: fonts, headings, print layout,
// envelope, copies and aging, all usable as they stand.
CompanyRec DefaultCompanyRecord();

// The open company, read by nearly every routine; the buffer of every read and write of the
// company file; and the working copies of the six heading fonts while the company dialogs are
// open.
extern CompanyRec CurrentCompany;
extern CompanyRec CompanyWorkRec;
extern FontRec InvoiceHeaderFonts[6];

// The Add action's preparation: CompanyWorkRec := NewCompanyRecord(CurrentCompany), and its
// six heading fonts copied into InvoiceHeaderFonts.
void PrepareNewCompanyRecord();

}  // namespace records
