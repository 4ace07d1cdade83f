#pragma once
// The product file of the open company (base name: company number + "P").

#include "storage/isam.h"

namespace app {

// The file block of the open company's product file.
extern storage::IsamFileBlock ProductFile;

}  // namespace app
