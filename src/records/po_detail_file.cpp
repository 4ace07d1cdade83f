#include "records/po_detail_file.h"

namespace records {

const storage::DataFileKind PODetailKind =
    storage::PlainDataFileKind("PD", "PO Detail", sizeof(PODetailRec),
                               {{10, true, {{offsetof(PODetailRec, PODate), 10}}},
                                {9, true, {{offsetof(PODetailRec, PONumber), 9}}},
                                {10, true, {{offsetof(PODetailRec, ReceivedDate), 10}}},
                                {25,
                                 true,
                                 {{offsetof(PODetailRec, PONumber), 9},
                                  {offsetof(PODetailRec, Product), 15},
                                  {offsetof(PODetailRec, RecordKind), 1}}},
                                {9, true, {{offsetof(PODetailRec, ReceiverNumber), 9}}},
                                {11, true, {{offsetof(PODetailRec, LineKey), 20}}}});

storage::IsamFileBlock PODetailFile = nullptr;
PODetailRec PODetailBuf{};

storage::DataFileUnit& PODetailUnit() {
  static storage::DataFileUnit unit(PODetailKind, PODetailFile);
  return unit;
}

PODetailRec ReceiptRecord(const PODetailRec& line, std::string_view receivedDate, std::string_view quantity,
                          std::string_view receiverNumber) {
  PODetailRec receipt = line;
  std::string text = line.LineText.Get();
  auto column = [&text](size_t from, size_t width) {
    return from < text.size() ? text.substr(from, width) : "";
  };
  size_t description = kLineQuantityWidth;
  size_t price = description + kLineDescriptionWidth;
  size_t taxable = price + kLinePriceWidth;
  receipt.LineText.Set(LineText("0", column(description, kLineDescriptionWidth),
                                column(price, kLinePriceWidth), column(taxable, kLineTaxableWidth), "0"));
  receipt.RecordKind.Set("L");
  receipt.Received.Set("Y");
  receipt.ReceivedDate.Set(receivedDate);
  receipt.QuantityReceived.Set(quantity);
  receipt.ReceiverNumber.Set(receiverNumber);
  return receipt;
}

}  // namespace records
