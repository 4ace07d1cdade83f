#pragma once
// "Partial Payment": the amount of one payment that pays part of an open item, or, captioned
// "Deposit on Account", the amount of a new deposit. The payment wizard fills the globals below
// before showing it.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <string>

#include "platform/text/amount.h"
#include "platform/ui/form.h"

namespace invoicing {

// The open item being paid in part: its date column, number and amount due.
extern std::string PartialDate;
extern std::string PartialInvoiceNo;
extern platform::text::Cents PartialDue;
// 1 while the dialog takes a deposit: any amount above zero is accepted.
extern int32_t DepositEntryMode;

class TPPmtDialog : public platform::ui::Form {
 public:
  explicit TPPmtDialog(QWidget* parent = nullptr);

  void FormShow() override;
  void OKBtnClick();

  // The amount typed; valid once OK closed the dialog.
  platform::text::Cents Amount() const;

  QLabel* Label1;  // "Invoice: ... Date: ..."
  QLineEdit* PAmount;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};

extern TPPmtDialog* PPmtDialog;
TPPmtDialog& CreatePPmtDialog();

}  // namespace invoicing
