#include "records/product_file.h"

#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "records/record_file.h"

namespace records {

storage::IsamFileBlock ProductFile = nullptr;

namespace {

// A product is known by its code.
std::string ProductSubject(const ProductRec& product) {
  return platform::text::TrimBlanks(product.Code.Get());
}

}  // namespace

const storage::DataFileKind& ProductFileKind() {
  static const storage::DataFileKind kind = RecordFileKind<ProductRec>(
      "P", "Products", ProductKeyDescs, "I am going to create a new, empty product file for this company.",
      BuildProductKey, {}, ProductSubject);
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

bool UpdateProductFields(const ProductRec& product, const ProductRec& beforeImage, storage::IsamRecRef ref) {
  return ProductUnit().UpdateFieldsOnly(&product, &beforeImage, ref);
}

bool DeleteProductRecord(storage::IsamRecRef ref) {
  return ProductUnit().DeleteRecord(ref);
}

bool SearchProductKey(storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr) {
  return ProductUnit().SearchKey(key, ref, keyNr);
}

void AttachProductBrowser(storage::TRecBrowser& browser, ProductRec& product) {
  AttachRecordBrowser(browser, ProductFile, product);
}

std::string ProductCodeOf(std::string_view code) {
  return platform::text::UpperCase(platform::text::TrimmedBlanks(code.substr(0, 15)));
}

bool ReadProductByCode(std::string_view code, ProductRec& product, storage::IsamRecRef& ref) {
  const std::string wanted = ProductCodeOf(code);
  if (wanted.empty()) return false;
  ProductRec probe{};
  probe.Code.Set(wanted);
  return ReadIfOnFile(ProductUnit(), BuildProductKey(probe, 1), 1, product, ref) &&
         ProductCodeOf(product.Code.View()) == wanted;
}

}  // namespace records
