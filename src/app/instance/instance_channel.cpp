#include "app/instance/instance_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "core/errors/result_code.h"
#include "core/lock/named_lock.h"
#include "core/strx/codepage.h"

namespace {

using Clock = std::chrono::steady_clock;

void putU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string fileNameFor(std::string_view name) { return NamedLock_fileName(name); }

bool fitsAddress(const std::string& path) { return path.size() < sizeof(sockaddr_un{}.sun_path); }

sockaddr_un addressOf(const std::string& path) {
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::memcpy(a.sun_path, path.data(), path.size());
  return a;
}

int msLeft(Clock::time_point end) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

bool writeAll(int fd, std::string_view bytes, Clock::time_point end) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      int left = msLeft(end);
      if (left == 0 || ::poll(&p, 1, left) <= 0) return false;
      continue;
    }
    return false;
  }
  return true;
}

bool readExact(int fd, char* buf, size_t size, Clock::time_point end) {
  size_t done = 0;
  while (done < size) {
    pollfd p{fd, POLLIN, 0};
    int left = msLeft(end);
    if (left == 0) return false;
    int r = ::poll(&p, 1, left);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    ssize_t n = ::recv(fd, buf + done, size - done, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// One message from the server: its text lines.
bool readAnswer(int fd, std::vector<std::u16string>& lines, int timeoutMs) {
  Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  char head[4];
  if (!readExact(fd, head, 4, end)) return false;
  uint32_t total = GUIService_readU32(head);
  if (total < 4 || total > GUIService_maxMessage) return false;
  std::string body(total - 4, '\0');
  if (!body.empty() && !readExact(fd, body.data(), body.size(), end)) return false;
  return GUIService_textLines(body, lines);
}

std::u16string u16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

uint32_t GUIService_readU32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

std::string GUIService_socketPath(std::string_view serviceName) {
  std::string runtime = NamedLock_runtimeFolder();
  if (runtime.empty()) return {};
  std::string path = runtime + "/" + fileNameFor(serviceName) + ".sock";
  if (fitsAddress(path)) return path;
  // FNV-1a over the name's bytes.
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : serviceName) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char hex[24];
  std::snprintf(hex, sizeof hex, "h%016llX", static_cast<unsigned long long>(h));
  path = runtime + "/" + hex + ".sock";
  return fitsAddress(path) ? path : std::string();
}

std::string GUIService_message(std::string_view body) {
  std::string out;
  putU32(out, static_cast<uint32_t>(body.size() + 4));
  out.append(body);
  return out;
}

std::string GUIService_record(int32_t kind, uint32_t caller, std::string_view body) {
  std::string out;
  putU32(out, static_cast<uint32_t>(kind));
  putU32(out, caller);
  if (kind != GUIService_Kind_StopReader) out += GUIService_message(body);
  return out;
}

std::string GUIService_textBody(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  auto put = [&](char16_t c) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) put(u'\r');
    put(text[i]);
  }
  return out;
}

bool GUIService_textLines(std::string_view body, std::vector<std::u16string>& lines) {
  lines.clear();
  std::u16string text;
  if (body.size() >= 2 && body[0] == '\xFF' && body[1] == '\xFE') {
    body.remove_prefix(2);
    if (body.size() % 2 != 0) return false;
    for (size_t i = 0; i < body.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(body[i]) |
                                           static_cast<unsigned char>(body[i + 1]) << 8));
    }
  } else if (body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF") {
    text = Utf8_toUtf16(body.substr(3));
  } else {
    text = Cp932_toUtf16(body);
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find(u'\n', start);
    size_t end = lf == std::u16string::npos ? text.size() : lf;
    std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    lines.push_back(std::move(line));
    if (lf == std::u16string::npos) break;
    start = lf + 1;
  }
  return true;
}

