#pragma once
// The products an entry form's lines name, read from the product file by their codes.

#include <optional>
#include <string>
#include <vector>

#include "records/product_rec.h"

namespace forms {

// The product whose code is `code` (trimmed, any case), from the product file opened around the
// look-up unless a window holds it. False when no product has the code; throws
// records::FileUnusable when the file cannot be opened or searched, so that an entry form never
// takes a file it cannot read for a code that is not on file.
[[nodiscard]] bool ProductOnFile(const std::string& code, records::ProductRec& product);
// The same for the codes of a set of lines, the file held open for all of them: each line's
// product, none for a blank code or one not on file.
std::vector<std::optional<records::ProductRec>> ProductsOnFile(const std::vector<std::string>& codes);

// Asks whether a code typed that is not on file should be picked from the manager instead.
bool AskToPickUnknownCode();

}  // namespace forms
