#pragma once
// What the customer and vendor import windows share: the check box that forces the billing
// address into the shipping address, and the import itself. The first row is shown for the user
// to verify before anything is written; the records are appended by ImportAccounts and the
// manager rebuilds the files when it closes.

#include <QCheckBox>

#include "exchange/account_import.h"
#include "exchange/import_window.h"

namespace exchange {

struct AccountWindowTexts {
  QString VerifyCaption;  // the verify dialog's caption
  QString NameTitle;      // the verify dialog's title of the name
};

class TAccountImportWindow : public TImportWindow {
 public:
  TAccountImportWindow(ImportWindowKind window, AccountWindowTexts texts, const AccountImportKind& (*kind)(),
                       QWidget* parent = nullptr);

  QCheckBox* ForceShip;  // shipping address := billing address

  void Button2Click() override;

 private:
  AccountWindowTexts texts_;
  const AccountImportKind& (*kind_)();
};

// The window of the customer and vendor grids: titles naming the kind ("Customer Name", "Vendor
// Name") over the same columns and widths.
ImportWindowKind AccountWindowKind(const QString& caption, const char* nameTitle);

}  // namespace exchange
