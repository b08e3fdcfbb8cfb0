#include "app/startup/command_line.h"

#include <cstring>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/filex/filex.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_numbers.h"
#include "core/strx/strx_path.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// Reads words of the line: spaces separate them, double quotes protect
// spaces and are dropped.
class WordReader {
 public:
  explicit WordReader(std::string_view line) : line_(line) {}

  // The number of words read so far (the index of the next word).
  size_t index() const { return index_; }

  void skipSpaces() {
    while (pos_ < line_.size() && line_[pos_] == ' ') pos_++;
  }
  bool atEnd() {
    skipSpaces();
    return pos_ >= line_.size();
  }
  // The first byte of the next word as written (a quote included).
  char peek() {
    skipSpaces();
    return pos_ < line_.size() ? line_[pos_] : '\0';
  }
  std::string next() {
    skipSpaces();
    index_++;
    std::string word;
    bool quoted = false;
    while (pos_ < line_.size()) {
      char c = line_[pos_];
      if (c == ' ' && !quoted) break;
      size_t n = Cp932_charLen(line_, pos_);
      if (n == 1 && c == '"') {
        quoted = !quoted;
      } else {
        word.append(line_.substr(pos_, n));
      }
      pos_ += n;
    }
    return word;
  }
  // The rest of the line without surrounding spaces and quotes.
  std::string rest() {
    skipSpaces();
    std::string_view r = line_.substr(pos_);
    while (!r.empty() && r.back() == ' ') r.remove_suffix(1);
    if (r.size() >= 2 && r.front() == '"' && r.back() == '"') r = r.substr(1, r.size() - 2);
    else if (!r.empty() && r.front() == '"') r.remove_prefix(1);
    pos_ = line_.size();
    return std::string(r);
  }

 private:
  std::string_view line_;
  size_t pos_ = 0;
  size_t index_ = 0;
};

// A value too long for its field: stops parsing with 1041.
[[noreturn]] void tooLong(std::string_view option) {
  Errors_RAISE(StrX_Err_BufOver, "%.*s が長すぎます。", static_cast<int>(option.size()),
               option.data());
}

// A path too long for its field: the message names the whole path as given
// (`text` keeps it; the error record's text is shorter than a long path).
[[noreturn]] void pathTooLong(std::string given, std::string& text) {
  text = given + " が長すぎます。";
  Errors_RAISE(StrX_Err_BufOver, "%s", text.c_str());
}

// What a path that cannot be named stands for: its message is the one of
// that option when its file is missing or cannot be written.
enum class PathRole { Note, Destination, Echo, Profile, ReadFile, Replacement };

std::string refusedPathText(PathRole role, const std::string& path, bool japanese) {
  switch (role) {
    case PathRole::Note:
      return path + (japanese ? " を開こうとしましたが見つかりません。" : " can not open. Zerbin exits.");
    case PathRole::Destination:
    case PathRole::Echo:
      return path + " に書込みができません。保存に失敗しました。";
    case PathRole::Profile:
      return "プロファイルフォルダに書き込めません。\r\npath = " + path +
             "write_test.bin\r\nBrevlo を終了します。";
    case PathRole::ReadFile:
      return "ファイルが見つかりません。\r\n" + path;
    case PathRole::Replacement:
      return "読みこみモードで open できません。" + path;
  }
  return path;
}

void setText(std::string& field, std::string_view value, size_t size, std::string_view option) {
  if (value.size() >= size) tooLong(option);
  field.assign(value);
}

struct Flag {
  const char* name;
  bool CZerbinApp_Options::*field;
};

