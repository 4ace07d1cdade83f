#pragma once
// Whether a product code can be printed as a bar code. The product dialog and the Product
// Manager's "Validate Bar Code" ask this before a code is stored or shown as valid; the check is
// the one the printing windows make, so a code accepted here always prints.

#include <string>
#include <string_view>

namespace products {

// Why the code cannot be a bar code of the company's symbology (offset 3109 of the company
// record: "U" UPC-A, "E" EAN-13, anything else Code 39); empty when it can. The code is trimmed
// and upper-cased first, as the printing windows pass it.
std::string ProductBarCodeError(std::string_view code, std::string_view companyBarCodeType);

bool IsValidProductBarCode(std::string_view code, std::string_view companyBarCodeType);

}  // namespace products
