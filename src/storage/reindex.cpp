// IsamReindexFile: every key of a file set is built anew from the live records into an empty
// index. The data file is read once for all keys when their entries fit in memory together, and
// once per key otherwise; the keys are finished one after another either way. A key refused as a
// duplicate is logged in <name>.MSG and, when asked, its record is deleted together with the keys
// already added for it.
//
// The data file is marked defective (byte 20) before anything else changes, and the new index is
// built under a name of its own (<index name>~.IX); it takes the index's place only when the last
// key is in, and only then is the mark cleared. A crash or a failed run therefore leaves a set
// that opens as "index defective" (10010) instead of one that opens cleanly with keys missing.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>
#include <vector>

#include "storage/buffered_records.h"
#include "storage/bulk_load.h"
#include "storage/byte_order.h"
#include "storage/data_header.h"
#include "storage/file_io.h"
#include "storage/file_set.h"
#include "storage/index_header.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "storage/isam_rebuild.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"
#include "storage/rebuild_common.h"

namespace storage {
namespace {

constexpr int32_t LogWriteErrorBase = 9500;
constexpr int DiskWriteError = 101;  // the input/output result of a full or failing disk

// The base name under which the new index is built: the index file's name without ".IX",
// followed by "~".
std::string BuildingIndexBase(const std::string& indexName) {
  std::string ext = std::string(".") + IsamIndexExt;
  bool hasExt =
      indexName.size() > ext.size() && indexName.compare(indexName.size() - ext.size(), ext.size(), ext) == 0;
  return (hasExt ? indexName.substr(0, indexName.size() - ext.size()) : indexName) + "~";
}

// The log of refused keys, created at its first entry.
class ReindexLog {
 public:
  explicit ReindexLog(std::string name) : name_(std::move(name)) {}
  bool written() const { return file_.IsOpen(); }

  bool Refused(const IsamKeyStr& key, int keyNr, IsamRecRef ref) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, " KeyNr: %d Ref: %d not added", keyNr, ref);
    return Write("Key:<" + key + ">" + numbers + "\r\n");
  }
  bool Deleted(const std::vector<uint8_t>& record) {
    return Write("Data record deleted - Dump follows\r\n") &&
           Write(std::string(record.begin(), record.end()) + "\r\n" + "\r\n");
  }
  void Close() { file_.Close(); }

 private:
  bool Write(const std::string& text) {
    if (!file_.IsOpen() && !file_.Open(name_, platform::files::OpenMode::CreateAlways)) return Failed();
    if (!file_.WriteAt(pos_, text.data(), text.size())) return Failed();
    pos_ += static_cast<int64_t>(text.size());
    return true;
  }
  bool Failed() {
    int err = file_.error();
    int result = (err == ENOSPC || err == EFBIG || err == 0) ? DiskWriteError : err;
    return IsamFail(LogWriteErrorBase + result);
  }

  std::string name_;
  platform::files::File file_;
  int64_t pos_ = 0;
};

struct ReindexRun {
  std::string dataName;
  std::string indexName;
  std::string buildingBase;  // data part;building index base: the name the set is opened by
  std::string buildingIndexName;
  uint16_t numberKeys = 0;
  const IsamKeyDescArray* keys = nullptr;
  const IsamBuildKey* buildKey = nullptr;
  bool deleteBadRecords = false;
  const IsamRecordHook* recordHook = nullptr;
  int32_t hookParameter = 0;
  int32_t recordLength = 0;
  int32_t recordsDeleted = 0;
  std::vector<IsamRecRef> deletedRefs;  // the records deleted for a refused key, in ascending order
};

// Lets the caller decode a record just read.
void RecordRead(const ReindexRun& run, std::vector<uint8_t>& record) {
  if (*run.recordHook) {
    (*run.recordHook)(record.data(), static_cast<uint16_t>(run.recordLength), IsamRecordHookRead,
                      run.hookParameter);
  }
}

