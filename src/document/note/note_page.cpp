#include "document/note/note_page.h"

#include <atomic>

#include <algorithm>
#include <limits>
#include <memory>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

NotePage::NotePage() {
  static std::atomic<uint64_t> next{0};
  serial_ = ++next;
  figures.append(std::make_unique<Canvas>());
}

Canvas& NotePage::settings() {
  return const_cast<Canvas&>(static_cast<const NotePage*>(this)->settings());
}

const Canvas& NotePage::settings() const {
  if (figures.empty() || figures.at(0).GetKind() != FigureKind_Canvas) {
    Errors_RAISE(Errors_Unofficial, "error");
  }
  return static_cast<const Canvas&>(figures.at(0));
}

void NotePage::clearFigures() {
  while (figures.size() > 1) figures.remove(figures.at(figures.size() - 1));
}

void NotePage::setTitle(std::string_view title) {
  title_.assign(title.substr(0, Cp932_cutLength(title, NotePage_titleMax)));
}

std::optional<int32_t> NotePage_idNumber(std::string_view id) {
  if (id.size() <= 4 || id.compare(0, 4, "page") != 0) return std::nullopt;
  int64_t value = 0;
  for (size_t i = 4; i < id.size(); ++i) {
    if (!StrX_isAsciiDigit(id[i])) return std::nullopt;
    value = std::min<int64_t>(value * 10 + (id[i] - '0'), std::numeric_limits<int32_t>::max());
  }
  return static_cast<int32_t>(value);
}
