#pragma once
// The Product Manager's two printouts: the product list (text lines for the list window, in the
// order of one key of the product file) and the one-page sheet of a single product.

#include <string>
#include <vector>

#include "records/product_rec.h"

namespace products {

// The lines of the product list in the order of key 1 (code) or 2 (description): a heading of
// three lines, then five lines for every product with a description. Each line is cut to 85
// characters. Read from the product file the manager holds, or one opened for the list; raises
// records::FileUnusable when it cannot be opened or read.
std::vector<std::string> ProductListLines(int keyNr);

// Prints one product on one page of the application's printer, in the report font. Raises the
// printer's error when the job fails; nothing is then printed.
void PrintProductSheet(const records::ProductRec& product);

}  // namespace products