constexpr Flag kFlags[] = {
    {"-r", &CZerbinApp_Options::runR},           {"-s", &CZerbinApp_Options::runS},
    {"-t", &CZerbinApp_Options::runT},           {"-u", &CZerbinApp_Options::runU},
    {"-d", &CZerbinApp_Options::runD},           {"-p_cmd", &CZerbinApp_Options::pCmd},
    {"-load", &CZerbinApp_Options::load},        {"-unload", &CZerbinApp_Options::unload},
    {"-unload_if", &CZerbinApp_Options::unloadIf}, {"-html", &CZerbinApp_Options::html},
    {"-head", &CZerbinApp_Options::head},        {"-ids", &CZerbinApp_Options::ids},
    {"-ids2", &CZerbinApp_Options::ids2},        {"-links", &CZerbinApp_Options::links},
    {"-vert", &CZerbinApp_Options::vert},        {"-nosubfo", &CZerbinApp_Options::noSubFolder},
    {"-no_blank", &CZerbinApp_Options::noBlank}, {"-no_local", &CZerbinApp_Options::noLocal},
    {"-top2blank", &CZerbinApp_Options::top2Blank}, {"-parts", &CZerbinApp_Options::parts},
    {"-wait_close", &CZerbinApp_Options::waitClose},
};

struct Conv {
  const char* name;
  int32_t mode;
};

constexpr Conv kConvs[] = {
    {"-cd", CZerbinApp_Conv_Diff},    {"-cj", CZerbinApp_Conv_Jpeg},
    {"-cp", CZerbinApp_Conv_Png},     {"-cw", CZerbinApp_Conv_Word},
    {"-cx", CZerbinApp_Conv_Excel},   {"-ct", CZerbinApp_Conv_Ppt},
    {"-cT", CZerbinApp_Conv_PptLarge}, {"-cv", CZerbinApp_Conv_Vml},
    {"-cV", CZerbinApp_Conv_VmlPlain}, {"-cm", CZerbinApp_Conv_Mhtml},
    {"-cs", CZerbinApp_Conv_Public},  {"-cS", CZerbinApp_Conv_PublicPlain},
    {"-rel", CZerbinApp_Conv_Rel},
};

class Parser {
 public:
  Parser(std::string_view currentFolder, CZerbinApp_Options& o) : cur_(currentFolder), o_(o) {}

  // Answers false for a word that is no option of the program.  `lossy`:
  // the word held characters that code page 932 cannot hold.
  bool option(const std::string& w, bool lossy) {
    lossy_ = lossy;
    for (const Flag& f : kFlags) {
      if (w == f.name) {
        o_.*f.field = true;
        return true;
      }
    }
    for (const Conv& c : kConvs) {
      if (w == c.name) {
        o_.convMode = c.mode;
        return true;
      }
    }
    if (w == "-j") o_.japanese = true;
    else if (w == "-e") o_.japanese = false;
    else if (w == "-n") o_.runN = o_.runT = o_.runQuiet = o_.runS = true;
    else if (w == "-g") o_.goSearch = true;
    else if (w == "-gi") o_.goSearch = o_.useClipboard = true;
    else if (startsWith(w, "-gk=")) {
      setText(o_.keyword, value(w), CZerbinApp_keywordSize, "-gk=");
      o_.goSearch = o_.useClipboard = true;
    } else if (w == "-view") o_.viewMode = 1;
    else if (w == "-view-") o_.viewMode = -1;
    else if (startsWith(w, "-page=")) page(value(w));
    else if (startsWith(w, "-max_size=")) maxSize(value(w));
    else if (startsWith(w, "-max_fold=")) o_.maxFold = StrX_toInt(value(w));
    else if (startsWith(w, "-min_zoom=")) {
      o_.minZoom = StrX_toInt(value(w));
      o_.minZoomGiven = true;
    } else if (startsWith(w, "-hhc2=")) absolute(o_.hhc2Path, value(w), "-hhc2=", PathRole::ReadFile);
    else if (startsWith(w, "-menu=")) absolute(o_.menuPath, value(w), "-menu=", PathRole::ReadFile);
    else if (startsWith(w, "-files=")) absolute(o_.filesPath, value(w), "-files=", PathRole::ReadFile);
    else if (startsWith(w, "-echo=")) absolute(o_.echoPath, value(w), "-echo=", PathRole::Echo);
    else if (startsWith(w, "-pub=")) {
      std::string_view v = value(w);
      setText(o_.pubName, v == "*" ? std::string_view() : v, CZerbinApp_pubNameSize, "-pub=");
      o_.hasPub = true;
    } else if (w == "-pub") {
      o_.pubName.clear();
      o_.hasPub = true;
    } else if (startsWith(w, "-repurl=")) {
      replacement(value(w), "-repurl=");
      o_.repUrlKind = 1;
    } else if (startsWith(w, "-repurl2=")) {
      replacement(value(w), "-repurl2=");
      o_.repUrlKind = 2;
    } else if (startsWith(w, "-service_name=")) {
      setText(o_.serviceName, value(w), CZerbinApp_serviceNameSize, "-service_name=");
    } else if (startsWith(w, "-prof=")) profile(value(w));
    else if (startsWith(w, "-idle=")) refuse("Zerbin_Test が 0 なので -idle オプションは使えません");
    else return false;
    return true;
  }

