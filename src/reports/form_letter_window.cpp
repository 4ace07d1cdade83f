#include "reports/form_letter_window.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QVBoxLayout>
#include <cmath>
#include <memory>
#include <type_traits>

#include "forms/form_instance.h"
#include "forms/printer_setup.h"
#include "forms/printout_notice.h"
#include "forms/rich_text_file.h"
#include "forms/run_state.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/print/colors.h"
#include "platform/text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/message_box.h"
#include "records/system_reason.h"
#include "reports/label_queue.h"
#include "reports/label_wizard.h"
#include "reports/letter_merge.h"

namespace reports {

using platform::ui::MessageBox;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;

TLetterWiz* LetterWiz = nullptr;

namespace {

const QString kUntitled = QStringLiteral("Untitled");
const QString kLetterTitle = QStringLiteral("Letter Wizard");
const QString kLetterFilter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT");
const char* const kRichTextMime = "text/rtf";
const char* const kRichTextMimeAlias = "application/rtf";

// The ruler works in points as the indents are kept, the editor in pixels of 1/96 inch.
constexpr qreal kRulerAdj = 4.0 / 3.0;

// The alignment and bullet buttons show lines of text as they would lie on the page.
QIcon ParagraphIcon(Qt::Alignment alignment, bool bullets = false) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QPen(Qt::black, 1));
  const int widths[] = {14, 9, 12, 7};
  for (int line = 0; line < 4; ++line) {
    const int y = 2 + line * 4;
    int width = bullets ? 10 : widths[line];
    int x = alignment & Qt::AlignHCenter ? (16 - width) / 2 : alignment & Qt::AlignRight ? 15 - width : 1;
    if (bullets) {
      painter.drawRect(1, y - 1, 1, 1);
      x = 5;
    }
    painter.drawLine(x, y, x + width - 1, y);
  }
  return QIcon(pixmap);
}

// A colour as the font dialog takes it: 0x00BBGGRR.
int32_t WindowsColor(const QColor& color) {
  return color.red() | color.green() << 8 | color.blue() << 16;
}

std::string PathOf(const QString& name) {
  return name.toStdString();
}

}  // namespace

TLetterEdit::TLetterEdit(QWidget* parent) : QTextEdit(parent) {
  setViewportMargins(TLetterRuler::Gutter, 0, TLetterRuler::Gutter, 0);
  document()->setDocumentMargin(0);
  setTabStopDistance(48);  // half an inch
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

bool TLetterEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasFormat(kRichTextMime) || source->hasFormat(kRichTextMimeAlias) ||
         QTextEdit::canInsertFromMimeData(source);
}

void TLetterEdit::insertFromMimeData(const QMimeData* source) {
  QTextDocument pasted;
  if (source->hasFormat(kRichTextMime) || source->hasFormat(kRichTextMimeAlias)) {
    const QByteArray rtf =
        source->data(source->hasFormat(kRichTextMime) ? kRichTextMime : kRichTextMimeAlias);
    forms::ReadRichText(std::string_view(rtf.constData(), rtf.size()), pasted);
  } else if (source->hasHtml()) {
    pasted.setHtml(source->html());
  } else {
    QTextEdit::insertFromMimeData(source);
    return;
  }
  // Through a letter file and back: what it cannot hold stays out of the letter now, rather
  // than vanishing at the next save.
  QTextDocument kept;
  forms::ReadRichText(forms::RichTextFromDocument(pasted), kept);
  textCursor().insertFragment(QTextDocumentFragment(&kept));
}

QMimeData* TLetterEdit::createMimeDataFromSelection() const {
  // The editor's own data lists a fixed set of formats: its contents go into plain data.
  std::unique_ptr<QMimeData> own(QTextEdit::createMimeDataFromSelection());
  auto* data = new QMimeData;
  for (const QString& format : own->formats()) data->setData(format, own->data(format));
  QTextDocument selection;
  QTextCursor(&selection).insertFragment(textCursor().selection());
  data->setData(kRichTextMime, QByteArray::fromStdString(forms::RichTextFromDocument(selection)));
  return data;
}

