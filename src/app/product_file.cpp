#include "app/product_file.h"

namespace app {

storage::IsamFileBlock ProductFile = nullptr;

}  // namespace app
