#include "document/keywords/keyword_file.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <utility>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_delete.h"
#include "core/filex/filex_info.h"
#include "core/nestfind/nestfind.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_path.h"
#include "core/xml/xml_event_reader.h"
#include "document/note/note_page.h"
#include "document/reader/note_reader.h"
#include "document/writer/keyword_link_file.h"
#include "document/writer/list_items.h"
#include "figures/text/text_box.h"

namespace {

constexpr const char* kXlinkNamespace = "http://www.w3.org/1999/xlink";
constexpr size_t kProgressStep = 16;
constexpr size_t kUnbounded = std::numeric_limits<size_t>::max();

// --- writing ---------------------------------------------------------------

std::string escaped(std::string_view text, size_t maxBytes, int flags) {
  std::string out;
  StrX_htmlEscape(out, text, maxBytes == kUnbounded ? kUnbounded : maxBytes + 1, flags);
  return out;
}

std::string attr(std::string_view value, size_t maxBytes = kUnbounded) {
  return escaped(value, maxBytes, StrX_HtmlAttr);
}

// Every line break of a text (CR LF, LF or CR) as CR LF.
std::string crlfBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

void appendHeader(std::string& out, std::string_view notePath) {
  out += "<?xml version=\"1.0\" encoding=\"Shift-JIS\" ?>\r\n\r\n";
  out += "<keywords xmlns:xlink=\"";
  out += kXlinkNamespace;
  out += "\"\r\n  xlink:type=\"simple\"\r\n  xlink:href=\"";
  out += attr(notePath);
  out += "\">\r\n\r\n";
}

void appendFooter(std::string& out) { out += "\r\n</keywords>\r\n"; }

void appendPageStart(std::string& out, int32_t number, std::string_view escapedTitle) {
  out += "<page id=\"" + std::to_string(number) + "\" title=\"";
  out += escapedTitle;
  out += "\">\r\n";
}

// One keyword element; `id` and `text` already escaped.
void appendKeyword(std::string& out, std::string_view id, int32_t level, std::string_view text) {
  out += "<kw";
  if (!id.empty()) {
    out += " href=\"#";
    out += id;
    out += '"';
  }
  if (level >= 2) out += " level=" + std::to_string(level);
  out += '>';
  out += text;
  out += "</kw>\r\n";
}

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != '/') out += '/';
  out += name;
  return out;
}

std::string indexName(std::string_view notePath, const StrX_Guid& uuid, const char* kind,
                      const char* extension) {
  return StrX_fileName(notePath) + kind + NoteDocument_uuidText(uuid) + extension;
}

// Creates the folder of `path` when missing and replaces the file.
void replaceFile(const std::string& path, std::string_view bytes) {
  FileX_makeFolders(path, true);
  FileX_replaceAtomically(path, bytes);
}

bool isSvgExtension(std::string_view path) {
  const std::string ext = StrX_extension(path);
  return ext.size() == 3 && (ext[0] | 0x20) == 's' && (ext[1] | 0x20) == 'v' &&
         (ext[2] | 0x20) == 'g';
}

// --- the scan --------------------------------------------------------------

// "page" followed by decimal digits whose value is not 0 (as the note
// reader takes page groups); the number, or none.
std::optional<int32_t> pageGroupNumber(std::string_view id) {
  const std::optional<int32_t> n = NotePage_idNumber(id);
  if (n == 0) return std::nullopt;
  return n;
}

// The id and keyword level a figure gets from the tags around it.
struct Marks {
  std::string id;
  int32_t level = 0;
};

struct Entry {
  std::string id;  // escaped
  int32_t level = 1;
  std::string part;  // escaped and cut
};

class Scanner {
 public:
  explicit Scanner(std::string_view notePath) : notePath_(notePath) {}

  KeywordScanResult run(std::string text) {
    xml_.OpenBytes(std::move(text));
    while (xml_.Next()) {
      switch (xml_.Kind()) {
        case XmlEvent_start: onStart(false); break;
        case XmlEvent_empty: onStart(true); break;
        case XmlEvent_end: onEnd(); break;
        case XmlEvent_text: onText(); break;
        default: break;
      }
    }
    xml_.Close();
    if (!titleListSeen_) writeWithoutTitleList();
    appendFooter(result_.text);
    return std::move(result_);
  }

 private:
  void requireUuid() const {
    if (!result_.hasUuid)
      Errors_RAISE(CZerbinApp_Err_SnanKeyword, "uuid がありません (%.*s)",
                   static_cast<int>(notePath_.size()), notePath_.data());
  }

  void takeMarks(Marks& m) const {
    if (const auto id = xml_.Attribute("id")) m.id = *id;
    if (const auto c = xml_.Attribute("class")) m.level = KeywordFile_levelOfClass(*c);
  }

  void onStart(bool empty) {
    const std::string& name = xml_.Name();
    if (name == "svg") {
      if (!rootSeen_) onRoot();
    } else if (name == "g") {
      if (!empty) onGroupStart();
    } else if (name == "text") {
      if (!empty) {
        inText_ = true;
        firstLineTaken_ = false;
        textMarks_ = groups_.empty() ? Marks{} : groups_.back();
        takeMarks(textMarks_);
      }
    } else if (name == "zerbin-page" || name == "page") {
      onPageTitle();
    }
  }

