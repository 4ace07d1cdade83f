#include "documents/document_view.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "documents/document_buffer.h"
#include "forms/browser_font.h"
#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "records/company_rec.h"

namespace documents {

using platform::text::ToQString;
using platform::text::TrimBlanks;
using records::CurrentCompany;

Trtedit* rtedit = nullptr;

Trtedit& CreateRtedit() {
  return forms::FormInstance(rtedit);
}

void ViewDocument() {
  CreateRtedit().ShowModal();
}

namespace {

constexpr int ClientWidth = 617;
constexpr int ColumnCount = 7;
constexpr int ColumnWidths[ColumnCount] = {28, 110, 70, 200, 71, 20, 95};
const char* const ColumnCaptions[ColumnCount] = {"LN", "Product Code", "Quan", "Desc", "Unit", "T", "Extend"};

QString Trimmed(const std::string& text) {
  return ToQString(TrimBlanks(text));
}

QLabel* PlacedLabel(QWidget* parent, int x, int y) {
  auto* label = new QLabel(parent);
  label->move(x, y);
  label->setMinimumWidth(280);
  return label;
}

// The amounts' column: right-justified, ending at the same place.
constexpr int AmountLeft = 477;
constexpr int AmountWidth = 105;

QLabel* AmountLabel(QWidget* parent, int y) {
  auto* label = new QLabel(parent);
  label->setGeometry(AmountLeft, y, AmountWidth, 16);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

QFrame* Box(QWidget* parent, int x) {
  auto* box = new QFrame(parent);
  box->setFrameShape(QFrame::Box);
  box->setGeometry(x, 8, 295, 98);
  return box;
}

// Rows sort as their texts compare in the user's locale, case-sensitive: numbers as text.
class DocumentRow : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return QString::localeAwareCompare(text(column), other.text(column)) < 0;
  }
};

}  // namespace

