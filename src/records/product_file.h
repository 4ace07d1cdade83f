#pragma once
// The product file of the open company (base name: company number + "P", record ProductRec,
// 620 bytes): key 1 the code (15 characters, unique), key 2 the description (30, duplicates),
// key 3 the key code (10, duplicates). Its routines are the data-file routines over ProductFile.
// The price-change wizard rewrites records in place with IsamPutRec, leaving the keys alone.

#include <string>
#include <string_view>

#include "records/product_rec.h"
#include "storage/browser/rec_browser.h"
#include "storage/data_file_unit.h"
#include "storage/isam.h"

namespace records {

extern storage::IsamFileBlock ProductFile;

const storage::DataFileKind& ProductFileKind();
storage::DataFileUnit& ProductUnit();

[[nodiscard]] bool CreateProductFile();
// Opens the file, offering the rebuild of a defective index and creating a missing file after
// "I am going to create a new, empty product file for this company.".
[[nodiscard]] bool OpenProductFile();
// The managers' way in: the engine must be running, then OpenProductFile. (Every file is opened
// exclusively here, so there is no network type to ask about first.)
[[nodiscard]] bool OpenProductDatabase();
[[nodiscard]] bool RebuildProductFile();
// Adds the product with its three keys; a key that cannot be added undoes the add.
[[nodiscard]] bool AddProductRecord(const ProductRec& product, storage::IsamRecRef& ref);
// Rewrites the record at ref, refused with "The record has changed in the meantime." when the
// stored record no longer matches beforeImage; only the keys whose text changed are replaced.
[[nodiscard]] bool UpdateProductRecord(const ProductRec& product, const ProductRec& beforeImage,
                                       storage::IsamRecRef ref);
// The same for a change of no key's field (the stock figures): the keys are not touched.
[[nodiscard]] bool UpdateProductFields(const ProductRec& product, const ProductRec& beforeImage,
                                       storage::IsamRecRef ref);
[[nodiscard]] bool DeleteProductRecord(storage::IsamRecRef ref);
// A code as the file keys it: its first 15 characters, trimmed, in upper case.
std::string ProductCodeOf(std::string_view code);
// Reads the product whose code is `code` (as ProductCodeOf makes it). False for an empty code or
// one not on file; throws FileUnusable when the file could not be searched or the record read.
// The file must be open.
[[nodiscard]] bool ReadProductByCode(std::string_view code, ProductRec& product, storage::IsamRecRef& ref);
[[nodiscard]] bool SearchProductKey(storage::IsamKeyStr& key, storage::IsamRecRef& ref, int keyNr);

// The Product Manager's browser over the file, reading each row into its record.
void AttachProductBrowser(storage::TRecBrowser& browser, ProductRec& product);

}  // namespace records