  void onRoot() {
    rootSeen_ = true;
    if (const auto u = xml_.Attribute("uuid"))
      result_.hasUuid = NoteDocument_parseUuid(*u, result_.uuid);
    appendHeader(result_.text, notePath_);
  }

  void onGroupStart() {
    // Page groups are structure at the top of the file only.
    if (groups_.empty() && !pageGroupOpen_) {
      const auto id = xml_.Attribute("id");
      if (id && *id == "backpage") {
        pageGroupOpen_ = true;
        current_ = 0;
        pageGroupSeen_ = true;
        return;
      }
      if (id) {
        if (const auto n = pageGroupNumber(*id)) {
          pageGroupOpen_ = true;
          current_ = *n;
          pageGroupSeen_ = true;
          return;
        }
      }
    }
    Marks m = groups_.empty() ? Marks{} : groups_.back();
    takeMarks(m);
    groups_.push_back(std::move(m));
  }

  void onEnd() {
    const std::string& name = xml_.Name();
    if (name == "/g") {
      if (!groups_.empty())
        groups_.pop_back();
      else
        pageGroupOpen_ = false;
    } else if (name == "/text") {
      inText_ = false;
    }
  }

  void onText() {
    // The first line: the text right behind the text element's start tag.
    if (!inText_ || firstLineTaken_ || xml_.Name() != "text") return;
    firstLineTaken_ = true;
    if (textMarks_.level <= 0) return;
    const std::string line = KeywordLinkFile_decodeEntities(xml_.Text());
    std::vector<Entry>& list = collections_[current_];
    const std::string id = attr(textMarks_.id, KeywordFile_partMax);
    size_t start = 0;
    while (start <= line.size()) {
      size_t comma = line.find(',', start);  // ',' is never a trail byte
      if (comma == std::string::npos) comma = line.size();
      const std::string_view part = std::string_view(line).substr(start, comma - start);
      if (!part.empty())
        list.push_back({id, textMarks_.level,
                        escaped(part, KeywordFile_partMax, StrX_HtmlSpaces)});
      start = comma + 1;
    }
  }

  // In a file without page groups everything stands at the top: page 1.
  void settleUngrouped() {
    if (pageGroupSeen_ || settled_) return;
    settled_ = true;
    if (auto it = collections_.find(0); it != collections_.end()) {
      collections_[1] = std::move(it->second);
      collections_.erase(0);
    }
  }

  void onPageTitle() {
    requireUuid();
    settleUngrouped();
    titleListSeen_ = true;
    const auto num = xml_.Attribute("num");
    const int32_t n = num ? StrX_toInt(*num) : 0;
    const auto title = xml_.Attribute("title");
    // Titles are written whole: a cut title would lose the search's hits.
    writePage(n, attr(title ? *title : std::string_view()), n);
  }

  void writePage(int32_t number, std::string_view escapedTitle, int32_t collection) {
    std::string& out = result_.text;
    appendPageStart(out, number, escapedTitle);
    const auto it = collections_.find(collection);
    if (it != collections_.end()) {
      for (const Entry& e : it->second) appendKeyword(out, e.id, e.level, e.part);
    }
    out += "</page>\r\n";
  }

  // A file without a page-title list: its content as page 1 when it has no
  // page groups, else each page group's collection under its number.
  void writeWithoutTitleList() {
    requireUuid();
    if (!pageGroupSeen_) {
      settleUngrouped();
      writePage(1, "", 1);
      return;
    }
    for (const auto& [number, entries] : collections_) {
      if (number == 0 && entries.empty()) continue;
      writePage(number, "", number);
    }
  }

  std::string_view notePath_;
  XmlEventReader xml_;
  KeywordScanResult result_;
  bool rootSeen_ = false;
  bool titleListSeen_ = false;
  bool pageGroupOpen_ = false;
  bool pageGroupSeen_ = false;
  bool settled_ = false;
  int32_t current_ = 0;
  std::vector<Marks> groups_;  // ordinary groups open, with what they pass on
  bool inText_ = false;
  bool firstLineTaken_ = false;
  Marks textMarks_;
  std::map<int32_t, std::vector<Entry>> collections_;
};

}  // namespace

int32_t KeywordFile_levelOfClass(std::string_view classList) {
  bool head = false;
  int32_t level = 0;
  ListItems_any(classList, [&](std::string_view item) {
    const ListItemMatch keyword = ListItems_match(item, "keyword");
    if (keyword.matches) {
      level = keyword.number == 0 ? 1 : keyword.number;
      return true;
    }
    if (ListItems_match(item, "head").matches) head = true;
    return false;
  });
  return level != 0 ? level : head ? 1 : 0;
}

std::string KeywordFile_path(std::string_view keywordsFolder, std::string_view notePath,
                             const StrX_Guid& uuid) {
  return joinPath(keywordsFolder, indexName(notePath, uuid, "_keywords_", ".xml"));
}