  // Each refused option stores its message over the one before: the last
  // one is shown.
  void refuse(const char* text) {
    ResultCode_setMessage("%s", text);
    result_ = CZerbinApp_OptionRefused;
  }
  void unknown(const std::string& w) {
    ResultCode_setMessage("%s オプションはありません。", w.c_str());
    result_ = CZerbinApp_OptionRefused;
  }
  int result() const { return result_; }

  // Whether a path word cannot name a file: it held characters that code
  // page 932 cannot hold, or it is relative to a current folder that has no
  // name in code page 932 (`cur_` empty).
  bool unnameable(std::string_view v, bool lossy) const {
    return lossy || (cur_.empty() && !StrX_isAbsolutePath(v));
  }
  // Refuses a path that cannot be named (the first one is reported).
  void refusePath(PathRole role, std::string_view v) {
    if (refused_) return;
    refused_ = true;
    refusedRole_ = role;
    refusedPath_.assign(v);
    if (role != PathRole::Profile && !cur_.empty() && !StrX_isAbsolutePath(v)) {
      Except_tryCatch([&] { StrX_makeAbsolute(refusedPath_, v, cur_, CZerbinApp_pathSize); },
                      [&](const Errors_Msg&) { refusedPath_.assign(v); });
    }
  }
  // The message of a refused path (the language is known once all options
  // were read), or "" when no path was refused.
  std::string refusedText() const {
    return refused_ ? refusedPathText(refusedRole_, refusedPath_, o_.japanese) : std::string();
  }

 private:
  static std::string_view value(std::string_view w) { return w.substr(w.find('=') + 1); }

  void page(std::string_view v) {
    o_.hasPage = true;
    if (!v.empty() && isDigit(v[0])) {
      int32_t first = 0, last = 0;
      StrX_intRange(v, '-', first, last);
      o_.pageFirst = first;
      o_.pageLast = last;
      o_.pageName.clear();
    } else {
      setText(o_.pageName, v, CZerbinApp_keywordSize, "-page=");
      o_.pageFirst = o_.pageLast = 0;
    }
  }

  void maxSize(std::string_view v) {
    size_t used = 0;
    int32_t w = StrX_toInt(v, &used);
    if (used == 0 || used >= v.size() || (v[used] != 'x' && v[used] != 'X')) {
      std::string word = "-max_size=" + std::string(v);
      unknown(word);
      return;
    }
    o_.maxWidth = w;
    o_.maxSizeGiven = true;
    o_.maxHeight = StrX_toInt(v.substr(used + 1));
  }

