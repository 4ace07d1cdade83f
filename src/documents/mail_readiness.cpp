#include "documents/mail_readiness.h"

#include "documents/document_buffer.h"
#include "documents/document_view.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "storage/stat_form.h"

namespace documents {

using platform::text::TrimBlanks;
using platform::ui::MessageBox;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using records::CurrentCompany;

namespace {

void ConnectShowingStatus(mail::TmsSMTPClient& client) {
  storage::TStatForm& status = storage::EnsureStatForm();
  status.ClearStatusLines();
  status.Label2->setText("Checking E-Mail Server...");
  status.SetCaption("E-Mail Mode");
  status.Show();
  platform::ui::Application->ProcessMessages();
  struct CloseStatus {
    storage::TStatForm& form;
    ~CloseStatus() { form.Close(); }
  } closeStatus{status};
  client.Login();
}

}  // namespace

bool EnsureMailOnline() {
  const records::CompanyRec& company = CurrentCompany;
  if (TrimBlanks(company.CompanyEMail.Get()).size() < 2) {
    MessageBox(
        "You need to enter your company e-mail address in your company setup so your customers have a return "
        "e-mail address for you.",
        "Your Company E-Mail Address", MsgButtons::Ok, MsgIcon::Information);
    return false;
  }
  if (TrimBlanks(company.SmtpHost.Get()).size() < 2) {
    MessageBox(
        "You need to enter your company Host SMTP Mail Server. This is who will be used to e-mail your "
        "invoices. "
        "See the email options in the company setup.",
        "No SMTP Server Setup", MsgButtons::Ok, MsgIcon::Information);
    return false;
  }
  Trtedit& window = CreateRtedit();
  // Only its present width: the window's layout sizes it again when the window shows or resizes.
  window.MemoInv->resize(window.ListView1->width(), window.MemoInv->height());
  DocMode = "INV";
  mail::TmsSMTPClient& client = *window.msSMTP1;
  client.SetHost(TrimBlanks(company.SmtpHost.Get()));
  std::string user = TrimBlanks(company.SmtpUserName.Get());
  if (!user.empty()) {
    client.UserName = user;
    client.Password = TrimBlanks(company.SmtpPassword.Get());
  }
  if (!client.GetConnected()) {
    // A server that cannot be reached is reported as the error it is, then as not online, so
    // the run stops here instead of unwinding through its caller.
    try {
      ConnectShowingStatus(client);
    } catch (const std::exception& error) {
      platform::ui::Application->HandleException(error);
    }
  }
  if (!client.GetConnected()) {
    platform::ui::ShowMessage("Not Online");
    return false;
  }
  return true;
}

void Trtedit::msSMTP1AddressRejected(mail::TmsSMTPClient*, const std::string& TheAddress, const std::string&,
                                     bool& Proceed) {
  platform::ui::ShowMessage("This email address has been rejected by your ISP: " +
                            platform::text::ToQString(TheAddress));
  Proceed = true;
}

}  // namespace documents
