#include "platform/print/qt_print_backend.h"

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <QTextDocument>

#include "platform/print/printer.h"
#include "platform/text/clock.h"

namespace platform::print {

namespace {

constexpr int kDefaultFontSize = 10;  // for records that hold no size

// What an office printer cannot reach at each edge, in points: a page laid out for a PDF or for
// a printer that reports no margins of its own prints the same on paper.
const QMarginsF kUsualMargins(18, 18, 18, 18);

QFont ToQFont(const TFont& font) {
  QFont qfont(font.Name);
  qfont.setPointSizeF(font.Size > 0 ? font.Size : kDefaultFontSize);
  qfont.setBold(font.Style & fsBold);
  qfont.setItalic(font.Style & fsItalic);
  qfont.setUnderline(font.Style & fsUnderline);
  qfont.setStrikeOut(font.Style & fsStrikeOut);
  // Unhinted outlines measure the same on every device, so layouts computed from the
  // metrics fit the page as drawn.
  qfont.setHintingPreference(QFont::PreferNoHinting);
  return qfont;
}

QPen ToQPen(const TPen& pen) {
  QPen qpen(ColorToQColor(pen.Color));
  qpen.setWidth(pen.Width > 0 ? pen.Width : 1);
  qpen.setCapStyle(Qt::FlatCap);
  qpen.setJoinStyle(Qt::MiterJoin);
  if (pen.Style == TPenStyle::psDot) qpen.setDashPattern({3, 3});
  return qpen;
}

QBrush ToQBrush(const TBrush& brush) {
  switch (brush.Style) {
    case TBrushStyle::bsClear:
      return Qt::NoBrush;
    case TBrushStyle::bsSolid:
      return QBrush(ColorToQColor(brush.Color), Qt::SolidPattern);
    case TBrushStyle::bsBDiagonal:
      return QBrush(ColorToQColor(brush.Color), Qt::BDiagPattern);
  }
  return Qt::NoBrush;
}

// A PDF printer at printer resolution: the job's device, and the metrics device outside jobs.
std::unique_ptr<QPrinter> NewPdfPrinter(const QPageLayout& layout) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setResolution(kPrinterDpi);
  printer->setFullPage(false);
  printer->setPageLayout(layout);
  return printer;
}

// Characters Windows forbids in file names, and control characters, become "_".
QString FileNameFromTitle(const QString& title) {
  QString name = title.trimmed();
  for (QChar& c : name) {
    if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c)) c = '_';
  }
  if (name.size() > 100) name.truncate(100);
  return name.isEmpty() ? QStringLiteral("Printout") : name;
}

}  // namespace

QtPrintBackend::QtPrintBackend() {
  ChooseTarget();
  metrics_device_ = NewPdfPrinter(Layout(TPrinterOrientation::poPortrait));
}

QtPrintBackend::~QtPrintBackend() {
  DiscardJob();
}

void QtPrintBackend::SetPrinterName(const QString& name) {
  printer_name_ = name;
  ChooseTarget();
}

void QtPrintBackend::SetPrintToFile(bool print_to_file) {
  print_to_file_ = print_to_file;
  ChooseTarget();
}

void QtPrintBackend::SetOutputFile(const QString& path) {
  chosen_file_ = path;
  chosen_file_written_ = false;
}

void QtPrintBackend::ChooseTarget() {
  target_printer_.clear();
  if (!print_to_file_) {
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    if (installed.contains(printer_name_)) {
      target_printer_ = printer_name_;
    } else if (!installed.isEmpty()) {
      const QString default_name = QPrinterInfo::defaultPrinterName();
      target_printer_ = installed.contains(default_name) ? default_name : installed.first();
    }
  }
  if (target_printer_.isEmpty()) {
    target_layout_ = QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, kUsualMargins);
    return;
  }
  QPrinter probe(QPrinterInfo::printerInfo(target_printer_), QPrinter::HighResolution);
  target_layout_ = probe.pageLayout();
  target_layout_.setUnits(QPageLayout::Point);
  const QMarginsF own = target_layout_.minimumMargins();
  target_layout_.setMargins(own.isNull() ? kUsualMargins : own);
}

