// The bytes of a note file: the document text (code page 932, "\n" line
// breaks) turned into CR LF lines, in the plain form or as UTF-16
// little-endian with a byte-order mark, and the gzip form of svgz notes.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// Every "\n" not already preceded by "\r" becomes CR LF; with `wide` the
// result is FF FE and the UTF-16 code units of the text.
std::string NoteBytes_encode(std::string_view text, bool wide);

// The same bytes handed to `sink` piece by piece (about 64 KiB each), so that
// no second copy of a large note is made.
void NoteBytes_encodePieces(std::string_view text, bool wide,
                            const std::function<void(std::string_view)>& sink);

// gzip compression handing its output to a sink as it goes.  Raises 102
// ("Tar32.DLL エラーコード＝%d") when zlib fails.
class NoteBytes_GzipStream {
 public:
  explicit NoteBytes_GzipStream(std::function<void(std::string_view)> sink);
  ~NoteBytes_GzipStream();
  NoteBytes_GzipStream(const NoteBytes_GzipStream&) = delete;
  NoteBytes_GzipStream& operator=(const NoteBytes_GzipStream&) = delete;
  void write(std::string_view bytes);
  // Ends the stream (no write after it).
  void finish();

 private:
  void run(std::string_view bytes, bool finish);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Appends a file's text as a text-mode read gives it: CR LF (and a lone CR
// before LF) become "\n".
void NoteBytes_appendTextModeCopy(std::string& out, std::string_view fileBytes);

// gzip (RFC 1952) of `bytes`, in memory.  Raises 102 with the zlib code
// ("Tar32.DLL エラーコード＝%d") when zlib fails.
std::string NoteBytes_gzip(std::string_view bytes);

// Unpacks a gzip (or zlib) stream; raises 102 ("svgz 形式の解凍には TAR32.DLL
// が必要です。") for a damaged stream or when the result would pass `limit`
// bytes.
std::string NoteBytes_gunzip(std::string_view bytes, size_t limit);

// Whether a file name ends in "svgz" (any case).
bool NoteBytes_isSvgz(std::string_view path);
