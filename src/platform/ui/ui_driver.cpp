#include "platform/ui/ui_driver.h"

#include "platform/ui/qt_ui_driver.h"

namespace platform::ui {
namespace {

UiDriver* installed = nullptr;

UiDriver& QtDriver() {
  static QtUiDriver driver;
  return driver;
}

}  // namespace

UiDriver& CurrentUiDriver() {
  return installed ? *installed : QtDriver();
}

UiDriver* InstallUiDriver(UiDriver* driver) {
  UiDriver* previous = installed;
  installed = driver;
  return previous;
}

}  // namespace platform::ui
