#pragma once
// Shared types, limits and error codes of the storage engine, and its two status variables.
// No engine call raises: each one leaves its outcome in IsamOK and IsamError.

#include <cstdint>
#include <string>

namespace storage {

using IsamRecRef = int32_t;

constexpr int IsamMaxKeys = 100;
constexpr int IsamMaxKeyLen = 30;
constexpr int IsamItemsPerPage = 62;
constexpr int IsamNameMaxLen = 64;
constexpr int IsamMaxBaseNameLen = 192;
constexpr uint32_t IsamSignature = 0x11195851;

// A key: at most IsamMaxKeyLen bytes of Windows-1252 text, compared as unsigned bytes.
using IsamKeyStr = std::string;

struct IsamKeyDesc {
  uint8_t KeyLength = 0;        // 1..30
  uint8_t AllowDuplicates = 0;  // 0 or 1
};
// Operations that take key descriptions take IsamMaxKeys of them; element k-1 describes key k.
using IsamKeyDescArray = IsamKeyDesc[IsamMaxKeys];

extern bool IsamOK;
extern int32_t IsamError;

// Called by rebuild and reindex after each record; it cancels the run by setting IsamOK false.
using IsamProgressProc = void (*)(uint16_t keyNr, int32_t recordsRead, int32_t recordsDone,
                                  const void* record, uint16_t recordLength);
extern IsamProgressProc IsamProgressHook;

// Error codes.
enum : int32_t {
  IsamErrPathNotFound = 9900,
  IsamErrTooManyOpenFiles = 9901,
  IsamErrFileNotFound = 9903,
  IsamErrInvalidHandle = 9904,
  IsamErrInvalidAccess = 9908,
  IsamErrNoPageBuffers = 10000,
  IsamErrIndexDefective = 10010,
  IsamErrRecordLengthTooSmall = 10020,
  IsamErrNoMemoryKeyDescs = 10030,
  IsamErrNoMemoryVarBuffer = 10040,
  IsamErrTooManyKeys = 10050,
  IsamErrBadKeyLength = 10055,
  IsamErrHeaderTooManyKeys = 10060,
  IsamErrReadOnly = 10065,
  IsamErrShortRead = 10070,
  IsamErrShortWrite = 10075,
  IsamErrNotOpenFileBlock = 10080,
  IsamErrNoMemoryCreate = 10090,
  IsamErrNoMemoryOpen = 10100,
  IsamErrPageSizeNotWhole = 10120,
  IsamErrHeaderKeyLength = 10121,
  IsamErrHeaderItemsPerPage = 10122,
  IsamErrKeyTooLong = 10125,
  IsamErrPutRefZero = 10130,
  IsamErrDeleteRefRange = 10135,
  IsamErrOsFailure = 10140,
  IsamErrCloseFailed = 10160,
  IsamErrKeyNumber = 10164,
  IsamErrFreeChain = 10170,
  IsamErrVarChainRead = 10205,
  IsamErrKeyNotFound = 10210,
  IsamErrReindexHeader = 10215,
  IsamErrDeleteKeyNotFound = 10220,
  IsamErrDuplicateKey = 10230,
  IsamErrEndOfIndex = 10250,
  IsamErrNextPositionLost = 10255,
  IsamErrBeginOfIndex = 10260,
  IsamErrPrevPositionLost = 10265,
  IsamErrKeyAndRefNotFound = 10270,
  IsamErrNoMoreRecords = 10275,
  IsamErrScrollEmptyIndex = 10280,
  IsamErrKeyScrollEmptyIndex = 10285,
  IsamErrScanIo = 10390,
  IsamErrReadOnlyOs = 10397,
  IsamErrSaveRename = 10399,
  IsamErrNothingToRebuild = 10410,
  IsamErrNoMemoryRebuild = 10411,
  IsamErrRecordTooLong = 10412,
  IsamErrVarChainBroken = 10415,
  IsamErrScrollScale = 10420,
  IsamErrRecScrollScale = 10425,
  IsamErrJournal = 10440,
  IsamErrBadHandle = 10445,
  IsamErrAlreadyStarted = 10450,
  IsamErrTooFewBuffers = 10451,
  IsamErrNotStarted = 10455,
  IsamErrCancelled = 10460,
  IsamErrSaveAndDataExist = 10465,
  IsamErrKeyBuilder = 10470,
  IsamErrConverter = 10475,
  // A write to a file held by a posting that waits to be undone: refused, nothing changed.
  IsamErrPostingWaits = 10480,
};

// 0 none, 1 not found or end of index, 2 lock or in use, 3 rollback failed, 4 fatal.
enum : int32_t {
  IsamErrorClassNone = 0,
  IsamErrorClassNotFound = 1,
  IsamErrorClassLock = 2,
  IsamErrorClassRollback = 3,
  IsamErrorClassFatal = 4,
};
int32_t IsamErrorClassOf(int32_t code);

// Compares two keys as strings of unsigned bytes; a shorter key that is a prefix sorts first.
int IsamCompareKeys(const IsamKeyStr& a, const IsamKeyStr& b);

}  // namespace storage
