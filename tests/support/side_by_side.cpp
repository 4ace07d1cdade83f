#include "support/side_by_side.h"

#include <fcntl.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <map>
#include <sstream>

namespace testing_support {
namespace {

// What a point sends back, one record after another: its failures, then what it returned.
//   F<type> <line> <file size> <message size>\n<file><message>
//   R<size>\n<bytes>
void SendAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t sent = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return;
    done += static_cast<size_t>(sent);
  }
}

// In the child: every result the point's assertions report goes to the parent as it comes, so
// that nothing is lost if the point then dies.
class SentToTheParent : public ::testing::ScopedFakeTestPartResultReporter {
 public:
  explicit SentToTheParent(int fd)
      : ScopedFakeTestPartResultReporter(INTERCEPT_ALL_THREADS, &unused_), fd_(fd) {}
  void ReportTestPartResult(const ::testing::TestPartResult& result) override {
    if (result.type() == ::testing::TestPartResult::kSuccess) return;
    const std::string file = result.file_name() ? result.file_name() : "";
    const std::string message = result.message();
    std::ostringstream record;
    record << 'F' << static_cast<int>(result.type()) << ' ' << result.line_number() << ' ' << file.size()
           << ' ' << message.size() << '\n'
           << file << message;
    SendAll(fd_, record.str());
  }

 private:
  ::testing::TestPartResultArray unused_;
  int fd_;
};

[[noreturn]] void RunPointHere(int fd, int n, const std::function<std::string(int)>& point) {
  std::string returned;
  {
    SentToTheParent reporter(fd);
    try {
      returned = point(n);
    } catch (const std::exception& error) {
      ADD_FAILURE() << "the point raised: " << error.what();
    } catch (...) {
      ADD_FAILURE() << "the point raised an exception";
    }
  }
  SendAll(fd, "R" + std::to_string(returned.size()) + "\n" + returned);
  ::_exit(0);
}

struct Failure {
  ::testing::TestPartResult::Type Type;
  std::string File, Message;
  int Line;
};

// What came back from one point.
struct Heard {
  std::string Bytes;
  std::vector<Failure> Failures;
  std::string Returned;
  bool ReturnedWhole = false;
};

// Reads the records out of what a point sent.
void ReadRecords(Heard& heard) {
  std::istringstream in(heard.Bytes);
  for (char kind; in.get(kind);) {
    if (kind == 'R') {
      size_t size = 0;
      in >> size;
      in.ignore(1);
      heard.Returned.resize(size);
      in.read(heard.Returned.data(), static_cast<std::streamsize>(size));
      heard.ReturnedWhole = static_cast<size_t>(in.gcount()) == size;
      continue;
    }
    int type = 0, line = 0;
    size_t fileSize = 0, messageSize = 0;
    in >> type >> line >> fileSize >> messageSize;
    in.ignore(1);
    Failure failure{static_cast<::testing::TestPartResult::Type>(type), std::string(fileSize, '\0'),
                    std::string(messageSize, '\0'), line};
    in.read(failure.File.data(), static_cast<std::streamsize>(fileSize));
    in.read(failure.Message.data(), static_cast<std::streamsize>(messageSize));
    if (!in) break;
    heard.Failures.push_back(failure);
  }
}

struct Running {
  pid_t Child;
  int Fd;
  int Point;
};

// Reads what the running points sent until one of them is done: its index in `running`.
size_t WaitForOneDone(std::vector<Running>& running, std::map<int, Heard>& heard) {
  for (;;) {
    std::vector<pollfd> fds;
    for (const Running& point : running) fds.push_back({point.Fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), -1) < 0) continue;
    for (size_t i = 0; i < fds.size(); ++i) {
      if (!fds[i].revents) continue;
      char buffer[8192];
      const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got > 0) {
        heard[running[i].Point].Bytes.append(buffer, static_cast<size_t>(got));
        continue;
      }
      return i;
    }
  }
}

// The status a point's child ended with, in words: none when it ended as a point ends.
std::string HowItEnded(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
  if (WIFEXITED(status)) return "ended with status " + std::to_string(WEXITSTATUS(status));
  return "was ended by signal " + std::to_string(WTERMSIG(status));
}

}  // namespace

int PointsAtOnce() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  const int count = ::sched_getaffinity(0, sizeof cores, &cores) == 0 ? CPU_COUNT(&cores) : 1;
  return std::clamp(count, 1, 3);
}

std::vector<std::string> RunPointsSideBySide(int count, const std::function<std::string(int)>& point) {
  std::vector<std::string> returned(static_cast<size_t>(std::max(count, 0)));
  std::map<int, Heard> heard;
  std::vector<Running> running;
  bool failed = false;
  int next = 0;
  while (next < count || !running.empty()) {
    if (next < count && !failed && static_cast<int>(running.size()) < PointsAtOnce()) {
      int ends[2];
      if (::pipe2(ends, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipe for a point: " << std::strerror(errno);
        break;
      }
      std::fflush(nullptr);  // what is buffered is printed once, here
      const pid_t child = ::fork();
      if (child == 0) {
        ::close(ends[0]);
        RunPointHere(ends[1], next, point);
      }
      ::close(ends[1]);
      if (child < 0) {
        ::close(ends[0]);
        ADD_FAILURE() << "no child for a point: " << std::strerror(errno);
        break;
      }
      running.push_back({child, ends[0], next++});
      continue;
    }
    if (running.empty()) break;
    const size_t done = WaitForOneDone(running, heard);
    const Running finished = running[done];
    running.erase(running.begin() + static_cast<std::ptrdiff_t>(done));
    ::close(finished.Fd);
    Heard& from = heard[finished.Point];
    ReadRecords(from);
    const std::string ended = HowItEnded(finished.Child);
    if (!ended.empty() || !from.ReturnedWhole)
      from.Failures.push_back({::testing::TestPartResult::kFatalFailure, __FILE__,
                               "point " + std::to_string(finished.Point) + " of the sweep " +
                                   (ended.empty() ? "returned nothing" : ended),
                               __LINE__});
    returned[static_cast<size_t>(finished.Point)] = from.Returned;
    failed = failed || !from.Failures.empty();
  }
  // Each point's failures as it reported them, in the order of the points.
  for (const auto& [n, from] : heard)
    for (const Failure& failure : from.Failures)
      GTEST_MESSAGE_AT_(failure.File.c_str(), failure.Line, failure.Message.c_str(), failure.Type);
  return returned;
}

}  // namespace testing_support