Trtedit::Trtedit(QWidget* parent)
    : Form(parent),
      Panel1(new QFrame(this)),
      Shape1(Box(Panel1, 15)),
      Shape2(Box(Panel1, 316)),
      AddressLabels{},
      Panel3(new QFrame(this)),
      Bevel4(new QFrame(Panel3)),
      ListView1(new QTreeWidget(this)),
      MemoInv(new QPlainTextEdit(this)),
      Panel2(new QFrame(this)),
      Button1(new QPushButton("Close", Panel2)),
      CustNote(new QTextEdit(this)),
      msMessage1(std::make_unique<mail::TmsMessage>()),
      msSMTP1(std::make_unique<mail::TmsSMTPClient>()) {
  SetCaption("View Invoice");
  resize(ClientWidth, 520);

  Panel1->setFixedHeight(117);
  for (int i = 0; i < 10; ++i) AddressLabels[i] = PlacedLabel(Panel1, i < 5 ? 25 : 323, 14 + 18 * (i % 5));
  Label1 = AddressLabels[0];
  Label6 = AddressLabels[5];

  Panel3->setFixedHeight(71);
  Bevel4->setFrameShape(QFrame::Box);
  Bevel4->setGeometry(6, 3, ClientWidth - 12, 65);
  QPalette blue = palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  Label11 = PlacedLabel(Panel3, 25, 9);
  Label14 = PlacedLabel(Panel3, 25, 27);
  Label15 = PlacedLabel(Panel3, 25, 45);
  Label15->setMinimumWidth(560);
  Label12 = PlacedLabel(Panel3, 170, 9);
  Label12->setMinimumWidth(140);
  Label13 = PlacedLabel(Panel3, 319, 9);
  Label13->setMinimumWidth(150);
  for (QLabel* label : {Label11, Label12, Label13, Label14, Label15}) label->setPalette(blue);
  QPalette red = palette();
  red.setColor(QPalette::WindowText, Qt::red);
  HasPrinted = new QLabel(Panel3);
  EMDate = new QLabel(Panel3);
  HasPrinted->setGeometry(470, 9, 135, 16);
  EMDate->setGeometry(470, 27, 135, 16);
  for (QLabel* label : {HasPrinted, EMDate}) {
    label->setAlignment(Qt::AlignCenter);
    label->setPalette(red);
  }

  ListView1->setColumnCount(ColumnCount);
  ListView1->setRootIsDecorated(false);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QStringList captions;
  for (const char* caption : ColumnCaptions) captions << caption;
  ListView1->setHeaderLabels(captions);
  for (int column = 0; column < ColumnCount; ++column)
    ListView1->setColumnWidth(column, ColumnWidths[column]);
  ListView1->header()->setSectionsClickable(true);
  QObject::connect(ListView1->header(), &QHeaderView::sectionClicked,
                   [this](int column) { ListView1ColumnClick(column); });
  MemoInv->setReadOnly(true);
  MemoInv->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoInv->hide();

  Panel2->setFixedHeight(88);
  auto caption = [this](const char* text, int y) {
    auto* label = new QLabel(text, Panel2);
    label->move(374, y);
    return label;
  };
  Label21 = caption("Total:", 9);
  Label22 = caption("T", 27);
  Label22->setMinimumWidth(100);
  Label23 = caption("Grand Total:", 45);
  Label25 = caption("Balance Due:", 63);
  Label16 = AmountLabel(Panel2, 9);
  Label17 = AmountLabel(Panel2, 27);
  Label18 = AmountLabel(Panel2, 45);
  Label20 = AmountLabel(Panel2, 63);
  QFont bold = font();
  bold.setBold(true);
  Label24 = new QLabel(Panel2);
  Label24->setGeometry(10, 10, 350, 30);
  Label24->setWordWrap(true);
  Label26 = new QLabel(Panel2);
  Label26->setGeometry(95, 46, 270, 16);
  Label19 = new QLabel(Panel2);
  Label19->setGeometry(95, 65, 270, 16);
  for (QLabel* label : {Label24, Label26, Label19}) label->setFont(bold);
  for (QLabel* label : {Label26, Label19}) label->setAlignment(Qt::AlignCenter);
  Button1->move(16, 54);
  BindModalResult(Button1, platform::ui::mrCancel);

  msSMTP1->SetMailMessage(msMessage1.get());
  msSMTP1->OnAddressRejected = [this](mail::TmsSMTPClient* client, const std::string& address,
                                      const std::string& reply, bool& proceed) {
    msSMTP1AddressRejected(client, address, reply, proceed);
  };

  CustNote->setAcceptRichText(false);
  CustNote->resize(253, 89);
  CustNote->hide();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Panel1);
  layout->addWidget(Panel3);
  layout->addWidget(ListView1, 1);
  layout->addWidget(MemoInv, 1);
  layout->addWidget(Panel2);

  // A double click anywhere on the window closes it, as does any character key.
  for (QWidget* widget : std::initializer_list<QWidget*>{this, Panel1, Panel2, Panel3, ListView1->viewport(),
                                                         MemoInv->viewport()})
    widget->installEventFilter(this);
  MemoInv->installEventFilter(this);
  ListView1->installEventFilter(this);
}

Trtedit::~Trtedit() = default;

void Trtedit::FormCreate() {
  platform::ui::FontChoice browser = forms::CompanyBrowserFont(CurrentCompany);
  QFont font = MemoInv->font();
  if (!browser.name.isEmpty()) font.setFamily(browser.name);
  if (browser.size > 0) font.setPointSize(browser.size);
  MemoInv->setFont(font);
}

void Trtedit::FormShow() {
  FormCreate();  // the company, and so its browser font, may have changed since
  FormResize();
  ShowDocument();
}

void Trtedit::FormClose() {
  CustNote->resize(307, 89);  // the printers resize it to wrap notes
}

void Trtedit::FormResize() {
  Bevel4->setFixedWidth(std::max(0, Panel3->width() - 12));
}

void Trtedit::changeEvent(QEvent* event) {
  Form::changeEvent(event);
  if (event->type() != QEvent::FontChange || !isVisible()) return;
  for (QLabel* caption : {Label11, Label12, Label13, Label14, Label15, Label21, Label23, Label25})
    caption->adjustSize();
  FitTaxCaption();
}

