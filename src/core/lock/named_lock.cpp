#include "core/lock/named_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "core/strx/codepage.h"

namespace {

// One entry per name in the process: the lock file is opened once, since
// flock locks belong to the open file and a second open would wait for the
// first.
struct Entry {
  std::mutex m;
  std::condition_variable cv;
  std::thread::id owner;
  int count = 0;
  bool acquiring = false;  // a thread is waiting for the other processes
  int fd = -1;
  pid_t pid = 0;           // the process that opened fd
};

// A child made by fork() inherits the entries, but it is another process:
// it must wait for its parent like any other, so it forgets the parent's
// state and opens the lock file again (closing the inherited descriptor
// leaves the parent's lock alone: the parent still holds its own).
void forgetParent(Entry& e) {
  if (e.pid == getpid()) return;
  if (e.fd >= 0) close(e.fd);
  e.fd = -1;
  e.count = 0;
  e.owner = {};
  e.acquiring = false;
  e.pid = getpid();
}

struct Registry {
  std::mutex m;
  std::map<std::string, std::unique_ptr<Entry>> entries;
};

Registry& registry() {
  static Registry r;
  return r;
}

Entry& entryFor(const std::string& name) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.m);
  std::unique_ptr<Entry>& e = r.entries[name];
  if (!e) e = std::make_unique<Entry>();
  return *e;
}

bool safeFolder(const std::string& path) {
  struct stat st{};
  if (lstat(path.c_str(), &st) != 0) {
    if (mkdir(path.c_str(), 0700) != 0) return false;
    if (lstat(path.c_str(), &st) != 0) return false;
  }
  return S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

std::string fileNameFor(const std::string& name) { return NamedLock_fileName(name) + ".lock"; }

}  // namespace

std::string NamedLock_runtimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg && *xdg == '/') {
    std::string dir = std::string(xdg) + "/zerbin";
    if (safeFolder(dir)) return dir;
  }
  std::string dir = "/tmp/zerbin-" + std::to_string(getuid());
  if (safeFolder(dir)) return dir;
  return {};
}

NamedLock::NamedLock(std::string name) : name_(std::move(name)) {}

NamedLock::~NamedLock() {
  while (heldHere_ > 0) unlock();
}

bool NamedLock::heldByThisThread() const {
  Entry& e = entryFor(name_);
  std::lock_guard<std::mutex> lock(e.m);
  forgetParent(e);
  return e.count > 0 && e.owner == std::this_thread::get_id();
}

bool NamedLock::lock(int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  const bool forever = timeoutMs < 0;
  Entry& e = entryFor(name_);
  std::unique_lock<std::mutex> lock(e.m);
  forgetParent(e);
  const auto self = std::this_thread::get_id();
  if (e.count > 0 && e.owner == self) {
    ++e.count;
    ++heldHere_;
    return true;
  }
  // Wait for the other threads of this process.
  auto free = [&] { return e.count == 0 && !e.acquiring; };
  if (forever) {
    e.cv.wait(lock, free);
  } else if (!e.cv.wait_until(lock, deadline, free)) {
    return false;
  }
  if (e.fd < 0) {
    std::string folder = NamedLock_runtimeFolder();
    if (folder.empty()) return false;
    std::string path = folder + "/" + fileNameFor(name_);
    e.fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (e.fd < 0) return false;
  }
  // Then for the other processes, by polling.
  e.acquiring = true;
  auto pause = std::chrono::milliseconds(1);
  while (flock(e.fd, LOCK_EX | LOCK_NB) != 0) {
    if (!forever && Clock::now() >= deadline) {
      e.acquiring = false;
      e.cv.notify_one();
      return false;
    }
    lock.unlock();
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(20)) pause *= 2;
    lock.lock();
  }
  e.acquiring = false;
  e.owner = self;
  e.count = 1;
  ++heldHere_;
  return true;
}

void NamedLock::unlock() {
  if (heldHere_ <= 0) return;
  Entry& e = entryFor(name_);
  std::lock_guard<std::mutex> lock(e.m);
  forgetParent(e);
  if (e.count <= 0 || e.owner != std::this_thread::get_id()) return;
  --heldHere_;
  if (--e.count == 0) {
    flock(e.fd, LOCK_UN);
    e.owner = {};
    e.cv.notify_one();
  }
}

std::string NamedLock_fileName(std::string_view name) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '_' || c == '-' || c == '.';
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 15]);
    }
  }
  return out;
}
