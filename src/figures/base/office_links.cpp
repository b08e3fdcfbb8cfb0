#include "figures/base/office_links.h"

#include "core/strx/codepage.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_vars.h"
#include "figures/base/office_script_writer.h"

namespace {

constexpr size_t kLinkMax = 259;

// At most `max` bytes, never half of a double-byte character.
std::string_view cut(std::string_view s, size_t max) { return s.substr(0, Cp932_cutLength(s, max)); }

// The identifier of a place; a name whose escape would not fit is shortened
// until it does (an escaped byte takes three).
std::string identifier(std::string_view name) {
  std::string_view src = name;
  if (src.size() * 3 + 1 > StrX_IdentifierMax) src = cut(src, (StrX_IdentifierMax - 1) / 3);
  std::string dst;
  StrX_identifierEscape(dst, src);
  return dst;
}

}  // namespace

bool OfficeLinkParts(const OfficeScriptWriter& w, std::string_view url, std::string& address,
                     std::string& subAddress) {
  address.clear();
  subAddress.clear();
  if (url.empty()) return false;
  std::string_view u = cut(url, kLinkMax);
  std::string relative = StrX_makeRelativeToFile(u, w.notePath);
  if (!StrX_isUrl(u) && (relative.empty() || relative[0] != '#')) return false;

  std::string e(u);
  StrX_expandVariables(e, kLinkMax + 1, w.variables);
  size_t hash = e.find('#');
  if (hash != std::string::npos && hash + 1 < e.size()) {
    std::string before = e.substr(0, hash);
    std::string after = e.substr(hash + 1);
    if (before == w.notePath) {
      subAddress = identifier(after);
    } else {
      // Another file (or web page) with a place in it: the file is the
      // address and the place its sub-address.
      address = before;
      subAddress = identifier(after);
    }
    return true;
  }
  if (hash != std::string::npos) e.resize(hash);
  address = e;
  return true;
}
