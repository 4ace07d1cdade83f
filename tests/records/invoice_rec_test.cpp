#include "records/invoice_rec.h"

#include <gtest/gtest.h>

#include <cstring>

namespace records {
namespace {

InvoiceRec Invoice(std::string_view number, std::string_view type) {
  InvoiceRec record;
  record.InvoiceNo.Set(number);
  record.TransactionType.Set(type);
  return record;
}

TEST(InvoiceRecTest, NumberCustomerAndKeyCodeKeysAreTrimmedPaddedAndUpperCased) {
  InvoiceRec record = Invoice(" 10042 ", "I");
  record.InvCustomerNo.Set("c100");
  record.KeyCode.Set(" partial");
  EXPECT_EQ(BuildInvoiceKey(record, 1), "10042    ");
  EXPECT_EQ(BuildInvoiceKey(record, 2), "C100    ");
  EXPECT_EQ(BuildInvoiceKey(record, 4), "PARTIAL ");
  EXPECT_EQ(BuildInvoiceKey(record, 5), "I10042    ");
  EXPECT_EQ(BuildInvoiceKey(record, 0), "");
  EXPECT_EQ(BuildInvoiceKey(record, 7), "");

  InvoiceRec deposit = Invoice("dp17", "d");
  EXPECT_EQ(BuildInvoiceKey(deposit, 5), "DDP17     ");
  EXPECT_EQ(BuildInvoiceKey(deposit, 1), "DP17     ");
}

TEST(InvoiceRecTest, ABlankInvoiceNumberStillHasKeys) {
  InvoiceRec record = Invoice("", "X");
  EXPECT_EQ(BuildInvoiceKey(record, 1), std::string(9, ' '));
  EXPECT_EQ(BuildInvoiceKey(record, 5), "X" + std::string(9, ' '));
}

TEST(InvoiceRecTest, DateKeysKeepTheStoredCaseAndSpacing) {
  InvoiceRec record = Invoice("1", "I");
  record.SortDate.Set(" 2026/1/7");
  EXPECT_EQ(BuildInvoiceKey(record, 3), " 2026/1/7 ");
  record.SortDate.Set("2026/12/07");
  EXPECT_EQ(BuildInvoiceKey(record, 3), "2026/12/07");

  // An open record has no date paid: ten blanks, which sort before every paid date.
  EXPECT_EQ(BuildInvoiceKey(record, 6), std::string(10, ' '));
  InvoiceRec paid = record;
  paid.DatePaid.Set("2026/12/08");
  EXPECT_EQ(BuildInvoiceKey(paid, 6), "2026/12/08");
  EXPECT_LT(storage::IsamCompareKeys(BuildInvoiceKey(record, 6), BuildInvoiceKey(paid, 6)), 0);
  paid.DatePaid.Set("abc");
  EXPECT_EQ(BuildInvoiceKey(paid, 6), "abc       ");
}

TEST(InvoiceRecTest, KeyTextsFitTheIndexKeyLengths) {
  InvoiceRec record = Invoice("123456789", "Z");
  record.InvCustomerNo.Set("12345678");
  record.SortDate.Set("2026/12/07");
  record.KeyCode.Set("INTEREST");
  record.DatePaid.Set("2026/12/31");
  for (int key = 1; key <= 6; ++key)
    EXPECT_LE(BuildInvoiceKey(record, key).size(), InvoiceKeyDescs[key - 1].KeyLength) << "key " << key;
  EXPECT_EQ(BuildInvoiceKey(record, 5), "Z123456789");
}

TEST(InvoiceRecTest, EachTransactionTypeHasItsDescription) {
  const std::pair<const char*, const char*> types[] = {
      {"I", "I - Regular Invoice"},
      {"G", "G - Repeat Billing Generated Invoice"},
      {"Z", "Z - Invoice has Partial Payment(s) of Type X"},
      {"X", "X - Partial Payment Record against Type Z"},
      {"D", "D - Deposit on Account"},
      {"T", "T - Deposit Taken (offsets type D)"},
  };
  for (const auto& [code, text] : types) {
    InvoiceRec record = Invoice("1", code);
    ASSERT_TRUE(TransactionTypeOf(record).has_value()) << code;
    EXPECT_EQ(static_cast<char>(*TransactionTypeOf(record)), code[0]);
    EXPECT_EQ(TransactionTypeDescription(record), text);
  }
  InvoiceRec master = Invoice("1", "R");
  master.CreatedDate.Set("12/01/2026");  // nine characters are all the field holds
  EXPECT_EQ(TransactionTypeOf(master), TransactionType::RepeatBillingMaster);
  EXPECT_EQ(TransactionTypeDescription(master), "R - Repeat Billing Master Record (Created: 12/01/202)");

  for (const char* unknown : {"", " ", "M", "i"}) {
    EXPECT_FALSE(TransactionTypeOf(Invoice("1", unknown)).has_value()) << unknown;
    EXPECT_EQ(TransactionTypeDescription(Invoice("1", unknown)), "");
  }
}

TEST(InvoiceRecTest, ARecordIsOpenUntilSettledOrNothingIsDue) {
  InvoiceRec record = Invoice("1", "I");
  record.AmountDue.Set("12.50");
  EXPECT_TRUE(IsOpenItem(record));
  record.SettledFlag.Set(" ");
  EXPECT_TRUE(IsOpenItem(record));
  record.SettledFlag.Set("P");
  EXPECT_FALSE(IsOpenItem(record));
  record.SettledFlag.Set("");
  for (const char* nothingDue : {"0.00", "0", "-0.00", " 0.00 "}) {
    record.AmountDue.Set(nothingDue);
    EXPECT_FALSE(IsOpenItem(record)) << nothingDue;
  }
  record.AmountDue.Set("-5.00");  // a credit is still an open item
  EXPECT_TRUE(IsOpenItem(record));
  record.AmountDue.Set("??");
  EXPECT_TRUE(IsOpenItem(record));

  InvoiceRec master = Invoice("1", "R");
  master.AmountDue.Set("40.00");
  EXPECT_FALSE(IsOpenItem(master));
}

TEST(InvoiceRecTest, RepeatBillingAndConversionFieldsDoNotOverlap) {
  InvoiceRec record;
  record.DatePaid.Set("2026/12/31");
  record.ConvertedChar.Set("C");
  record.SettledFlag.Set("P");
  record.NextDueDate.Set("01/01/2027");
  record.ConvertedText.Set("abc");
  record.CreatedDate.Set("12/01/26");
  record.EMailedDate.Set("12/07/2026");
  record.TaxRate.Set("8.125");
  record.ShipTo4.Set(std::string(40, 'z'));

  unsigned char bytes[sizeof(InvoiceRec)];
  std::memcpy(bytes, &record, sizeof bytes);
  EXPECT_EQ(bytes[307], 1);
  EXPECT_EQ(bytes[308], 'C');
  EXPECT_EQ(bytes[310], 'P');
  EXPECT_EQ(bytes[321], '7');
  EXPECT_EQ(bytes[322], 3);
  EXPECT_EQ(bytes[325], 'c');
  EXPECT_EQ(bytes[326], 8);
  EXPECT_EQ(bytes[335], 0);
  EXPECT_EQ(bytes[336], 10);
  EXPECT_EQ(bytes[347], 5);
  EXPECT_EQ(bytes[542], 'z');
  EXPECT_EQ(bytes[543], 0);

  InvoiceRec copy;
  std::memcpy(&copy, bytes, sizeof copy);
  EXPECT_EQ(copy.NextDueDate.Get(), "01/01/2027");
  EXPECT_EQ(copy.CreatedDate.Get(), "12/01/26");
  EXPECT_EQ(copy.EMailedDate.Get(), "12/07/2026");
  EXPECT_EQ(copy.ShipTo4.Get(), std::string(35, 'z'));
}

}  // namespace
}  // namespace records
