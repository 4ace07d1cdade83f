#pragma once
// What the benchmarks share: the clock of one timed step, the median of repeated runs, the way out
// on a failure, the SQLite peer database they compare the program with (journal and synchronous
// writes off, as the engine writes without a journal, until a benchmark asks for a promise), and
// an engine file set as the peer holds it.

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "storage/data_file_unit.h"

namespace bench {

[[noreturn]] inline void Die(const std::string& what) {
  std::fprintf(stderr, "bench: %s\n", what.c_str());
  std::exit(1);
}

inline double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The middle of the repeated runs' figures; of an even number of runs, the mean of the middle two.
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline void BindText(sqlite3_stmt* s, int column, const std::string& text) {
  sqlite3_bind_text(s, column, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

class SqlitePeer {
 public:
  // A new database in the file (an old one is removed), or the one there when `existing`;
  // cacheKiB 0 keeps SQLite's default cache.
  explicit SqlitePeer(const std::string& file, int cacheKiB = 0, bool existing = false) {
    if (!existing) std::filesystem::remove(file);
    if (sqlite3_open(file.c_str(), &db_) != SQLITE_OK) Die("sqlite open");
    Exec("PRAGMA journal_mode=OFF");
    Exec("PRAGMA synchronous=OFF");
    if (cacheKiB > 0) Exec("PRAGMA cache_size=-" + std::to_string(cacheKiB));
  }
  ~SqlitePeer() { sqlite3_close(db_); }
  SqlitePeer(const SqlitePeer&) = delete;
  SqlitePeer& operator=(const SqlitePeer&) = delete;

  // What a commit promises from now on, in SQLite's words ("PERSIST" or "WAL", "FULL").
  void Promise(const std::string& journalMode, const std::string& synchronous) {
    Exec("PRAGMA journal_mode=" + journalMode);
    Exec("PRAGMA synchronous=" + synchronous);
  }

  void Exec(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Die(sqlite3_errmsg(db_));
  }
  sqlite3_stmt* Prepare(const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) Die(sqlite3_errmsg(db_));
    return s;
  }
  void Done(sqlite3_stmt* s, int expected) {
    if (sqlite3_step(s) != expected) Die(sqlite3_errmsg(db_));
  }

 private:
  sqlite3* db_ = nullptr;
};

// One file set of the engine as the peer holds it: a table of the record as a blob beside the text
// of each of the kind's keys, with one index per key (unique where the engine's key is). Its
// statements are prepared when first used and live as long as this object.
class SqliteFileTable {
 public:
  SqliteFileTable(SqlitePeer& db, const storage::DataFileUnit& unit, std::string name)
      : db_(db), unit_(unit), name_(std::move(name)), find_(unit.Kind().Keys.size(), nullptr) {}
  ~SqliteFileTable() {
    for (sqlite3_stmt* s : find_) sqlite3_finalize(s);
    sqlite3_finalize(insert_);
    sqlite3_finalize(rewrite_);
  }
  SqliteFileTable(const SqliteFileTable&) = delete;
  SqliteFileTable& operator=(const SqliteFileTable&) = delete;

  const storage::DataFileUnit& Unit() const { return unit_; }

  // The table without its indexes, which a load makes afterwards.
  void Create() {
    std::string columns = "record BLOB";
    for (int k = 1; k <= KeyCount(); ++k) columns += ", k" + std::to_string(k) + " TEXT";
    db_.Exec("CREATE TABLE " + name_ + "(" + columns + ")");
  }

  void CreateIndexes() {
    for (int k = 1; k <= KeyCount(); ++k) {
      const char* kind = unit_.Kind().Keys[k - 1].AllowDuplicates ? "INDEX " : "UNIQUE INDEX ";
      const std::string column = "k" + std::to_string(k);
      db_.Exec("CREATE " + std::string(kind) + name_ + "_" + column + " ON " + name_ + "(" + column + ")");
    }
  }

  void Insert(const void* record) {
    if (!insert_) {
      std::string marks = "?";
      for (int k = 1; k <= KeyCount(); ++k) marks += ",?";
      insert_ = db_.Prepare("INSERT INTO " + name_ + " VALUES(" + marks + ")");
    }
    std::vector<storage::IsamKeyStr> keys;
    for (int k = 1; k <= KeyCount(); ++k) keys.push_back(unit_.BuildKey(record, k));
    sqlite3_bind_blob(insert_, 1, record, unit_.Kind().RecordLength, SQLITE_STATIC);
    for (int k = 1; k <= KeyCount(); ++k) BindText(insert_, k + 1, keys[k - 1]);
    db_.Done(insert_, SQLITE_DONE);
    sqlite3_reset(insert_);
  }

  // The row whose key keyNr is `key`: its record copied into `record`, its row id returned.
  sqlite3_int64 Find(int keyNr, const storage::IsamKeyStr& key, std::vector<uint8_t>& record) {
    sqlite3_stmt*& find = find_.at(static_cast<size_t>(keyNr - 1));
    if (!find) {
      const std::string column = "k" + std::to_string(keyNr);
      find = db_.Prepare("SELECT rowid, record FROM " + name_ + " WHERE " + column + " = ? LIMIT 1");
    }
    BindText(find, 1, key);
    db_.Done(find, SQLITE_ROW);
    const sqlite3_int64 row = sqlite3_column_int64(find, 0);
    const auto* blob = static_cast<const uint8_t*>(sqlite3_column_blob(find, 1));
    record.assign(blob, blob + sqlite3_column_bytes(find, 1));
    sqlite3_reset(find);
    return row;
  }

  // Rewrites the record of a row; its keys stay as they are.
  void Rewrite(sqlite3_int64 row, const void* record) {
    if (!rewrite_) rewrite_ = db_.Prepare("UPDATE " + name_ + " SET record = ? WHERE rowid = ?");
    sqlite3_bind_blob(rewrite_, 1, record, unit_.Kind().RecordLength, SQLITE_STATIC);
    sqlite3_bind_int64(rewrite_, 2, row);
    db_.Done(rewrite_, SQLITE_DONE);
    sqlite3_reset(rewrite_);
  }

 private:
  int KeyCount() const { return static_cast<int>(unit_.Kind().Keys.size()); }

  SqlitePeer& db_;
  const storage::DataFileUnit& unit_;
  std::string name_;
  sqlite3_stmt* insert_ = nullptr;
  sqlite3_stmt* rewrite_ = nullptr;
  std::vector<sqlite3_stmt*> find_;  // by key
};

}  // namespace bench
