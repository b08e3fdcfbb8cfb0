#include "figures/base/app_counters.h"

#include <unistd.h>

int32_t AppCounters_processDocumentBase() {
  const uint32_t base = (static_cast<uint32_t>(getpid()) << 10) | 1u;
  return static_cast<int32_t>(base);
}

AppCounters& AppCounters_instance() {
  thread_local AppCounters counters = [] {
    AppCounters c;
    c.setDocumentNumber(AppCounters_processDocumentBase());
    return c;
  }();
  return counters;
}
