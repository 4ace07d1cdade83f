// The storage engine beside SQLite on the same workloads, in one run: bulk add, random searches,
// full walks of each key (and of key 1 reading every record), a reindex and a rebuild of the whole
// file set, and random deletes of records of 224 bytes with three keys. Prints the medians of the
// repeated runs and their ratio (engine / SQLite; below 1.0 the engine is faster) for two equal
// amounts of cache memory: the engine's usual 30 page buffers beside SQLite with a cache of the
// same bytes, and the engine with as many buffers as SQLite's default cache holds beside that
// default. Both sides give the same promises: SQLite syncs every commit, as the engine syncs its
// files at close, and keeps its write-ahead log through REINDEX and VACUUM, which the engine's
// reindex and rebuild match by surviving a crash at any point (README.md).
//
//   storage_bench [--repeat N] [--records N,N,...] [scratch folder]
//     --repeat   runs of each workload; the table shows medians (default 3)
//     --records  sizes of the file set (default 100000,1000000)
//     --unsynced-peer  SQLite without syncs and without a journal throughout (it then promises
//                less than the engine; for comparison only)
//     folder     where the files go, made when it is not there (default: a new folder under /tmp,
//                removed afterwards)

#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sqlite_peer.h"
#include "storage/isam.h"
#include "storage/isam_rebuild.h"
#include "storage/page_cache.h"

namespace {

using storage::IsamRecRef;

constexpr int kRecordLength = 224;
constexpr int kPageBuffers = 30;              // what the program starts the engine with
constexpr int kSqliteDefaultCacheKiB = 2000;  // SQLite's default cache_size of -2000
constexpr int kSearches = 100000;
constexpr int kKeyLengths[3] = {10, 20, 10};
constexpr int kKeyOffsets[3] = {4, 15, 36};

using bench::Die;

// The records and keys of one run, and the order of the searches and deletes.
struct Workload {
  int Records = 0;
  std::vector<std::string> Keys[3];  // key k of record i (reference i + 1)
  std::vector<int> Searches;         // records whose second key is searched
  std::vector<int> Deletes;          // records deleted, 10% of them

  explicit Workload(int records) : Records(records) {
    std::mt19937_64 rng(20261207);
    auto letters = [&rng](int n) {
      std::string s(static_cast<size_t>(n), ' ');
      for (char& c : s) c = static_cast<char>('A' + rng() % 26);
      return s;
    };
    char number[16];
    for (int i = 0; i < records; ++i) {
      std::snprintf(number, sizeof number, "%010d", i + 1);
      Keys[0].push_back(number);                      // ascending
      Keys[1].push_back(letters(12) + (number + 2));  // random, unique
      Keys[2].push_back(letters(10));                 // random, duplicates allowed
    }
    for (int i = 0; i < kSearches; ++i) Searches.push_back(static_cast<int>(rng() % records));
    std::vector<int> all(static_cast<size_t>(records));
    for (int i = 0; i < records; ++i) all[i] = i;
    std::shuffle(all.begin(), all.end(), rng);
    Deletes.assign(all.begin(), all.begin() + records / 10);
  }

