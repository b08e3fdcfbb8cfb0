#include "figures/base/app_counters.h"

AppCounters& AppCounters_instance() {
  thread_local AppCounters counters;
  return counters;
}
