#include "platform/print/qt_print_backend.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <QTextDocument>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/print/printer.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"

namespace platform::print {

using platform::text::ToAnsi;

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

// A PDF printer at printer resolution: the device that measures text outside jobs.
std::unique_ptr<QPrinter> NewPdfPrinter(const QPageLayout& layout) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setResolution(kPrinterDpi);
  printer->setFullPage(false);
  printer->setPageLayout(layout);
  return printer;
}

// A job's device: the same PDF at the same resolution, drawn inside the layout's margins into
// memory.
std::unique_ptr<QPdfWriter> NewPdfWriter(QIODevice& bytes, const QPageLayout& layout) {
  auto writer = std::make_unique<QPdfWriter>(&bytes);
  writer->setResolution(kPrinterDpi);
  writer->setPageLayout(layout);
  return writer;
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
  const QDir dir(QDir::current().filePath("Printouts"));
  std::error_code error;
  if (!dir.exists()) std::filesystem::create_directory(QFile::encodeName(dir.path()).toStdString(), error);
  if (error) throw EPrinter("Cannot create the folder " + ToAnsi(dir.path()) + ": " + error.message() + ".");
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
  if (target_printer_.isEmpty()) job_path_ = JobFilePath(title);
  job_bytes_ = std::make_unique<QBuffer>();
  job_bytes_->open(QIODevice::WriteOnly);
  job_writer_ = NewPdfWriter(*job_bytes_, Layout(orientation));
  job_writer_->setTitle(title);
  job_writer_->setCreator("OV Kestrava 4");
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(job_writer_.get())) {
    DiscardJob();
    throw EPrinter("Cannot start the print job \"" + ToAnsi(title) + "\"");
  }
}

QPainter& QtPrintBackend::Painter() {
  if (!painter_) throw EPrinter("Printer is not currently printing");
  return *painter_;
}

void QtPrintBackend::NewPage(int) {
  Painter();
  if (!job_writer_->newPage()) throw EPrinter("Cannot start a new page");
}

void QtPrintBackend::EndDoc() {
  const bool drawn = Painter().end();
  painter_.reset();
  job_writer_.reset();
  const QByteArray pdf = job_bytes_->data();
  job_bytes_.reset();
  if (!drawn) {
    DiscardJob();
    throw EPrinter("Cannot write the print job \"" + ToAnsi(job_title_) + "\"");
  }
  if (!target_printer_.isEmpty()) {
    SendToPrinter(pdf);
    return;
  }
  const QString path = std::exchange(job_path_, QString());
  WriteJobFile(path, pdf);
  output_file_ = path;
  chosen_file_written_ = chosen_file_written_ || output_file_ == chosen_file_;
}

void QtPrintBackend::WriteJobFile(const QString& path, const QByteArray& pdf) const {
  const std::string name = QFile::encodeName(path).toStdString();
  const bool existed = platform::files::Exists(name);
  const std::string_view bytes(pdf.constData(), static_cast<size_t>(pdf.size()));
  int err = 0;
  if (platform::files::WriteWholeFile(name, bytes, &err)) return;
  // A new file that failed only at the folder's sync is in place; it goes too, so that no file
  // stands that was not reported saved. A file that was there before is never removed.
  if (!existed) (void)platform::files::DeleteFile(name);  // the write's failure is the one said
  throw EPrinter("The printout \"" + ToAnsi(job_title_) + "\" could not be written to " + ToAnsi(path) +
                 ": " + std::strerror(err ? err : EIO) + ".");
}

void QtPrintBackend::SendToPrinter(const QByteArray& pdf) {
  // The spool file is named by QTemporaryFile, which removes it when the job is over.
  QTemporaryFile spool(QDir::temp().filePath("kestrava-print-XXXXXX.pdf"));
  if (!spool.open()) throw EPrinter("Cannot create a spool file for the printer");
  spool.close();
  WriteJobFile(spool.fileName(), pdf);
  QProcess lp;
  lp.start("lp", {"-d", target_printer_, "-t", job_title_, "--", spool.fileName()});
  const bool started = lp.waitForStarted();
  const bool finished = started && lp.waitForFinished(120000);
  const QString error = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
  const bool taken = finished && lp.exitStatus() == QProcess::NormalExit && lp.exitCode() == 0;
  if (!started) throw EPrinter("The print spooler (lp) is not installed; the job was not printed");
  if (!taken)
    throw EPrinter("The printer " + ToAnsi(target_printer_) + " did not take the job: " + ToAnsi(error));
}

void QtPrintBackend::Abort() {
  DiscardJob();
}

void QtPrintBackend::DiscardJob() {
  // Nothing of a job reaches the disk before EndDoc: dropping it is letting its memory go.
  if (painter_ && painter_->isActive()) painter_->end();
  painter_.reset();
  job_writer_.reset();
  job_bytes_.reset();
  job_path_.clear();
}

void QtPrintBackend::TextOut(const CanvasState& state, int x, int y, const QString& text) {
  QPainter& painter = Painter();
  const QFont font = ToQFont(state.Font);
  const QFontMetricsF metrics(font, job_writer_.get());
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
