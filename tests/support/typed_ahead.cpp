#include "support/typed_ahead.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <cstdio>

#include "platform/files/fault_seam.h"
#include "platform/ui/application.h"
#include "products/product_manager.h"
#include "records/company_rec.h"
#include "records/product_file.h"
#include "support/grid_typing.h"

namespace testing_support {

namespace {

using platform::ui::mrYes;

constexpr int kUsersPause = 120;  // milliseconds the event loop runs between press and release

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

QString LookedUpOnlyNow(int line) {
  return QString(
             "Line %1 has a product code that was looked up only now. Check the line, then choose OK again.")
      .arg(line);
}

void PutCursor(const EntryWindow& window, int line, int column) {
  window.Grid->setFocus();
  window.Grid->setCurrentIndex(window.Grid->model()->index(line - 1, column));
}

// Picks the product in the Product Manager shown to pick from.
void PickInProductManager(UiScript& ui, const char* code) {
  ui.OnModal<products::TEditProd>([code](products::TEditProd& manager) {
    records::ProductRec wanted;
    wanted.Code.Set(code);
    manager.ProdBrowser->BrowserGoToKey(records::BuildProductKey(wanted, products::ProductKeyNumber), 0);
    manager.ProdBrowserDblClick();
  });
}

void MinimizedBeforeItsLookUp(const EntryWindow& window, int first, UiScript&) {
  PutCursor(window, first, window.CodeColumn);
  TypeIntoGrid(*window.Grid, "stock5");
  MinimizeAndRestore(*window.Form);
  window.Grid->setFocus();
  TypeIntoGrid(*window.Grid, "\t3\t");
  ClickAtAUsersPace(*window.OK);
}

void QuantityTypedAcross(const EntryWindow& window, int first, const std::function<void()>& between) {
  PutCursor(window, first, window.CodeColumn);
  TypeIntoGrid(*window.Grid, "stock5\t1");
  between();
  TypeWhereTheFocusIs("2\t");
  ClickAtAUsersPace(*window.OK);
}

void QuantityTypedAcrossAMinimize(const EntryWindow& window, int first, UiScript&) {
  QuantityTypedAcross(window, first, [&window] { MinimizeAndRestore(*window.Form); });
}

void QuantityTypedAcrossAnotherWindow(const EntryWindow& window, int first, UiScript&) {
  QuantityTypedAcross(window, first, [&window] { ActivateAnotherWindowAndComeBack(*window.Form); });
}

void FailedLookUpThenALineInsertedAbove(const EntryWindow& window, int first, UiScript& ui) {
  const std::string company = Trimmed(records::CurrentCompany.CompanyNumber.Get());
  ui.ExpectMessage(
      QString::fromStdString("The file " + company + "P.DAT cannot be read now: Input/output error."),
      window.Form->windowTitle());
  PutCursor(window, first, window.CodeColumn);
  platform::files::InstallFaultPlan(
      {.Errno = EIO, .OnRead = platform::files::FaultAction::Fail, .ReadNumber = 1});
  TypeIntoGrid(*window.Grid, "stock5\t");
  platform::files::RemoveFaultPlan();
  PutCursor(window, first, window.CodeColumn);
  ClickAtAUsersPace(*window.InsertLine);
  ui.ExpectMessage(LookedUpOnlyNow(first + 1), platform::ui::Application->Title);
  ClickAtAUsersPace(*window.OK);
  ClickAtAUsersPace(*window.OK);
}

void OKClickedWhileACodeIsInItsCell(const EntryWindow& window, int first, UiScript& ui) {
  PutCursor(window, first, window.CodeColumn);
  TypeIntoGrid(*window.Grid, "stock5");
  ui.ExpectMessage(LookedUpOnlyNow(first), platform::ui::Application->Title);
  ClickAtAUsersPace(*window.OK);
  ClickAtAUsersPace(*window.OK);
}

void UnknownCodeTabbedPastThenPicked(const EntryWindow& window, int first, UiScript& ui) {
  ui.ExpectMessage("That product code was not found. Would you like to add it now?", "Product Code")
      .Answer(mrYes);
  PickInProductManager(ui, "STOCK5");
  PutCursor(window, first, window.CodeColumn);
  TypeBurstIntoGrid(*window.Grid, "nosuch9\t\t\t\t");
  ClickAtAUsersPace(*window.OK);
}

void UnknownCodeThenAProductAnotherLineHoldsPicked(const EntryWindow& window, int first, UiScript& ui) {
  ui.ExpectMessage("That product code was not found. Would you like to add it now?", "Product Code")
      .Answer(mrYes);
  PickInProductManager(ui, "STOCK5");
  ui.ExpectMessage(window.CodeInUse, QString("Code: STOCK5  Line: %1.").arg(first));
  PutCursor(window, first, window.CodeColumn);
  TypeIntoGrid(*window.Grid, "stock5\t3\t");
  PutCursor(window, first + 1, window.CodeColumn);
  TypeBurstIntoGrid(*window.Grid, "nosuch9\t4\t\t2.00\t");
  ClickAtAUsersPace(*window.OK);
}

void InsertLineWithACodeOnTheLastLine(const EntryWindow& window, int first, UiScript& ui) {
  ui.ExpectMessage("That product code was not found. Would you like to add it now?", "Product Code")
      .Answer(platform::ui::mrNo);
  ui.ExpectMessage("Line item number 99 is in use. Unable to insert more line items.",
                   platform::ui::Application->Title);
  PutCursor(window, first, window.CodeColumn);
  TypeIntoGrid(*window.Grid, "stock5\t");
  PutCursor(window, 99, window.CodeColumn);
  TypeIntoGrid(*window.Grid, "nosuch9\t2\t\t4.00\t");
  PutCursor(window, first, window.CodeColumn);
  ClickAtAUsersPace(*window.InsertLine);
  // Still on the last line, the code is described and kept.
  PutCursor(window, 99, window.CodeColumn + 2);
  TypeIntoGrid(*window.Grid, "Freight\t");
  ClickAtAUsersPace(*window.OK);
}

void FiguresWithoutCodeOrDescription(const EntryWindow& window, int first, UiScript& ui) {
  PutCursor(window, first, window.CodeColumn);
  TypeIntoGrid(*window.Grid, "stock5\t10\t\t0.50\t\t\t\t\t5\t\t10.00\t");
  ui.ExpectMessage(
      QString("Line %1 has a unit price but no product code or description. Enter one, or choose "
              "Clear Line.")
          .arg(first + 1),
      platform::ui::Application->Title);
  ClickAtAUsersPace(*window.OK);
  // The cursor is on the line refused: its description typed, it is kept.
  TypeIntoGrid(*window.Grid, "\t\tFreight\t");
  ClickAtAUsersPace(*window.OK);
}

void CodeTypedTwiceInOneBurst(const EntryWindow& window, int first, UiScript& ui) {
  ui.ExpectMessage(window.CodeInUse, QString("Code: STOCK5  Line: %1.").arg(first));
  PutCursor(window, first, window.CodeColumn);
  TypeBurstIntoGrid(*window.Grid, "stock5\t3\t\t7.50\t\t\t\tstock5\t2\t\t4.25\t\t\t\tnostock5\t1\t\t6.00\t");
  ClickAtAUsersPace(*window.OK);
}

}  // namespace

void ClickAtAUsersPace(QAbstractButton& button) {
  QTest::mousePress(&button, Qt::LeftButton);
  QTest::qWait(kUsersPause);
  QTest::mouseRelease(&button, Qt::LeftButton);
}

std::string TypedLineAsStored(const std::string& code, const std::string& lineText) {
  // Quantity 10 characters at 0, description 32 at 10, extension 10 at 53.
  const std::string text = lineText + std::string(63, ' ');
  char quantity[32];
  std::snprintf(quantity, sizeof quantity, "%g", std::atof(Trimmed(text.substr(0, 10)).c_str()));
  return Trimmed(code) + " " + quantity + " " + Trimmed(text.substr(53, 10)) + " " +
         Trimmed(text.substr(10, 32));
}

platform::text::Cents StoredExtension(const std::string& lineText) {
  const std::string text = lineText + std::string(63, ' ');
  return platform::text::ParseAmount(Trimmed(text.substr(53, 10))).value_or(0);
}

const std::vector<TypedAheadCase>& TypedAheadCases() {
  static const std::vector<TypedAheadCase> cases = {
      {"a code waits for its look-up while the window is minimized",
       MinimizedBeforeItsLookUp,
       {"STOCK5 3 30.00 Product STOCK5"}},
      {"a code whose look-up failed moves with its line when a line is inserted above it",
       FailedLookUpThenALineInsertedAbove,
       {"STOCK5 1 10.00 Product STOCK5"}},
      {"OK clicked with the mouse while a code is in its cell is OK chosen from the keyboard",
       OKClickedWhileACodeIsInItsCell,
       {"STOCK5 1 10.00 Product STOCK5"}},
      {"cells an unknown code's Tabs passed through take the product picked for it",
       UnknownCodeTabbedPastThenPicked,
       {"STOCK5 1 10.00 Product STOCK5"}},
      {"a quantity typed across a minimize keeps the key typed before it",
       QuantityTypedAcrossAMinimize,
       {"STOCK5 12 120.00 Product STOCK5"}},
      {"a quantity typed across another window activated keeps the key typed before it",
       QuantityTypedAcrossAnotherWindow,
       {"STOCK5 12 120.00 Product STOCK5"}},
      {"a product picked for an unknown code but held by another line clears the line whole",
       UnknownCodeThenAProductAnotherLineHoldsPicked,
       {"STOCK5 3 30.00 Product STOCK5"}},
      {"Insert Line is refused while the last line holds a code without a description",
       InsertLineWithACodeOnTheLastLine,
       {"STOCK5 1 10.00 Product STOCK5", "nosuch9 2 8.00 Freight"}},
      {"figures without a code or description are refused until the line is described",
       FiguresWithoutCodeOrDescription,
       {"STOCK5 10 5.00 Product STOCK5", " 5 50.00 Freight"}},
      {"a code typed twice in one burst clears the second line whole",
       CodeTypedTwiceInOneBurst,
       {"STOCK5 3 22.50 Product STOCK5", "NOSTOCK5 1 6.00 Product NOSTOCK5"}},
  };
  return cases;
}

}  // namespace testing_support
