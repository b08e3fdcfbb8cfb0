#include "app/startup/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>

#include "core/errors/except3.h"

namespace {

// The pipe the handler writes into: the one state a signal handler may
// touch.
int g_endPipe[2] = {-1, -1};

void onSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_endPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

void EndSignals_install(QObject& owner, std::function<void()> onEnd) {
  if (g_endPipe[0] < 0) {
    if (::pipe2(g_endPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  }
  auto* notifier = new QSocketNotifier(g_endPipe[0], QSocketNotifier::Read, &owner);
  QObject::connect(notifier, &QSocketNotifier::activated, &owner, [notifier, onEnd] {
    char buf[16];
    while (::read(g_endPipe[0], buf, sizeof buf) > 0) {
    }
    notifier->setEnabled(false);
    Except_barrier([&] {
      if (onEnd) onEnd();
    });
    QCoreApplication::exit(0);
  });
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGHUP, &sa, nullptr);
}