  void FillRecord(int i, uint8_t* record) const {
    std::memset(record, 0, kRecordLength);
    for (int k = 0; k < 3; ++k) {
      record[kKeyOffsets[k]] = static_cast<uint8_t>(Keys[k][i].size());
      std::memcpy(record + kKeyOffsets[k] + 1, Keys[k][i].data(), Keys[k][i].size());
    }
    for (int b = 60; b < kRecordLength; ++b) record[b] = static_cast<uint8_t>(i + b);
  }
};

// Key k (0-based) of a record as FillRecord laid it out.
std::string KeyOfRecord(const uint8_t* record, int k) {
  return std::string(reinterpret_cast<const char*>(record + kKeyOffsets[k] + 1), record[kKeyOffsets[k]]);
}

struct Times {
  double Add = 0, Search = 0, Walk[3] = {0, 0, 0}, WalkRecords = 0, Reindex = 0, Rebuild = 0, Delete = 0;
};

using bench::Seconds;

// ---- The engine ------------------------------------------------------------------------------

void Check(const char* what) {
  if (!storage::IsamOK) Die(std::string(what) + " failed with " + std::to_string(storage::IsamError));
}

void KeyTable(storage::IsamKeyDescArray& keys) {
  for (int k = 0; k < 3; ++k) keys[k] = {static_cast<uint8_t>(kKeyLengths[k]), static_cast<uint8_t>(k == 2)};
}

// Builds every key anew from the records, as the data-file routines do after a rebuild.
void ReindexEngine(const std::string& name) {
  using namespace storage;
  IsamKeyDescArray keys{};
  KeyTable(keys);
  bool messages = false;
  IsamBuildKey build = [](const void* record, uint16_t keyNr, IsamKeyStr& key) {
    key = KeyOfRecord(static_cast<const uint8_t*>(record), keyNr - 1);
  };
  IsamReindexFile(name, 3, keys, false, build, true, messages, nullptr, 0);
  Check("reindex");
  if (messages) Die("reindex refused keys");
}

Times RunEngine(const Workload& w, const std::string& name) {
  using namespace storage;
  Times t;
  IsamKeyDescArray keys{};
  KeyTable(keys);
  IsamCreateFileBlock(name, kRecordLength, 3, keys);
  Check("create");
  IsamFileBlock fb = nullptr;
  IsamOpenFileBlock(fb, name, false, false, false, true);
  Check("open");
  uint8_t record[kRecordLength];

  t.Add = Seconds([&] {
    for (int i = 0; i < w.Records; ++i) {
      w.FillRecord(i, record);
      IsamRecRef ref = 0;
      IsamAddRec(fb, ref, record, sizeof record);
      Check("add record");
      for (int k = 0; k < 3; ++k) {
        IsamAddKey(fb, k + 1, ref, w.Keys[k][i]);
        Check("add key");
      }
    }
    IsamCloseFileBlock(fb);
    Check("close");
  });
  IsamOpenFileBlock(fb, name, false, false, false, true);
  Check("open");

  t.Search = Seconds([&] {
    for (int i : w.Searches) {
      IsamKeyStr key = w.Keys[1][i];
      IsamRecRef ref = 0;
      IsamSearchKey(fb, 2, ref, key);
      Check("search");
      IsamGetRec(fb, ref, record, sizeof record);
      Check("read record");
      if (ref != i + 1) Die("search found the wrong record");
    }
  });

  for (int k = 0; k < 3; ++k) {
    t.Walk[k] = Seconds([&] {
      IsamKeyStr key;
      IsamRecRef ref = 0;
      int seen = 0;
      for (IsamSearchKey(fb, k + 1, ref, key); IsamOK; IsamNextKey(fb, k + 1, ref, key)) ++seen;
      if (IsamError != IsamErrEndOfIndex || seen != w.Records) Die("walk ended early");
    });
  }

  t.WalkRecords = Seconds([&] {
    IsamKeyStr key;
    IsamRecRef ref = 0;
    int seen = 0;
    for (IsamSearchKey(fb, 1, ref, key); IsamOK; IsamNextKey(fb, 1, ref, key)) {
      IsamGetRec(fb, ref, record, sizeof record);
      Check("read record");
      if (record[kKeyOffsets[0]] != key.size()) Die("walk read the wrong record");
      ++seen;
    }
    if (IsamError != IsamErrEndOfIndex || seen != w.Records) Die("walk with records ended early");
  });
  IsamCloseFileBlock(fb);
  Check("close");

  t.Reindex = Seconds([&] { ReindexEngine(name); });
  t.Rebuild = Seconds([&] {
    IsamRebuildDataFile(name, kRecordLength, kRecordLength, false, 0, IsamCopyLiveRecord, nullptr, 0);
    Check("rebuild");
    ReindexEngine(name);
  });

  IsamOpenFileBlock(fb, name, false, false, false, true);
  Check("open");
  t.Delete = Seconds([&] {
    for (int i : w.Deletes) {
      const IsamRecRef ref = i + 1;
      IsamGetRec(fb, ref, record, sizeof record);
      Check("read record");
      for (int k = 0; k < 3; ++k) {
        IsamDeleteKey(fb, k + 1, ref, KeyOfRecord(record, k));
        Check("delete key");
      }
      IsamDeleteRec(fb, ref);
      Check("delete record");
    }
    IsamCloseFileBlock(fb);
    Check("close");
  });
  IsamDeleteFileBlock(name);
  return t;
}

// ---- SQLite ----------------------------------------------------------------------------------

// The peer's table: the record as a blob with one index per key. Every commit is synced to the
// disk, as the engine syncs its files when it closes them.
class Sqlite : public bench::SqlitePeer {
 public:
  // unsynced: neither syncs nor a journal, a weaker promise than the engine's (--unsynced-peer).
  Sqlite(const std::string& file, int cacheKiB, bool unsynced) : SqlitePeer(file, cacheKiB) {
    if (!unsynced) Exec("PRAGMA synchronous=FULL");
    Exec("CREATE TABLE t(id INTEGER PRIMARY KEY, k1 TEXT, k2 TEXT, k3 TEXT, rec BLOB)");
    Exec("CREATE UNIQUE INDEX t1 ON t(k1)");
    Exec("CREATE UNIQUE INDEX t2 ON t(k2)");
    Exec("CREATE INDEX t3 ON t(k3)");
  }
};

using bench::BindText;

// Steps a query to its end; each row is handed to row.
double TimeScan(Sqlite& db, const std::string& sql, int expected,
                const std::function<void(sqlite3_stmt*)>& row) {
  sqlite3_stmt* scan = db.Prepare(sql);
  const double seconds = Seconds([&] {
    int seen = 0;
    for (; sqlite3_step(scan) == SQLITE_ROW; ++seen) row(scan);
    if (seen != expected) Die("sqlite scan ended early: " + sql);
  });
  sqlite3_finalize(scan);
  return seconds;
}

Times RunSqlite(const Workload& w, const std::string& file, int cacheKiB, bool unsynced) {
  Times t;
  Sqlite db(file, cacheKiB, unsynced);
  uint8_t record[kRecordLength];

  sqlite3_stmt* insert = db.Prepare("INSERT INTO t(id, k1, k2, k3, rec) VALUES(?, ?, ?, ?, ?)");
  t.Add = Seconds([&] {
    db.Exec("BEGIN");
    for (int i = 0; i < w.Records; ++i) {
      w.FillRecord(i, record);
      sqlite3_bind_int(insert, 1, i + 1);
      for (int k = 0; k < 3; ++k) BindText(insert, k + 2, w.Keys[k][i]);
      sqlite3_bind_blob(insert, 5, record, sizeof record, SQLITE_STATIC);
      db.Done(insert, SQLITE_DONE);
      sqlite3_reset(insert);
    }
    db.Exec("COMMIT");
  });
  sqlite3_finalize(insert);

  sqlite3_stmt* search = db.Prepare("SELECT id, rec FROM t WHERE k2 >= ? ORDER BY k2 LIMIT 1");
  t.Search = Seconds([&] {
    for (int i : w.Searches) {
      BindText(search, 1, w.Keys[1][i]);
      db.Done(search, SQLITE_ROW);
      if (sqlite3_column_int(search, 0) != i + 1) Die("sqlite search found the wrong record");
      std::memcpy(record, sqlite3_column_blob(search, 1), sizeof record);
      sqlite3_reset(search);
    }
  });
  sqlite3_finalize(search);

  for (int k = 0; k < 3; ++k) {
    char sql[80];
    std::snprintf(sql, sizeof sql, "SELECT k%d, id FROM t INDEXED BY t%d ORDER BY k%d, id", k + 1, k + 1,
                  k + 1);
    t.Walk[k] = TimeScan(db, sql, w.Records, [](sqlite3_stmt*) {});
  }
  t.WalkRecords = TimeScan(db, "SELECT k1, id, rec FROM t INDEXED BY t1 ORDER BY k1, id", w.Records,
                           [&record](sqlite3_stmt* s) {
                             if (sqlite3_column_bytes(s, 2) != kRecordLength) Die("sqlite record lost");
                             std::memcpy(record, sqlite3_column_blob(s, 2), sizeof record);
                           });

  // A crash inside the engine's reindex or rebuild loses nothing (the next open finishes the work);
  // SQLite needs its write-ahead log for that, or a crash inside REINDEX or VACUUM may leave the
  // database damaged. Leaving the log writes its pages into the database, untimed.
  if (!unsynced) db.Exec("PRAGMA journal_mode=WAL");
  t.Reindex = Seconds([&] { db.Exec("REINDEX t"); });
  t.Rebuild = Seconds([&] { db.Exec("VACUUM"); });
  db.Exec("PRAGMA journal_mode=OFF");

  sqlite3_stmt* erase = db.Prepare("DELETE FROM t WHERE id = ?");
  t.Delete = Seconds([&] {
    db.Exec("BEGIN");
    for (int i : w.Deletes) {
      sqlite3_bind_int(erase, 1, i + 1);
      db.Done(erase, SQLITE_DONE);
      sqlite3_reset(erase);
    }
    db.Exec("COMMIT");
  });
  sqlite3_finalize(erase);
  return t;
}

// ---- The table -------------------------------------------------------------------------------

// The repeated runs of one cache setting: the engine's and SQLite's with the same cache memory.
struct Setting {
  std::vector<Times> Ours, Sqlite;
};

double Median(const std::vector<Times>& runs, const std::function<double(const Times&)>& pick) {
  std::vector<double> v;
  for (const Times& t : runs) v.push_back(pick(t));
  return bench::Median(v);
}

// Prints one workload's medians, picked from each run by pick.
void PrintRow(const std::string& what, const std::function<double(const Times&)>& pick, const Setting& small,
              const Setting& large) {
  const double a = Median(small.Ours, pick), b = Median(small.Sqlite, pick);
  const double c = Median(large.Ours, pick), d = Median(large.Sqlite, pick);
  std::printf("| %-30s | %9.3f | %9.3f | %6.2f | %9.3f | %9.3f | %6.2f |\n", what.c_str(), a, b, a / b, c, d,
              c / d);
}

// Runs the engine's workloads with a cache of the given number of page buffers.
Times RunEngineWithCache(const Workload& w, int buffers) {
  if (storage::IsamInitialize(0, buffers) != buffers) Die("engine start");
  const Times t = RunEngine(w, "BENCH");
  storage::IsamShutdown();
  Check("shutdown");
  return t;
}

struct Options {
  int Repeat = 3;
  std::vector<int> Records = {100000, 1000000};
  std::string Folder;
  bool UnsyncedPeer = false;
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--repeat" && i + 1 < argc) {
      o.Repeat = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--records" && i + 1 < argc) {
      o.Records.clear();
      for (const char* p = argv[++i]; *p;) {
        char* end = nullptr;
        const long n = std::strtol(p, &end, 10);
        if (end == p || n < 10) Die("--records takes sizes of at least 10, separated by commas");
        o.Records.push_back(static_cast<int>(n));
        p = *end == ',' ? end + 1 : end;
      }
    } else if (arg == "--unsynced-peer") {
      o.UnsyncedPeer = true;
    } else if (!arg.empty() && arg[0] == '-') {
      Die("usage: storage_bench [--repeat N] [--records N,N,...] [--unsynced-peer] [scratch folder]");
    } else {
      o.Folder = arg;
    }
  }
  return o;
}