TLetterWiz::TLetterWiz(QWidget* parent) : Form(parent) {
  setObjectName("LetterWiz");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildMenus();
  layout->setMenuBar(menuBar_);
  BuildSpeedBar();
  layout->addWidget(SpeedBar);
  Ruler = new TLetterRuler(this);
  layout->addWidget(Ruler);
  RichEdit1 = new TLetterEdit(this);
  RichEdit1->setFont(QFont("Liberation Sans", 10));
  RichEdit1->document()->setDefaultFont(RichEdit1->font());
  layout->addWidget(RichEdit1, 1);
  Panel1 = new QLabel(this);
  QFont bold = Panel1->font();
  bold.setBold(true);
  Panel1->setFont(bold);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Raised);
  Panel1->setAutoFillBackground(true);
  Panel1->resize(260, 60);
  Panel1->hide();

  Ruler->SetTabDistance(static_cast<int>(RichEdit1->tabStopDistance()));
  Ruler->FirstInd->Released = [this] { FirstIndMouseUp(); };
  Ruler->LeftInd->Released = [this] { LeftIndMouseUp(); };
  Ruler->RightInd->Released = [this] { RightIndMouseUp(); };
  for (auto signal : {&QTextEdit::cursorPositionChanged, &QTextEdit::selectionChanged})
    QObject::connect(RichEdit1, signal, this, [this] { SelectionChange(); });
  QObject::connect(RichEdit1, &QTextEdit::currentCharFormatChanged, this, [this] { SelectionChange(); });

  resize(1000, 700);
  SetLetterFileName(kUntitled);
  SelectionChange();
}

void TLetterWiz::BuildMenus() {
  menuBar_ = new QMenuBar(this);
  auto item = [this](QMenu* menu, const char* caption, auto handler, QKeySequence keys = {}) {
    QAction* action = menu->addAction(caption);
    action->setShortcut(keys);
    QObject::connect(action, &QAction::triggered, this, handler);
    return action;
  };
  QMenu* file = menuBar_->addMenu("&File");
  New1 = item(
      file, "&New", [this] { FileNewClick(); }, QKeySequence::New);
  Open1 = item(
      file, "&Open...", [this] { FileOpenClick(); }, QKeySequence::Open);
  Save1 = item(
      file, "&Save", [this] { FileSave(); }, QKeySequence::Save);
  SaveAs1 = item(file, "Save &As...", [this] { FileSaveAs(); });
  file->addSeparator();
  Queue1 = item(file, "&Queue...", [this] { QueueClick(); });
  Print1 = item(
      file, "&Print", [this] { PrintButtonClick(); }, QKeySequence::Print);
  PrinterSetup1 = item(file, "P&rinter Setup", [this] { PrinterSetupClick(); });
  file->addSeparator();
  Close1 = item(file, "&Close", [this] { Close(); });
  // The editor handles its own keys for these.
  QMenu* edit = menuBar_->addMenu("&Edit");
  Undo1 = item(edit, "&Undo", [this] { RichEdit1->undo(); });
  Cut1 = item(edit, "Cu&t", [this] { RichEdit1->cut(); });
  Copy1 = item(edit, "&Copy", [this] { RichEdit1->copy(); });
  Paste1 = item(edit, "&Paste", [this] { RichEdit1->paste(); });
  edit->addSeparator();
  Font1 = item(edit, "&Font...", [this] { SelectFont(); });
  Overview1 = item(menuBar_->addMenu("&Help"), "&Overview", [this] { HelpClick(); });
}

