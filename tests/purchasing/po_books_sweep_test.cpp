// Random runs of adding, editing and receiving purchase orders through the plain procedures,
// checked after every step against a simple model of the stock and against the books check,
// which recomputes stock and the POs' received state from the records.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "po_books_fixture.h"
#include "purchasing/po_edit.h"
#include "purchasing/po_posting.h"
#include "purchasing/receiving.h"
#include "records/company_file.h"
#include "records/po_header_file.h"
#include "records/record_file.h"

namespace purchasing {
namespace {

using test_fixtures::PO;
using test_fixtures::POLine;

class POBooksSweepTest : public test_fixtures::POBooksTest {
 protected:
  struct OpenPO {
    std::string Number;
    int Lines = 0;
    bool Received = false;  // anything received: no more edits
    bool Closed = false;    // received in full
  };

  // Products that count what comes in (not SERVICE, which is not stocked).
  bool Counted(const std::string& code) const { return code != "SERVICE"; }

  std::vector<EnteredPOLine> RandomLines() {
    static const char* codes[] = {"WIDGET", "SERVICE", "MANUAL", "AB", "ABN"};
    std::vector<const char*> pool(std::begin(codes), std::end(codes));
    std::shuffle(pool.begin(), pool.end(), random_);
    const int count = 1 + static_cast<int>(random_() % 3);
    std::vector<EnteredPOLine> lines;
    for (int row = 1; row <= count; ++row)
      lines.push_back(POLine(row, pool[row - 1], std::to_string(1 + random_() % 20).c_str()));
    return lines;
  }

  void ReceiveInModel(const std::vector<EnteredPOLine>& lines) {
    for (const EnteredPOLine& line : lines)
      if (Counted(line.Code)) model_[line.Code] += std::stod(line.Quantity);
  }

  void Add() {
    const std::string number = std::to_string(next_++);
    EnteredPO po = PO(number.c_str(), RandomLines());
    po.MarkReceived = random_() % 4 == 0;
    PostNewPO(po);
    if (po.MarkReceived) ReceiveInModel(po.Lines);
    pos_.push_back({number, static_cast<int>(po.Lines.size()), po.MarkReceived, po.MarkReceived});
    ++adds_;
  }

  storage::IsamRecRef Ref(const std::string& number) {
    records::POHeaderRec wanted{}, found{};
    wanted.PONumber.Set(number);
    storage::IsamRecRef ref = 0;
    EXPECT_TRUE(
        records::ReadByKey(records::POHeaderUnit(), records::BuildPOHeaderKey(wanted, 1), 1, found, ref));
    return ref;
  }

  void Edit(OpenPO& open) {
    StoredPO stored;
    ASSERT_TRUE(ReadStoredPO(Ref(open.Number), stored));
    EnteredPO edited = PO(open.Number.c_str(), {});
    // Each line keeps its product, with a new quantity; the last may be cleared.
    for (const StoredPODetail& detail : stored.Details) {
      const std::string code = detail.Record.Product.Get();
      edited.Lines.push_back(POLine(static_cast<int>(edited.Lines.size()) + 1, code.c_str(),
                                    std::to_string(1 + random_() % 30).c_str()));
    }
    if (edited.Lines.size() > 1 && random_() % 3 == 0) {
      edited.Lines.back() = EnteredPOLine{};
      edited.Lines.back().Row = static_cast<int>(edited.Lines.size());
      --open.Lines;
    }
    edited.MarkReceived = random_() % 4 == 0;
    PostEditedPO(stored, edited);
    ++edits_;
    if (edited.MarkReceived) {
      std::vector<EnteredPOLine> written;
      for (const EnteredPOLine& line : edited.Lines)
        if (!line.Code.empty()) written.push_back(line);
      ReceiveInModel(written);
      open.Received = open.Closed = true;
    }
  }

  void Receive(OpenPO& open) {
    ReceivingList list = LoadReceivingList(open.Number, true);
    Receipt receipt{list.PONumber, StoredCompany().NextReceiverNumber.Get(), QDate(2026, 12, 7), list.Rows};
    double total = 0;
    for (ReceivingRow& row : receipt.Rows) {
      const int due = std::max(0, std::stoi(row.Ordered) - std::stoi(row.ToDate));
      const int in = random_() % 3 == 0 ? due : static_cast<int>(random_() % (due + 2));  // now and then more
      row.InToday = std::to_string(in);
      total += in;
      if (Counted(row.Code)) model_[row.Code] += in;
    }
    if (total == 0) return;
    const PostedReceipt posted = PostReceipt(receipt);
    ++receipts_;
    open.Received = true;
    open.Closed = posted.POReceived;
    // The header is received once what remains due over the whole PO is nothing or less.
    EXPECT_EQ(posted.POReceived, LoadReceivingList(open.Number, false).Due() <= 0);
  }

  void ExpectStockOfModel() {
    for (const auto& [code, before] : stock)
      EXPECT_EQ(std::stod(OnHand(code.c_str())), before + model_[code]) << code;
  }

  std::mt19937 random_{20261207};
  std::map<std::string, double> model_;
  std::vector<OpenPO> pos_;
  int next_ = 9000;
  int adds_ = 0, edits_ = 0, receipts_ = 0;
};

TEST_F(POBooksSweepTest, AddsEditsAndReceiptsInAnyOrderKeepStockAndPOsInStep) {
  for (int step = 0; step < 60; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    std::vector<OpenPO*> editable, open;
    for (OpenPO& po : pos_) {
      if (!po.Received) editable.push_back(&po);
      if (!po.Closed) open.push_back(&po);
    }
    const int choice = static_cast<int>(random_() % 3);
    if (choice == 0 || open.empty())
      Add();
    else if (choice == 1 && !editable.empty())
      Edit(*editable[random_() % editable.size()]);
    else
      Receive(*open[random_() % open.size()]);
    ExpectStockOfModel();
    ExpectBooksBalance();
    if (HasFailure()) break;
  }
  EXPECT_GE(adds_, 10);
  EXPECT_GE(edits_, 5);
  EXPECT_GE(receipts_, 10);
}

}  // namespace
}  // namespace purchasing
