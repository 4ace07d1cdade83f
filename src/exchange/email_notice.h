#pragma once
// The e-mail notice: one free-text message, typed by the user, sent to every customer and vendor
// in the label print queue, one SMTP message per queued row, through the document window's
// message and SMTP client. A customer or vendor whose address is unusable does not drop out
// silently: the company receives the message under a subject naming it. Product rows, and rows
// whose record is no longer on file, are passed over.
//
// The caller has connected with EnsureMailOnline; the run closes its files and its status window
// and ends the SMTP dialogue however it ends.

#include <functional>
#include <string>
#include <vector>

#include "reports/label_queue.h"

namespace exchange {

struct NoticeText {
  std::string Subject;        // the subject typed in the window
  std::string ReturnAddress;  // the sender
  std::vector<std::string> Body;
};

// Whom the message for one customer or vendor goes to, and under which subject.
struct NoticeAddressing {
  bool EmptyAddress = false;  // nothing to send: the record has no address
  std::string Subject;
  std::vector<std::string> Recipients;
};

enum class NoticeParty { Customer, Vendor };

// A record without an address is passed over, unless the company mails itself about such
// records ("Include customers without e-mail addresses"); an address of one character or
// without "@" goes to the company under "BAD CUSTOMER E-MAIL FOR: " (or "BAD VENDOR ...") and
// the name; any other goes to each address of the field (split at ";", empty parts left out).
NoticeAddressing AddressNotice(NoticeParty party, const std::string& name, const std::string& address,
                               const std::string& subject);
// The message to the company about a customer's or vendor's unusable address.
NoticeAddressing BadAddressNotice(NoticeParty party, const std::string& name);

struct NoticeRunResult {
  int Sent = 0;
  int EmptyAddresses = 0;  // customers and vendors together
  int Missing = 0;         // queued customers and vendors no longer on file
  int Refused = 0;         // rows whose every address the server refused (the company was told)
  bool Completed = false;  // false when the connection was lost or a send failed
};

// Sends the notice to the queued rows in queue order. `sending` is told the name column of each
// row whose message the server took. A row whose every address the server refuses is counted,
// and the company gets the bad-address message for it instead; the run goes on. A lost
// connection or a failed send ends the run at that row and is reported to the user after the
// files and the status window are closed.
NoticeRunResult SendNoticeToQueue(const NoticeText& text, const std::vector<reports::LabelQueueRow>& rows,
                                  const std::function<void(const std::string&)>& sending);

}  // namespace exchange
