#pragma once
// Small services of the mail library: address and header-parameter parsing, the content type
// of a file, the local time-zone text and the scratch file that holds an outgoing message.

#include <QByteArray>
#include <QDateTime>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/temp_file.h"

namespace mail {

class TmsMailAddress;

// Longest name, address, subject, file name or content type a message keeps.
constexpr size_t MaxShortText = 255;
std::string Cut255(std::string_view text);

// The lines of a text split at CR LF, a lone CR or a lone LF; a line break at the very end opens
// no further line.
std::vector<std::string> TextLines(std::string_view text);

// The lines as one text, each followed by CR LF.
QByteArray LinesText(const std::vector<std::string>& lines);

// "Name" <address>, address (Name) or a bare address. Raises std::runtime_error
// "Unable to parse email address" for a "<" without a ">" after it.
void ParseAddress(const std::string& text, TmsMailAddress& address);
// The text trimmed and without the double quotes at its start and end.
std::string StripQuotes(std::string_view text);
std::string Trim(std::string_view text);
// The value of a parameter (boundary, charset, name) of a MIME header value, found by its whole
// name in any case, without the quotes around it and with its quoted pairs (a backslash and the
// character it stands for) resolved; empty when there is none.
std::string GetParam(std::string_view name, std::string_view value);
// The same for a parameter that may be written in the extended form of RFC 2231 (name*= with a
// charset and %XX bytes, or sections name*0, name*1*, ...), as Windows-1252 text; the plain
// form when there is no extended one.
std::string GetExtendedParam(std::string_view name, std::string_view value);
// The type token of a header value ("text/plain" of "text/plain; charset=...").
std::string ExtractToken(std::string_view value);
// The content type registered for a file's extension, "application/octet-stream" when none is.
std::string MimeTypeOf(const std::string& fileName);
// "+0100", "-0530" for minutes east of UTC.
std::string ZoneSuffix(int minutesEast);
// The zone text of the system's time zone, worked out once; "GMT" when the system has none.
const std::string& LocalZone();
// The moment in local time as a "Date:" header wants it: "Sat, 14 Mar 2026 05:56:53 -0330", with
// the offset in force at that moment.
std::string MailDate(const QDateTime& moment);
// A new "<...@domain>" for a "Message-ID:" header, never the same twice: the clock's time, the
// process, a count and a random part, at the domain of the sender's address (the host's name
// when the address has no usable domain).
std::string NewMessageId(std::string_view senderAddress);

// The encoded message while it is sent: a new file in the system's temporary folder, deleted
// when the stream is destroyed.
class TmsTempFileStream : public platform::os::TempFile {
 public:
  TmsTempFileStream() : TempFile("ms") {}
};

}  // namespace mail
