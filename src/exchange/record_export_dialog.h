#pragma once
// The three export dialogs "Customer Export to File", "Vendor Export to File" and "Product
// Export to File": one window over the field table of its record kind (record_export.h). The
// user ticks the optional fields and the delimiter, then chooses the file; the dialog writes the
// current company's records in key-1 order and closes.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "exchange/record_export.h"
#include "platform/ui/form.h"

namespace exchange {

class TRecordExportDialog : public platform::ui::Form {
 public:
  TRecordExportDialog(const RecordExportKind& kind, QWidget* parent);

  QLabel* Label1;                      // "Output these fields :"
  QLabel* Label2;                      // the first field, always exported
  std::vector<QCheckBox*> FieldBoxes;  // one per optional field, in the kind's order
  QGroupBox* GroupBox1;                // "Delimited by:"
  QRadioButton* RadioButton1;          // "Comma/Quote"
  QRadioButton* RadioButton2;          // "Comma only"
  QRadioButton* RadioButton3;          // "Character:"
  QLineEdit* Edit1;                    // the character
  QLabel* Label3;                      // the count
  QPushButton* Button1;                // "&Export"
  QPushButton* Button2;                // "&Cancel"
  QPushButton* Button3;                // "&Help"

  void FormShow() override;
  void Button1Click();
  void Button2Click();
  void Button3Click();

  std::vector<bool> TickedFields() const;
  Delimiter ChosenDelimiter() const;

 private:
  void LayOut();

  const RecordExportKind& kind_;
};

class TCustExp : public TRecordExportDialog {
 public:
  explicit TCustExp(QWidget* parent = nullptr) : TRecordExportDialog(CustomerExportKind(), parent) {}
};

class TVenExport : public TRecordExportDialog {
 public:
  explicit TVenExport(QWidget* parent = nullptr) : TRecordExportDialog(VendorExportKind(), parent) {}
};

class TProdExp : public TRecordExportDialog {
 public:
  explicit TProdExp(QWidget* parent = nullptr) : TRecordExportDialog(ProductExportKind(), parent) {}
};

extern TCustExp* CustExp;
extern TVenExport* VenExport;
extern TProdExp* ProdExp;
TCustExp& CreateCustExp();
TVenExport& CreateVenExport();
TProdExp& CreateProdExp();

}  // namespace exchange
