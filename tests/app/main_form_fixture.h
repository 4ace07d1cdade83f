#pragma once
// The program's windows in a scratch data directory, as start-up makes them, with a script in
// the user's place. The engine is stopped and the windows destroyed afterwards whatever the
// test did.

#include <gtest/gtest.h>

#include <memory>

#include "app/main_form.h"
#include "app/start_up.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "support/temp_dir.h"

namespace app {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::EnsureGuiApplication(); }
  void TearDown() override {
    ShutDown();
    CurrentCompany = CompanyRec{};
  }

  testing_support::TempDir dir_;
};

}  // namespace app
