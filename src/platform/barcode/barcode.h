#pragma once
// Bar codes of product codes, invoice and PO numbers: Code 39 (with its mod-43 check
// character), UPC-A and EAN-13, encoded by zint and painted bar by bar on the printer's
// canvas.
//
// One validation serves product entry and printing, so that a code accepted at entry always
// prints: UPC-A is exactly 11 digits (check digit added) or 12 (the last must be the right
// check digit), EAN-13 exactly 12 or 13 digits likewise, Code 39 one or more of its 43
// characters 0-9 A-Z space - . $ / + % (callers upper-case the code first).

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/print/canvas.h"

namespace platform::barcode {

enum class TBarCodeType { bcCode39, bcUPC_A, bcEAN_13 };

// The company's bar code type: "U" UPC-A, "E" EAN-13, anything else Code 39.
TBarCodeType BarCodeTypeOfCompany(std::string_view company_bar_code_type);

class EBarCodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Why the code cannot be a bar code of the type; empty when it can.
std::string BarCodeError(TBarCodeType type, std::string_view code);

// The symbol as modules from left to right, true for a bar; no quiet zones.
struct BarPattern {
  std::vector<bool> modules;
};

// The pattern of a valid code; EBarCodeError with the reason for any other.
BarPattern EncodeBarCode(TBarCodeType type, std::string_view code);

// Module width in printer pixels: the widest whole number of pixels at which the symbol fits
// the width; 0 when that would be under 10 mils, too narrow for a scanner to read.
int ModuleWidth(int available_width, int modules);

// The bar code component of the printing windows: set the type, set the code (validated,
// EBarCodeError when rejected), paint it into a rectangle of the canvas: bars only, no text,
// from the rectangle's left edge, each bar the full height and whole printer pixels wide. A
// symbol that would not be readable in the rectangle's width prints as its code in the canvas's
// font instead, at the rectangle's top-left corner.
class TBarCode {
 public:
  TBarCodeType BarCodeType = TBarCodeType::bcCode39;

  const std::string& Code() const { return code_; }
  void SetCode(std::string_view code);

  // Paints the current code; nothing when it is not valid for the current type.
  void Paint(print::TCanvas& canvas, int left, int top, int right, int bottom) const;

 private:
  std::string code_;
};

// Paints the code into the rectangle (as text when the bars would be too narrow); false, and
// nothing painted, when the code is rejected.
bool PaintBarCode(print::TCanvas& canvas, TBarCodeType type, std::string_view code, int left, int top,
                  int right, int bottom);

}  // namespace platform::barcode