  void absolute(std::string& field, std::string_view v, std::string_view option, PathRole role) {
    if (v.empty() || unnameable(v, lossy_)) {
      if (!v.empty()) refusePath(role, v);
      field.clear();
      return;
    }
    Except_tryCatch([&] { StrX_makeAbsolute(field, v, cur_, CZerbinApp_pathSize); },
                    [&](const Errors_Msg& e) {
                      if (e.code != StrX_Err_BufOver) Except_throw(e);
                      tooLong(option);
                    });
  }

  void replacement(std::string_view v, std::string_view option) {
    if (!v.empty() && unnameable(v, lossy_)) {
      refusePath(PathRole::Replacement, v);
      o_.repUrl.clear();
      return;
    }
    setText(o_.repUrl, v, CZerbinApp_pathSize, option);
  }

  void profile(std::string_view v) {
    std::string folder;
    Except_tryCatch([&] { StrX_absoluteFromProgramFolder(folder, v, CZerbinApp_pathSize - 1); },
                    [&](const Errors_Msg& e) {
                      if (e.code != StrX_Err_BufOver) Except_throw(e);
                      tooLong("-prof=");
                    });
    if (folder.empty() || folder.back() != '/') folder += '/';
    if (lossy_) {
      // Relative to the program folder, so the current folder plays no part.
      refusePath(PathRole::Profile, folder);
      return;
    }
    o_.profileFolder = folder;
    o_.hasProfile = true;
  }

  std::string_view cur_;
  CZerbinApp_Options& o_;
  int result_ = 0;
  bool lossy_ = false;
  bool refused_ = false;
  PathRole refusedRole_ = PathRole::Note;
  std::string refusedPath_;
};

// Splits a "#" fragment off the path (the first "#" that is not a trail byte).
void splitFragment(std::string& path, std::string& fragment) {
  for (size_t i = 0; i < path.size(); i += Cp932_charLen(path, i)) {
    if (path[i] == '#') {
      fragment = path.substr(i + 1);
      path.resize(i);
      return;
    }
  }
}

// Makes `path` absolute in place; a result too long for `size` raises with
// the path as given in `tooLongText`.
void makeAbsoluteOrRaise(std::string& path, std::string_view base, size_t size,
                         std::string& tooLongText) {
  if (path.empty()) return;
  const std::string given = path;
  std::string absolute;
  Except_tryCatch([&] { StrX_makeAbsolute(absolute, given, base, size); },
                  [&](const Errors_Msg& e) {
                    if (e.code != StrX_Err_BufOver) Except_throw(e);
                    pathTooLong(given, tooLongText);
                  });
  path = std::move(absolute);
}

// A text enclosed in double quotes without them.
std::string unquoted(std::string_view s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return std::string(s);
}

}  // namespace

std::string CZerbinApp_joinArguments(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& given : args) {
    if (!line.empty()) line += ' ';
    // Windows shells pass a quoted word with its quotes ("\"/a b/x.svg\"",
    // -echo="/a b/e.txt"): they only protect the blanks, which the quotes
    // below protect again.
    std::string a;
    size_t valueAt = given.find('=');
    if (!given.empty() && given[0] == '-' && valueAt != std::string::npos) {
      a = given.substr(0, valueAt + 1) + unquoted(std::string_view(given).substr(valueAt + 1));
    } else {
      a = unquoted(given);
    }
    bool needsQuotes = a.empty() || a.find(' ') != std::string::npos;
    if (!needsQuotes) {
      line += a;
      continue;
    }
    size_t eq = a.find('=');
    if (!a.empty() && a[0] == '-' && eq != std::string::npos && a.find(' ') > eq) {
      line += a.substr(0, eq + 1) + '"' + a.substr(eq + 1) + '"';
    } else {
      line += '"' + a + '"';
    }
  }
  return line;
}

bool CZerbinApp_isVersionRequest(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && line[i] == ' ') i++;
  return line.substr(i, 2) == "-v" && !(i + 2 < line.size() && isAsciiLetter(line[i + 2]));
}

