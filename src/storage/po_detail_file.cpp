#include "storage/po_detail_file.h"

namespace storage {

const DataFileKind PODetailKind = PlainDataFileKind("PD", "PO Detail", sizeof(PODetailRec),
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

IsamFileBlock PODetailFile = nullptr;
PODetailRec PODetailBuf{};

DataFileUnit& PODetailUnit() {
  static DataFileUnit unit(PODetailKind, PODetailFile);
  return unit;
}

}  // namespace storage
