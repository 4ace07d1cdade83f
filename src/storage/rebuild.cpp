// IsamRebuildDataFile: the live records of <name>.DAT are copied, in their order, into a fresh
// data file without gaps or free chain; the old file waits as <name>.SAV until the copy is
// complete.
//
// Order of events, and what a crash at each point leaves:
//   1. <name>.DAT is moved to <name>.SAV             -> .SAV alone: the next rebuild resumes
//   2. a new <name>.DAT without keys is made, marked  -> .SAV and .DAT: an unfinished rebuild
//      defective in its very first write
//   3. the records are copied and the new file closed -> .SAV and .DAT, as above
//      with its mark left set
//   4. <name>.SAV is deleted                          -> .DAT marked defective: opens as 10010
// A data file that the copy would leave as it is (no record deleted, none converted, its header
// sound) is not copied: it is only marked as the new file would be, defective and without keys,
// and synced before its old index is deleted, which ends where step 4 does.
// The new data file stays marked defective until a reindex has built its keys, so no open ever
// takes it for a whole file set with an empty or missing index.

#include <algorithm>
#include <cstring>

#include "storage/buffered_records.h"
#include "storage/byte_order.h"
#include "storage/data_header.h"
#include "storage/file_io.h"
#include "storage/file_map.h"
#include "storage/file_set.h"
#include "storage/isam.h"
#include "storage/isam_guard.h"
#include "storage/isam_rebuild.h"
#include "storage/naming.h"
#include "storage/posting_journal.h"
#include "storage/rebuild_common.h"