// The record's key for one key number, cut to the longest key there is.
bool RecordKey(const ReindexRun& run, const std::vector<uint8_t>& record, int keyNr, IsamKeyStr& key) {
  IsamOK = true;
  IsamError = 0;
  (*run.buildKey)(record.data(), static_cast<uint16_t>(keyNr), key);
  if (!IsamOK) return IsamFail(IsamErrKeyBuilder);
  key.resize(std::min<size_t>(key.size(), IsamMaxKeyLen));
  return true;
}

// Tells the progress window how far the run is; false when it was cancelled.
bool ReportProgress(const ReindexRun& run, int keyNr, int32_t read, int32_t added,
                    const std::vector<uint8_t>& record) {
  if (!IsamProgressHook) return true;
  IsamOK = true;
  IsamProgressHook(static_cast<uint16_t>(keyNr), read, added, record.data(),
                   static_cast<uint16_t>(run.recordLength));
  return IsamOK || IsamFail(IsamErrCancelled);
}

// Reads the live records in the order of their references, decoded, and hands each to take
// (which returns false to stop). True once the end of the file is reached.
template <class Take>
bool ForEachLiveRecord(const ReindexRun& run, IsamBufferedReader& reader, std::vector<uint8_t>& record,
                       Take take) {
  for (IsamRecRef ref = 1;; ++ref) {
    if (!reader.Read(ref, record.data())) break;
    if (IsamLoadInt32(record.data()) != 0) continue;
    RecordRead(run, record);
    if (!take(ref)) return false;
  }
  if (IsamError != IsamErrShortRead) return false;
  IsamOK = true;
  IsamError = 0;
  return true;
}

// The data header must describe the file it heads, and its free chain must start at a deleted
// record: rebuilding keys over anything else would index garbage.
bool CheckDataFile(ReindexRun& run) {
  IsamFileBlockRec probe;
  if (!IsamOpenExisting(probe.DataFile, run.dataName, false)) return false;
  int64_t size = 0;
  uint8_t dirty = 0;
  bool read = IsamFileSize(probe.DataFile, &size) && IsamReadDataHeader(probe, &dirty);
  bool sound = read && probe.RecordLength > 0 && size % probe.RecordLength == 0 &&
               size / probe.RecordLength - 1 == probe.NumberRecords;
  if (sound && probe.FirstFree != -1) {
    uint8_t status[4];
    sound =
        probe.FirstFree >= 1 && probe.FirstFree <= probe.NumberRecords &&
        IsamReadAt(probe.DataFile, int64_t{probe.FirstFree} * probe.RecordLength, status, sizeof status) &&
        IsamLoadInt32(status) != 0;
  }
  (void)IsamCloseFile(probe.DataFile);  // only read
  if (!read) return false;
  if (!sound) return IsamFail(IsamErrReindexHeader);
  run.recordLength = probe.RecordLength;
  return true;
}

// Writes the empty index under its building name and removes the old index and log.
bool StartEmptyIndex(const ReindexRun& run, const std::string& logName) {
  // The log of an earlier run goes; one that cannot be removed is met again at the first entry.
  if (IsamFileExists(logName)) {
    IsamStatusKeeper keep;
    (void)IsamDeleteFile(logName);
  }
  if (IsamFileExists(run.indexName) && !IsamDeleteFile(run.indexName)) return false;
  if (run.numberKeys == 0) return true;
  platform::files::File file;
  if (!IsamCreateFile(file, run.buildingIndexName)) return false;
  bool written = IsamWriteNewIndex(file, run.numberKeys, *run.keys) && IsamFlushFile(file);
  bool closed = IsamCloseFile(file);
  return written && closed;
}

// Gives the data header the new number of keys, and marks the set defective until they are built.
bool RewriteDataHeader(const ReindexRun& run) {
  IsamFileBlockRec header;
  uint8_t dirty = 0;
  if (!IsamOpenExisting(header.DataFile, run.dataName, false)) return false;
  bool written = IsamReadDataHeader(header, &dirty);
  header.NumberKeys = run.numberKeys;
  written = written && IsamWriteDataHeader(header, 1) && IsamFlushFile(header.DataFile);
  bool closed = IsamCloseFile(header.DataFile);
  return written && closed;
}