QToolButton* TLetterWiz::SpeedButton(const QString& hint, const QString& text, bool checkable) {
  auto* button = new QToolButton(SpeedBar);
  button->setToolTip(hint);
  button->setText(text.isEmpty() ? hint : text);
  button->setCheckable(checkable);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

void TLetterWiz::BuildSpeedBar() {
  SpeedBar = new QWidget(this);
  auto icon = [this](QToolButton* button, const auto& image) {
    if constexpr (std::is_same_v<std::decay_t<decltype(image)>, QIcon>)
      button->setIcon(image);
    else
      button->setIcon(style()->standardIcon(image));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
  };
  OpenButton = icon(SpeedButton("Open"), QStyle::SP_DialogOpenButton);
  SaveButton = icon(SpeedButton("Save"), QStyle::SP_DialogSaveButton);
  PrintButton = icon(SpeedButton("Print"), QStyle::SP_FileDialogContentsView);
  UndoButton = icon(SpeedButton("Undo"), QStyle::SP_ArrowBack);
  CutButton = SpeedButton("Cut");
  CopyButton = SpeedButton("Copy");
  PasteButton = SpeedButton("Paste");
  FontName = new QComboBox(SpeedBar);
  QStringList families = QFontDatabase::families();
  families.sort(Qt::CaseInsensitive);
  FontName->addItems(families);
  FontName->setEditable(true);
  FontName->setInsertPolicy(QComboBox::NoInsert);
  FontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  FontName->setMinimumContentsLength(12);
  FontSize = new QSpinBox(SpeedBar);
  FontSize->setRange(1, 1638);
  MainFont = SpeedButton("Font Selection", "Font...");
  BoldButton = SpeedButton("Bold", "B", true);
  ItalicButton = SpeedButton("Italic", "I", true);
  UnderlineButton = SpeedButton("Underline", "U", true);
  for (auto [button, style] : {std::pair{BoldButton, 0}, {ItalicButton, 1}, {UnderlineButton, 2}}) {
    QFont font = button->font();
    font.setBold(style == 0);
    font.setItalic(style == 1);
    font.setUnderline(style == 2);
    button->setFont(font);
  }
  BoldButton->setShortcut(QKeySequence::Bold);
  ItalicButton->setShortcut(QKeySequence::Italic);
  UnderlineButton->setShortcut(QKeySequence::Underline);
  LeftAlign = icon(SpeedButton("Align Left", "Left", true), ParagraphIcon(Qt::AlignLeft));
  CenterAlign = icon(SpeedButton("Center", "Center", true), ParagraphIcon(Qt::AlignHCenter));
  RightAlign = icon(SpeedButton("Align Right", "Right", true), ParagraphIcon(Qt::AlignRight));
  for (QToolButton* button : {LeftAlign, CenterAlign, RightAlign}) button->setAutoExclusive(true);
  BulletsButton = icon(SpeedButton("Bullets", "Bullets", true), ParagraphIcon(Qt::AlignLeft, true));
  ComboBox1 = new QComboBox(SpeedBar);
  for (const MergeKeyword& keyword : MergeKeywords())
    if (keyword.Listed) ComboBox1->addItem(keyword.Listed);
  ComboBox1->model()->sort(0);
  ComboBox1->setMaxVisibleItems(20);
  ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ComboBox1->setMinimumContentsLength(40);
  ComboBox1->view()->setMinimumWidth(ComboBox1->view()->sizeHintForColumn(0) + 24);
  BitBtn3 = new QPushButton("Queue", SpeedBar);
  BitBtn3->setToolTip("Print Queue");
  SpeedButton3 = icon(SpeedButton("Close"), QStyle::SP_DialogCloseButton);
  SpeedButton4 = icon(SpeedButton("Help"), QStyle::SP_DialogHelpButton);

  // Two rows, so that the window fits a small screen: editing above, the merge below.
  auto* rows = new QVBoxLayout(SpeedBar);
  rows->setContentsMargins(4, 2, 4, 2);
  rows->setSpacing(2);
  auto* editing = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{OpenButton, SaveButton, PrintButton, UndoButton,
                                                    CutButton, CopyButton, PasteButton})
    editing->addWidget(w);
  editing->addSpacing(8);
  editing->addWidget(new QLabel("Font:", SpeedBar));
  editing->addWidget(FontName);
  editing->addWidget(new QLabel("Size:", SpeedBar));
  editing->addWidget(FontSize);
  for (QWidget* w : std::initializer_list<QWidget*>{MainFont, BoldButton, ItalicButton, UnderlineButton,
                                                    LeftAlign, CenterAlign, RightAlign, BulletsButton})
    editing->addWidget(w);
  editing->addStretch(1);
  auto* merge = new QHBoxLayout;
  merge->addWidget(new QLabel("Keywords:", SpeedBar));
  merge->addWidget(ComboBox1);
  merge->addWidget(BitBtn3);
  merge->addStretch(1);
  merge->addWidget(SpeedButton3);
  merge->addWidget(SpeedButton4);
  rows->addLayout(editing);
  rows->addLayout(merge);

  auto click = [this](QAbstractButton* button, auto handler) {
    QObject::connect(button, &QAbstractButton::clicked, this, handler);
  };
  click(OpenButton, [this] { FileOpenClick(); });
  click(SaveButton, [this] { FileSave(); });
  click(PrintButton, [this] { PrintButtonClick(); });
  click(UndoButton, [this] { RichEdit1->undo(); });
  click(CutButton, [this] { RichEdit1->cut(); });
  click(CopyButton, [this] { RichEdit1->copy(); });
  click(PasteButton, [this] { RichEdit1->paste(); });
  click(MainFont, [this] { SelectFont(); });
  click(BoldButton, [this] { BoldButtonClick(); });
  click(ItalicButton, [this] { ItalicButtonClick(); });
  click(UnderlineButton, [this] { UnderlineButtonClick(); });
  click(LeftAlign, [this] { AlignButtonClick(Qt::AlignLeft); });
  click(CenterAlign, [this] { AlignButtonClick(Qt::AlignHCenter); });
  click(RightAlign, [this] { AlignButtonClick(Qt::AlignRight); });
  click(BulletsButton, [this] { BulletsButtonClick(); });
  click(BitBtn3, [this] { QueueClick(); });
  click(SpeedButton3, [this] { Close(); });
  click(SpeedButton4, [this] { HelpClick(); });
  QObject::connect(FontName, &QComboBox::textActivated, this, [this] { FontNameChange(); });
  QObject::connect(FontSize, &QSpinBox::valueChanged, this, [this] { FontSizeChange(); });
  QObject::connect(FontSize, &QSpinBox::editingFinished, this, [this] { FontSizeChange(); });
}

