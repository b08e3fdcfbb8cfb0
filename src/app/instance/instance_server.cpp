#include "app/instance/instance_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "app/instance/instance_channel.h"
#include "core/errors/except3.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

namespace {

std::u16string u16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

bool sameUser(int fd) {
  ucred cred{};
  socklen_t len = sizeof cred;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

constexpr int kMaxQueuedPerConnection = 4;

}  // namespace

std::unique_ptr<GUIServiceServer> GUIServiceServer::create(std::string_view serviceName,
                                                           std::string& problem) {
  std::unique_ptr<GUIServiceServer> s(new GUIServiceServer());
  s->listenFd_ = GUIService_listen(serviceName, s->path_, s->inode_, problem);
  if (s->listenFd_ < 0) return nullptr;
  s->listenNotifier_ = new QSocketNotifier(s->listenFd_, QSocketNotifier::Read, s->owner_.get());
  GUIServiceServer* self = s.get();
  QObject::connect(s->listenNotifier_, &QSocketNotifier::activated, s->owner_.get(),
                   [self] { Except_barrier([&] { self->accept(); }); });
  return s;
}

GUIServiceServer::~GUIServiceServer() {
  if (listenNotifier_) listenNotifier_->setEnabled(false);
  for (auto& [id, c] : conns_) ::close(c.fd);
  conns_.clear();
  if (listenFd_ >= 0) ::close(listenFd_);
  GUIService_unlinkOwn(path_, inode_);
  // The notifiers and timers go with their owner.
}

void GUIServiceServer::setDispatching(bool on) {
  dispatching_ = on;
  if (on) QTimer::singleShot(0, owner_.get(), [this] { Except_barrier([&] { pump(); }); });
}

void GUIServiceServer::accept() {
  for (;;) {
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;  // EAGAIN: no more waiting; other errors: try at the next notice
    if (!sameUser(fd)) {
      ::close(fd);
      continue;
    }
    if (conns_.size() >= GUIServiceServer_maxConnections) {
      // The oldest connection that waits for no answer gives way, so that
      // idle connections cannot keep a new caller out.
      auto idle = conns_.begin();
      while (idle != conns_.end() && idle->second.queued > 0) ++idle;
      if (idle == conns_.end()) {
        ::close(fd);
        continue;
      }
      drop(idle->first);
    }
    int id = nextConn_++;
    Conn& c = conns_[id];
    c.fd = fd;
    c.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, owner_.get());
    QObject::connect(c.notifier, &QSocketNotifier::activated, owner_.get(),
                     [this, id] { Except_barrier([&] { read(id); }); });
    c.idle = new QTimer(owner_.get());
    c.idle->setSingleShot(true);
    c.idle->setInterval(GUIServiceServer_idleMs);
    QObject::connect(c.idle, &QTimer::timeout, owner_.get(), [this, id] { drop(id); });
    c.idle->start();
  }
}

void GUIServiceServer::drop(int id) {
  auto it = conns_.find(id);
  if (it == conns_.end()) return;
  Conn& c = it->second;
  // The notifier may be the one whose signal runs now: it goes later.
  c.notifier->setEnabled(false);
  c.notifier->deleteLater();
  c.idle->stop();
  c.idle->deleteLater();
  ::close(c.fd);
  conns_.erase(it);
}

void GUIServiceServer::read(int id) {
  auto it = conns_.find(id);
  if (it == conns_.end()) return;
  char buf[8192];
  for (;;) {
    Conn& c = conns_.at(id);
    ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
    if (n > 0) {
      c.in.append(buf, static_cast<size_t>(n));
      if (!parse(id)) return;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) break;
    // The other side went away (in the middle of a record, or done).
    drop(id);
    return;
  }
  Conn& c = conns_.at(id);
  if (c.queued == 0) c.idle->start();  // restarts the silence limit
  pump();
}

bool GUIServiceServer::parse(int id) {
  Conn& c = conns_.at(id);
  while (c.in.size() >= 8) {
    const int32_t kind = static_cast<int32_t>(GUIService_readU32(c.in.data()));
    const uint32_t caller = GUIService_readU32(c.in.data() + 4);
    if (kind != GUIService_Kind_Binary && kind != GUIService_Kind_Text &&
        kind != GUIService_Kind_TextAfterStop && kind != GUIService_Kind_CallerCreating &&
        kind != GUIService_Kind_CallerDeleting) {
      // Kind 4 is the server's own; anything else is no record.
      drop(id);
      return false;
    }
    if (c.in.size() < 12) return true;
    const uint32_t total = GUIService_readU32(c.in.data() + 8);
    if (total < 4 || total > GUIService_maxMessage) {
      drop(id);
      return false;
    }
    if (c.in.size() < 8 + size_t(total)) return true;
    const std::string body = c.in.substr(12, total - 4);
    c.in.erase(0, 8 + size_t(total));
    std::vector<std::u16string> lines;
    const bool text = GUIService_textLines(body, lines);
    switch (kind) {
      case GUIService_Kind_CallerCreating: {
        if (!text || lines.empty() || lines[0] != u"CallerCreating" || c.caller != 0) {
          drop(id);
          return false;
        }
        c.caller = nextCaller_++;
        char line[40];
        std::snprintf(line, sizeof line, "0x%08X  // caller\n", c.caller);
        if (!send(id, u16(line))) return false;
        break;
      }
      case GUIService_Kind_CallerDeleting:
        drop(id);
        return false;
      case GUIService_Kind_Binary: {
        // The program takes no binary requests.
        char line[128];
        std::snprintf(line, sizeof line,
                      "<ERROR msg=\"Check in GUIServiceQueueClass_dispatch\" type=\"Bin\" "
                      "flags=\"0x%08X\"/>\n",
                      0u);
        if (!send(id, u16(line))) return false;
        break;
      }
      default:
        if (!text || c.caller == 0 || caller != c.caller || c.queued >= kMaxQueuedPerConnection) {
          drop(id);
          return false;
        }
        c.queued++;
        c.idle->stop();  // the caller waits for its answer now
        queue_.push_back({id, {kind, std::move(lines)}});
        break;
    }
  }
  return true;
}

bool GUIServiceServer::send(int id, std::u16string_view text) {
  auto it = conns_.find(id);
  if (it == conns_.end()) return false;
  const std::string bytes = GUIService_message(GUIService_textBody(text));
  ssize_t n = ::send(it->second.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  // A caller that does not read its answers is not waited for.
  if (n != static_cast<ssize_t>(bytes.size())) {
    drop(id);
    return false;
  }
  return true;
}

void GUIServiceServer::pump() {
  if (!dispatching_ || inHandler_ || queue_.empty() || !handler_) return;
  Pending p = std::move(queue_.front());
  queue_.pop_front();
  GUIServiceAnswer answer;
  inHandler_ = true;
  Except_barrier([&] { answer = handler_(p.request); });
  inHandler_ = false;
  auto it = conns_.find(p.conn);
  if (it != conns_.end()) {
    it->second.queued--;
    if (send(p.conn, answer.text)) {
      auto again = conns_.find(p.conn);
      if (again != conns_.end() && again->second.queued == 0) again->second.idle->start();
    }
  }
  // The answer may end the service (and this object): run it apart.
  if (answer.after) {
    QTimer::singleShot(0, QCoreApplication::instance(),
                       [after = answer.after] { Except_barrier([&] { after(); }); });
  }
  if (!queue_.empty())
    QTimer::singleShot(0, owner_.get(), [this] { Except_barrier([&] { pump(); }); });
}