namespace storage {
namespace {

struct RebuildRun {
  std::string name;  // the base name as given
  std::string dataName;
  std::string saveName;
  int32_t newLength = 0;
  int32_t oldLength = 0;
  const IsamConverter* converter = nullptr;
  const IsamRecordHook* recordHook = nullptr;
  int32_t hookParameter = 0;
  bool resumed = false;  // the old records were already in a .SAV left by an earlier run
};

// Moves the data file aside, or finds the .SAV of an earlier run to resume from.
bool MoveDataAside(RebuildRun& run) {
  bool saveExists = IsamFileExists(run.saveName);
  if (saveExists && IsamFileExists(run.dataName)) return IsamFail(IsamErrSaveAndDataExist);
  if (IsamRenameFile(run.dataName, run.saveName)) return true;
  if (IsamError == IsamErrFileNotFound && saveExists) {
    IsamOK = true;
    IsamError = 0;
    run.resumed = true;
    return true;
  }
  return IsamFail(IsamError == IsamErrOsFailure ? IsamErrSaveRename : IsamErrNothingToRebuild);
}

// Whether the records are kept as they are: the plain copy of the live ones, nothing else told.
bool CopiesAsItIs(const RebuildRun& run) {
  using Copy = bool (*)(const void*, void*, uint16_t&);
  const Copy* copy = run.converter->target<Copy>();
  return copy && *copy == IsamCopyLiveRecord && !*run.recordHook && run.newLength == run.oldLength;
}

// Whether the header tells of a file the copy would leave as it is: it fits the file's size and
// its free chain is empty.
bool HeaderSaysCompact(const RebuildRun& run, IsamFileBlockRec& probe) {
  int64_t size = 0;
  uint8_t dirty = 0;
  return IsamFileSize(probe.DataFile, &size) && IsamReadDataHeader(probe, &dirty) &&
         probe.RecordLength == run.oldLength && probe.FirstFree == -1 && probe.NumberFree == 0 &&
         probe.NumberRecords >= 0 && size == (int64_t{probe.NumberRecords} + 1) * probe.RecordLength;
}

// Reads slot 0 and every record from the file's mapping, reporting them as the copy would: true
// when slot 0 is zero beyond the header and every record is live. A cancel sets cancelled.
bool EveryRecordLive(const RebuildRun& run, IsamFileBlockRec& probe, bool& cancelled) {
  IsamFileMap map;
  std::vector<uint8_t> record(static_cast<size_t>(run.oldLength));
  bool live =
      map.Read(probe.DataFile, 0, record.data(), record.size()) &&
      std::all_of(record.begin() + IsamDataHeaderSize, record.end(), [](uint8_t b) { return b == 0; });
  for (IsamRecRef ref = 1; live && ref <= probe.NumberRecords; ++ref) {
    live = map.Read(probe.DataFile, int64_t{ref} * run.oldLength, record.data(), record.size()) &&
           IsamLoadInt32(record.data()) == 0;
    if (live && IsamProgressHook) {
      IsamOK = true;
      IsamProgressHook(0, ref, ref, record.data(), static_cast<uint16_t>(run.oldLength));
      cancelled = !IsamOK;
      live = !cancelled;
    }
  }
  map.Unmap();
  return live;
}

// Whether the data file already is what the copy would make of it: records kept as they are, no
// earlier run to resume or journal to keep, a sound header with an empty free chain, and every
// record live.
bool AlreadyCompact(const RebuildRun& run, const std::string& journalName, bool& cancelled) {
  if (!CopiesAsItIs(run) || IsamFileExists(run.saveName) || IsamFileExists(journalName)) return false;
  IsamStatusKeeper keep;  // a file that cannot be read here is met again by the copy
  IsamFileBlockRec probe;
  if (!IsamOpenExisting(probe.DataFile, run.dataName, true)) return false;
  const bool compact = HeaderSaysCompact(run, probe) && EveryRecordLive(run, probe, cancelled);
  (void)IsamCloseFile(probe.DataFile);  // only read
  return compact;
}

// Leaves a compact data file as the copy would have: marked defective and without keys, synced,
// and its old index gone.
bool MarkCompactFileRebuilt(const RebuildRun& run) {
  IsamFileBlockRec header;
  uint8_t dirty = 0;
  if (!IsamOpenExisting(header.DataFile, run.dataName, false)) return false;
  bool written = IsamReadDataHeader(header, &dirty);
  header.NumberKeys = 0;
  written = written && IsamWriteDataHeader(header, 1) && IsamFlushFile(header.DataFile);
  bool closed = IsamCloseFile(header.DataFile);
  if (!written || !closed) return false;
  const std::string indexName = IsamFileName(IsamIndexPart(run.name), IsamIndexExt);
  return !IsamFileExists(indexName) || IsamDeleteFile(indexName);
}

bool CreateNewDataFile(const RebuildRun& run) {
  return IsamCreateUnfinishedDataFile(run.name, run.newLength);
}

// Reads every record of the .SAV, converts it and appends the kept ones to fb.
bool CopyRecords(const RebuildRun& run, IsamFileBlock fb, platform::files::File& save) {
  IsamBufferedReader reader(save, run.oldLength);
  IsamBufferedWriter writer(fb);
  std::vector<uint8_t> oldRecord, newRecord;
  size_t bufferLength = static_cast<size_t>(std::max(run.oldLength, run.newLength));
  if (!IsamAllocateRecordBuffers({&oldRecord, &newRecord}, bufferLength,
                                 [&] { return reader.GiveWay() || writer.GiveWay(); })) {
    return false;
  }
  int32_t read = 0;
  int32_t written = 0;
  for (IsamRecRef ref = 1;; ++ref) {
    if (!reader.Read(ref, oldRecord.data())) {
      if (IsamError != IsamErrShortRead) return false;
      break;  // the end of the old file
    }
    ++read;
    if (*run.recordHook)
      (*run.recordHook)(oldRecord.data(), run.oldLength, IsamRecordHookRead, run.hookParameter);
    uint16_t length = static_cast<uint16_t>(run.oldLength);
    IsamOK = true;
    IsamError = 0;
    bool keep = (*run.converter)(oldRecord.data(), newRecord.data(), length);
    if (!IsamOK) return IsamFail(IsamErrConverter);
    if (keep) {
      if (*run.recordHook) {
        (*run.recordHook)(newRecord.data(), run.newLength, IsamRecordHookWrite, run.hookParameter);
      }
      if (!writer.Append(newRecord.data())) return false;
      ++written;
    }
    if (IsamProgressHook) {
      IsamProgressHook(0, read, written, oldRecord.data(), static_cast<uint16_t>(run.oldLength));
      if (!IsamOK) return IsamFail(IsamErrCancelled);
    }
  }
  IsamOK = true;
  IsamError = 0;
  return writer.Flush();
}

// Undoes a failed run: the new file set goes, and the old data file comes back from the .SAV
// unless the run resumed from one (then the .SAV stays for the next attempt).
void RestoreAfterFailure(const RebuildRun& run, IsamFileBlock& fb, platform::files::File& save) {
  IsamStatusKeeper keep;
  IsamCloseKeepingStatus(fb);
  save.Close();
  if (fb != nullptr) return;  // the new file set could not be closed: leave every file as it is
  IsamDeleteFileBlock(run.name);
  // The saved file that cannot take its name back is finished by the next rebuild, which finds it.
  if (!run.resumed) (void)IsamRenameFile(run.saveName, run.dataName);
}

bool Rebuild(RebuildRun& run) {
  bool cancelled = false;
  if (AlreadyCompact(run, IsamFileName(IsamDataPart(run.name), IsamJournalExt), cancelled))
    return MarkCompactFileRebuilt(run);
  if (cancelled) return IsamFail(IsamErrCancelled);
  if (!MoveDataAside(run)) return false;
  // A new data file that could not be made is no loss: the .SAV stays and a later rebuild
  // resumes from it.
  if (!CreateNewDataFile(run)) return false;
  IsamFileBlock fb = nullptr;
  platform::files::File save;
  bool copied = IsamOpenUnfinishedFileBlock(fb, run.name) && IsamOpenExisting(save, run.saveName, true) &&
                CopyRecords(run, fb, save);
  if (copied) IsamCloseFileBlock(fb);
  if (!copied || !IsamOK) {
    RestoreAfterFailure(run, fb, save);
    return false;
  }
  if (!IsamCloseFile(save)) return false;
  return IsamDeleteFile(run.saveName);
}

}  // namespace

bool IsamCopyLiveRecord(const void* oldRecord, void* newRecord, uint16_t& length) {
  if (IsamLoadInt32(static_cast<const uint8_t*>(oldRecord)) != 0) return false;
  std::memcpy(newRecord, oldRecord, length);
  return true;
}

void IsamRebuildDataFile(const std::string& name, int32_t newRecordLength, int32_t oldRecordLength,
                         bool variableLength, int32_t /*lengthChange*/, const IsamConverter& converter,
                         const IsamRecordHook& recordHook, int32_t hookParameter) {
  IsamCallScope call(nullptr, IsamCallKind::NoFileBlock);
  if (!call.entered()) return;
  // A posting waiting to be undone puts its records back where they were: none may move before.
  if (RefuseMoveWhileWaiting("The file " + IsamFileName(IsamDataPart(name), IsamDataExt), "rebuilt")) return;
  if (variableLength) {
    IsamFail(IsamErrVarChainBroken);
    return;
  }
  if (newRecordLength > IsamMaxRecordLength || oldRecordLength > IsamMaxRecordLength) {
    IsamFail(IsamErrRecordTooLong);
    return;
  }
  if (newRecordLength < IsamMinRecordLength || oldRecordLength < IsamMinRecordLength) {
    IsamFail(IsamErrRecordLengthTooSmall);
    return;
  }
  RebuildRun run;
  run.name = name;
  run.dataName = IsamFileName(IsamDataPart(name), IsamDataExt);
  run.saveName = IsamFileName(IsamDataPart(name), IsamSaveExt);
  run.newLength = newRecordLength;
  run.oldLength = oldRecordLength;
  IsamConverter copyLive = IsamCopyLiveRecord;
  run.converter = converter ? &converter : &copyLive;
  run.recordHook = &recordHook;
  run.hookParameter = hookParameter;
  if (Rebuild(run)) {
    IsamOK = true;
    IsamError = 0;
  }
}

}  // namespace storage
