#include "records/detail_file.h"

#include <cstdio>

namespace records {

const storage::DataFileKind DetailKind =
    storage::PlainDataFileKind("D", "Detail Records", sizeof(DetailRec),
                               {{10, true, {{offsetof(DetailRec, Date), 10}}},
                                {9, true, {{offsetof(DetailRec, InvoiceNumber), 9}}},
                                {11, true, {{offsetof(DetailRec, LineKey), 20}}}});

storage::IsamFileBlock DetailFile = nullptr;
DetailRec DetailBuf{};

storage::DataFileUnit& DetailUnit() {
  static storage::DataFileUnit unit(DetailKind, DetailFile);
  return unit;
}

namespace {
std::string Column(std::string_view part, size_t width) {
  return platform::text::PadRightWith(part.substr(0, width), ' ', width);
}
}  // namespace

std::string LineText(std::string_view quantity, std::string_view description, std::string_view price,
                     std::string_view taxable, std::string_view extension) {
  return Column(quantity, kLineQuantityWidth) + Column(description, kLineDescriptionWidth) +
         Column(price, kLinePriceWidth) + Column(taxable, kLineTaxableWidth) +
         Column(extension, kLineExtensionWidth);
}

std::string LineNumberText(int line) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", line);
  return text;
}

std::string LineKeyText(std::string_view documentNumber, int line) {
  return ZeroPad9(documentNumber) + LineNumberText(line);
}

}  // namespace records