// The window covers the desktop's work area.
void TLetterWiz::FormShow() {
  setWindowState(windowState() | Qt::WindowMaximized);
}

void TLetterWiz::SetLetterFileName(const QString& name) {
  fileName_ = name;
  SetCaption(QStringLiteral("%1 - %2").arg("Form Letter Wizard", QFileInfo(name).fileName()));
}

bool TLetterWiz::CheckSaveLetter() {
  const QTextDocument& letter = *RichEdit1->document();
  // A new letter without a character in it holds nothing worth a file, whatever was clicked.
  if (!letter.isModified() || (fileName_ == kUntitled && letter.isEmpty())) return true;
  switch (MessageBox(QStringLiteral("Save changes to %1?").arg(fileName_), "Confirm", MsgButtons::YesNoCancel,
                     MsgIcon::Question)) {
    case platform::ui::mrYes:
      return FileSave();
    case platform::ui::mrNo:
      return true;
    default:
      return false;
  }
}

void TLetterWiz::LoadLetter(const std::string& bytes) {
  QTextDocument* letter = RichEdit1->document();
  letter->setUndoRedoEnabled(false);
  forms::ReadLetterText(bytes, *letter);
  letter->setUndoRedoEnabled(true);
  letter->setModified(false);
  RichEdit1->moveCursor(QTextCursor::Start);
  SelectionChange();
}

void TLetterWiz::FileNewClick() {
  SetLetterFileName(kUntitled);
  RichEdit1->setReadOnly(false);
  LoadLetter(std::string());
}

void TLetterWiz::FileOpenClick() {
  if (!CheckSaveLetter()) return;
  platform::ui::FileDialogRequest request;
  request.filter = kLetterFilter;
  request.initialDir = QDir::currentPath();
  request.offerReadOnly = true;
  if (!platform::ui::OpenFileDialog(request)) return;
  std::string bytes;
  if (!platform::files::ReadWholeFile(PathOf(request.fileName), &bytes)) {
    MessageBox(QStringLiteral("Unable to open %1.").arg(request.fileName), "Open", MsgButtons::Ok,
               MsgIcon::Error);
    return;
  }
  LoadLetter(bytes);
  SetLetterFileName(request.fileName);
  RichEdit1->setReadOnly(request.readOnly);
  RichEdit1->setFocus();
}

