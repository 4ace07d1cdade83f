#include "products/product_barcode.h"

#include "platform/barcode/barcode.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"

namespace products {

std::string ProductBarCodeError(std::string_view code, std::string_view companyBarCodeType) {
  using namespace platform;
  return barcode::BarCodeError(barcode::BarCodeTypeOfCompany(companyBarCodeType),
                               text::UpperCase(text::TrimBlanks(code)));
}

bool IsValidProductBarCode(std::string_view code, std::string_view companyBarCodeType) {
  return ProductBarCodeError(code, companyBarCodeType).empty();
}

}  // namespace products
