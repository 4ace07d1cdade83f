#pragma once
// The customer quick view: a read-only window that the Invoice Manager fills and shows for the
// invoice-file row the user double-clicks: the row's document data, the customer's account and
// its aging buckets. Only the aging captions are the window's own; they follow the company. While
// a posting of the company waits to be undone, a line above them says the figures include it.

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "platform/ui/form.h"

namespace customers {

class TQView : public platform::ui::Form {
 public:
  explicit TQView(QWidget* parent = nullptr);

  // Document.
  QLabel* DataType;
  QLabel* IvNum;
  QLabel* IvDate;
  QLabel* InvTot;
  QLabel* PdAmount;
  QLabel* IBalDue;
  QLabel* PIFlag;   // "* Printed *"
  QLabel* Label18;  // "* Repeat *"

  // Customer.
  QGroupBox* CustomerPanel;
  QLabel* CustName;
  QLabel* CustNo;
  QLabel* CustBal;
  QLabel* Pnum;
  QLabel* LstPmt;
  QLabel* LstInv;

  // Aging: the captions follow the company, the values are filled by the Invoice Manager.
  QLabel* Label4;
  QLabel* Label15;
  QLabel* Label16;
  QLabel* Label17;
  QLabel* a0to30;
  QLabel* a3160;
  QLabel* A6190;
  QLabel* AO90;

  QLabel* FiguresNote;
  QPushButton* OKBtn;

  void FormShow() override;
};

extern TQView* QView;
// Makes the one instance (at start-up); later calls return it.
TQView& CreateQView();

}  // namespace customers
