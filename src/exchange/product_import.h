#pragma once
// Importing products from the rows of an import grid into the open product file, appended
// without index keys; the file set is rebuilt afterwards.
//
// Grid columns: 0 code, 1 invoice description, 2 PO description, 3 tax on invoice, 4 tax on PO,
// 5 non-stock, 6 non-depleting (each on only when the cell is exactly "Y"), 7 sales price,
// 8 list price, 9 cost, 10 stock on hand, 11 storage location, 12 key code, 13 maximum,
// 14 minimum and 15 target quantity.
//
// A row without a code gets the counter (the number of products on file + 1, stepping past codes
// that are taken); a code that is taken becomes "DUP" + the counter. A price or quantity cell
// that is not a plain number stores 0; prices are stored rounded to cents. A number too long for
// its field is never cut: the window refuses the file before anything is written.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/import_keys.h"

namespace exchange {

// A price or quantity cell whose number does not fit its 10-character field, with its line of
// the file (from 1) and its grid column.
struct ImportCellFault {
  int Line = 0;
  int Column = 0;
  std::string Text;
};
std::optional<ImportCellFault> FirstNumberTooLong(const std::vector<ImportRow>& rows);

// Appends the products as one posting, "the import of products": storage::PostingFailed when it
// could not be made whole (nothing of it is kept). With copyDescription the PO description is the
// invoice description.
ImportResult ImportProducts(const std::vector<ImportRow>& rows, bool copyDescription,
                            const ImportProgress& progress = {});

// A cell that holds a plain number: after trimming, an optional "-", digits and at most one
// "."; no thousands separators.
[[nodiscard]] bool IsNumericCell(std::string_view cell);

}  // namespace exchange
