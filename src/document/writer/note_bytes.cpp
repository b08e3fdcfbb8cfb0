#include "document/writer/note_bytes.h"

#include <zlib.h>

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
  const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  std::string out;
  if (!wide) {
    out.reserve(text.size() + lines);
    appendCrlf(out, text, false);
    return out;
  }
  // Line by line, straight into the result: a line feed is never part of
  // a double-byte character.
  out.reserve(2 + 2 * (text.size() + lines));
  out.append("\xFF\xFE", 2);
  size_t from = 0;
  for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    Cp932_appendUtf16Le(out, text.substr(from, at - from));
    if (at == 0 || text[at - 1] != '\r') out.append("\r\0", 2);
    out.append("\n\0", 2);
    from = at + 1;
  }
  Cp932_appendUtf16Le(out, text.substr(from));
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

std::string NoteBytes_gzip(std::string_view bytes) {
  z_stream z{};
  int rc = deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  if (rc != Z_OK) raiseZlib(rc);
  std::string out;
  out.resize(deflateBound(&z, static_cast<uLong>(std::min(bytes.size(), kChunk))) + 64);
  size_t inPos = 0;
  size_t outPos = 0;
  for (;;) {
    const size_t inLeft = bytes.size() - inPos;
    const size_t give = std::min(inLeft, kChunk);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + inPos));
    z.avail_in = static_cast<uInt>(give);
    if (out.size() - outPos < 64 * 1024) out.resize(out.size() * 2 + 64 * 1024);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + outPos);
    z.avail_out = static_cast<uInt>(std::min(out.size() - outPos, kChunk));
    const uInt availOut = z.avail_out;
    rc = deflate(&z, give == inLeft ? Z_FINISH : Z_NO_FLUSH);
    inPos += give - z.avail_in;
    outPos += availOut - z.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      deflateEnd(&z);
      raiseZlib(rc);
    }
  }
  deflateEnd(&z);
  out.resize(outPos);
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
