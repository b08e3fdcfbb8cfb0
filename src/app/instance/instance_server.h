// The serving side of the instance service.  It lives on the user-interface
// thread and never blocks it: the listening socket and every connection are
// non-blocking and watched by socket notifiers; a connection that stays
// silent for `GUIServiceServer_idleMs` in the middle of its talk, sends a
// record that is not of the layout, a length beyond the limit, or comes
// from another user, is closed.  Text requests are handed to the handler
// one at a time, never while the handler is still running (its boxes run
// the event loop again).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QObject>

inline constexpr int GUIServiceServer_idleMs = 5000;
inline constexpr size_t GUIServiceServer_maxConnections = 32;

struct GUIServiceRequest {
  int32_t kind = 0;                  // 2 or 3
  std::vector<std::u16string> lines;  // "Call", command line, current folder; or "Exit"
};
struct GUIServiceAnswer {
  std::u16string text;        // the answer lines
  std::function<void()> after;  // runs once the answer is on its way
};
using GUIServiceHandler = std::function<GUIServiceAnswer(const GUIServiceRequest&)>;

class QSocketNotifier;
class QTimer;

class GUIServiceServer {
 public:
  // Listens on the socket of `serviceName`; null with `problem` (CP932) set
  // when it cannot (see GUIService_listen).
  static std::unique_ptr<GUIServiceServer> create(std::string_view serviceName,
                                                  std::string& problem);
  ~GUIServiceServer();
  GUIServiceServer(const GUIServiceServer&) = delete;
  GUIServiceServer& operator=(const GUIServiceServer&) = delete;

  void setHandler(GUIServiceHandler handler) { handler_ = std::move(handler); }
  // Requests wait until dispatching is on (start-up has finished).
  void setDispatching(bool on);
  // A request is waiting or being handled: the process should not end now.
  bool busy() const { return inHandler_ || !queue_.empty(); }
  size_t connectionCount() const { return conns_.size(); }
  const std::string& socketPath() const { return path_; }

 private:
  struct Conn {
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    QTimer* idle = nullptr;
    std::string in;
    uint32_t caller = 0;
    int queued = 0;
  };
  struct Pending {
    int conn;
    GUIServiceRequest request;
  };

  GUIServiceServer() = default;
  void accept();
  void read(int id);
  bool parse(int id);  // false: the connection was dropped
  void drop(int id);
  bool send(int id, std::u16string_view text);
  void pump();

  std::unique_ptr<QObject> owner_ = std::make_unique<QObject>();
  int listenFd_ = -1;
  std::string path_;
  unsigned long inode_ = 0;
  QSocketNotifier* listenNotifier_ = nullptr;
  std::map<int, Conn> conns_;
  int nextConn_ = 1;
  uint32_t nextCaller_ = 1;
  std::deque<Pending> queue_;
  bool dispatching_ = false;
  bool inHandler_ = false;
  GUIServiceHandler handler_;
};
