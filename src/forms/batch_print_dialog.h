#pragma once
// "Batch Print Invoices": how many documents one batch run prints. The Invoice Manager and the
// PO manager fill its three labels, the caption of the print button and the number, show it and
// read the number after OK; they cap it at what there is to print.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/form.h"

namespace forms {

class TInvBatch : public platform::ui::Form {
 public:
  explicit TInvBatch(QWidget* parent = nullptr);

  QLabel* Label1;  // red
  QLabel* Label2;
  QLabel* Label3;
  QLabel* NumberLabel;
  QLineEdit* BatchNum;   // at most four digits
  QPushButton* Button1;  // "&Print"
  QPushButton* Button2;  // "&Cancel"
  QPushButton* BPHelp;

  // Fills the dialog for one run: its caption, the three lines, the caption of the print
  // button and the count offered.
  void Prepare(const QString& caption, const QString& line1, const QString& line2, const QString& line3,
               const QString& button, int count);

  void FormShow() override;
  void Button1Click();
  void BPHelpClick();
};

extern TInvBatch* InvBatch;
// Makes the one instance (at start-up); later calls return it.
TInvBatch& CreateInvBatch();

}  // namespace forms
