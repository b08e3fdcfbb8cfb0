// A library that lacks two of the four entry points: the loader must skip
// it.  It would take every file if it were loaded.
#include "core/susie/susie_plugin_abi.h"

extern "C" {

__attribute__((visibility("default"))) int GetPluginInfo(int, char*, int) { return 0; }
__attribute__((visibility("default"))) int IsSupported(const char*, const unsigned char*) {
  return 1;
}

}  // extern "C"
