#include "core/strx/strx_vars.h"

#include <cstdlib>
#include <unistd.h>

#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

namespace {

// Values are handed over in a 256-byte buffer: 255 bytes and the terminator.
constexpr size_t kValueMax = 255;

void cutValue(std::string& value) { value.resize(Cp932_cutLength(value, kValueMax)); }

// Position of the next '%' at or after `from`, stepping whole characters.
size_t findPercent(std::string_view s, size_t from) {
  for (size_t i = from; i < s.size(); i += Cp932_charLen(s, i)) {
    if (s[i] == '%') return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool StrX_getEnvironment(std::string_view name, std::string& value) {
  std::string osName = Cp932_toUtf8(name);
  if (osName.empty() || osName.find('=') != std::string::npos ||
      osName.find('\0') != std::string::npos) {
    return false;
  }
  if (const char* v = std::getenv(osName.c_str())) {
    value = Cp932_fromUtf8(v);
    return true;
  }
  // Names on the original platform ignore case.
  for (char** e = environ; e && *e; ++e) {
    std::string_view entry(*e);
    size_t eq = entry.find('=');
    if (eq != std::string_view::npos && StrX_equalsNoCase(Cp932_fromUtf8(entry.substr(0, eq)), name)) {
      value = Cp932_fromUtf8(entry.substr(eq + 1));
      return true;
    }
  }
  return false;
}

int StrX_expandVariables(std::string& text, size_t size, const StrX_VarCallback& callback,
                         void* context) {
  std::string_view src(text);
  std::string out;
  out.reserve(text.size());
  std::string value;
  size_t i = 0;
  while (i < src.size()) {
    size_t open = findPercent(src, i);
    if (open == std::string_view::npos) break;
    out.append(src.substr(i, open - i));
    size_t close = findPercent(src, open + 1);
    if (close == std::string_view::npos) {  // a lone '%' stays as it is
      i = open;
      break;
    }
    std::string_view name = src.substr(open + 1, close - open - 1);
    i = close + 1;
    if (name.empty()) {
      out += '%';
      continue;
    }
    value.clear();
    bool known = callback && callback(context, name, value);
    if (!known) {
      value.clear();
      known = StrX_getEnvironment(name, value);
    }
    if (known) {
      cutValue(value);
      out += value;
    } else {
      out.append(src.substr(open, close - open + 1));
    }
  }
  out.append(src.substr(i));
  int cut = 0;
  size_t limit = size > 0 ? size - 1 : 0;
  if (out.size() > limit) {
    out.resize(Cp932_cutLength(out, limit));
    cut = 1;
  }
  text = std::move(out);
  return cut;
}

int StrX_expandVariables(std::string& text, size_t size, const StrX_VarLookup& lookup) {
  if (!lookup) return StrX_expandVariables(text, size, StrX_VarCallback(), nullptr);
  return StrX_expandVariables(
      text, size,
      StrX_VarCallback([&](void*, std::string_view name, std::string& value) {
        return lookup(name, value);
      }),
      nullptr);
}
