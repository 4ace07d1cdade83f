#include "forms/list_window.h"

#include <QHBoxLayout>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>

#include "forms/browser_font.h"
#include "forms/figures_note.h"
#include "forms/form_instance.h"
#include "forms/printout_notice.h"
#include "forms/rich_text_file.h"
#include "platform/files/file.h"
#include "platform/print/print_document.h"
#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"

namespace forms {

using namespace records;

using platform::text::ToAnsi;
using platform::text::ToQString;
using namespace platform::ui;

QString ListWindowFileName;
TListWindow* ListWindow = nullptr;

TListWindow& CreateListWindow() {
  return FormInstance(ListWindow);
}

TListWindow::TListWindow(QWidget* parent)
    : Form(parent),
      PrintButn(new QPushButton("Print", this)),
      FontButn(new QPushButton("Font", this)),
      SaveButn(new QPushButton("Save", this)),
      CloseButn(new QPushButton("Close", this)),
      Memo1(new QPlainTextEdit(this)) {
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  resize(760, 520);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {PrintButn, FontButn, SaveButn}) buttons->addWidget(button);
  buttons->addStretch(1);
  buttons->addWidget(CloseButn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(Memo1, 1);

  QObject::connect(PrintButn, &QPushButton::clicked, [this] { PrintButnClick(); });
  QObject::connect(FontButn, &QPushButton::clicked, [this] { FontButnClick(); });
  QObject::connect(SaveButn, &QPushButton::clicked, [this] { SaveButnClick(); });
  BindModalResult(CloseButn, mrCancel);
}

void TListWindow::FormShow() {
  SetTextFont(CompanyBrowserFont(CurrentCompany));
}

void TListWindow::SetTextFont(const FontChoice& font) {
  font_ = font;
  Memo1->setFont(ToQFont(font));
  QPalette palette = Memo1->palette();
  palette.setColor(QPalette::Text, platform::print::ColorToQColor(font.color));
  Memo1->setPalette(palette);
}

bool TListWindow::LoadFromFile(std::string_view path) {
  std::string bytes;
  if (!platform::files::ReadWholeFile(path, &bytes)) return false;
  QString text = ToQString(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (text.endsWith('\n')) text.chop(1);
  Memo1->setPlainText(text);
  return true;
}

std::vector<std::string> TListWindow::Lines() const {
  std::vector<std::string> lines;
  for (const QString& line : Memo1->toPlainText().split('\n')) lines.push_back(ToAnsi(line));
  return lines;
}

// Each line of a list prints on one line of the page: in the list's font when the lines fit the
// page, else in the same font just small enough.
void TListWindow::PrintButnClick() {
  const QString text = Memo1->toPlainText();
  QTextDocument document;
  document.setDefaultFont(platform::print::FontFittingTextWidth(ToQFont(font_), text.split('\n')));
  QTextOption option = document.defaultTextOption();
  option.setWrapMode(QTextOption::NoWrap);
  document.setDefaultTextOption(option);
  document.setPlainText(text);
  platform::print::PrintTextDocument(document, Caption());
  // The window has no status bar: a list that became a PDF file says where it is.
  ShowWherePdfWent(Caption(), Caption());
}

void TListWindow::FontButnClick() {
  FontRequest request;
  request.font = font_;
  if (FontDialog(request)) SetTextFont(request.font);
}

void TListWindow::SaveButnClick() {
  FileDialogRequest request;
  request.title = "Save As";
  request.defaultExt = "RTF";
  request.filter = "Rich Text File|*.RTF";
  request.fileName = ListWindowFileName + ".RTF";
  if (!SaveFileDialog(request)) return;
  const std::string path = request.fileName.toStdString();
  if (!platform::files::WriteWholeFile(path, RichTextDocument(Lines(), font_)))
    MessageBox("Unable to save " + request.fileName + ".", "Save As", MsgButtons::Ok, MsgIcon::Error);
}

bool LoadListReport(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : WithFiguresNote(lines)) text += line + "\r\n";
  TListWindow& window = CreateListWindow();
  if (platform::files::WriteWholeFile(ListReportFileName, text) && window.LoadFromFile(ListReportFileName))
    return true;
  MessageBox("Unable to write the list file " + ToQString(ListReportFileName) + ".", window.Caption(),
             MsgButtons::Ok, MsgIcon::Error);
  return false;
}

void ShowLoadedListReport() {
  CreateListWindow().ShowModal();
  // A list left behind is written anew by the next list shown.
  (void)platform::files::DeleteFile(ListReportFileName);
}

}  // namespace forms
