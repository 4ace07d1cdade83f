#pragma once
// The printed page frame of the full-page documents (invoice, packing slip, file copy, purchase
// order): margins, fonts, logo, title, number and its bar code, company and account blocks, the
// shaded header box with the information rows, the centred item table with its page breaks, the
// memo body, the totals columns, the message block and the bottom strip. Everything is drawn on
// the printer's canvas in printer pixels (300 to the inch) from text metrics, one print job per
// document; the company record decides which pieces are drawn, the document buffer holds the data.
//
// The building blocks SelectFont, LineHeight, PrintBitmapAt, PrintBarCode and the logo loader
// also serve the receipt printer.
//
// Every setting and every amount the page needs is converted before the job begins: a margin or
// an amount that is not a number raises ConvertError before anything reaches the printer, and a
// failure half-way (a printer error) aborts the job, restores the printer's orientation and
// leaves nothing to be marked printed.

#include <QImage>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/print/printer.h"
#include "records/company_rec.h"

namespace documents {

// Company settings the frame converts with StrToInt. A blank address indent is first stored
// back into the company record as "0", a blank shading line spacing as "8" (in memory only).
// Settings of options that are off are not converted; the receipt converts only the margins,
// the indent and the pen width (ConvertPageSettings).
struct FrameSettings {
  int LeftMargin = 0;
  int TopMargin = 0;
  int AddressIndent = 0;
  int PenWidth = 1;
  int BoxTop = 0;        // with BoxAroundForm
  int ShadeSpacing = 8;  // with UseShading
  int MaxLines = 0;      // with MoveDownTotals
};
FrameSettings ConvertPageSettings(records::CompanyRec& company);
FrameSettings ConvertFrameSettings(records::CompanyRec& company);

// A line item as the printers draw it, converted from its DocLines entry before the job begins:
// the unit price with as many decimals as it was typed with, the extension ",0.00"; both a single
// blank when the line has neither price nor quantity, and a blank extension prints blank.
struct ItemRow {
  std::string Product, Quantity, Description, UnitPrice, Taxable, Extension;
  double QuantityValue = 0;
};
// The entries up to the last one whose characters countFrom..countFrom+31 are not blank. Lines
// that do not count but stand between counted ones print as they are, so that no counted line
// is dropped. With mask (packing slips) prices and extensions are "xxxxxxxxxx".
std::vector<ItemRow> PrintedItemRows(std::size_t countFrom, bool mask);

// Sets the canvas font's name, size, style and colour from a font of the company record.
void SelectFont(platform::print::TCanvas& canvas, const records::FontRec& font);
// TextHeight("MXjpy") of the canvas font.
int LineHeight(const platform::print::TCanvas& canvas);
// The memo text's font: name of the browser font at two points larger, colour and style of the
// body font.
void SelectMemoFont(platform::print::TCanvas& canvas, const records::CompanyRec& company);

// The bitmap with its top-left corner at (x, y), one bitmap pixel to one printer pixel.
void PrintBitmapAt(platform::print::TCanvas& canvas, const QImage& bitmap, int x, int y);
// The company's logo when PrintLogo is on and LogoFile names an existing file; none otherwise.
// A file that exists but is not an image raises EInvalidGraphic.
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
std::optional<QImage> LoadCompanyLogo(const records::CompanyRec& company);

// Sets the document window's bar code component to the company's symbology.
void SetBarCodeType(const records::CompanyRec& company);
// Paints the code into the rectangle with the document window's bar code component; false, with
// nothing painted, when the symbology rejects the code.
bool PrintBarCode(platform::print::TCanvas& canvas, const std::string& code, int left, int top, int right,
                  int bottom);

// Text word-wrapped by the document window's notes box so that every line fits printerWidth
// printer pixels in the printer font: the box takes the font and the width in screen pixels.
std::vector<std::string> WrapForPrinter(const std::string& text, int printerWidth,
                                        const platform::print::TFont& font);

// Drawing on a printer's canvas with the line height of the font selected last: the common
// ground of the document printers.
class DocumentCanvas {
 public:
  explicit DocumentCanvas(platform::print::TPrinter& printer)
      : printer_(printer), canvas_(printer.Canvas()) {}

 protected:
  int PageWidth() const { return printer_.PageWidth(); }
  int PageHeight() const { return printer_.PageHeight(); }
  int TextWidth(const std::string& text) const;
  // Draws the text with its cell's top-left corner at (x, y); an empty text draws nothing.
  void Text(int x, int y, const std::string& text);
  // Selects the font and takes its line height and half line.
  void Font(const records::FontRec& font);
  void MemoFont(const records::CompanyRec& company);

  platform::print::TPrinter& printer_;
  platform::print::TCanvas& canvas_;
  int lh_ = 0;
  int halfLine_ = 0;
};

// A row of the totals block: label at the description separator, amount (currency symbol in
// front) ending at the money column's right edge, side text at the quantity separator. Empty
// texts are not drawn.
struct TotalsRow {
  std::string Label;
  std::string Amount;  // trimmed amount text; empty: no amount on this row
  std::string SideText;
};

// What a document printer hands the frame besides the document buffer.
struct FrameDocument {
  QString JobTitle;
  bool SetJobTitle = true;          // false: the job keeps the printer's last title
  std::string Title;                // drawn as it stands in the right half
  std::string TitleWidthText;       // the text whose width centres it
  std::string NumberCaption;        // the main caption: the number bar code starts where it would
  bool NumberOneLineLower = false;  // PO: the number half a line lower than the invoice's
  bool NumberBarCode = false;
  std::string DuplicateMarker;   // first page; empty: none
  std::string LetterheadMarker;  // printed on pre-printed paper; empty: none
  std::string ShipToCaption;
  std::string NumberLabel;
  std::string AccountLabel;
  bool ProductCodes = false;
  bool LineBarCodes = false;
  std::string MemoCaption;
  std::array<std::string, 4> Messages;
  std::size_t CountFrom = 28;  // a line counts when its characters CountFrom..CountFrom+31 are not blank
  bool MaskAmounts = false;    // packing slip: "xxxxxxxxxx" for prices and extensions
  // The totals block: a sentence at the quantity separator two lines down (packing slip), or
  // the rows, one line apart.
  std::string TotalsSentence;
  std::vector<TotalsRow> Totals;
  // The bottom strip, when shown: two rows of texts, the j-th text of a row at LeftMargin +
  // j x (PageWidth div 4).
  bool Strip = false;
  std::array<std::vector<std::string>, 2> StripRows;
};

// Prints the document held in the document buffer as one job on the printer, laid out by the
// frame. Raises ConvertError (settings, amounts), EInvalidGraphic (logo) or EPrinter; the job is
// then aborted and the caller must not mark anything printed.
void PrintFramedDocument(platform::print::TPrinter& printer, const FrameDocument& document);

}  // namespace documents
