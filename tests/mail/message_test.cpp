#include "mail/message.h"

#include "mail/header_words.h"

#include <gtest/gtest.h>

#include "platform/net/expect_error.h"

namespace mail {
namespace {

std::unique_ptr<TmsAttItem> Attachment(const std::string& fileName) {
  auto item = std::make_unique<TmsAttItem>();
  item->SetFileName(fileName);
  return item;
}

TEST(AddressList, AddAssignAndClear) {
  TmsAddressList list;
  list.Add("a@example.com", "");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).Name(), "");
  EXPECT_EQ(list.Items(0).Address(), "a@example.com");
  list.AddItem(std::make_unique<TmsMailAddress>("b@example.com", "Bee"));
  TmsAddressList copy;
  copy.Assign(list);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Items(1).Name(), "Bee");
}

TEST(Attachment, TypeAndEncodingFollowTheFileName) {
  EXPECT_EQ(Attachment("notes.txt")->Encoding, 2);
  EXPECT_EQ(Attachment("page.htm")->Encoding, 2);
  EXPECT_EQ(Attachment("mail.eml")->Encoding, 0);
  auto pdf = Attachment("invoice.pdf");
  EXPECT_EQ(pdf->ContentType, "application/pdf");
  EXPECT_EQ(pdf->Encoding, 1);
}

TEST(MessageContentType, FollowsBodyAndAttachments) {
  TmsMessage message;
  message.Body = {"Hello"};
  EXPECT_EQ(message.ContentType(), "text/plain");
  message.Clear();
  message.Body = {"Again"};
  EXPECT_EQ(message.ContentType(), "text/plain");  // nothing stored after Clear
  message.SetContentType("Text/HTML");
  EXPECT_EQ(message.ContentType(), "text/html");

  TmsMessage attached;
  std::vector<std::unique_ptr<TmsAttItem>> items;
  items.push_back(Attachment("a.pdf"));
  attached.SetAttachments(std::move(items));
  EXPECT_EQ(attached.ContentType(), "application/pdf");  // the one attachment is the message
  attached.Body = {"text"};
  EXPECT_EQ(attached.ContentType(), "multipart/mixed");
  attached.Body.clear();
  attached.Attachments().Items(0).SetFileName("C:\\x\\_HTMBODY.HTM");
  EXPECT_EQ(attached.ContentType(), "text/html");
  attached.Attachments().Add(Attachment("_alt.txt"));
  attached.Attachments().Items(0).SetFileName("_alt.htm");
  EXPECT_EQ(attached.ContentType(), "multipart/alternative");
  attached.Encoding = meUU;
  EXPECT_EQ(attached.ContentType(), "");
}

TEST(MessageCheckValid, NeedsASenderAndOneRecipient) {
  TmsMessage message;
  testing_support::ExpectError<EMessageError>([&] { message.CheckValid(); },
                                              "The address of sender is required");
  message.Sender().SetAddress("me@example.com");
  message.Recipients.Add("", "Nobody");
  testing_support::ExpectError<EMessageError>([&] { message.CheckValid(); },
                                              "At least one Recipient, CC or BCC must be entered");
  message.BCC.Add("hidden@example.com", "");
  EXPECT_NO_THROW(message.CheckValid());
}

TEST(MessageAssign, CopiesEverythingDeeply) {
  TmsMessage source;
  source.Sender().SetAddress("me@example.com");
  source.SetSubject("Invoice");
  source.Body = {"line"};
  source.Recipients.Add("you@example.com", "You");
  source.Priority = ptHigh;
  source.ReturnReceipt = true;
  source.Attachments().Add(Attachment("a.pdf"));
  TmsMessage copy;
  copy.Assign(source);
  source.Clear();
  EXPECT_EQ(copy.Sender().Address(), "me@example.com");
  EXPECT_EQ(copy.Subject(), "Invoice");
  EXPECT_EQ(copy.Recipients.Count(), 1);
  EXPECT_EQ(copy.Attachments().Count(), 1);
  EXPECT_EQ(copy.Priority, ptHigh);
  EXPECT_TRUE(copy.ReturnReceipt);
}

TEST(HeaderFields, ValuesContinuationsAndEncodedWords) {
  TmsHeaders headers{"Subject: =?iso-8859-1?Q?Caf=E9_au_lait?=", "X-Long: first part", "\tsecond part",
                     "Content-Type: text/plain; name==?x?Q?a?=", "Keywords:tight"};
  EXPECT_EQ(headers.GetFieldValue("subject"), "Caf\xe9 au lait");
  EXPECT_EQ(headers.GetFieldValue("X-Long:"), "first part second part");
  EXPECT_EQ(headers.GetFieldValue("Content-Type"), "text/plain; name==?x?Q?a?=");  // never decoded
  EXPECT_EQ(headers.GetFieldValue("Keywords"), "tight");  // only a blank or tab after the colon is skipped
  EXPECT_EQ(headers.GetFieldValue("Missing"), "");
  headers.RemoveField("x-long");
  EXPECT_EQ(headers.size(), 3u);
  EXPECT_EQ(DecodeHeaderWords("=?utf-8?B?SGVsbG8=?= =?x?q?_you?= <a_b@example.com>"),
            "Hello you <a_b@example.com>");
}

TEST(HeaderFields, ReadIntoAMessage) {
  TmsHeaders headers{"From: \"Shop, Inc.\" <shop@example.com>",
                     "To: \"Smith, John\" <john@example.com>, mary@example.com",
                     "CC: carol@example.com (Carol)",
                     "Subject: Invoice 1001",
                     "X-Priority: 3",
                     "Return-receipt-to: <shop@example.com>"};
  TmsMessage message;
  message.ReadHeaderFields(headers);
  EXPECT_EQ(message.Sender().Name(), "Shop, Inc.");
  ASSERT_EQ(message.Recipients.Count(), 2);
  EXPECT_EQ(message.Recipients.Items(0).Name(), "Smith, John");
  EXPECT_EQ(message.Recipients.Items(0).Address(), "john@example.com");
  EXPECT_EQ(message.Recipients.Items(1).Address(), "mary@example.com");
  ASSERT_EQ(message.CC.Count(), 1);
  EXPECT_EQ(message.CC.Items(0).Name(), "Carol");
  EXPECT_EQ(message.Subject(), "Invoice 1001");
  EXPECT_EQ(message.Priority, ptNormal);
  EXPECT_TRUE(message.ReturnReceipt);
  EXPECT_EQ(message.Headers.size(), headers.size());
  headers[4] = "X-Priority: 5";
  message.ReadHeaderFields(headers);
  EXPECT_EQ(message.Priority, ptLow);
}

}  // namespace
}  // namespace mail