QPageLayout QtPrintBackend::Layout(TPrinterOrientation orientation) const {
  QPageLayout layout = target_layout_;
  layout.setOrientation(orientation == TPrinterOrientation::poPortrait ? QPageLayout::Portrait
                                                                       : QPageLayout::Landscape);
  return layout;
}

QSize QtPrintBackend::PageSize(TPrinterOrientation orientation) const {
  return Layout(orientation).paintRectPixels(kPrinterDpi).size();
}

int QtPrintBackend::TextWidth(const TFont& font, const QString& text) const {
  return qRound(QFontMetricsF(ToQFont(font), metrics_device_.get()).horizontalAdvance(text));
}

int QtPrintBackend::TextHeight(const TFont& font, const QString&) const {
  return qRound(QFontMetricsF(ToQFont(font), metrics_device_.get()).height());
}

namespace {

// "stem.pdf" in the folder, or "stem (2).pdf" and on when that exists.
QString UnusedPdfPath(const QDir& dir, const QString& stem) {
  QString path = dir.filePath(stem + ".pdf");
  for (int n = 2; QFileInfo::exists(path); ++n)
    path = dir.filePath(QStringLiteral("%1 (%2).pdf").arg(stem).arg(n));
  return path;
}

}  // namespace

QString QtPrintBackend::NewPrintoutPath(const QString& title) const {
  QDir dir(QDir::current().filePath("Printouts"));
  if (!dir.exists() && !QDir::current().mkpath("Printouts"))
    throw EPrinter("Cannot create the folder " + dir.path().toStdString());
  return UnusedPdfPath(dir,
                       FileNameFromTitle(title) + ' ' + platform::text::Now().toString("yyyy-MM-dd HHmmss"));
}

QString QtPrintBackend::JobFilePath(const QString& title) const {
  if (chosen_file_.isEmpty()) return NewPrintoutPath(title);
  if (!chosen_file_written_) return chosen_file_;
  const QFileInfo chosen(chosen_file_);
  QString stem = chosen.fileName();
  if (stem.endsWith(".pdf", Qt::CaseInsensitive)) stem.chop(4);
  return UnusedPdfPath(chosen.dir(), stem);
}

void QtPrintBackend::BeginDoc(const QString& title, TPrinterOrientation orientation) {
  DiscardJob();
  ChooseTarget();
  output_file_.clear();
  job_title_ = title;
  if (target_printer_.isEmpty()) {
    job_path_ = JobFilePath(title);
  } else {
    spool_file_ = std::make_unique<QTemporaryFile>(QDir::temp().filePath("kestrava-print-XXXXXX.pdf"));
    if (!spool_file_->open()) throw EPrinter("Cannot create a spool file for the printer");
    job_path_ = spool_file_->fileName();
    spool_file_->close();
  }
  job_printer_ = NewPdfPrinter(Layout(orientation));
  job_printer_->setDocName(title);
  job_printer_->setCreator("OV Kestrava 4");
  job_printer_->setOutputFileName(job_path_);
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(job_printer_.get())) {
    DiscardJob();
    throw EPrinter("Cannot start the print job \"" + title.toStdString() + "\"");
  }
}

QPainter& QtPrintBackend::Painter() {
  if (!painter_) throw EPrinter("Printer is not currently printing");
  return *painter_;
}

void QtPrintBackend::NewPage(int) {
  Painter();
  if (!job_printer_->newPage()) throw EPrinter("Cannot start a new page");
}

