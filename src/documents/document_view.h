#pragma once
// The document window: shows the invoice or purchase order held in the document buffer, read
// only, and owns the components the other document features use without showing it: the
// plain-text memo the e-mail composers fill, the message and SMTP client of every e-mail
// feature, the bar code of the printers and the rich-text box that wraps notes.

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>
#include <array>
#include <memory>

#include "mail/message.h"
#include "mail/smtp_client.h"
#include "platform/barcode/barcode.h"
#include "platform/ui/form.h"

namespace documents {

class Trtedit : public platform::ui::Form {
 public:
  explicit Trtedit(QWidget* parent = nullptr);
  ~Trtedit() override;

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
  void FormResize();
  // Fills every label and the list (or the memo) from the document buffer.
  void ShowDocument();
  void ListView1ColumnClick(int column);
  // A recipient the server refused: the user is told, and the message goes to the others.
  void msSMTP1AddressRejected(mail::TmsSMTPClient* sender, const std::string& TheAddress,
                              const std::string& ServerReply, bool& Proceed);

  QFrame* Panel1;
  QFrame* Shape1;
  QFrame* Shape2;
  std::array<QLabel*, 10> AddressLabels;  // Label1 .. Label10
  QLabel* Label1;
  QLabel* Label6;
  QFrame* Panel3;
  QFrame* Bevel4;
  QLabel* Label11;  // date
  QLabel* Label12;  // number
  QLabel* Label13;  // account number
  QLabel* Label14;  // terms
  QLabel* Label15;  // reference
  QLabel* HasPrinted;
  QLabel* EMDate;
  QTreeWidget* ListView1;
  QPlainTextEdit* MemoInv;
  QFrame* Panel2;
  QLabel* Label21;  // "Total:"
  QLabel* Label22;  // the tax caption
  QLabel* Label23;  // "Grand Total:" / "PO Total:"
  QLabel* Label25;  // "Balance Due:"
  QLabel* Label16;  // net
  QLabel* Label17;  // tax
  QLabel* Label18;  // total
  QLabel* Label20;  // balance
  QLabel* Label24;  // kind of document and notes on it
  QLabel* Label26;  // memo item or date paid
  QLabel* Label19;  // paid amount
  QPushButton* Button1;
  QTextEdit* CustNote;
  std::unique_ptr<mail::TmsMessage> msMessage1;
  std::unique_ptr<mail::TmsSMTPClient> msSMTP1;
  platform::barcode::TBarCode FormBarC;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // A new font (a desktop setting) changes the texts' sizes: the placed captions follow.
  void changeEvent(QEvent* event) override;

 private:
  // The tax caption shown whole beside its amount.
  void FitTaxCaption();
  void ShowLineItems();
  void ShowMemo();
  void ShowPurchaseOrderParts();
  void ShowInvoiceParts();
};

extern Trtedit* rtedit;
// Makes the one window for the run (start-up calls it; later calls return it).
Trtedit& CreateRtedit();
// Shows the document held in the buffer modally.
void ViewDocument();

}  // namespace documents
