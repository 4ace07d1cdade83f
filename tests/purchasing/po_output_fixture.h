#pragma once
// The PO books company with what documents need besides: vendor V1 with its order address,
// notes, e-mail address and four amounts, the company's PO captions, and helpers that receive
// goods against a PO and post a memo PO. Print jobs go to a recording printer.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"
#include "po_books_fixture.h"
#include "records/vendor_rec.h"

namespace test_fixtures {

class POOutputTest : public POBooksTest {
 protected:
  POOutputTest();
  ~POOutputTest() override;

  // Receives the quantities by product code against the PO under the receiver number.
  static void Receive(const char* number, const char* receiver,
                      const std::map<std::string, std::string>& inToday);
  // A memo PO of vendor V1: its memo lines, and `quantity` of `product` as its stock line.
  static void PostMemoPO(const char* number, std::vector<std::string> lines, const char* product,
                         const char* quantity);
  // Changes the stored vendor V1.
  static void ChangeVendor(const std::function<void(records::VendorRec&)>& change);
  // The count of print jobs, and of pages whose title is the PO caption or the copy caption.
  int Jobs() const;
  int PagesTitled(const char* caption) const;

  platform::print::RecordingPrintBackend* printer_;

 private:
  std::unique_ptr<platform::print::ScopedPrintBackend> printScope_;
};

}  // namespace test_fixtures