void QtPrintBackend::EndDoc() {
  const bool written = Painter().end();
  painter_.reset();
  job_printer_.reset();
  if (!written) {
    DiscardJob();
    throw EPrinter("Cannot write the print job \"" + job_title_.toStdString() + "\"");
  }
  if (target_printer_.isEmpty()) {
    output_file_ = job_path_;
    chosen_file_written_ = chosen_file_written_ || output_file_ == chosen_file_;
    job_path_.clear();
    return;
  }
  SendToPrinter();
}

void QtPrintBackend::SendToPrinter() {
  QProcess lp;
  lp.start("lp", {"-d", target_printer_, "-t", job_title_, "--", job_path_});
  const bool started = lp.waitForStarted();
  const bool finished = started && lp.waitForFinished(120000);
  const QString error = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
  const bool taken = finished && lp.exitStatus() == QProcess::NormalExit && lp.exitCode() == 0;
  DiscardJob();
  if (!started) throw EPrinter("The print spooler (lp) is not installed; the job was not printed");
  if (!taken)
    throw EPrinter("The printer " + target_printer_.toStdString() +
                   " did not take the job: " + error.toStdString());
}

void QtPrintBackend::Abort() {
  DiscardJob();
}

void QtPrintBackend::DiscardJob() {
  if (painter_ && painter_->isActive()) painter_->end();
  painter_.reset();
  job_printer_.reset();
  if (spool_file_) {
    spool_file_.reset();  // removes the file
  } else if (!job_path_.isEmpty()) {
    QFile::remove(job_path_);
  }
  job_path_.clear();
}

void QtPrintBackend::TextOut(const CanvasState& state, int x, int y, const QString& text) {
  QPainter& painter = Painter();
  const QFont font = ToQFont(state.Font);
  const QFontMetricsF metrics(font, job_printer_.get());
  if (state.Brush.Style != TBrushStyle::bsClear)
    painter.fillRect(QRectF(x, y, metrics.horizontalAdvance(text), metrics.height()), ToQBrush(state.Brush));
  painter.setFont(font);
  painter.setPen(ColorToQColor(state.Font.Color));
  painter.drawText(QPointF(x, y + metrics.ascent()), text);
}

void QtPrintBackend::Rectangle(const CanvasState& state, const QRect& rect) {
  QPainter& painter = Painter();
  const QRect r = rect.normalized();
  painter.setPen(ToQPen(state.Pen));
  painter.setBrush(ToQBrush(state.Brush));
  // The pen runs along the outermost pixel rows and columns, centred on them.
  painter.drawRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, r.height() - 1));
}

void QtPrintBackend::MoveTo(const CanvasState&, const QPoint&) {
  Painter();
}

void QtPrintBackend::LineTo(const CanvasState& state, const QPoint& from, const QPoint& to) {
  QPainter& painter = Painter();
  painter.setPen(ToQPen(state.Pen));
  painter.drawLine(from, to);
}

void QtPrintBackend::FillRect(const CanvasState& state, const QRect& rect) {
  QPainter& painter = Painter();
  if (state.Brush.Style == TBrushStyle::bsClear) return;
  painter.fillRect(rect.normalized(), ToQBrush(state.Brush));
}

void QtPrintBackend::Draw(const CanvasState&, const QPoint& at, const QImage& image) {
  Painter().drawImage(QRect(at, image.size()), image);
}

void QtPrintBackend::StretchDraw(const CanvasState&, const QRect& rect, const QImage& image) {
  Painter().drawImage(rect, image);
}

void QtPrintBackend::DrawTextDocumentPage(const CanvasState&, const QTextDocument& document, int page,
                                          const QRect& rect) {
  QPainter& painter = Painter();
  const QRectF page_area(0, page * rect.height(), rect.width(), rect.height());
  painter.save();
  painter.translate(rect.left(), rect.top() - page_area.top());
  painter.setClipRect(page_area);
  QAbstractTextDocumentLayout::PaintContext context;
  context.clip = page_area;
  context.palette.setColor(QPalette::Text, Qt::black);
  document.documentLayout()->draw(&painter, context);
  painter.restore();
}

}  // namespace platform::print
