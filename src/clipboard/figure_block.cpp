#include "clipboard/figure_block.h"

#include <cstring>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex_names.h"
#include "core/strx/codepage.h"
#include "figures/base/app_counters.h"
#include "figures/base/figure_numbering.h"
#include "figures/base/snapshot.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/foreign/foreign_figure.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"

namespace {

constexpr size_t kHeader = 28;
// More figures than any page holds: a count above it is no block.
constexpr uint32_t kMaxRecords = 10'000'000;

void putInt(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void pad(std::string& out) {
  while (out.size() % 4 != 0) out += '\0';
}

// A CP932 text, its terminator and the padding.
void putText(std::string& out, std::string_view text) {
  out.append(text);
  out += '\0';
  pad(out);
}

void putWideText(std::string& out, std::string_view cp932) {
  Cp932_appendUtf16Le(out, cp932);
  out += '\0';
  out += '\0';
  pad(out);
}

// Reads through the bytes of a block; every read checks what is left.
class BlockReader {
 public:
  BlockReader(std::string_view bytes, size_t end) : bytes_(bytes), end_(end) {}
  bool u32(uint32_t& v) {
    if (end_ - pos_ < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes_[pos_ + i])) << (8 * i);
    pos_ += 4;
    return true;
  }
  bool i32(int32_t& v) {
    uint32_t u = 0;
    if (!u32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  // A text whose terminator lies inside the block, then its padding.
  bool text(std::string& out) {
    const size_t zero = bytes_.substr(0, end_).find('\0', pos_);
    if (zero == std::string_view::npos) return false;
    out.assign(bytes_.substr(pos_, zero - pos_));
    return skipTo(zero + 1);
  }
  bool wideText(std::string& out) {
    std::u16string wide;
    for (;;) {
      if (end_ - pos_ < 2) return false;
      const char16_t c = static_cast<char16_t>(static_cast<uint8_t>(bytes_[pos_]) |
                                               static_cast<uint8_t>(bytes_[pos_ + 1]) << 8);
      pos_ += 2;
      if (c == 0) break;
      wide += c;
    }
    out = Cp932_fromUtf16(wide);
    return skipTo(pos_);
  }
  bool bytes(size_t n, std::string& out) {
    if (end_ - pos_ < n) return false;
    out.assign(bytes_.substr(pos_, n));
    pos_ += n;
    return true;
  }
  size_t left() const { return end_ - pos_; }

 private:
  // Past the padding to the next multiple of 4 (it must lie in the block).
  bool skipTo(size_t at) {
    const size_t padded = (at + 3) / 4 * 4;
    if (padded > end_) return false;
    pos_ = padded;
    return true;
  }
  std::string_view bytes_;
  size_t end_;
  size_t pos_ = 0;
};

bool fail(std::string* error, const char* why) {
  if (error != nullptr) *error = why;
  return false;
}

bool isFigureKind(int32_t kind) {
  return kind == FigureKind_Line || kind == FigureKind_Rect || kind == FigureKind_Text ||
         kind == FigureKind_CorneredLine || kind == FigureKind_Matome || kind == FigureKind_Polygon ||
         kind == FigureKind_Foreign;
}

std::unique_ptr<CadPrim> makeOfKind(int32_t kind, const TextMetrics* metrics) {
  switch (kind) {
    case FigureKind_Line: return std::make_unique<Line_Ex>();
    case FigureKind_Rect: return std::make_unique<Rect_Ex>();
    case FigureKind_Text: return std::make_unique<Text_Box>(metrics);
    case FigureKind_CorneredLine: return std::make_unique<Line_Corner>();
    case FigureKind_Matome: return std::make_unique<Matome>();
    case FigureKind_Polygon: return std::make_unique<Polygon_Ex>();
    case FigureKind_Foreign: return std::make_unique<Foreign_Figure>();
    default: return nullptr;
  }
}

}  // namespace

std::string FigureBlock_encode(const FigureBlock& block) {
  std::string body;
  putWideText(body, block.notePath);
  putText(body, block.folderPath);
  if ((block.flags & FigureBlock_wholePage) != 0) {
    putText(body, block.pageTitle);
    putInt(body, static_cast<uint32_t>(block.pageWidth));
    putInt(body, static_cast<uint32_t>(block.pageHeight));
  }
  for (const FigureBlockRecord& r : block.records) {
    putInt(body, static_cast<uint32_t>(r.snapshot.size() + 8));
    putInt(body, static_cast<uint32_t>(r.kind));
    body += r.snapshot;
    pad(body);
  }
  if (body.size() % 4 != 0) Errors_RAISE(Errors_Unofficial, "figure block of %zu bytes", body.size());
  std::string out;
  out.reserve(kHeader + body.size());
  putInt(out, static_cast<uint32_t>(body.size()));
  putInt(out, block.flags);
  putInt(out, static_cast<uint32_t>(block.records.size()));
  putInt(out, static_cast<uint32_t>(block.held));
  putInt(out, block.sourceWindow);
  putInt(out, static_cast<uint32_t>(block.anchorX));
  putInt(out, static_cast<uint32_t>(block.anchorY));
  return out + body;
}

bool FigureBlock_decode(std::string_view bytes, FigureBlock& block, std::string* error) {
  if (bytes.size() < kHeader) return fail(error, "shorter than its header");
  BlockReader head(bytes, kHeader);
  uint32_t size = 0, count = 0;
  FigureBlock b;
  head.u32(size);
  head.u32(b.flags);
  head.u32(count);
  head.i32(b.held);
  head.u32(b.sourceWindow);
  head.i32(b.anchorX);
  head.i32(b.anchorY);
  if (size > bytes.size() - kHeader) return fail(error, "its size is past the data");
  if (size % 4 != 0) return fail(error, "its size is no multiple of 4");
  if (count > kMaxRecords || count > size / 8) return fail(error, "more records than bytes");
  BlockReader r(bytes.substr(kHeader), size);
  if (!r.wideText(b.notePath) || !r.text(b.folderPath)) return fail(error, "a path without its end");
  if ((b.flags & FigureBlock_wholePage) != 0) {
    if (!r.text(b.pageTitle) || !r.i32(b.pageWidth) || !r.i32(b.pageHeight))
      return fail(error, "a page without its title or size");
  }
  b.records.resize(count);
  for (FigureBlockRecord& rec : b.records) {
    uint32_t recordSize = 0;
    if (!r.u32(recordSize) || !r.i32(rec.kind)) return fail(error, "a record past the block");
    if (recordSize < 8 || recordSize - 8 > r.left()) return fail(error, "a record's size past the block");
    if (!isFigureKind(rec.kind)) return fail(error, "a record of no figure kind");
    r.bytes(recordSize - 8, rec.snapshot);
    std::string padding;
    if (!r.bytes((4 - recordSize % 4) % 4, padding))
      return fail(error, "a record past the block");
  }
  block = std::move(b);
  return true;
}

FigureBlock FigureBlock_of(const std::vector<const CadPrim*>& figures) {
  FigureBlock b;
  b.records.reserve(figures.size());
  for (const CadPrim* f : figures) {
    std::string data(f->GetSnapshotSize(), '\0');
    SnapshotWriter w(reinterpret_cast<uint8_t*>(data.data()), data.size());
    f->WriteSnapshot(w);
    data.resize(w.written());
    b.records.push_back({f->GetKind(), std::move(data)});
  }
  return b;
}

std::vector<std::unique_ptr<CadPrim>> FigureBlock_figures(const FigureBlock& block,
                                                          const TextMetrics* metrics,
                                                          std::string* error) {
  std::vector<std::unique_ptr<CadPrim>> out;
  out.reserve(block.records.size());
  bool ok = true;
  for (const FigureBlockRecord& rec : block.records) {
    std::unique_ptr<CadPrim> f = makeOfKind(rec.kind, metrics);
    if (!f) {
      fail(error, "a record of no figure kind");
      return {};
    }
    Except_tryCatch(
        [&] {
          SnapshotReader in(reinterpret_cast<const uint8_t*>(rec.snapshot.data()),
                            rec.snapshot.size());
          f->ReadSnapshot(in);
          in.expectEnd();
        },
        [&](const Errors_Msg& e) {
          ok = false;
          if (error != nullptr) *error = e.message();
        });
    if (!ok) return {};
    // A snapshot read is a copy until it joins a page.
    f->SetIsCopy(false);
    out.push_back(std::move(f));
  }
  return out;
}

void FigureBlock_renumber(std::vector<std::unique_ptr<CadPrim>>& figures) {
  Figures_renumberCopies(figures, AppCounters_instance());
}

void FigureBlock_takeIntoWorkFolder(std::vector<std::unique_ptr<CadPrim>>& figures,
                                    const std::string& workFolder) {
  for (auto& f : figures) {
    if (f->GetKind() != FigureKind_Rect) continue;
    auto& r = static_cast<Rect_Ex&>(*f);
    r.setWorkFolder(workFolder);
    // The working file named by the block is only read, never kept: a
    // picture works on a copy of its own in this work folder.
    // Only a picture is copied (the name could be any file of the user's).
    if (!r.workImagePath.empty() &&
        (FileX_imageKind(r.workImagePath).empty() || !r.MakeOwnWorkingCopy()))
      r.workImagePath.clear();
    r.DropImageCache();
  }
}

std::string InkBox_encode(const InkBox& box) {
  std::string out;
  for (int32_t v : {box.left, box.top, box.right, box.bottom, box.anchorX, box.anchorY})
    putInt(out, static_cast<uint32_t>(v));
  return out;
}

bool InkBox_decode(std::string_view bytes, InkBox& box) {
  if (bytes.size() != 24) return false;
  BlockReader r(bytes, 24);
  return r.i32(box.left) && r.i32(box.top) && r.i32(box.right) && r.i32(box.bottom) &&
         r.i32(box.anchorX) && r.i32(box.anchorY);
}