bool CZerbinApp_isBatchArguments(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a.empty() || a[0] != '-') break;
    if (startsWith(a, "-echo=") || a == "-links" || a == "-ids" || a == "-rel") return true;
    for (const Conv& c : kConvs) {
      if (a == c.name) return true;
    }
  }
  return false;
}

void CZerbinApp_destinationFromFolder(std::string& dst, std::string_view src, int32_t convMode) {
  if (dst.empty()) return;
  std::string ext = StrX_extension(dst);
  bool folder = FileX_isFolder(dst) ||
                (!FileX_exists(dst) && (ext.empty() || ext == "files"));
  if (!folder) return;
  FileX_makeFolders(dst, false);
  std::string name = StrX_fileName(src);
  std::string joined;
  StrX_joinPath(joined, dst, name, CZerbinApp_pathSize);
  if (convMode == CZerbinApp_Conv_Vml || convMode == CZerbinApp_Conv_VmlPlain) {
    if (!StrX_changeExtension(joined, "html", CZerbinApp_pathSize)) tooLong(joined);
  }
  dst = joined;
}

int CZerbinApp_parseCommandLine(std::string_view commandLine, std::string_view currentFolder,
                                CZerbinApp_Options& options, std::string& path,
                                std::string& fragment, std::string& destination,
                                const std::vector<bool>& unconvertible) {
  path.clear();
  fragment.clear();
  destination.clear();
  options.currentFolder.assign(currentFolder);
  int result = 0;
  std::string tooLongText;
  auto lossyWord = [&](size_t i) { return i < unconvertible.size() && unconvertible[i]; };
  Except_tryCatch(
      [&] {
        Parser parser(currentFolder, options);
        WordReader words(commandLine);
        while (!words.atEnd() && words.peek() == '-') {
          bool lossy = lossyWord(words.index());
          std::string w = words.next();
          if (!parser.option(w, lossy)) parser.unknown(w);
        }
        if (!options.runT && !options.runN) options.runS = true;
        bool pathLossy = false, destinationLossy = false;
        if (options.batch()) {
          pathLossy = lossyWord(words.index());
          path = words.next();
          destinationLossy = lossyWord(words.index());
          destination = words.next();
        } else {
          for (size_t i = words.index(); i < unconvertible.size(); i++) pathLossy |= unconvertible[i];
          path = words.rest();
        }
        if (path.size() >= CZerbinApp_notePathSize) tooLong(path.substr(0, 64));
        splitFragment(path, fragment);
        if (!path.empty() && parser.unnameable(path, pathLossy)) {
          parser.refusePath(PathRole::Note, path);
          path.clear();
        }
        if (!destination.empty() && parser.unnameable(destination, destinationLossy)) {
          parser.refusePath(PathRole::Destination, destination);
          destination.clear();
        }
        std::string refused = parser.refusedText();
        if (!refused.empty()) {
          ResultCode_setMessage("%s", refused.c_str());
          options.srcPath = path;
          options.dstPath = destination;
          result = CZerbinApp_PathRefused;
          return;
        }
        makeAbsoluteOrRaise(path, currentFolder, CZerbinApp_notePathSize, tooLongText);
        makeAbsoluteOrRaise(destination, currentFolder, CZerbinApp_pathSize, tooLongText);
        int32_t m = options.convMode;
        if (m == CZerbinApp_Conv_Vml || m == CZerbinApp_Conv_VmlPlain ||
            m == CZerbinApp_Conv_Public || m == CZerbinApp_Conv_PublicPlain) {
          CZerbinApp_destinationFromFolder(destination, path, m);
        }
        options.srcPath = path;
        options.dstPath = destination;
        result = parser.result();
      },
      [&](const Errors_Msg& e) {
        if (e.code != StrX_Err_BufOver) Except_throw(e);
        ResultCode_setMessage("%s", tooLongText.empty() ? e.message() : tooLongText.c_str());
        result = ResultCode_BufferTooSmall;
      });
  return result;
}
