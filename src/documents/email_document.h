#pragma once
// Invoices and purchase orders as plain-text e-mail: the document in the buffer is written line
// by line, at most 68 columns wide, into the document window's memo; the lines become the body
// of the window's message, which goes to the account's addresses through the window's SMTP
// client. After a send that reached at least one recipient the stored records are marked
// printed and e-mailed. The caller has run EnsureMailOnline and ends the run with Quit.

#include <string>
#include <string_view>
#include <vector>

namespace documents {

// The text of the invoice or purchase order in the buffer, line by line.
std::vector<std::string> InvoiceMailText();
std::vector<std::string> PurchaseOrderMailText();

// The addresses of an e-mail field: split at every ";", each piece trimmed and cut to 50
// characters; empty pieces are left out.
std::vector<std::string> SplitRecipients(std::string_view field);

// Puts the lines into the document window's memo and the body of its message, from the
// company's address to the recipients, and sends it. True when the server took the message for
// at least one recipient; the mail library's errors go to the caller.
bool SendDocumentMail(const std::vector<std::string>& lines, const std::string& subject,
                      const std::vector<std::string>& recipients);
// The same through the window's message and client alone, from the sender given.
bool SendWindowMail(const std::string& sender, const std::vector<std::string>& lines,
                    const std::string& subject, const std::vector<std::string>& recipients);

// What the windows say after a send: "<what> (1 recipient) sent by e-mail.", the count of the
// message's recipients, "recipients" for any other count.
std::string SentByEMailText(const std::string& what, int recipients);

// Composes, sends and marks the document in the buffer. Nothing is sent when the account has no
// address and the company does not send such documents to itself. Send failures raise the mail
// library's exceptions before anything is marked; while a posting waits to be undone, nothing is
// composed or sent (DocumentRefused).
void EmailInvoiceText();
void EmailPurchaseOrderText();

}  // namespace documents
