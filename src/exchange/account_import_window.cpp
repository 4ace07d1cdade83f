#include "exchange/account_import_window.h"

#include "exchange/import_verify_dialog.h"

namespace exchange {

using namespace platform::ui;

ImportWindowKind AccountWindowKind(const QString& caption, const char* nameTitle) {
  return {caption,
          {nameTitle, "Number", "Address Filed 1", "Address Field 2", "Address Field 3", "Address Field 4",
           "Ship Address 1", "Ship Address 2", "Ship Address 3", "Ship Address 4", "Phone 1", "Phone 2",
           "Type", "Short Name", "Mail/Sort Code", "E-Mail"},
          {143, 60, 120, 130, 124, 127, 125, 129, 117, 123, 110, 91, 98, 84, 64, 195},
          "CustomerImport",
          "When importing, force billing address into shipping address",
          false};
}

TAccountImportWindow::TAccountImportWindow(ImportWindowKind window, AccountWindowTexts texts,
                                           const AccountImportKind& (*kind)(), QWidget* parent)
    : TImportWindow(std::move(window), parent), ForceShip(Option()), texts_(std::move(texts)), kind_(kind) {}

void TAccountImportWindow::Button2Click() {
  if (Memo1.empty()) return;
  TImpShow& verify = CreateImpShow();
  verify.ShowRecord(texts_.VerifyCaption, texts_.NameTitle, Row(FirstImportedRow()), ForceShip->isChecked());
  if (verify.ShowModal() != mrOk) return;
  RunImport([this](const std::vector<ImportRow>& rows, const ImportProgress& progress) {
    return ImportAccounts(kind_(), rows, ForceShip->isChecked(), progress);
  });
}

}  // namespace exchange
