#pragma once
// The customer file of the open company (base name: company number + "C").

#include "storage/isam.h"

namespace app {

// The file block of the open company's customer file.
extern storage::IsamFileBlock CustomerFile;

}  // namespace app