std::string CountText(int records) {
  if (records % 1000000 == 0) return std::to_string(records / 1000000) + "M";
  if (records % 1000 == 0) return std::to_string(records / 1000) + "k";
  return std::to_string(records);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  std::string folder = options.Folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/kestrava-bench-XXXXXX";
    if (!mkdtemp(pattern)) Die("cannot make a scratch folder");
    folder = pattern;
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) Die("cannot make the scratch folder " + folder + ": " + error.message());
  std::filesystem::current_path(folder);
  constexpr int kBufferBytes = static_cast<int>(sizeof(storage::IsamPageBuffer));
  const int smallKiB = kPageBuffers * kBufferBytes / 1024;
  const int largeBuffers = kSqliteDefaultCacheKiB * 1024 / kBufferBytes;

  std::printf("Medians of %d runs, times in seconds; ratio = engine / SQLite with the same cache memory.\n",
              options.Repeat);
  std::printf("Machine: %u cores.\n", std::thread::hardware_concurrency());
  std::printf(options.UnsyncedPeer
                  ? "SQLite: journal_mode=OFF, synchronous=OFF (promises less than the engine).\n"
                  : "SQLite: synchronous=FULL; journal_mode=OFF, WAL for REINDEX and VACUUM.\n");
  std::printf("Small: engine %d page buffers, SQLite cache_size=-%d (%d KiB each).\n", kPageBuffers, smallKiB,
              smallKiB);
  std::printf("Large: engine %d page buffers (%d KiB), SQLite's default cache (%d KiB).\n\n", largeBuffers,
              largeBuffers * kBufferBytes / 1024, kSqliteDefaultCacheKiB);
  std::printf("| %-30s | %9s | %9s | %6s | %9s | %9s | %6s |\n", "workload", "engine", "SQLite", "ratio",
              "engine 2M", "SQLite dc", "ratio");
  std::printf("|%s|%s|%s|%s|%s|%s|%s|\n", std::string(32, '-').c_str(), std::string(11, '-').c_str(),
              std::string(11, '-').c_str(), std::string(8, '-').c_str(), std::string(11, '-').c_str(),
              std::string(11, '-').c_str(), std::string(8, '-').c_str());
  for (int records : options.Records) {
    const Workload w(records);
    Setting small, large;
    // Interleaved, so that a slow spell of the shared machine falls on both sides alike.
    for (int run = 0; run < options.Repeat; ++run) {
      small.Ours.push_back(RunEngineWithCache(w, kPageBuffers));
      small.Sqlite.push_back(RunSqlite(w, "bench-same.db", smallKiB, options.UnsyncedPeer));
      large.Ours.push_back(RunEngineWithCache(w, largeBuffers));
      large.Sqlite.push_back(RunSqlite(w, "bench-default.db", 0, options.UnsyncedPeer));
      std::filesystem::remove("bench-same.db");
      std::filesystem::remove("bench-default.db");
    }
    const std::string n = CountText(records);
    PrintRow(
        "add " + n, [](const Times& t) { return t.Add; }, small, large);
    PrintRow(
        "search 100k of " + n, [](const Times& t) { return t.Search; }, small, large);
    for (int k = 0; k < 3; ++k)
      PrintRow(
          "walk key " + std::to_string(k + 1) + " of " + n, [k](const Times& t) { return t.Walk[k]; }, small,
          large);
    PrintRow(
        "walk key 1 + records of " + n, [](const Times& t) { return t.WalkRecords; }, small, large);
    PrintRow(
        "reindex 3 keys of " + n, [](const Times& t) { return t.Reindex; }, small, large);
    PrintRow(
        "rebuild + reindex of " + n, [](const Times& t) { return t.Rebuild; }, small, large);
    PrintRow(
        "delete 10% of " + n, [](const Times& t) { return t.Delete; }, small, large);
    std::fflush(stdout);
  }
  std::filesystem::current_path("/");
  if (options.Folder.empty()) std::filesystem::remove_all(folder);
  return 0;
}