// Removes a record whose key k was refused, with the keys 1..k-1 already added for it.
bool DeleteBadRecord(const ReindexRun& run, IsamFileBlock fb, int keyNr, IsamRecRef ref,
                     const std::vector<uint8_t>& record) {
  for (int k = 1; k < keyNr; ++k) {
    IsamKeyStr key;
    (*run.buildKey)(record.data(), static_cast<uint16_t>(k), key);
    IsamDeleteKey(fb, k, ref, key.substr(0, IsamMaxKeyLen));  // a key that is not there is no matter
  }
  IsamDeleteRec(fb, ref);
  return IsamOK;
}

// Logs a refused key and, when asked, deletes its record with the keys already added for it.
bool RefuseKey(ReindexRun& run, IsamFileBlock fb, IsamBufferedReader& reader, int keyNr, IsamRecRef ref,
               const IsamKeyStr& key, const std::vector<uint8_t>& record, ReindexLog& log) {
  if (!log.Refused(key, keyNr, ref)) return false;
  if (!run.deleteBadRecords) return true;
  if (!DeleteBadRecord(run, fb, keyNr, ref, record) || !log.Deleted(record)) return false;
  reader.MarkDeleted(ref);
  ++run.recordsDeleted;
  run.deletedRefs.insert(std::upper_bound(run.deletedRefs.begin(), run.deletedRefs.end(), ref), ref);
  return true;
}

// The keys that a key built at once refused, in record order, as the pass would have met them.
bool RefuseSorted(ReindexRun& run, IsamFileBlock fb, IsamBufferedReader& reader, int keyNr,
                  const std::vector<IsamKeyLoader::Refusal>& refused, std::vector<uint8_t>& record,
                  ReindexLog& log) {
  for (const IsamKeyLoader::Refusal& r : refused) {
    if (!reader.Read(r.Ref, record.data())) return false;
    RecordRead(run, record);
    if (!RefuseKey(run, fb, reader, keyNr, r.Ref, r.Key, record, log)) return false;
  }
  return true;
}

// Deals with the refusals of a key whose entries were all taken in, and writes its tree (into the
// image while it holds rows). Records deleted for a refusal take their entries out of the keys
// already built, in the file: the image is written out before.
bool FinishKeyAtOnce(ReindexRun& run, IsamFileBlock fb, IsamBufferedReader& reader, int keyNr,
                     IsamKeyLoader& loader, std::vector<uint8_t>& record, ReindexLog& log,
                     IsamIndexImage& image) {
  loader.Drop(run.deletedRefs);
  const bool unique = !fb->Keys[keyNr - 1].AllowDuplicates;
  const std::vector<IsamKeyLoader::Refusal> refused = loader.Sort(unique);
  if (!refused.empty() && run.deleteBadRecords && !image.Flush(*fb)) return false;
  return RefuseSorted(run, fb, reader, keyNr, refused, record, log) && loader.Write(*fb, keyNr, image);
}

