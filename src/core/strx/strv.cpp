#include "core/strx/strv.h"

#include <limits>
#include <new>

#include "core/errors/errors.h"

Strv::Strv() {
  try {
    text_.reserve(kStep / 2 - 1);
  } catch (const std::bad_alloc&) {
    Errors_RAISE(Errors_Unofficial, "error");
  }
}

void Strv::reserveFor(size_t baseUnits, size_t addedUnits) {
  constexpr size_t kMax = static_cast<size_t>(std::numeric_limits<int32_t>::max());
  if (baseUnits > kMax / 2 || addedUnits > kMax / 2 - baseUnits)
    Errors_RAISE(Errors_Unofficial, "error");
  const size_t needed = (baseUnits + addedUnits) * 2 + 2;
  if (needed <= static_cast<size_t>(capacity_)) return;
  const size_t grown = (needed + kStep - 1) / kStep * kStep;
  if (grown > kMax) Errors_RAISE(Errors_Unofficial, "error");
  try {
    text_.reserve(grown / 2 - 1);
  } catch (const std::exception&) {
    Errors_RAISE(Errors_Unofficial, "error");
  }
  capacity_ = static_cast<int32_t>(grown);
}

void Strv::append(std::u16string_view s) {
  reserveFor(text_.size(), s.size());
  text_.append(s);
}

void Strv::append(const Strv& other) {
  if (&other == this) {
    const std::u16string copy = text_;
    append(std::u16string_view(copy));
    return;
  }
  append(other.view());
}

void Strv::assign(const Strv& other) {
  if (&other == this) return;
  reserveFor(0, other.text_.size());
  text_.assign(other.text_);
}