void Trtedit::resizeEvent(QResizeEvent* event) {
  Form::resizeEvent(event);
  FormResize();
}

bool Trtedit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    SetModalResult(platform::ui::mrCancel);
    Close();
    return true;
  }
  if (event->type() == QEvent::KeyPress && (watched == MemoInv || watched == ListView1)) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return event->isAccepted();
  }
  return Form::eventFilter(watched, event);
}

void Trtedit::keyPressEvent(QKeyEvent* event) {
  // Any key that types a character closes the window; the others (arrows, F1) keep their use.
  if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
    event->accept();
    SetModalResult(platform::ui::mrCancel);
    Close();
    return;
  }
  event->ignore();
  Form::keyPressEvent(event);
}

void Trtedit::ListView1ColumnClick(int column) {
  ListView1->sortItems(column, Qt::AscendingOrder);
}

void Trtedit::FitTaxCaption() {
  // The caption as wide as its text; the tax amount gives way on its left when a long caption
  // needs the room, and stays right-justified under the other amounts.
  Label22->adjustSize();
  const int left = std::max(AmountLeft, Label22->geometry().right() + 4);
  Label17->setGeometry(left, Label17->y(), AmountLeft + AmountWidth - left, Label17->height());
}

void Trtedit::ShowDocument() {
  const TDocHeader& h = DocHeader;
  const std::string* address[] = {&h.BillName, &h.BillAddr1, &h.BillAddr2, &h.BillAddr3, &h.BillAddr4,
                                  nullptr,     &h.ShipAddr1, &h.ShipAddr2, &h.ShipAddr3, &h.ShipAddr4};
  for (int i = 0; i < 10; ++i)
    if (address[i]) AddressLabels[i]->setText(ToQString(*address[i]));
  Label11->setText("Date: " + Trimmed(h.DocDate));
  Label12->setText("Number: " + Trimmed(h.DocNumber));
  Label13->setText("Account Number: " + Trimmed(h.AccountNo));
  Label14->setText("Payment Terms: " + ToQString(h.Terms));
  Label15->setText("Reference: " + ToQString(h.Reference));
  Label24->setText(" ");

  if (h.BodyKind == "M" || h.BodyKind == "D" || h.BodyKind == "T")
    ShowMemo();
  else
    ShowLineItems();

  if (h.DocType == "D" || h.DocType == "T")
    Label24->setText("DEPOSIT ON ACCOUNT OF " + Trimmed(h.PaidAmount) +
                     ". (A zero amount indicates deposit has been offset).");
  else if (h.DocType == "G")
    Label24->setText("** GENERATED BILLING **");

  Label16->setText(ToQString(h.NetAmount));
  Label17->setText(ToQString(h.TaxAmount));
  Label18->setText(ToQString(h.TotalAmount));
  Label19->setText("Paid Amount: " + Trimmed(CurrentCompany.CurrencySymbol.Get()) + Trimmed(h.PaidAmount));
  Label20->setText(ToQString(h.BalanceDue));
  Label26->setText(" ");
  if (h.BodyKind == "M")
    Label26->setText("Sold: " + ToQString(DocMemoItem.MemoQuantity) + " - " +
                     ToQString(DocMemoItem.MemoProduct));

  std::string rate = TrimBlanks(h.TaxRate);
  std::string taxName = TrimBlanks(CurrentCompany.TaxName.Get());
  std::string taxCaption = rate.empty() ? taxName : rate + "% " + taxName;
  Label22->setText(ToQString(taxCaption.substr(0, 20)));
  FitTaxCaption();

  EMDate->setText("");
  HasPrinted->setText(h.PrintedFlag == "Y" ? "Printed: Yes" : "Printed: No");
  if (TrimBlanks(h.EMailedDate).size() > 5) EMDate->setText("E-Mailed: " + Trimmed(h.EMailedDate));

  if (h.DocType == "O")
    ShowPurchaseOrderParts();
  else
    ShowInvoiceParts();
}

