// Strv: a growable UTF-16 text buffer.  The capacity is counted in bytes
// as the buffer always was: a new buffer has 32 bytes, and each growth
// rounds the needed size (used + added + 2 for the terminator) up to a
// multiple of 32 bytes.  Growth that fails raises 102.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class Strv {
 public:
  static constexpr int32_t kStep = 32;

  Strv();

  // Appends UTF-16 text.
  void append(std::u16string_view s);
  // Appends the text of another buffer (which may be this one).
  void append(const Strv& other);
  // Replaces the text by that of another buffer; the capacity only grows.
  void assign(const Strv& other);

  // Capacity and used length in bytes (the used length without the
  // terminator).
  int32_t capacity() const { return capacity_; }
  int32_t length() const { return static_cast<int32_t>(text_.size() * 2); }

  std::u16string_view view() const { return text_; }
  const char16_t* c_str() const { return text_.c_str(); }

 private:
  // Makes room for `addedUnits` more units on top of `baseUnits`.
  void reserveFor(size_t baseUnits, size_t addedUnits);

  std::u16string text_;
  int32_t capacity_ = kStep;
};
