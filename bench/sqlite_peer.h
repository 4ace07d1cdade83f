#pragma once
// What the benchmarks share: the clock of one timed step, the way out on a failure, and the SQLite
// peer database they compare the program with (journal and synchronous writes off, as the engine
// writes without a journal).

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

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

}  // namespace bench
