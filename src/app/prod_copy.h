#pragma once
// The dialog that copies the open company's product, vendor or customer file (data and index)
// to another company number, so that a new company starts with the same records. The Company
// Manager sets CopyDataMode before it shows the dialog.
//
// The two files of the kind are first copied to temporary names beside their targets and only
// then renamed into place, so the target company never holds a data file together with an index
// that belongs to another one: either both files arrive, or the failure is reported and neither
// of the target's files is left half replaced.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <string_view>

#include "platform/ui/form.h"

namespace app {

// "P" products, "V" vendors, "C" customers.
extern std::string CopyDataMode;

// Copies the data and index files of one file code from one company to another. False when
// either file could not be copied; the target's files are then as they were, or absent when a
// replacement could not be completed.
bool CopyCompanyFiles(std::string_view fromCompany, std::string_view toCompany, std::string_view fileCode);

// The number of entries of key 1 of a company's file; a file that cannot be opened counts as
// empty.
int CountCompanyFileEntries(std::string_view company, std::string_view fileCode);

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
void CreateProdCopy();

}  // namespace app
