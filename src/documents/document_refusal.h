#pragma once
// While a posting of the open company waits to be undone, its files hold a half posting: nothing
// goes out to a customer or a vendor then. An invoice, packing slip, receipt, statement or PO is
// neither printed nor e-mailed; each printer and e-mail composer asks here before it begins, so
// that nothing of the document reaches a printer, a file or a mail server, and the refusal ends
// the whole run it belongs to (copies, a batch) at once, said once by the error box.

#include <stdexcept>
#include <string>

namespace documents {

class DocumentRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raises DocumentRefused while a posting of the open company waits, with the refusal every
// waiting posting gives: "Invoice 1004 cannot be printed now: invoice 10000 was interrupted and is
// not undone yet. ..." `document` and `verb` ("printed", "e-mailed") make its first words.
void RefuseWhilePostingWaits(const std::string& document, const std::string& verb);

// The verbs of the two ways a document goes out.
inline constexpr char kPrinted[] = "printed";
inline constexpr char kEMailed[] = "e-mailed";

}  // namespace documents