std::string KeywordFile_textPath(std::string_view plainTextFolder, std::string_view notePath,
                                 const StrX_Guid& uuid) {
  return joinPath(plainTextFolder, indexName(notePath, uuid, "_text_", ".txt"));
}

std::string KeywordFile_memoryText(const NoteDocument& doc, std::string_view notePath) {
  std::string out;
  appendHeader(out, notePath);
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const NotePage& page = doc.pageAt(i);
    appendPageStart(out, doc.pageNumberAt(i), attr(page.title()));
    for (size_t f = 1; f < page.figures.size(); ++f) {
      const auto* box = dynamic_cast<const Text_Box*>(&page.figures.at(f));
      if (box == nullptr) continue;
      const int32_t level = KeywordFile_levelOfClass(box->className);
      if (level <= 0) continue;
      appendKeyword(out, attr(box->GetId()), level,
                    escaped(crlfBreaks(box->text()), kUnbounded, 0));
    }
    out += "</page>\r\n";
  }
  appendFooter(out);
  return out;
}

std::string KeywordFile_plainText(const NoteDocument& doc, std::string_view notePath) {
  const std::string stars(71, '*');
  std::string out(notePath);
  out += "\r\n";
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const NotePage& page = doc.pageAt(i);
    out += stars + "\r\n  <<< " + page.title() + " >>> \r\n" + stars + "\r\n";
    struct Place {
      int32_t y, x;
      const CadPrim* figure;
    };
    std::vector<Place> order;
    for (size_t f = 1; f < page.figures.size(); ++f) {
      const CadPrim& figure = page.figures.at(f);
      order.push_back({figure.GetEdge(7), figure.GetEdge(6), &figure});
    }
    std::stable_sort(order.begin(), order.end(), [](const Place& a, const Place& b) {
      return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    for (const Place& p : order) p.figure->WritePlainText(out);
    out += "\r\n \r\n";
  }
  return out;
}

void KeywordFile_write(const NoteDocument& doc, std::string_view notePath,
                       std::string_view keywordsFolder, std::string_view plainTextFolder) {
  if (notePath.empty()) return;
  replaceFile(KeywordFile_path(keywordsFolder, notePath, doc.uuid),
              KeywordFile_memoryText(doc, notePath));
  if (!plainTextFolder.empty()) {
    replaceFile(KeywordFile_textPath(plainTextFolder, notePath, doc.uuid),
                KeywordFile_plainText(doc, notePath));
  }
}

bool KeywordFile_remove(std::string_view keywordsFolder, std::string_view notePath,
                        const StrX_Guid& uuid, std::string_view plainTextFolder) {
  if (!plainTextFolder.empty())
    FileX_deleteFile(KeywordFile_textPath(plainTextFolder, notePath, uuid));
  const std::string path = KeywordFile_path(keywordsFolder, notePath, uuid);
  FileX_deleteFile(path);
  return !FileX_exists(path);
}

KeywordScanResult KeywordFile_scanText(std::string text, std::string_view notePath) {
  return Scanner(notePath).run(std::move(text));
}

int KeywordFile_scan(std::string_view notePath, std::string_view keywordsFolder) {
  int result = -1;
  Except_tryCatch(
      [&] {
        KeywordScanResult scan = KeywordFile_scanText(NoteReader_documentText(notePath), notePath);
        replaceFile(KeywordFile_path(keywordsFolder, notePath, scan.uuid), scan.text);
        result = 0;
      },
      [&](const Errors_Msg& e) {
        if (e.code != CZerbinApp_Err_SnanKeyword && e.code != FileX_Err_CannotReadOpen)
          Except_throw(e);
        Errors_printf("%s", e.text);
      });
  return result;
}

KeywordRemakeResult KeywordFile_remake(const std::vector<std::string>& folders,
                                       std::string_view keywordsFolder,
                                       const KeywordFile_Progress& progress) {
  KeywordRemakeResult result;
  auto report = [&](int pass, size_t done, size_t total) {
    if (progress) progress(pass, done, total);
  };
  // Pass 1: the notes, counted (and kept, so that pass 2 scans the same).
  std::vector<std::string> notes;
  size_t files = 0;
  for (const std::string& folder : folders) {
    NestFindGrow walk;
    walk.open(folder);
    while (walk.next()) {
      std::string path = walk.path();
      if (isSvgExtension(path)) notes.push_back(std::move(path));
      if (++files % kProgressStep == 0) report(1, notes.size(), 0);
    }
  }
  result.notes = notes.size();
  report(1, notes.size(), 0);
  // Pass 2: each note on its own; an error stays with its note.
  for (size_t i = 0; i < notes.size(); ++i) {
    Except_tryCatch(
        [&] {
          if (KeywordFile_scan(notes[i], keywordsFolder) == 0) ++result.written;
        },
        [&](const Errors_Msg& e) { Errors_printf("%s", e.text); });
    if ((i + 1) % kProgressStep == 0) report(2, i + 1, notes.size());
  }
  report(2, notes.size(), notes.size());
  return result;
}

std::string KeywordFile_remakeTip(std::string_view programName, int percent) {
  std::string out(programName);
  out += " - 検索DB作成:" + std::to_string(percent) + "%";
  return out;
}
