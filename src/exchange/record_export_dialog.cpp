#include "exchange/record_export_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/message_box.h"
#include "records/record_file.h"

namespace exchange {

using namespace platform::ui;

TCustExp* CustExp = nullptr;
TVenExport* VenExport = nullptr;
TProdExp* ProdExp = nullptr;

TCustExp& CreateCustExp() {
  return forms::FormInstance(CustExp);
}
TVenExport& CreateVenExport() {
  return forms::FormInstance(VenExport);
}
TProdExp& CreateProdExp() {
  return forms::FormInstance(ProdExp);
}

TRecordExportDialog::TRecordExportDialog(const RecordExportKind& kind, QWidget* parent)
    : Form(parent),
      Label1(new QLabel("Output these fields :", this)),
      Label2(new QLabel(kind.first.caption, this)),
      GroupBox1(new QGroupBox("Delimited by:", this)),
      RadioButton1(new QRadioButton("Comma/Quote", GroupBox1)),
      RadioButton2(new QRadioButton("Comma only", GroupBox1)),
      RadioButton3(new QRadioButton("Character:", GroupBox1)),
      Edit1(new QLineEdit(";", GroupBox1)),
      Label3(new QLabel(this)),
      Button1(new QPushButton("&Export", this)),
      Button2(new QPushButton("&Cancel", this)),
      Button3(new QPushButton("&Help", this)),
      kind_(kind) {
  SetCaption(kind.title);
  SetHelpKeyword("CEXPCust");
  for (const ExportField& field : kind.optional) {
    auto* box = new QCheckBox(field.caption, this);
    box->setChecked(field.tickedByDefault);
    FieldBoxes.push_back(box);
  }
  RadioButton1->setChecked(true);
  Edit1->setMaxLength(1);
  Edit1->setMaximumWidth(40);
  Button1->setDefault(true);
  QObject::connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  QObject::connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  QObject::connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  LayOut();
}

void TRecordExportDialog::LayOut() {
  auto* fields = new QGridLayout;
  const int rows = (static_cast<int>(FieldBoxes.size()) + 1) / 2;
  for (int i = 0; i < static_cast<int>(FieldBoxes.size()); ++i)
    fields->addWidget(FieldBoxes[i], i % rows, i / rows);
  auto* delimiter = new QHBoxLayout(GroupBox1);
  for (QWidget* w : std::initializer_list<QWidget*>{RadioButton1, RadioButton2, RadioButton3, Edit1})
    delimiter->addWidget(w);
  delimiter->addStretch(1);
  // The count line can say why a file cannot be opened, with its name: it has a row of its own
  // and wraps, so that the window never grows past the screen nor cuts the reason.
  Label3->setWordWrap(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {Button1, Button2, Button3}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addLayout(fields);
  layout->addWidget(GroupBox1);
  layout->addWidget(Label3);
  layout->addLayout(buttons);
}

void TRecordExportDialog::FormShow() {
  records::FileForAction file(*kind_.file, kind_.open);
  // A file that cannot be opened is not counted as empty: the line says which and why.
  if (!file.Open()) {
    Label3->setText(platform::text::ToQString(records::DataFileUnusableText(kind_.unit())));
    return;
  }
  const int32_t count = storage::IsamUsedKeys(*kind_.file, 1);
  Label3->setText(QStringLiteral("You have %1 %2 to export...").arg(count).arg(kind_.noun));
}

std::vector<bool> TRecordExportDialog::TickedFields() const {
  std::vector<bool> ticked;
  for (const QCheckBox* box : FieldBoxes) ticked.push_back(box->isChecked());
  return ticked;
}

Delimiter TRecordExportDialog::ChosenDelimiter() const {
  if (RadioButton2->isChecked()) return {DelimiterMode::CommaOnly, ","};
  if (RadioButton3->isChecked()) return {DelimiterMode::Character, platform::text::ToAnsi(Edit1->text())};
  return {DelimiterMode::CommaQuote, ","};
}

void TRecordExportDialog::Button1Click() {
  FileDialogRequest request;
  request.filter = QStringLiteral("Record List (*.TXT)|*.TXT");
  request.defaultExt = QStringLiteral("TXT");
  request.fileName = kind_.defaultFileName;
  request.overwritePrompt = true;
  if (!SaveFileDialog(request)) return;
  const ExportLines exported = ExportRecords(kind_, TickedFields(), ChosenDelimiter());
  if (exported.engineError != 0) {
    MessageBox(EngineFailureText(kind_.fileCaption, exported), kind_.title, MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  Label3->setText(QStringLiteral("%1 records exported.").arg(exported.lines.size()));
  QString reason;
  if (!WriteExportFile(request.fileName.toStdString(), exported.lines, &reason)) {
    MessageBox(QStringLiteral("Cannot write \"%1\": %2").arg(request.fileName, reason), kind_.title,
               MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  MessageBox(QStringLiteral("All %1 have been exported to text file.").arg(kind_.noun), "Export Complete");
  Close();
}

void TRecordExportDialog::Button2Click() {
  Close();
}

void TRecordExportDialog::Button3Click() {
  Application->HelpKeyword(HelpKeyword());
}

}  // namespace exchange
