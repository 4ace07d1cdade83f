#include "exchange/email_notice.h"

#include <optional>
#include <stdexcept>

#include "documents/document_view.h"
#include "documents/email_document.h"
#include "mail/smtp_client.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "reports/label_lookup.h"
#include "storage/stat_form.h"

namespace exchange {

using platform::text::TrimBlanks;
using records::CurrentCompany;
using reports::LabelQueueRow;

NoticeAddressing AddressNotice(NoticeParty party, const std::string& name, const std::string& address,
                               const std::string& subject) {
  const std::string trimmed = TrimBlanks(address);
  NoticeAddressing addressing;
  if (CurrentCompany.EMailWithoutAddress.Get() != "Y" && trimmed.empty()) {
    addressing.EmptyAddress = true;
    return addressing;
  }
  if (trimmed.size() > 1 && trimmed.find('@') != std::string::npos) {
    addressing.Subject = TrimBlanks(subject);
    addressing.Recipients = documents::SplitRecipients(trimmed);
    return addressing;
  }
  return BadAddressNotice(party, name);
}

NoticeAddressing BadAddressNotice(NoticeParty party, const std::string& name) {
  NoticeAddressing addressing;
  addressing.Subject =
      (party == NoticeParty::Customer ? "BAD CUSTOMER E-MAIL FOR: " : "BAD VENDOR E-MAIL FOR: ") +
      TrimBlanks(name);
  addressing.Recipients = {TrimBlanks(CurrentCompany.CompanyEMail.Get())};
  return addressing;
}

namespace {

// The shared status window for the length of the run, closed however the run ends.
class RunStatus {
 public:
  RunStatus() : form_(storage::EnsureStatForm()) {
    form_.ClearStatusLines();
    form_.Label1->setText("Working...");
    form_.SetCaption("E-Mail Mode");
    form_.Show();
    platform::ui::Application->ProcessMessages();
  }
  ~RunStatus() { form_.Close(); }
  RunStatus(const RunStatus&) = delete;
  RunStatus& operator=(const RunStatus&) = delete;

  void ShowSent(int sent) {
    form_.Label1->setText("E-Mails Sent: " + QString::number(sent));
    platform::ui::Application->ProcessMessages();
  }

 private:
  storage::TStatForm& form_;
};

// Ends the SMTP dialogue when it is still open. The messages have gone out by then; a server that
// does not answer the goodbye has lost nothing, and the client has dropped the line itself.
void QuitMailServer(mail::TmsSMTPClient& client) {
  if (!client.GetConnected()) return;
  try {
    client.Quit();
  } catch (const std::exception&) {
  }
}

// The name and address of a queued customer or vendor; false when it is no longer on file.
bool ReadQueuedRecord(reports::QueuedRecords& files, const LabelQueueRow& row, std::string& name,
                      std::string& address) {
  if (row.Letter == "C") {
    records::CustomerRec customer{};
    if (!files.Customer(row.Code, customer)) return false;
    name = customer.CustomerName.Get();
    address = customer.CustEMail.Get();
    return true;
  }
  records::VendorRec vendor{};
  if (!files.Vendor(row.Code, vendor)) return false;
  name = vendor.VendorName.Get();
  address = vendor.VendEMail.Get();
  return true;
}

// False when the server refused every recipient of the notice.
bool SendNoticeUnlessRefused(const NoticeText& text, const NoticeAddressing& addressing) {
  try {
    documents::SendWindowMail(TrimBlanks(text.ReturnAddress), text.Body, addressing.Subject,
                              addressing.Recipients);
    return true;
  } catch (const mail::EmsNoRecipients&) {
    return false;
  }
}

// Sends the notice for one "C" or "V" row, counting what became of it.
void SendToRow(reports::QueuedRecords& files, const LabelQueueRow& row, const NoticeText& text,
               NoticeRunResult& result, const std::function<void(const std::string&)>& sending) {
  std::string name, address;
  if (!ReadQueuedRecord(files, row, name, address)) {
    ++result.Missing;
    return;
  }
  const NoticeParty party = row.Letter == "C" ? NoticeParty::Customer : NoticeParty::Vendor;
  const NoticeAddressing addressing = AddressNotice(party, name, address, text.Subject);
  if (addressing.EmptyAddress) {
    ++result.EmptyAddresses;
    return;
  }
  if (!SendNoticeUnlessRefused(text, addressing)) {
    // The server refused every address of the row; the session goes on, and the company hears
    // of the address as of any other bad one (unless its own address is refused too).
    ++result.Refused;
    if (!SendNoticeUnlessRefused(text, BadAddressNotice(party, name))) return;
  }
  if (sending) sending(TrimBlanks(row.Name));
  ++result.Sent;
}

}  // namespace

NoticeRunResult SendNoticeToQueue(const NoticeText& text, const std::vector<LabelQueueRow>& rows,
                                  const std::function<void(const std::string&)>& sending) {
  mail::TmsSMTPClient& client = *documents::CreateRtedit().msSMTP1;
  NoticeRunResult result;
  std::optional<std::string> failure;
  bool connectionLost = false;
  {
    reports::QueuedRecords files;
    RunStatus status;
    try {
      for (const LabelQueueRow& row : rows) {
        if (!client.GetConnected()) {
          connectionLost = true;
          break;
        }
        if (row.Letter == "C" || row.Letter == "V") SendToRow(files, row, text, result, sending);
        status.ShowSent(result.Sent);
      }
    } catch (const std::exception& error) {
      failure = error.what();
    }
  }
  QuitMailServer(client);
  // The mail library says a closed connection itself; an error without a word (a server that
  // answers with an empty line) still says that the run stopped.
  if (failure && !failure->empty())
    platform::ui::Application->HandleException(std::runtime_error(*failure));
  else if (failure || connectionLost)
    platform::ui::ShowMessage(
        "The connection to the e-mail server was lost. The remaining messages were not sent.");
  result.Completed = !failure && !connectionLost;
  return result;
}

}  // namespace exchange