// One pass over the data file for key k. The key's tree is built at once from the sorted
// entries when the memory for them can be had, and entry by entry otherwise; either way a key
// is refused exactly when a record before it carries it already. (Built at once, the refusals
// are dealt with after the pass, and the progress counts the keys taken in.)
bool BuildOneKey(ReindexRun& run, IsamFileBlock fb, IsamBufferedReader& reader, int keyNr,
                 std::vector<uint8_t>& record, ReindexLog& log) {
  const IsamKeyState& ks = fb->Keys[keyNr - 1];
  IsamKeyLoader bulk;
  // The data file holds at most NumberRecords records (its size was checked against it).
  IsamKeyLoader* loader = ks.NumberPages == 0 && bulk.Reserve(fb->NumberRecords) ? &bulk : nullptr;
  int32_t read = 0;
  int32_t added = 0;
  const bool passed = ForEachLiveRecord(run, reader, record, [&](IsamRecRef ref) {
    ++read;
    IsamKeyStr key;
    if (!RecordKey(run, record, keyNr, key)) return false;
    if (loader) {
      if (static_cast<int>(key.size()) > ks.KeyLength) return IsamFail(IsamErrKeyTooLong);
      loader->Take(key, ref);
      ++added;
    } else if (IsamAddKey(fb, keyNr, ref, key), IsamOK) {
      ++added;
    } else if (IsamError != IsamErrDuplicateKey ||
               !RefuseKey(run, fb, reader, keyNr, ref, key, record, log)) {
      return false;
    }
    return ReportProgress(run, keyNr, read, added, record);
  });
  IsamIndexImage pageByPage;  // holds no rows
  return passed && (!loader || FinishKeyAtOnce(run, fb, reader, keyNr, *loader, record, log, pageByPage));
}

// Room for the entries of every key at once; false (nothing held) when it cannot be had.
bool ReserveEveryKey(IsamFileBlock fb, std::vector<IsamKeyLoader>& loaders) {
  try {
    loaders.resize(fb->NumberKeys);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int k = 1; k <= fb->NumberKeys; ++k) {
    if (fb->Keys[k - 1].NumberPages == 0 && loaders[k - 1].Reserve(fb->NumberRecords)) continue;
    loaders = {};
    return false;
  }
  return true;
}

// Room for the trees of every key in memory; without it they are written a page at a time.
void ReserveImage(IsamFileBlock fb, const std::vector<IsamKeyLoader>& loaders, IsamIndexImage& image) {
  int64_t rows = 0;
  for (const IsamKeyLoader& loader : loaders) rows = std::max(rows, loader.Pages());
  if (rows > 0) (void)image.Reserve(*fb, rows);
}

// Every key from one read of the data file: the entries of all keys are taken in together, then
// each key in turn has its refusals dealt with and its tree written, all of them into the rows of
// one image written out at the end when the memory for it can be had. The records an earlier
// key's refusals deleted are left out of the later keys, as passes key after key would have
// skipped them. The progress counts the records read as key 1's, and each later key once it is
// written.
bool BuildEveryKeyAtOnce(ReindexRun& run, IsamFileBlock fb, IsamBufferedReader& reader,
                         std::vector<IsamKeyLoader>& loaders, std::vector<uint8_t>& record, ReindexLog& log) {
  int32_t read = 0;
  const bool passed = ForEachLiveRecord(run, reader, record, [&](IsamRecRef ref) {
    ++read;
    for (int k = 1; k <= run.numberKeys; ++k) {
      IsamKeyStr key;
      if (!RecordKey(run, record, k, key)) return false;
      if (static_cast<int>(key.size()) > fb->Keys[k - 1].KeyLength) return IsamFail(IsamErrKeyTooLong);
      loaders[k - 1].Take(key, ref);
    }
    return ReportProgress(run, 1, read, read, record);
  });
  if (!passed) return false;
  IsamIndexImage image;
  ReserveImage(fb, loaders, image);
  for (int k = 1; k <= run.numberKeys; ++k) {
    if (!FinishKeyAtOnce(run, fb, reader, k, loaders[k - 1], record, log, image)) return false;
    if (k > 1 && read > 0 && !ReportProgress(run, k, read, fb->Keys[k - 1].NumberEntries, record))
      return false;
  }
  return image.Flush(*fb);
}

bool BuildKeys(ReindexRun& run, IsamFileBlock fb, ReindexLog& log) {
  if (run.numberKeys == 0) return true;  // no key to read the records for
  IsamBufferedReader reader(fb->DataFile, run.recordLength);
  std::vector<uint8_t> record;
  if (!IsamAllocateRecordBuffers({&record}, static_cast<size_t>(run.recordLength),
                                 [&] { return reader.GiveWay(); })) {
    return false;
  }
  std::vector<IsamKeyLoader> loaders;
  if (ReserveEveryKey(fb, loaders)) return BuildEveryKeyAtOnce(run, fb, reader, loaders, record, log);
  // Without the memory for every key at once, the file is read once per key.
  for (int k = 1; k <= run.numberKeys; ++k) {
    if (!BuildOneKey(run, fb, reader, k, record, log)) return false;
  }
  return true;
}

