#pragma once
// Every form of the program exists once for the whole run, made at start-up; a routine that
// needs one before then (a test, a check run early) makes it on first use.

#include "platform/ui/application.h"

namespace forms {

template <class T>
T& FormInstance(T*& instance) {
  if (!instance) platform::ui::Application->CreateForm(instance);
  return *instance;
}

}  // namespace forms
