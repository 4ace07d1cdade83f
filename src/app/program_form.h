#pragma once
// The program's forms exist once for the whole run, each behind its global instance pointer.

#include "platform/ui/application.h"

namespace app {

// Makes the form behind `instance` the first time (at start-up) and returns it ever after.
template <class T>
T& CreateProgramForm(T*& instance) {
  if (instance == nullptr) platform::ui::Application->CreateForm(instance);
  return *instance;
}

}  // namespace app
