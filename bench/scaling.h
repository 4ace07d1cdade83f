#pragma once
// What the benchmarks of a program directory of many small files share: the files, the sizes
// asked for, the clock, and the table that sets the growth of a workload beside its peer's.

#include <errno.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace bench::scaling {

[[noreturn]] inline void Die(const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
  std::exit(1);
}

inline double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// "2000,20000" -> {2000, 20000}.
inline std::vector<int> Sizes(const std::string& text) {
  std::vector<int> sizes;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) sizes.push_back(std::stoi(item));
  if (sizes.empty()) Die("no sizes given");
  return sizes;
}

// "F0.DAT" ... in the current folder, each of about 200 bytes beginning with `text`.
inline void WriteDataFiles(int count, const std::string& text) {
  for (int i = 0; i < count; ++i)
    std::ofstream("F" + std::to_string(i) + ".DAT", std::ios::binary | std::ios::trunc)
        << text << i << std::string(200, 'x');
}

// The workload's and the peer's times for each size, their ratio, and the growth of both beside
// the growth of the size, as a table.
inline void PrintGrowth(const std::string& size, const std::string& workload, const std::string& peer,
                        const std::vector<int>& sizes, const std::vector<double>& times,
                        const std::vector<double>& peers) {
  const std::vector<std::string> headers = {
      size, workload + " s", peer + " s", "ratio", workload + " growth", peer + " growth", size + " growth"};
  std::string line = "\n|";
  std::string rule = "\n|";
  for (const std::string& header : headers) {
    line += " " + std::string(header.size() < 7 ? 7 - header.size() : 0, ' ') + header + " |";
    rule += std::string(std::max<size_t>(header.size(), 7) + 2, '-') + "|";
  }
  std::printf("%s%s\n", line.c_str(), rule.c_str());
  for (size_t i = 0; i < sizes.size(); ++i) {
    const std::vector<double> cells = {static_cast<double>(sizes[i]),
                                       times[i],
                                       peers[i],
                                       times[i] / peers[i],
                                       times[i] / times.front(),
                                       peers[i] / peers.front(),
                                       static_cast<double>(sizes[i]) / sizes.front()};
    const std::vector<int> decimals = {0, 3, 3, 2, 1, 1, 1};
    std::printf("|");
    for (size_t c = 0; c < cells.size(); ++c)
      std::printf(" %*.*f |", static_cast<int>(std::max<size_t>(headers[c].size(), 7)), decimals[c],
                  cells[c]);
    std::printf("\n");
  }
}

}  // namespace bench::scaling
