#pragma once
// "Product Import": products from a comma-quote delimited file, shown from the Product Manager.
// The records are appended by ImportProducts and the manager rebuilds the product file when it
// closes.

#include <QCheckBox>

#include "exchange/import_window.h"

namespace exchange {

class TProdImport : public TImportWindow {
 public:
  explicit TProdImport(QWidget* parent = nullptr);

  QCheckBox* CheckBox1;  // PO description := invoice description

  void Button2Click() override;

 private:
  [[nodiscard]] bool NumbersFit();
};

extern TProdImport* ProdImport;
TProdImport& CreateProdImport();

}  // namespace exchange
