#pragma once
// Checks that a call raises an exception of a given class with a given text.

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

template <class Error, class Call>
void ExpectError(Call&& call, const std::string& text) {
  try {
    call();
    ADD_FAILURE() << "nothing raised; expected \"" << text << "\"";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), text);
  }
}

}  // namespace testing_support
