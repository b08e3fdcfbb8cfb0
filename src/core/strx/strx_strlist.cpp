#include "core/strx/strx_strlist.h"

#include <algorithm>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"

namespace {

size_t cutLength(std::string_view s, size_t max) { return Cp932_cutLength(s, max); }
size_t cutLength(std::u16string_view s, size_t max) { return std::min(s.size(), max); }

}  // namespace

template <class Ch>
StrX_BasicStrList<Ch>::StrX_BasicStrList(size_t sizeBytes)
    : buf_(std::max<size_t>(sizeBytes / sizeof(Ch), 1), Ch(0)) {}

template <class Ch>
std::basic_string_view<Ch> StrX_BasicStrList<Ch>::current() const {
  std::basic_string_view<Ch> rest(buf_.data() + pos_, buf_.size() - pos_);
  return rest.substr(0, rest.find(Ch(0)));
}

template <class Ch>
void StrX_BasicStrList<Ch>::setCurrent(std::basic_string_view<Ch> s) {
  const size_t room = buf_.size() - pos_ - 1;
  const size_t n = cutLength(s, room);
  std::fill(buf_.begin() + static_cast<std::ptrdiff_t>(pos_), buf_.end(), Ch(0));
  std::copy(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n),
            buf_.begin() + static_cast<std::ptrdiff_t>(pos_));
  if (n < s.size()) Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<void*>(this));
}

template <class Ch>
void StrX_BasicStrList<Ch>::next() {
  const size_t after = pos_ + current().size() + 1;
  if (after >= buf_.size())
    Errors_RAISE(StrX_Err_MemEmpty, "アプリ内部のメモリ領域が足りません");
  pos_ = after;
  buf_[pos_] = Ch(0);
}

template <class Ch>
std::vector<std::basic_string<Ch>> StrX_BasicStrList<Ch>::strings() const {
  std::vector<std::basic_string<Ch>> out;
  size_t i = 0;
  while (i < pos_) {
    std::basic_string_view<Ch> rest(buf_.data() + i, pos_ - i);
    const size_t end = rest.find(Ch(0));
    out.emplace_back(rest.substr(0, end));
    i += end + 1;
  }
  return out;
}

template class StrX_BasicStrList<char>;
template class StrX_BasicStrList<char16_t>;