// The memo's lines up to its last one with text, shown from the top: a memo uses few of its 25
// lines, and the box left at the end of them would look empty.
void Trtedit::ShowMemo() {
  Label24->setText("Memo Invoice");
  ListView1->hide();
  MemoInv->show();
  QStringList lines;
  if (DocHeader.BodyKind == "D") lines << "Deposit on Account";
  if (DocHeader.BodyKind == "T") lines << "Deposit on Account - Offset against invoices.";
  if (DocHeader.BodyKind == "M") {
    int last = 25;
    while (last > 0 && TrimBlanks(DocLines[last]).empty()) --last;
    for (int entry = 1; entry <= last; ++entry) lines << ToQString(DocLines[entry]);
  }
  MemoInv->setPlainText(lines.join('\n'));
  MemoInv->moveCursor(QTextCursor::Start);
}

void Trtedit::ShowLineItems() {
  Label24->setText("Product Code Invoice");
  const records::CompanyRec& c = CurrentCompany;
  const std::pair<int, std::string> headers[] = {{1, c.ProductCodeHeader.Get()},
                                                 {2, c.QuantityHeader.Get()},
                                                 {3, c.DescriptionHeader.Get()},
                                                 {4, c.UnitPriceHeader.Get()},
                                                 {6, c.ExtensionHeader.Get()}};
  for (const auto& [column, text] : headers) ListView1->headerItem()->setText(column, ToQString(text));
  ListView1->show();
  MemoInv->hide();
  ListView1->setSortingEnabled(false);
  ListView1->clear();
  for (int entry = 1; entry < DocLineCount; ++entry) {
    const std::string& line = DocLines[entry];
    // The view counts a line by columns 23-54, as it always has.
    if (line.size() < 23 || TrimBlanks(std::string_view(line).substr(22, 32)).empty()) continue;
    DocLineParts parts = SplitDocLine(line);
    char number[12];
    std::snprintf(number, sizeof number, "%02d", entry);
    auto* row = new DocumentRow(ListView1);
    std::optional<double> extension = platform::text::TryStrToFloat(parts.Extension);
    const std::string texts[ColumnCount] = {
        number,
        parts.Product,
        parts.Quantity,
        parts.Description,
        TypedDecimalsText(parts.UnitPrice),
        parts.Taxable,
        extension ? platform::text::FormatFloat(",0.00", *extension) : parts.Extension};
    for (int column = 0; column < ColumnCount; ++column) {
      row->setText(column, ToQString(texts[column]));
      if (column == 2 || column >= 4) row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
  }
}

void Trtedit::ShowPurchaseOrderParts() {
  SetCaption("View Purchase Order# " + Trimmed(DocHeader.DocNumber));
  Label6->setText(ToQString(CurrentCompany.POShipToCaption.Get()));
  Label23->setText("PO Total:");
  for (QLabel* label : {Label25, Label20, Label19, Label26}) label->setText(" ");
  if (DocHeader.BodyKind == "M")
    Label26->setText("Buy: " + ToQString(DocMemoItem.MemoQuantity) + " - " +
                     ToQString(DocMemoItem.MemoProduct));
  Label13->setText("Vendor Number: " + Trimmed(DocHeader.AccountNo));
  Label24->setText(Trimmed(CurrentCompany.POCaption.Get()) +
                   " Required: " + ToQString(DocPOExtras.RequiredYMD) + "\n" +
                   "Received: " + ToQString(DocPOExtras.ReceivedYMD));
}

void Trtedit::ShowInvoiceParts() {
  Label6->setText(ToQString(CurrentCompany.InvoiceShipToCaption.Get()));
  SetCaption("View Invoice# " + Trimmed(DocHeader.DocNumber));
  Label23->setText("Grand Total:");
  Label25->setText("Balance Due:");
  Label13->setText("Account Number: " + Trimmed(DocHeader.AccountNo));
  if (TrimBlanks(DocHeader.PaidDate).size() > 7)
    Label26->setText("Paid Date: " + ToQString(DocHeader.PaidDate));
}

}  // namespace documents
