#include "app/startup/conversion_status.h"

#include "core/strx/strx_copy.h"

namespace {
std::string& current() {
  static std::string name;
  return name;
}
std::function<void()>& refresher() {
  static std::function<void()> f;
  return f;
}
}  // namespace

void ConversionStatus_set(std::string_view name) {
  std::string cut;
  StrX_cpyNChar(cut, name, 39, 40);
  current() = std::move(cut);
  if (refresher()) refresher()();
}

const std::string& ConversionStatus_name() { return current(); }

std::string ConversionStatus_tip(std::string_view appName) {
  std::string tip(appName);
  if (!current().empty()) tip += " - 変換中:" + current();
  return tip;
}

void ConversionStatus_setRefresh(std::function<void()> refresh) { refresher() = std::move(refresh); }
