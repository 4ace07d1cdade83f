#pragma once
// Where a printer's output goes. The printer object keeps the job's bookkeeping (title, page
// number, printing flag) and checks the order of calls; a back-end only draws and delivers.

#include <QSize>
#include <QString>

#include "platform/print/canvas.h"

namespace platform::print {

enum class TPrinterOrientation { poPortrait, poLandscape };

// Printer pixels per inch on every back-end.
inline constexpr int kPrinterDpi = 300;

class PrintBackend {
 public:
  virtual ~PrintBackend() = default;

  // The printable page in printer pixels for an orientation.
  virtual QSize PageSize(TPrinterOrientation orientation) const = 0;

  virtual int TextWidth(const TFont& font, const QString& text) const = 0;
  virtual int TextHeight(const TFont& font, const QString& text) const = 0;

  // A failure to start or deliver is thrown as EPrinter; Abort never throws.
  virtual void BeginDoc(const QString& title, TPrinterOrientation orientation) = 0;
  virtual void NewPage(int page_number) = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;
  // The file the last finished job was written to when it did not go to a printer (a PDF);
  // empty when it went to a printer.
  virtual QString OutputFile() const { return {}; }

  virtual void TextOut(const CanvasState& state, int x, int y, const QString& text) = 0;
  virtual void Rectangle(const CanvasState& state, const QRect& rect) = 0;
  virtual void MoveTo(const CanvasState& state, const QPoint& to) = 0;
  virtual void LineTo(const CanvasState& state, const QPoint& from, const QPoint& to) = 0;
  virtual void FillRect(const CanvasState& state, const QRect& rect) = 0;
  virtual void Draw(const CanvasState& state, const QPoint& at, const QImage& image) = 0;
  virtual void StretchDraw(const CanvasState& state, const QRect& rect, const QImage& image) = 0;
  virtual void DrawTextDocumentPage(const CanvasState& state, const QTextDocument& document, int page,
                                    const QRect& rect) = 0;
};

}  // namespace platform::print
