// The non-template parts of the arrx containers.
#include "core/arrx/arrx.h"

#include <algorithm>

#include "core/errors/errors.h"

void ArrX_raiseFull() { Errors_RAISE(ArrX_Err_Full, "ArrX_Able が満杯です"); }

// ---- ArrX_Buf ----

size_t ArrX_Buf::append(std::string_view data) {
  size_t n = std::min(data.size(), room());
  if (n > 0) std::memcpy(bytes_.data() + pos_, data.data(), n);
  pos_ += n;
  return n;
}

// ---- ArrX_Chain ----

ArrX_Chain::ArrX_Chain(size_t blockSize) : blockSize_(blockSize) {
  if (blockSize_ <= linkSize) Errors_UNOFFICIAL();
  addBlock();
}

void ArrX_Chain::addBlock() {
  auto block = std::make_unique<std::byte[]>(blockSize_);  // zeroed: link word 0
  if (!blocks_.empty()) {
    // The current block's link word names the new one (1-based index).
    uint32_t next = static_cast<uint32_t>(blocks_.size() + 1);
    std::memcpy(blocks_.back().get() + blockSize_ - linkSize, &next, linkSize);
  }
  blocks_.push_back(std::move(block));
  pos_ = 0;
}

std::byte* ArrX_Chain::take(size_t n) {
  const size_t room = blockSize_ - linkSize;
  if (n > room) Errors_UNOFFICIAL();
  if (pos_ + n > room) addBlock();
  std::byte* p = blocks_.back().get() + pos_;
  pos_ += n;
  return p;
}

size_t ArrX_Chain::count() const {
  const size_t perBlock = (blockSize_ - linkSize) / 4;
  return (blocks_.size() - 1) * perBlock + pos_ / 4;
}

uint32_t ArrX_Chain::link(size_t i) const {
  uint32_t v = 0;
  std::memcpy(&v, blocks_.at(i).get() + blockSize_ - linkSize, linkSize);
  return v;
}

void ArrX_Chain::clear() {
  blocks_.clear();
  addBlock();
}

// ---- ArrX_Dyn ----

ArrX_Dyn::ArrX_Dyn(size_t step) : step_(step) {
  if (step_ == 0) Errors_UNOFFICIAL();
}

std::byte* ArrX_Dyn::reserve(size_t n) {
  if (used_ + n > bytes_.size()) {
    size_t missing = used_ + n - bytes_.size();
    bytes_.resize(bytes_.size() + std::max(step_, missing));
  }
  std::byte* p = bytes_.data() + used_;
  used_ += n;
  return p;
}