bool Reindex(ReindexRun& run, const std::string& logName, bool& messagesWritten) {
  if (!CheckDataFile(run)) return false;
  if (run.recordLength > IsamMaxRecordLength) return IsamFail(IsamErrRecordTooLong);
  if (!RewriteDataHeader(run) || !StartEmptyIndex(run, logName)) return false;
  IsamFileBlock fb = nullptr;
  if (!IsamOpenUnfinishedFileBlock(fb, run.buildingBase)) return false;
  ReindexLog log(logName);
  bool built = BuildKeys(run, fb, log);
  messagesWritten = log.written();
  log.Close();
  if (!built) {
    IsamCloseKeepingStatus(fb);
    IsamStatusKeeper keep;
    if (run.numberKeys > 0)
      (void)IsamDeleteFile(run.buildingIndexName);  // a building index is never opened as one
    return false;
  }
  IsamCloseFileBlock(fb);
  if (!IsamOK) {
    IsamCloseKeepingStatus(fb);
    return false;
  }
  if (run.numberKeys > 0 && !IsamRenameFile(run.buildingIndexName, run.indexName)) return false;
  return IsamMarkFileSetClean(run.dataName);
}

}  // namespace

void IsamReindexFile(const std::string& name, uint16_t numberKeys, const IsamKeyDescArray& keys,
                     bool variableLength, const IsamBuildKey& buildKey, bool deleteBadRecords,
                     bool& messagesWritten, const IsamRecordHook& recordHook, int32_t hookParameter,
                     int32_t* recordsDeleted) {
  IsamCallScope call(nullptr, IsamCallKind::NoFileBlock);
  messagesWritten = false;
  if (recordsDeleted) *recordsDeleted = 0;
  if (!call.entered()) return;
  // A posting waiting to be undone puts its records back where they were: none may move before.
  if (RefuseMoveWhileWaiting("The file " + IsamFileName(IsamDataPart(name), IsamDataExt), "rebuilt")) return;
  if (variableLength) {
    IsamFail(IsamErrVarChainBroken);
    return;
  }
  if (numberKeys > IsamMaxKeys) {
    IsamFail(IsamErrTooManyKeys);
    return;
  }
  if (numberKeys > 0 && !buildKey) {
    IsamFail(IsamErrKeyBuilder);
    return;
  }
  for (int k = 0; k < numberKeys; ++k) {
    if (keys[k].KeyLength < 1 || keys[k].KeyLength > IsamMaxKeyLen) {
      IsamFail(IsamErrBadKeyLength);
      return;
    }
  }
  ReindexRun run;
  std::string dataPart = IsamDataPart(name);
  run.dataName = IsamFileName(dataPart, IsamDataExt);
  run.indexName = IsamFileName(IsamIndexPart(name), IsamIndexExt);
  std::string buildingIndexBase = BuildingIndexBase(run.indexName);
  run.buildingBase = numberKeys > 0 ? dataPart + ";" + buildingIndexBase : dataPart;
  run.buildingIndexName = IsamFileName(buildingIndexBase, IsamIndexExt);
  run.numberKeys = numberKeys;
  run.keys = &keys;
  run.buildKey = &buildKey;
  run.deleteBadRecords = deleteBadRecords;
  run.recordHook = &recordHook;
  run.hookParameter = hookParameter;
  bool done = Reindex(run, IsamFileName(dataPart, IsamLogExt), messagesWritten);
  if (recordsDeleted) *recordsDeleted = run.recordsDeleted;
  if (done) {
    IsamOK = true;
    IsamError = 0;
  }
}

}  // namespace storage
