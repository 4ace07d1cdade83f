#include "app/product_file.h"

#include "app/find_box.h"
#include "app/record_file.h"

namespace app {

storage::IsamFileBlock ProductFile = nullptr;

const storage::DataFileKind& ProductFileKind() {
  static const storage::DataFileKind kind = RecordFileKind<ProductRec>(
      "P", "Products", ProductKeyDescs, "I am going to create a new, empty product file for this company.",
      BuildProductKey);
  return kind;
}

storage::DataFileUnit& ProductUnit() {
  static storage::DataFileUnit unit(ProductFileKind(), ProductFile);
  return unit;
}

bool CreateProductFile() {
  return ProductUnit().CreateFile();
}

bool OpenProductFile() {
  return ProductUnit().OpenFile();
}

bool OpenProductDatabase() {
  return storage::IsamGlobalCheck() && OpenProductFile();
}

bool RebuildProductFile() {
  return ProductUnit().RebuildFile();
}

bool AddProductRecord(const ProductRec& product, storage::IsamRecRef& ref) {
  return ProductUnit().AddRecord(&product, ref);
}

bool UpdateProductRecord(const ProductRec& product, const ProductRec& beforeImage, storage::IsamRecRef ref) {
  return ProductUnit().UpdateRecord(&product, &beforeImage, ref);
}

bool DeleteProductRecord(storage::IsamRecRef ref) {
  return ProductUnit().DeleteRecord(ref);
}

bool SearchProductKey(storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr) {
  return ProductUnit().SearchKey(key, ref, keyNr);
}

bool FindProduct(storage::TRecBrowser& browser, ProductRec& product) {
  constexpr int CodeColumn = 0;
  std::optional<FindRow> row = RunFind("Find Product", "Prod");
  if (!row) return false;
  ProductRec wanted;
  wanted.Code.Set((*row)[CodeColumn]);
  return ShowRecordByKey(browser, ProductUnit(), BuildProductKey(wanted, 1), 1, product, BuildProductKey);
}

void AttachProductBrowser(storage::TRecBrowser& browser, ProductRec& product) {
  AttachRecordBrowser(browser, ProductFile, product);
}

}  // namespace app
