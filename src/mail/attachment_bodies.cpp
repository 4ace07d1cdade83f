// The encoder's writers of bodies that carry more than one plain text: multipart messages
// (mixed, alternative, and an alternative part nested in a mixed one), a message that is one
// attachment, an HTML or RTF body, and the uuencoded form. Special attachment names, compared
// on the name part in lower case: "_htmbody.htm" and "_rtfbody.rtf" carry the body in HTML or
// RTF, "_edifact" an EDIFACT interchange, and names beginning "_alt." an alternative form of
// the text part.

#include <QByteArray>
#include <QRandomGenerator>

#include "mail/codecs.h"
#include "mail/header_words.h"
#include "mail/mail_utils.h"
#include "mail/message_encoder.h"
#include "mail/quoted_printable.h"
#include "platform/text/codepage.h"

namespace mail {

namespace {

constexpr int Base64PieceBytes = 57;  // 76 characters a line
constexpr const char* HtmlBody = "_htmbody.htm";
constexpr const char* RtfBody = "_rtfbody.rtf";
constexpr const char* Edifact = "_edifact";

bool IsAlternative(const TmsAttItem& item) {
  return LowerNamePart(item.FileName()).rfind("_alt.", 0) == 0;
}

bool IsNamed(const TmsAttItem& item, const char* name) {
  return LowerNamePart(item.FileName()) == name;
}

// Widest header line we write; a longer one is folded.
constexpr size_t HeaderLineWidth = 78;

// Whether a quoted string carries the text as it stands: no letters outside ASCII and no
// control characters but the tab.
bool FitsQuotedString(std::string_view text) {
  for (unsigned char c : text) {
    if ((c < ' ' && c != '\t') || c >= 127) return false;
  }
  return true;
}

// The text in double quotes, a backslash before each quote and backslash in it.
std::string QuotedString(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

// The text in UTF-8 as the pieces of an extended parameter value (RFC 2231), one a character: the
// character itself where it may stand for itself, else "%XX" for each of its bytes. A section
// of the value ends between pieces, as readers decode each section on its own.
std::vector<std::string> PercentPieces(std::string_view text) {
  static const std::string_view plain = "!#$&+-.^_`|~";
  std::vector<std::string> pieces;
  for (const QChar character : platform::text::ToQString(text)) {
    std::string piece;
    for (unsigned char c : QString(character).toUtf8()) {
      const bool alone = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                         plain.find(static_cast<char>(c)) != std::string_view::npos;
      piece += alone ? std::string(1, static_cast<char>(c)) : HexEscaped(c, '%');
    }
    pieces.push_back(piece);
  }
  return pieces;
}

std::string Joined(const std::vector<std::string>& pieces) {
  std::string text;
  for (const std::string& piece : pieces) text += piece;
  return text;
}

// An extended value too long for one line, in numbered sections of a folded line each.
std::string ValueInSections(const std::string& parameter, const std::vector<std::string>& pieces) {
  std::string text;
  size_t at = 0;
  for (int section = 0; at < pieces.size(); ++section) {
    std::string line =
        " " + parameter + "*" + std::to_string(section) + "*=" + (section == 0 ? "utf-8''" : "");
    do {
      line += pieces[at++];
    } while (at < pieces.size() && line.size() + pieces[at].size() + 1 <= HeaderLineWidth);
    text += ";\r\n" + line;
  }
  return text;
}

// The header line begun with `lead` and ended with the parameter that names the file, written so
// that a reader reads the whole name back: a quoted string with its quotes and backslashes
// escaped; a name with letters outside ASCII in the extended form of RFC 2231 in UTF-8. The
// parameter goes on a folded line of its own when the line would be too wide, and in numbered
// sections when that line would be too. Line breaks in the name are blanks, so that no name can
// start a header line.
std::string WithFileName(const std::string& lead, const std::string& parameter, const std::string& fileName) {
  const std::string name = HeaderValue(NamePart(fileName));
  const std::vector<std::string> pieces = PercentPieces(name);
  const std::string whole = FitsQuotedString(name) ? parameter + '=' + QuotedString(name)
                                                   : parameter + "*=utf-8''" + Joined(pieces);
  if (lead.size() + 2 + whole.size() <= HeaderLineWidth) return lead + "; " + whole;
  if (1 + whole.size() <= HeaderLineWidth) return lead + ";\r\n " + whole;
  return lead + ValueInSections(parameter, pieces);
}

}  // namespace

std::string TmsCustomEncoder::MakeBoundary() {
  std::string boundary;
  for (int i = 0; i < 8; ++i) boundary += static_cast<char>('0' + QRandomGenerator::global()->bounded(9));
  return boundary;
}

void TmsCustomEncoder::WriteAttachmentBody(const TmsAttItem& item, uint8_t encoding) {
  const QByteArray& bytes = item.Stream;
  if (encoding == 1) {
    // A piece shorter than a full one ends the body, so an exact multiple ends with an empty line.
    for (qsizetype at = 0;; at += Base64PieceBytes) {
      const QByteArray piece = bytes.mid(at, Base64PieceBytes);
      WriteLine(piece.toBase64().toStdString());
      if (piece.size() < Base64PieceBytes) break;
    }
  } else if (encoding == 2) {
    WriteQuotedPrintable(bytes);
  } else {
    WriteLines(TextLines(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
  }
}

void TmsCustomEncoder::WriteAttachmentPart(const TmsAttItem& item, bool plainAttachment) {
  const bool named = plainAttachment && !NamePart(item.FileName()).empty();
  const std::string type = "Content-Type: " + HeaderValue(item.ContentType);
  WriteLine(named ? WithFileName(type, "name", item.FileName()) : type);
  WriteLine(std::string("Content-Transfer-Encoding: ") + EncodingName(item.Encoding));
  if (named) WriteLine(WithFileName("Content-Disposition: attachment", "filename", item.FileName()));
  WriteLine("");
  WriteAttachmentBody(item, item.Encoding);
  WriteLine("");
}

void TmsCustomEncoder::WriteMultipart(bool alternative) {
  const TmsAttList& attachments = message_.Attachments();
  const bool bodyAttachment =
      body_.empty() && (IsNamed(attachments.Items(0), HtmlBody) || IsNamed(attachments.Items(0), RtfBody));
  bool alternativeFirst = IsAlternative(attachments.Items(0));
  std::string boundary = MakeBoundary();
  std::string outer = boundary;
  WriteLine("Content-Type: " + message_.DeriveContentType() + "; boundary=" + QuotedString(boundary));
  WriteLine("");
  WriteLine("This is a multipart message in MIME format");
  WriteLine("");
  WriteLine("--" + boundary);
  const bool nested = alternativeFirst && !alternative;
  if (nested) {
    // The text and its alternatives form one part of the mixed message, under a boundary of
    // their own.
    while (boundary == outer) boundary = MakeBoundary();
    WriteLine("Content-Type:  multipart/alternative; boundary=" + QuotedString(boundary));
    WriteLine("Content-Transfer-Encoding: 7bit");
    WriteLine("");
    WriteLine("--" + boundary);
  }
  if (!body_.empty()) {
    WritePlainBody();
    WriteLine("");
    WriteLine("--" + boundary);
  }
  for (int i = 0; i < attachments.Count(); ++i) {
    const bool bodyPart = i == 0 && bodyAttachment;
    WriteAttachmentPart(attachments.Items(i), !alternative && !alternativeFirst && !bodyPart);
    const bool last = i + 1 == attachments.Count();
    if (alternativeFirst && (last || !IsAlternative(attachments.Items(i + 1)))) {
      alternativeFirst = false;
      if (nested) {
        WriteLine("--" + boundary + "--");
        WriteLine("");
        boundary = outer;
      }
    }
    // The empty line after each part belongs to the boundary line; a second one would add a
    // line break to the part's content.
    WriteLine("--" + boundary + (last ? "--" : ""));
  }
}

void TmsCustomEncoder::WriteSingleAttachment() {
  const TmsAttItem& item = message_.Attachments().Items(0);
  const bool alone = message_.Attachments().Count() == 1;
  uint8_t encoding = item.Encoding;
  const bool special = alone && (IsNamed(item, HtmlBody) || IsNamed(item, RtfBody) || IsNamed(item, Edifact));
  if (alone && IsNamed(item, HtmlBody)) {
    WriteLine("Content-Type: text/html");
  } else if (alone && IsNamed(item, RtfBody)) {
    WriteLine("Content-Type: text/rtf");
  } else if (alone && IsNamed(item, Edifact)) {
    WriteLine("Content-Type: application/edifact");
    encoding = 2;
  } else {
    WriteLine(WithFileName("Content-Type: " + HeaderValue(item.ContentType), "name", item.FileName()));
  }
  WriteLine(std::string("Content-Transfer-Encoding: ") + EncodingName(encoding));
  if (!special) WriteLine(WithFileName("Content-Disposition: attachment", "filename", item.FileName()));
  WriteLine("");
  WriteAttachmentBody(item, encoding);
}

void TmsCustomEncoder::WriteRichBody(const std::string& type) {
  // The body lines hold the HTML or RTF text; without them a lone body attachment does.
  const bool fromAttachment = body_.empty() && message_.Attachments().Count() > 0;
  const QByteArray text = fromAttachment ? message_.Attachments().Items(0).Stream : LinesText(body_);
  const bool eightBit = message_.CharSet == csUSASCII &&
                        HasEightBit(std::string_view(text.constData(), static_cast<size_t>(text.size())));
  std::string line = "Content-Type: " + type;
  if (message_.CharSet != csUSASCII || eightBit) line += "; charset=\"" + CharSetName(eightBit) + "\"";
  WriteLine(line);
  WriteLine("Content-Transfer-Encoding: quoted-printable");
  WriteLine("");
  WriteQuotedPrintable(text);
}

void TmsCustomEncoder::WriteUUBody() {
  WriteLine("");
  WriteLines(body_);
  const TmsAttList& attachments = message_.Attachments();
  for (int i = 0; i < attachments.Count(); ++i) {
    const TmsAttItem& item = attachments.Items(i);
    WriteLine("");
    WriteLine("begin 600 " + HeaderValue(NamePart(item.FileName())));
    // A piece shorter than a full line ends the file.
    for (qsizetype at = 0;; at += UULineBytes) {
      const QByteArray piece = item.Stream.mid(at, UULineBytes);
      WriteLine(UUEncodeLine(std::string_view(piece.constData(), static_cast<size_t>(piece.size()))));
      if (piece.size() < UULineBytes) break;
    }
    WriteLine("`");
    WriteLine("end");
  }
}

}  // namespace mail
