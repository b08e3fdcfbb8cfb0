#include "document/writer/note_bytes.h"

#include <zlib.h>

#include <string.h>

#include <algorithm>
#include <climits>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"

namespace {

[[noreturn]] void raiseZlib(int code) {
  Errors_RAISE(Errors_Unofficial, "Tar32.DLL エラーコード＝%d", code);
}

// zlib counts in uInt: feed at most this much per call.
constexpr size_t kChunk = 1u << 30;

}  // namespace

namespace {

// Appends `text` with CR LF line breaks; `afterCr` tells whether the byte
// before `text` was a CR.
void appendCrlf(std::string& out, std::string_view text, bool afterCr) {
  size_t from = 0;
  for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    const bool cr = at > 0 ? text[at - 1] == '\r' : afterCr;
    out.append(text.data() + from, at - from);
    if (!cr) out.push_back('\r');
    from = at;
  }
  out.append(text.data() + from, text.size() - from);
}

}  // namespace

std::string NoteBytes_encode(std::string_view text, bool wide) {
  std::string out;
  if (!wide) {
    out.reserve(text.size() + static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
    appendCrlf(out, text, false);
    return out;
  }
  out.append("\xFF\xFE", 2);
  Cp932_appendUtf16Le(out, text, true);
  return out;
}

void NoteBytes_appendTextModeCopy(std::string& out, std::string_view fileBytes) {
  out.reserve(out.size() + fileBytes.size());
  for (size_t i = 0; i < fileBytes.size(); ++i) {
    const char c = fileBytes[i];
    if (c == '\r' && i + 1 < fileBytes.size() && fileBytes[i + 1] == '\n') continue;
    out.push_back(c);
  }
}

void NoteBytes_encodePieces(std::string_view text, bool wide,
                            const std::function<void(std::string_view)>& sink) {
  constexpr size_t kPiece = 32 * 1024;
  std::string buffer;
  buffer.reserve(wide ? 4 * kPiece + 16 : 2 * kPiece + 16);
  if (wide) sink(std::string_view("\xFF\xFE", 2));
  size_t at = 0;
  while (at < text.size()) {
    // A piece ends after a line feed where there is one (never inside a
    // double-byte character or between CR and LF); else at a character
    // boundary not directly after a CR.
    size_t end = std::min(text.size(), at + kPiece);
    if (end < text.size()) {
      const void* lf = memrchr(text.data() + at, '\n', end - at);
      if (lf) {
        end = static_cast<size_t>(static_cast<const char*>(lf) - text.data()) + 1;
      } else {
        size_t k = at;
        while (k < end) k += Cp932_isLead(text[k]) && k + 1 < text.size() ? 2 : 1;
        if (k < text.size() && text[k - 1] == '\r') ++k;
        end = k;
      }
    }
    buffer.clear();
    const std::string_view piece = text.substr(at, end - at);
    if (wide)
      Cp932_appendUtf16Le(buffer, piece, true);
    else
      appendCrlf(buffer, piece, at > 0 && text[at - 1] == '\r');
    sink(buffer);
    at = end;
  }
}

struct NoteBytes_GzipStream::Impl {
  z_stream z{};
  std::function<void(std::string_view)> sink;
  std::string buffer = std::string(64 * 1024, '\0');
  bool open = false;
};

NoteBytes_GzipStream::NoteBytes_GzipStream(std::function<void(std::string_view)> sink)
    : impl_(std::make_unique<Impl>()) {
  impl_->sink = std::move(sink);
  const int rc =
      deflateInit2(&impl_->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  if (rc != Z_OK) raiseZlib(rc);
  impl_->open = true;
}

NoteBytes_GzipStream::~NoteBytes_GzipStream() {
  if (impl_->open) deflateEnd(&impl_->z);
}

void NoteBytes_GzipStream::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t give = std::min(bytes.size(), kChunk);
    run(bytes.substr(0, give), false);
    bytes.remove_prefix(give);
  }
}

void NoteBytes_GzipStream::finish() { run({}, true); }

void NoteBytes_GzipStream::run(std::string_view bytes, bool finish) {
  z_stream& z = impl_->z;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  for (;;) {
    z.next_out = reinterpret_cast<Bytef*>(impl_->buffer.data());
    z.avail_out = static_cast<uInt>(impl_->buffer.size());
    const int rc = deflate(&z, finish ? Z_FINISH : Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) raiseZlib(rc);
    const size_t made = impl_->buffer.size() - z.avail_out;
    if (made) impl_->sink(std::string_view(impl_->buffer.data(), made));
    if (finish ? rc == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0)) break;
  }
}

std::string NoteBytes_gzip(std::string_view bytes) {
  std::string out;
  NoteBytes_GzipStream gz([&out](std::string_view piece) { out.append(piece); });
  gz.write(bytes);
  gz.finish();
  return out;
}

std::string NoteBytes_gunzip(std::string_view bytes, size_t limit) {
  z_stream z{};
  int rc = inflateInit2(&z, 15 + 32);
  if (rc != Z_OK) raiseZlib(rc);
  std::string out;
  size_t inPos = 0;
  size_t outPos = 0;
  auto fail = [&z]() {
    inflateEnd(&z);
    Errors_RAISE(Errors_Unofficial, "svgz 形式の解凍には TAR32.DLL が必要です。");
  };
  for (;;) {
    const size_t give = std::min(bytes.size() - inPos, kChunk);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + inPos));
    z.avail_in = static_cast<uInt>(give);
    if (out.size() - outPos < 64 * 1024) {
      if (out.size() >= limit) fail();
      out.resize(std::min(limit, out.size() * 2 + 256 * 1024));
    }
    z.next_out = reinterpret_cast<Bytef*>(out.data() + outPos);
    z.avail_out = static_cast<uInt>(std::min(out.size() - outPos, kChunk));
    const uInt availOut = z.avail_out;
    rc = inflate(&z, Z_NO_FLUSH);
    inPos += give - z.avail_in;
    outPos += availOut - z.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && rc != Z_BUF_ERROR) fail();
    // All input taken, room left and still no end: the stream is cut short.
    if (inPos == bytes.size() && z.avail_out != 0) fail();
  }
  inflateEnd(&z);
  out.resize(outPos);
  return out;
}

bool NoteBytes_isSvgz(std::string_view path) {
  if (path.size() < 4) return false;
  std::string_view tail = path.substr(path.size() - 4);
  auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
  return lower(tail[0]) == 's' && lower(tail[1]) == 'v' && lower(tail[2]) == 'g' &&
         lower(tail[3]) == 'z';
}
