#include "mail/smtp_client.h"

#include "mail/mail_utils.h"
#include "mail/message_encoder.h"

namespace mail {

namespace {

constexpr int SmtpPort = 25;

bool IsAccepted(int code) {
  return code == 250 || code == 251;
}
bool IsIntermediate(int code) {
  return code >= 300 && code <= 399;
}
// The replies that end a successful HELO or password step.
bool IsCompletion(int code) {
  return code >= 200 && code <= 300;
}

}  // namespace

// Marks a dialogue with the server as under way for the life of an operation; an operation
// started meanwhile (from a handler run during a wait) is refused and leaves the connection to
// the one that holds it.
class TmsSMTPClient::Dialogue {
 public:
  explicit Dialogue(TmsSMTPClient& client) : client_(client) {
    if (client_.busy_)
      throw EmsError("Another e-mail operation is under way. Please wait until it has finished.");
    client_.busy_ = true;
  }
  ~Dialogue() { client_.busy_ = false; }
  Dialogue(const Dialogue&) = delete;
  Dialogue& operator=(const Dialogue&) = delete;

 private:
  TmsSMTPClient& client_;
};

TmsSMTPClient::TmsSMTPClient() {
  Port = SmtpPort;
  default_port_ = SmtpPort;
}

void TmsSMTPClient::SetMailMessage(TmsMessage* message) {
  mail_message_ = message;
}

int TmsSMTPClient::GetReplyCode(const std::string& line) {
  if (line.size() < 3) return -1;
  int code = 0;
  for (int i = 0; i < 3; ++i) {
    if (line[static_cast<size_t>(i)] < '0' || line[static_cast<size_t>(i)] > '9') return -1;
    code = code * 10 + (line[static_cast<size_t>(i)] - '0');
  }
  return code;
}

void TmsSMTPClient::Connect() {
  if (Host().empty()) throw EmsError("Host property must be assigned");
  TmsClientSocket::Connect();
}

int TmsSMTPClient::TotalRecipients() const {
  if (!RecipientList.empty()) return static_cast<int>(RecipientList.size());
  if (!mail_message_) return 0;
  return mail_message_->Recipients.Count() + mail_message_->CC.Count() + mail_message_->BCC.Count();
}

void TmsSMTPClient::Command(const std::string& text) {
  // A line break inside a command would let the rest of the text pass as a command of its own.
  if (text.find_first_of("\r\n") != std::string::npos) {
    throw EmsError("An e-mail address or name holds a line break and cannot be sent.");
  }
  SendLine(text);
}

int TmsSMTPClient::Reply(const char* step) {
  try {
    return ReadReply();
  } catch (const platform::net::EmsConnectionClosedError&) {
    throw EmsServerError(std::string("The mail server closed the connection ") + step + ".");
  }
}

int TmsSMTPClient::CommandReply(const std::string& text, const char* step) {
  Command(text);
  return Reply(step);
}

std::string TmsSMTPClient::Greeting() {
  return HeloName.empty() ? platform::net::WinsockInstance().LocalHostName() : HeloName;
}

void TmsSMTPClient::Login() {
  Dialogue dialogue(*this);
  try {
    Connect();
    if (Reply("before its greeting") != 220) throw EmsServerError(LastReply);
    if (CommandReply("EHLO " + Greeting(), "at EHLO") != 250) {
      if (!IsCompletion(CommandReply("HELO " + Greeting(), "at HELO"))) throw EmsServerError(LastReply);
    }
    if (!UserName.empty()) Authenticate();
  } catch (...) {
    Abandon();
    throw;
  }
}

void TmsSMTPClient::Authenticate() {
  if (!IsIntermediate(CommandReply("AUTH LOGIN", "at AUTH LOGIN")))
    throw EmsServerError("Error while authenticating");
  if (!IsIntermediate(CommandReply(TmsCustomEncoder::Base64(UserName), "after the user name"))) {
    throw EmsServerError("Error while sending username");
  }
  if (!IsCompletion(CommandReply(TmsCustomEncoder::Base64(Password), "after the password")))
    throw EmsServerError(LastReply);
}

void TmsSMTPClient::Send() {
  bool accepted = true;
  {
    Dialogue dialogue(*this);
    accepted = SendMessage();
  }
  // Nobody would receive the data: the envelope was dropped and the caller is told, so that no
  // document is marked as sent that was not. The session itself is fine.
  if (!accepted)
    throw EmsNoRecipients("The server accepted none of the recipients. The message was not sent.");
}

bool TmsSMTPClient::SendMessage() {
  try {
    TmsTempFileStream messageFile;
    if (mail_message_) {
      if (OnPreparing) OnPreparing(this);
      mail_message_->EncodeToStream(messageFile);
    } else if (!MessageStream) {
      throw EmsError("MailMessage property must be assigned");
    }
    SendEnvelope();
    if (TotalRecipients() > rejected_count_) {
      if (MessageStream || !ResetOnly) {
        SendData(MessageStream ? *MessageStream : messageFile);
      } else {
        ResetEnvelope();
      }
      if (OnSent) OnSent(this);
      return true;
    }
    ResetEnvelope();
    return false;
  } catch (...) {
    Abandon();
    throw;
  }
}

void TmsSMTPClient::ResetEnvelope() {
  if (CommandReply("RSET", "at RSET") / 100 != 2) throw EmsServerError(LastReply);
}

std::vector<std::string> TmsSMTPClient::EnvelopeRecipients() const {
  if (!RecipientList.empty() || !mail_message_) return RecipientList;
  std::vector<std::string> addresses;
  for (const TmsAddressList* list : {&mail_message_->Recipients, &mail_message_->CC, &mail_message_->BCC}) {
    for (int i = 0; i < list->Count(); ++i) addresses.push_back(list->Items(i).Address());
  }
  return addresses;
}

void TmsSMTPClient::SendEnvelope() {
  if (OnSending) OnSending(this);
  rejected_count_ = 0;
  const std::string from =
      MailFrom.empty() && mail_message_ ? mail_message_->Sender().Address() : Trim(MailFrom);
  if (CommandReply("MAIL FROM:<" + from + ">", "at MAIL FROM") != 250) throw EmsServerError(LastReply);
  for (const std::string& address : EnvelopeRecipients()) {
    if (IsAccepted(CommandReply("RCPT TO:<" + address + ">", "at RCPT TO"))) continue;
    ++rejected_count_;
    bool proceed = false;
    if (OnAddressRejected) OnAddressRejected(this, address, LastReply, proceed);
    if (!proceed) throw EmsServerError(LastReply);
  }
}

void TmsSMTPClient::SendData(QIODevice& data) {
  if (CommandReply("DATA", "at DATA") != 354) throw EmsServerError(LastReply);
  SendDotStuffed(data);
  Command("");
  if (CommandReply(".", "after the message") != 250) throw EmsServerError(LastReply);
}

// Sends the text with every line break as CR LF and a second "." before every line that
// begins with one, so that no line of the text can end the data early.
void TmsSMTPClient::SendDotStuffed(QIODevice& data) {
  const qint64 size = data.size();
  if (size == 0) return;
  data.seek(0);
  std::vector<char> chunk(static_cast<size_t>(ChunkSize));
  std::string wire;
  bool atLineStart = true;
  bool pendingCR = false;
  qint64 n = 0;
  do {
    n = std::max<qint64>(data.read(chunk.data(), ChunkSize), 0);
    wire.clear();
    for (qint64 i = 0; i < n; ++i) {
      const char c = chunk[static_cast<size_t>(i)];
      if (pendingCR) {
        wire += "\r\n";
        atLineStart = true;
        pendingCR = false;
        if (c == '\n') continue;
      }
      if (c == '\r') {
        pendingCR = true;
      } else if (c == '\n') {
        wire += "\r\n";
        atLineStart = true;
      } else {
        if (atLineStart && c == '.') wire += '.';
        wire += c;
        atLineStart = false;
      }
    }
    if (n < ChunkSize && pendingCR) wire += "\r\n";
    SendBuffer(wire.data(), static_cast<int>(wire.size()));
    ReportProgress(data.pos(), size);
  } while (n >= ChunkSize);
}

void TmsSMTPClient::Quit() {
  Dialogue dialogue(*this);
  int code = 0;
  try {
    code = CommandReply("QUIT", "at QUIT");
  } catch (...) {
    Abandon();
    throw;
  }
  if (code != 221) {
    Abandon();
    throw EmsServerError(LastReply);
  }
  Disconnect();
}

}  // namespace mail
