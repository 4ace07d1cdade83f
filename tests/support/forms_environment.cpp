// The program's forms (made once per run by Application->CreateForm) are destroyed when the
// tests are over, while Qt's platform plug-in still lives: a form that was painted cannot be
// destroyed later, among the exit handlers, without crashing the offscreen platform.

#include <gtest/gtest.h>

#include "platform/ui/application.h"

namespace {

class FormsEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { platform::ui::Application->DestroyForms(); }
};

[[maybe_unused]] ::testing::Environment* const forms =
    ::testing::AddGlobalTestEnvironment(new FormsEnvironment);

}  // namespace