int GUIService_call(std::string_view serviceName, std::u16string_view request,
                    std::vector<std::u16string>& answer, bool& connected, int timeoutMs) {
  connected = false;
  answer.clear();
  std::string path = GUIService_socketPath(serviceName);
  if (path.empty()) {
    ResultCode_setErrno(EACCES);
    return ResultCode_OsError;
  }
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    ResultCode_setErrno(errno);
    return ResultCode_OsError;
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  sockaddr_un a = addressOf(path);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ResultCode_setErrno(errno);
    return ResultCode_OsError;
  }
  connected = true;
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  auto deadline = [&] { return Clock::now() + std::chrono::milliseconds(timeoutMs); };

  // Registration: the name stands for the reply channel of the caller.
  char name[160];
  std::snprintf(name, sizeof name, "GUIServiceCall_%s_PID_0x%08X_Caller_0x%08X",
                fileNameFor(serviceName).c_str(), static_cast<unsigned>(getpid()), 1u);
  std::string hello =
      GUIService_record(GUIService_Kind_CallerCreating, 0,
                        GUIService_textBody(u"CallerCreating\n" + u16(name) + u"\n"));
  if (!writeAll(fd, hello, deadline())) return 1;
  std::vector<std::u16string> lines;
  if (!readAnswer(fd, lines, timeoutMs) || lines.empty()) return ResultCode_NotFound;
  std::string first = Cp932_fromUtf16(lines[0]);
  unsigned caller = 0;
  if (std::sscanf(first.c_str(), "0x%08X", &caller) != 1) return ResultCode_NotFound;

  if (!writeAll(fd, GUIService_record(GUIService_Kind_Text, caller, GUIService_textBody(request)),
                deadline()))
    return 1;
  if (!readAnswer(fd, answer, timeoutMs)) return ResultCode_NotFound;

  char bye[48];
  std::snprintf(bye, sizeof bye, "CallerDeleting\n0x%08X\n", caller);
  writeAll(fd, GUIService_record(GUIService_Kind_CallerDeleting, caller, GUIService_textBody(u16(bye))),
           deadline());
  return 0;
}

int GUIService_listen(std::string_view serviceName, std::string& path, unsigned long& inode,
                      std::string& problem) {
  problem.clear();
  path = GUIService_socketPath(serviceName);
  if (path.empty()) {
    problem = "実行時フォルダを使えません。";
    return -1;
  }
  std::string shown = Cp932_fromUtf8(path);
  struct stat st{};
  if (::lstat(path.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) {
      problem = shown + " はソケットではありません。ほかの起動からの呼び出しは受けられません。";
      return -1;
    }
    if (st.st_uid != ::getuid()) {
      problem = shown + " はほかのユーザーのソケットです。ほかの起動からの呼び出しは受けられません。";
      return -1;
    }
    // Somebody listening is a live server; a refused connection is a socket
    // left behind by a process that died.
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe >= 0) {
      sockaddr_un a = addressOf(path);
      int r = ::connect(probe, reinterpret_cast<sockaddr*>(&a), sizeof a);
      int err = errno;
      ::close(probe);
      if (r == 0 || err == EAGAIN || err == EINPROGRESS) {
        problem = shown + " : ほかのプロセスが応答しています。";
        return -1;
      }
    }
    ::unlink(path.c_str());
  }
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    ResultCode_setErrno(errno);
    problem = ResultCode_getText(ResultCode_OsError);
    return -1;
  }
  sockaddr_un a = addressOf(path);
  mode_t old = ::umask(077);
  int b = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  int err = errno;
  ::umask(old);
  if (b != 0 || ::listen(fd, 16) != 0) {
    if (b == 0) err = errno;
    ::close(fd);
    ResultCode_setErrno(err);
    problem = shown + " : " + ResultCode_getText(ResultCode_OsError);
    return -1;
  }
  struct stat own{};
  inode = ::lstat(path.c_str(), &own) == 0 ? static_cast<unsigned long>(own.st_ino) : 0;
  return fd;
}

void GUIService_unlinkOwn(const std::string& path, unsigned long inode) {
  if (path.empty() || inode == 0) return;
  struct stat st{};
  if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) &&
      static_cast<unsigned long>(st.st_ino) == inode)
    ::unlink(path.c_str());
}
