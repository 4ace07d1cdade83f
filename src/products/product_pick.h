#pragma once
// The Product Manager shown as the product picker of an entry form.

#include <string>

namespace products {

// Shows the Product Manager to pick a product, starting at the code and description the entry
// line holds. True when one was picked: it is then in SelectedProduct.
bool PickProduct(const std::string& code, const std::string& description);

}  // namespace products
