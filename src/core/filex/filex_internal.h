// Helpers shared by the files of the filex module (not part of its
// interface): the OS side of a path, stat and whole writes on descriptors.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace filex_detail {

// An open descriptor that closes itself.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(Fd&& o) noexcept : fd_(o.release()) {}
  Fd& operator=(Fd&& o) noexcept {
    if (this != &o) {
      reset();
      fd_ = o.release();
    }
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release() {
    int f = fd_;
    fd_ = -1;
    return f;
  }
  // Closes now; false when close(2) reported an error.
  bool close();
  void reset();

 private:
  int fd_ = -1;
};

// lstat / stat of a CP932 path; nullopt when the path is foreign or the
// entry does not exist.
std::optional<struct stat> lstatPath(std::string_view cp932Path);
std::optional<struct stat> statPath(std::string_view cp932Path);

// No write bit at all: what this module calls read-only.
inline bool isReadOnlyMode(mode_t m) { return (m & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

// Writes all bytes through the write function of this thread (see
// FileX_setWriteFunction); false on a short or failed write.
bool writeAll(int fd, const void* data, size_t n);

// The nanoseconds of a stat time.
inline int64_t toNs(const struct timespec& t) {
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// 365 "<path> の書きこみに失敗しました。", setting the write-failed flag.
[[noreturn]] void raiseWriteFailed(std::string_view cp932Path);

}  // namespace filex_detail