bool TLetterWiz::WriteLetter(const QString& path) {
  if (platform::files::WriteWholeFile(PathOf(path), forms::RichTextFromDocument(*RichEdit1->document()))) {
    RichEdit1->document()->setModified(false);
    return true;
  }
  MessageBox(QStringLiteral("Unable to save %1.").arg(path), "Save As", MsgButtons::Ok, MsgIcon::Error);
  return false;
}

bool TLetterWiz::FileSave() {
  if (fileName_ == kUntitled) return FileSaveAs();
  return WriteLetter(fileName_);
}

bool TLetterWiz::FileSaveAs() {
  platform::ui::FileDialogRequest request;
  request.filter = kLetterFilter;
  request.defaultExt = "RTF";
  request.initialDir = QDir::currentPath();
  request.fileName = fileName_ == kUntitled ? QString() : fileName_;
  if (!platform::ui::SaveFileDialog(request)) return false;
  if (platform::files::Exists(PathOf(request.fileName)) &&
      MessageBox(QStringLiteral("OK to overwrite %1").arg(request.fileName), "Confirm",
                 MsgButtons::YesNoCancel, MsgIcon::Question) != platform::ui::mrYes)
    return false;
  if (!WriteLetter(request.fileName)) return false;
  SetLetterFileName(request.fileName);
  return true;
}

void TLetterWiz::QueueClick() {
  Createlblwiz().ShowModal();
}

void TLetterWiz::PrinterSetupClick() {
  forms::SetUpPrinter();
}

void TLetterWiz::HelpClick() {
  platform::ui::Application->HelpJump("FormWizard");
}

void TLetterWiz::FormCloseQuery(bool& canClose) {
  canClose = CheckSaveLetter();
}

