#include "platform/barcode/barcode.h"

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/print/print_backend.h"

namespace platform::barcode {

namespace {

constexpr std::string_view kCode39Characters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%";
// The narrowest module a scanner reads reliably off an office print.
constexpr double kMinimumModuleMils = 10.0;

struct SymbolDeleter {
  void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

bool AllDigits(std::string_view code) {
  return std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The UPC/EAN check digit of the digits before it: weights 3 and 1 alternating from the right.
char CheckDigit(std::string_view digits) {
  int sum = 0;
  int weight = 3;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    sum += (*it - '0') * weight;
    weight = 4 - weight;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string DigitCodeError(std::string_view name, std::string_view code, size_t length) {
  const std::string type(name);
  if (!AllDigits(code)) return type + " codes hold digits only.";
  if (code.size() != length - 1 && code.size() != length)
    return type + " codes have " + std::to_string(length - 1) + " or " + std::to_string(length) + " digits.";
  if (code.size() == length) {
    const char expected = CheckDigit(code.substr(0, length - 1));
    if (code.back() != expected)
      return "The check digit of this " + type + " code should be " + std::string(1, expected) + ".";
  }
  return {};
}

std::string Code39Error(std::string_view code) {
  if (code.empty()) return "A Code 39 code needs at least one character.";
  for (char c : code) {
    if (kCode39Characters.find(c) == std::string_view::npos)
      return std::string("Code 39 cannot encode the character \"") + c + "\".";
  }
  return {};
}

std::string OwnRulesError(TBarCodeType type, std::string_view code) {
  switch (type) {
    case TBarCodeType::bcUPC_A:
      return DigitCodeError("UPC-A", code, 12);
    case TBarCodeType::bcEAN_13:
      return DigitCodeError("EAN-13", code, 13);
    case TBarCodeType::bcCode39:
      return Code39Error(code);
  }
  return "Unknown bar code type.";
}

// Encodes with zint; the code has passed our own rules. Error text in *error on failure.
std::optional<BarPattern> Encode(TBarCodeType type, std::string_view code, std::string* error) {
  std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
  if (!symbol) {
    *error = "The bar code library is out of memory.";
    return std::nullopt;
  }
  switch (type) {
    case TBarCodeType::bcCode39:
      symbol->symbology = BARCODE_CODE39;
      symbol->option_2 = 1;  // mod-43 check character
      break;
    case TBarCodeType::bcUPC_A:
      symbol->symbology = BARCODE_UPCA;
      break;
    case TBarCodeType::bcEAN_13:
      symbol->symbology = BARCODE_EANX;
      break;
  }
  symbol->show_hrt = 0;
  const int result = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(code.data()),
                                     static_cast<int>(code.size()));
  if (result >= ZINT_ERROR || symbol->rows < 1 || symbol->width < 1) {
    *error = symbol->errtxt[0] ? symbol->errtxt : "The bar code library refused the code.";
    return std::nullopt;
  }
  BarPattern pattern;
  pattern.modules.resize(symbol->width);
  for (int column = 0; column < symbol->width; ++column) {
    // Row 0 holds the whole linear symbol, one bit per module, least significant bit first.
    pattern.modules[column] = (symbol->encoded_data[0][column >> 3] >> (column & 7)) & 1;
  }
  return pattern;
}

std::optional<BarPattern> Validate(TBarCodeType type, std::string_view code, std::string* error) {
  *error = OwnRulesError(type, code);
  if (!error->empty()) return std::nullopt;
  return Encode(type, code, error);
}

// The canvas brush for the bars, put back afterwards even when painting fails.
class BarBrush {
 public:
  explicit BarBrush(print::TCanvas& canvas) : canvas_(canvas), saved_(canvas.Brush) {
    canvas_.Brush = {print::TBrushStyle::bsSolid, print::clBlack};
  }
  ~BarBrush() { canvas_.Brush = saved_; }

 private:
  print::TCanvas& canvas_;
  print::TBrush saved_;
};

void PaintPattern(print::TCanvas& canvas, const BarPattern& pattern, int width, int left, int top,
                  int bottom) {
  const int count = static_cast<int>(pattern.modules.size());
  BarBrush brush(canvas);
  for (int start = 0; start < count;) {
    if (!pattern.modules[start]) {
      ++start;
      continue;
    }
    int end = start;
    while (end < count && pattern.modules[end]) ++end;
    canvas.FillRect(QRect(QPoint(left + start * width, top), QPoint(left + end * width - 1, bottom - 1)));
    start = end;
  }
}

}  // namespace

TBarCodeType BarCodeTypeOfCompany(std::string_view company_bar_code_type) {
  if (company_bar_code_type == "U") return TBarCodeType::bcUPC_A;
  if (company_bar_code_type == "E") return TBarCodeType::bcEAN_13;
  return TBarCodeType::bcCode39;
}

std::string BarCodeError(TBarCodeType type, std::string_view code) {
  std::string error;
  Validate(type, code, &error);
  return error;
}

BarPattern EncodeBarCode(TBarCodeType type, std::string_view code) {
  std::string error;
  std::optional<BarPattern> pattern = Validate(type, code, &error);
  if (!pattern) throw EBarCodeError(error);
  return *pattern;
}

int ModuleWidth(int available_width, int modules) {
  const int minimum = static_cast<int>(std::lround(kMinimumModuleMils / 1000.0 * print::kPrinterDpi));
  const int fitting = modules > 0 ? available_width / modules : 0;
  return fitting >= minimum ? fitting : 0;
}

void TBarCode::SetCode(std::string_view code) {
  code_ = code;
  EncodeBarCode(BarCodeType, code_);
}

void TBarCode::Paint(print::TCanvas& canvas, int left, int top, int right, int bottom) const {
  PaintBarCode(canvas, BarCodeType, code_, left, top, right, bottom);
}

bool PaintBarCode(print::TCanvas& canvas, TBarCodeType type, std::string_view code, int left, int top,
                  int right, int bottom) {
  std::string error;
  const std::optional<BarPattern> pattern = Validate(type, code, &error);
  if (!pattern) return false;
  const int width = ModuleWidth(right - left, static_cast<int>(pattern->modules.size()));
  if (width == 0)
    canvas.TextOut(left, top, QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size())));
  else
    PaintPattern(canvas, *pattern, width, left, top, bottom);
  return true;
}

}  // namespace platform::barcode
