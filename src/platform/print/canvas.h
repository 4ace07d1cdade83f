#pragma once
// The printer's canvas. Positions and sizes are printer pixels, 300 to the inch on every
// back-end, so that layouts computed from text metrics give the same page everywhere. The
// font, pen and brush are plain state read at every call, the way the original's canvas kept
// them: set them, then draw.

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>

#include "platform/print/colors.h"

class QTextDocument;

namespace platform::print {

class TPrinter;

// Style bits as the font records store them.
using TFontStyles = uint8_t;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

struct TFont {
  QString Name = "Arial";
  int Size = 10;  // points
  TFontStyles Style = 0;
  TColor Color = clWindowText;
};

enum class TPenStyle { psSolid, psDot };

struct TPen {
  int Width = 1;  // printer pixels; 0 draws one pixel wide, as on Windows
  TColor Color = clBlack;
  TPenStyle Style = TPenStyle::psSolid;
};

enum class TBrushStyle { bsClear, bsSolid, bsBDiagonal };

struct TBrush {
  TBrushStyle Style = TBrushStyle::bsSolid;
  TColor Color = clWhite;
};

// What is in force for one drawing call.
struct CanvasState {
  TFont Font;
  TPen Pen;
  TBrush Brush;
};

class TCanvas {
 public:
  explicit TCanvas(TPrinter& printer) : printer_(printer) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TFont Font;
  TPen Pen;
  TBrush Brush;

  // Text metrics of the current font; they work outside a print job too.
  int TextWidth(const QString& text) const;
  int TextHeight(const QString& text) const;

  // Drawing needs a print job in progress (EPrinter otherwise).
  // (x, y) is the top-left corner of the text cell. Unless the brush is clear the cell is
  // first filled with the brush colour, as Windows does.
  void TextOut(int x, int y, const QString& text);
  // Outline with the pen, interior with the brush; covers x1..x2-1 and y1..y2-1.
  void Rectangle(int x1, int y1, int x2, int y2);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  // Fills with the brush alone; a clear brush fills nothing.
  void FillRect(const QRect& rect);
  // The image at its own pixel size (one image pixel to one printer pixel).
  void Draw(int x, int y, const QImage& image);
  // The image stretched into the rectangle.
  void StretchDraw(const QRect& rect, const QImage& image);
  // Page `page` (counted from 0) of a document laid out in printer pixels with the page size
  // of rect.
  void DrawTextDocumentPage(const QTextDocument& document, int page, const QRect& rect);

  QPoint PenPos() const { return pen_pos_; }

 private:
  CanvasState State() const { return {Font, Pen, Brush}; }

  TPrinter& printer_;
  QPoint pen_pos_;
};

}  // namespace platform::print