// Merge printing: the letter as saved (or, never saved, as it stands) goes to "PVLetter.TMP",
// and every queued customer gets a copy of it merged and printed as a job of its own. The
// editor never holds a merged letter, so whatever happens on the way it keeps the template.
void TLetterWiz::PrintButtonClick() {
  if (LabelPrintQueue.Empty()) {
    MessageBox("You do not have any customer records listed in the Label print queue.", kLetterTitle,
               MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  if (RichEdit1->document()->isEmpty()) {
    MessageBox("You do not have any text to print. You need to create or open an existing letter.",
               kLetterTitle, MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  if (!forms::SetUpPrinter() || !CheckSaveLetter()) return;
  const bool untitled = fileName_ == kUntitled;
  const bool wasModified = RichEdit1->document()->isModified();
  std::string letter;
  if (untitled) {
    letter = forms::RichTextFromDocument(*RichEdit1->document());
  } else if (!platform::files::ReadWholeFile(PathOf(fileName_), &letter)) {
    MessageBox(QStringLiteral("Unable to open %1.").arg(fileName_), kLetterTitle, MsgButtons::Ok,
               MsgIcon::Error);
    return;
  }
  Ruler->hide();
  RichEdit1->hide();
  Panel1->setText("Processing...");
  Panel1->show();
  Panel1->raise();
  platform::ui::Application->ProcessMessages();

  const int rows = LabelPrintQueue.Count();
  LetterRun run;
  QString failure;
  try {
    if (!platform::files::WriteWholeFile(LetterTempFile, letter))
      throw std::runtime_error("Unable to write " + std::string(LetterTempFile) + ".");
    run = PrintQueuedLetters(
        LabelPrintQueue.Rows(), QFileInfo(fileName_).fileName(), RichEdit1->document()->defaultFont(),
        [this, rows](int letters) {
          Panel1->setText(QStringLiteral("Processing letter %1 of %2...").arg(letters).arg(rows));
          platform::ui::Application->ProcessMessages();
        });
  } catch (const records::FileUnusable& unusable) {
    // Said before the first letter was printed: none was.
    failure = platform::text::ToQString(unusable.what());
  } catch (const std::exception& error) {
    failure =
        QStringLiteral("The letters were not all printed: %1").arg(QString::fromLocal8Bit(error.what()));
  }
  EndMergePrinting(letter, wasModified, untitled);
  if (!failure.isEmpty()) {
    MessageBox(failure, kLetterTitle, MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  forms::LabelsQueued = 0;
  forms::ShowWhereRunWent("Letters", kLetterTitle);
  if (run.Missing > 0)
    MessageBox(
        QStringLiteral("%1 customer(s) of the print queue are no longer on file; no letter was printed for "
                       "them.")
            .arg(run.Missing),
        kLetterTitle, MsgButtons::Ok, MsgIcon::Information);
}

// A saved letter comes back as it was saved; a letter never saved stays as it stands, still
// marked as changed when it was, so that closing asks to save it.
void TLetterWiz::EndMergePrinting(const std::string& letter, bool wasModified, bool untitled) {
  if (!untitled) LoadLetter(letter);
  RichEdit1->document()->setModified(untitled && wasModified);
  Panel1->hide();
  Ruler->show();
  RichEdit1->show();
  (void)platform::files::DeleteFile(LetterTempFile);  // written anew by the next merge
}

void TLetterWiz::MergeCharFormat(const QTextCharFormat& format) {
  if (updating_) return;
  RichEdit1->mergeCurrentCharFormat(format);
}

void TLetterWiz::SelectFont() {
  const QTextCharFormat current = RichEdit1->currentCharFormat();
  const QColor shown = current.foreground().style() == Qt::NoBrush
                           ? RichEdit1->palette().color(QPalette::Text)
                           : current.foreground().color();
  platform::ui::FontRequest request;
  request.font = platform::ui::FromQFont(current.font().resolve(RichEdit1->document()->defaultFont()),
                                         WindowsColor(shown));
  if (platform::ui::FontDialog(request)) {
    QTextCharFormat format;
    format.setFont(platform::ui::ToQFont(request.font));
    // The text's own colour stays the reader's default; any other is kept with the text.
    if (platform::print::ColorToQColor(request.font.color) != shown)
      format.setForeground(platform::print::ColorToQColor(request.font.color));
    RichEdit1->mergeCurrentCharFormat(format);
  }
  RichEdit1->setFocus();
}

void TLetterWiz::BoldButtonClick() {
  QTextCharFormat format;
  format.setFontWeight(BoldButton->isChecked() ? QFont::Bold : QFont::Normal);
  MergeCharFormat(format);
}

void TLetterWiz::ItalicButtonClick() {
  QTextCharFormat format;
  format.setFontItalic(ItalicButton->isChecked());
  MergeCharFormat(format);
}

void TLetterWiz::UnderlineButtonClick() {
  QTextCharFormat format;
  format.setFontUnderline(UnderlineButton->isChecked());
  MergeCharFormat(format);
}

void TLetterWiz::FontNameChange() {
  QTextCharFormat format;
  format.setFontFamilies({FontName->currentText()});
  MergeCharFormat(format);
}

void TLetterWiz::FontSizeChange() {
  if (updating_) return;
  if (FontSize->cleanText().trimmed().isEmpty()) FontSize->setValue(10);
  QTextCharFormat format;
  format.setFontPointSize(FontSize->value());
  MergeCharFormat(format);
}

void TLetterWiz::AlignButtonClick(Qt::Alignment alignment) {
  if (updating_) return;
  QTextBlockFormat format;
  format.setAlignment(alignment);
  RichEdit1->textCursor().mergeBlockFormat(format);
}

void TLetterWiz::BulletsButtonClick() {
  if (updating_) return;
  QTextCursor cursor = RichEdit1->textCursor();
  if (BulletsButton->isChecked()) {
    if (cursor.currentList()) return;
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    cursor.createList(bullets);
    return;
  }
  QTextDocument* letter = RichEdit1->document();
  const QTextBlock last = letter->findBlock(cursor.selectionEnd());
  for (QTextBlock block = letter->findBlock(cursor.selectionStart()); block.isValid(); block = block.next()) {
    if (QTextList* list = block.textList()) list->remove(block);
    QTextBlockFormat format = block.blockFormat();
    format.setIndent(0);
    QTextCursor(block).setBlockFormat(format);
    if (block == last) break;
  }
}

// The tool bar and the ruler show the format at the caret (of the selection's start).
void TLetterWiz::SelectionChange() {
  updating_ = true;
  const QFont font = RichEdit1->currentCharFormat().font().resolve(RichEdit1->document()->defaultFont());
  BoldButton->setChecked(font.bold());
  ItalicButton->setChecked(font.italic());
  UnderlineButton->setChecked(font.underline());
  FontSize->setValue(static_cast<int>(std::lround(font.pointSizeF() > 0 ? font.pointSizeF() : 10)));
  FontName->setCurrentText(font.family());
  const QTextCursor cursor = RichEdit1->textCursor();
  BulletsButton->setChecked(cursor.currentList() != nullptr);
  const QTextBlockFormat para = cursor.blockFormat();
  const Qt::Alignment align = para.alignment() & Qt::AlignHorizontal_Mask;
  (align & Qt::AlignHCenter                       ? CenterAlign
   : align & (Qt::AlignRight | Qt::AlignTrailing) ? RightAlign
                                                  : LeftAlign)
      ->setChecked(true);
  // Indents in points as the markers measure them: the first line from the margin, the other
  // lines from the first line, the right edge from the right margin.
  const qreal firstIndent = (para.leftMargin() + para.textIndent()) / kRulerAdj;
  const qreal leftIndent = -para.textIndent() / kRulerAdj;
  const qreal rightIndent = para.rightMargin() / kRulerAdj;
  Ruler->FirstInd->move(static_cast<int>(firstIndent * kRulerAdj) + 2, Ruler->FirstInd->y());
  Ruler->LeftInd->move(static_cast<int>((leftIndent + firstIndent) * kRulerAdj) + 2, Ruler->LeftInd->y());
  Ruler->RightInd->move(Ruler->width() - 6 - static_cast<int>((rightIndent + 6) * kRulerAdj),
                        Ruler->RightInd->y());
  updating_ = false;
}

void TLetterWiz::SetIndents(qreal firstIndent, qreal leftIndent, qreal rightIndent) {
  QTextBlockFormat format;
  format.setLeftMargin((firstIndent + leftIndent) * kRulerAdj);
  format.setTextIndent(-leftIndent * kRulerAdj);
  format.setRightMargin(rightIndent * kRulerAdj);
  RichEdit1->textCursor().mergeBlockFormat(format);
  RichEdit1->document()->setModified(true);
}

namespace {

int MarkerPoints(int pixels) {
  return static_cast<int>(std::trunc(pixels / kRulerAdj));
}

}  // namespace

void TLetterWiz::FirstIndMouseUp() {
  const QTextBlockFormat para = RichEdit1->textCursor().blockFormat();
  const int firstIndent =
      MarkerPoints(Ruler->FirstInd->x() + Ruler->FirstInd->DragOffset() - TLetterRuler::Gutter);
  const int leftIndent =
      MarkerPoints(Ruler->LeftInd->x() + Ruler->LeftInd->DragOffset() - TLetterRuler::Gutter) - firstIndent;
  SetIndents(firstIndent, leftIndent, para.rightMargin() / kRulerAdj);
  SelectionChange();
}

void TLetterWiz::LeftIndMouseUp() {
  const QTextBlockFormat para = RichEdit1->textCursor().blockFormat();
  const qreal firstIndent = (para.leftMargin() + para.textIndent()) / kRulerAdj;
  const int leftIndent =
      MarkerPoints(Ruler->LeftInd->x() + Ruler->LeftInd->DragOffset() - TLetterRuler::Gutter) -
      static_cast<int>(firstIndent);
  SetIndents(firstIndent, leftIndent, para.rightMargin() / kRulerAdj);
  SelectionChange();
}

void TLetterWiz::RightIndMouseUp() {
  const QTextBlockFormat para = RichEdit1->textCursor().blockFormat();
  const int rightIndent =
      MarkerPoints(Ruler->width() - Ruler->RightInd->x() + Ruler->RightInd->DragOffset() - 2) -
      2 * TLetterRuler::Gutter;
  SetIndents((para.leftMargin() + para.textIndent()) / kRulerAdj, -para.textIndent() / kRulerAdj,
             rightIndent);
  SelectionChange();
}

void TLetterWiz::resizeEvent(QResizeEvent* event) {
  Form::resizeEvent(event);
  Panel1->move((width() - Panel1->width()) / 2, (height() - Panel1->height()) / 2);
  if (!updating_) SelectionChange();
}

TLetterWiz& CreateLetterWiz() {
  return forms::FormInstance(LetterWiz);
}

}  // namespace reports
