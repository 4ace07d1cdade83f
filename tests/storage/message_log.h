#pragma once
// What the user is told, every box answered with its first choice (OK, Yes): for a child process
// or a sweep, where what is shown is checked afterwards rather than scripted.

#include <string>
#include <vector>

#include "support/stand_in_user.h"

namespace storage::testing {

class MessageLog : public testing_support::StandInUser {
 public:
  platform::ui::TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    Told.push_back(request.text.toStdString());
    return request.buttons == platform::ui::MsgButtons::YesNo ? platform::ui::mrYes : platform::ui::mrOk;
  }
  platform::ui::TModalResult RunModal(platform::ui::Form&) override { return platform::ui::mrCancel; }

  std::vector<std::string> Told;
};

}  // namespace storage::testing
