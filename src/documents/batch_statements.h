#pragma once
// Statements from the Customer Manager: one customer's statement shown in the statement window,
// and the batch run that prints or e-mails the statements of every customer matching an aging
// selection, in batches with a pause prompt between them, and records the date of the last
// complete run in the company record. The two dialogs of the batch keep their choices for the
// next run.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <string>

#include "platform/ui/form.h"

namespace documents {

class TSelStmnt : public platform::ui::Form {
 public:
  explicit TSelStmnt(QWidget* parent = nullptr);
  void FormCreate() override;
  void FormShow() override;

  QLabel* Label1;
  QRadioButton* RBAll;
  QRadioButton* RBover30;
  QRadioButton* RBover60;
  QRadioButton* RBover90;
  QRadioButton* RBActAll;
  QRadioButton* RBActUnPd;
  QCheckBox* ExcludeEmail;
  QPushButton* OKButton;
  QPushButton* CanButn;
  QPushButton* Button1;
};

class TBatchStWin : public platform::ui::Form {
 public:
  explicit TBatchStWin(QWidget* parent = nullptr);
  void FormShow() override;
  void OKButtonClick();
  void CanButnClick();

  QLabel* Label1;
  QLabel* Label2;
  QLabel* StmntBatch;
  QLineEdit* EMBNum;
  QPushButton* OKButton;
  QPushButton* CanButn;
  QPushButton* HlpBtn;
};

extern TSelStmnt* SelStmnt;
extern TBatchStWin* BatchStWin;
TSelStmnt& CreateSelStmnt();
TBatchStWin& CreateBatchStWin();

// The statement of one customer in the statement window, shown modally; "There is no activity
// for this customer." when there is nothing to show, and a message when no customer has that
// number, or when a file it needs cannot be opened or read (then nothing is shown). Refused with a message
// while a batch run builds statements, as they share the statement in memory.
void ShowCustomerStatement(const std::string& customerNo, const std::string& customerName);

// The batch run. status shows its progress in the Customer Manager's status bar. Refused at once
// (DocumentRefused) while a posting waits to be undone. The counts
// reported are of the statements put out; a customer gone since the selection is not counted. A
// customer or invoice file that cannot be opened or read is said, and ends the run unrecorded:
// before anything goes out when it cannot be read from the start.
void BatchPrintStatements(const std::function<void(const QString&)>& status);

}  // namespace documents
