#include "app/customer_file.h"

namespace app {

storage::IsamFileBlock CustomerFile = nullptr;

}  // namespace app
