#pragma once
// The label wizard "Label Wizard / Print Queue" (lblwiz): the label print queue in its list with
// the pickers, the loaders, the queue files and the address export, and the label layout with
// label printing. Created at start-up, alive for the run; closing hides it and the rows stay.

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <array>
#include <functional>
#include <optional>

#include "platform/ui/form.h"
#include "records/customer_rec.h"
#include "records/product_rec.h"
#include "records/vendor_rec.h"
#include "reports/label_layout.h"
#include "reports/label_queue.h"

namespace reports {

// What the wizard needs of the windows above it, handed in at start-up: the managers that pick
// one record (each shows its manager modally and gives the record picked there, or none). The
// buttons of a missing one are disabled.
struct LabelWizardHooks {
  std::function<std::optional<records::CustomerRec>()> PickCustomer;
  std::function<std::optional<records::VendorRec>()> PickVendor;
  std::function<std::optional<records::ProductRec>()> PickProduct;
};
extern LabelWizardHooks LabelHooks;

class Tlblwiz : public platform::ui::Form {
 public:
  explicit Tlblwiz(QWidget* parent = nullptr);
  ~Tlblwiz() override;

  void FormShow() override;
  void AddOneClick();        // pick one customer
  void AddOneVendClick();    // pick one vendor
  void SpeedButton5Click();  // pick one product
  void SpeedButton2Click();  // delete the selected row
  void SpeedButton3Click();  // clear the queue
  void LoadAll(int (*load)());
  void LoadAging(int category);
  void FilterClick(int kind);
  void SavetoFileClick();
  void LoadFrmFileClick();
  void ExportTextClick();
  void LabelListColumnClick(int column);
  void SetStatus(const QString& text);
  void PrintSetupClick();
  void HelpClick();
  void FilterHelpClick();

  // The label layout and printing.
  void RestoreLastLayout();  // at start-up
  void Open2Click();
  void SaveAs1Click();
  void FontButnClick();
  void BitMpButnClick();
  void UseCmpAddClick();  // EnableReturnAddressControls
  void PrnButnClick();
  void CalibrationRuler1Click();
  void SetLayoutControls();
  LabelLayoutRec LayoutFromControls() const;

  QLineEdit *Description, *LeftMargin, *TopMargin, *Columns, *Rows, *LabelWidth, *LabelHeight;
  QLineEdit *StartLabel, *Copies, *LineWidth, *Caption;
  QCheckBox *UseShipping, *UseCmpAdd, *PrintLine;
  QLabel* BitmapPath;  // shown beside "&Bitmap"
  QLabel* FontLabel;   // beside "&Font", in the chosen font
  QPushButton *FontButn, *BitMpButn, *PrnButn;

  // The speed buttons that pick one record, and "Print S&etup".
  QPushButton *FindCustomer, *FindVendor, *FindProduct, *PrintSetup;
  QAction *Add3, *AddVendor1, *AddProduct1;  // the Records menu's pick items

  QTreeWidget* LabelList;
  QLineEdit* FilterEdit;
  QLabel* StatusLine;
  std::array<QPushButton*, 4> AgingButtons{};  // "0-30" ... "Over 90"

 private:
  void FillList();
  void ShowSelectedCount();
  void ShowAddedCount(int added);
  void AppendPicked(LabelQueueRow row);
  void ShowLayoutFont();
  void EnableHookedActions();
  void BuildMenus(QBoxLayout* layout);
  void BuildTools(QBoxLayout* layout);
  void BuildLayoutControls(QBoxLayout* layout);
  QGridLayout* tools_ = nullptr;
};

extern Tlblwiz* lblwiz;
Tlblwiz& Createlblwiz();

}  // namespace reports
