#pragma once
// The dialog that copies the open company's product, vendor or customer file (data and index)
// to another company number, so that a new company starts with the same records. The Company
// Manager sets CopyDataMode before it shows the dialog. A copy that fails is reported with its reason
// and ends there.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "platform/ui/form.h"

namespace companies {

// "P" products, "V" vendors, "C" customers.
extern std::string CopyDataMode;

class TProdCopy : public platform::ui::Form {
 public:
  explicit TProdCopy(QWidget* parent = nullptr);

  void FormShow() override;
  void Button1Click();
  void Button3Click();

  QLabel* Label1;
  QLabel* Label2;
  QLineEdit* Edit1;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;

 private:
  // The entry when it names another company, else the reason is shown and nothing is returned.
  bool CheckDestination(const std::string& number);
  // The guard on the destination's files; false when the copy must not go on.
  bool DestinationMayBeOverwritten(const std::string& number);
  void CopyTo(const std::string& number);
};

extern TProdCopy* ProdCopy;
// Makes the one instance (at start-up); later calls return it.
TProdCopy& CreateProdCopy();

}  // namespace companies
