#include "export/lists/list_export.h"

#include <cstdio>
#include <memory>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_info.h"
#include "core/inifile/inifile.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_fields.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_vars.h"
#include "document/note/note_document.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "figures/text/text_box_geometry.h"

namespace {

constexpr size_t kFirstLineMax = 79;
constexpr size_t kLinkSize = 4096;

// A text field of a list: always in quotes, its quotes doubled.
std::string field(std::string_view s) { return StrX_csvQuote(s, '\0', true); }

std::string number(int32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", n);
  return buf;
}

// The page being edited goes into its record before the pages are read.
void storeCurrent(NoteDocument& doc) {
  if (doc.currentPage() != nullptr) doc.storeWorkingCopy();
}

// Calls f(figure, page number) for every figure of every page record.
template <class F>
void eachFigure(const NoteDocument& doc, F&& f) {
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const int32_t page = doc.pageNumberAt(i);
    for (const auto& figure : doc.pageAt(i).figures) f(*figure, page);
  }
}

// Characters (a double-byte character is one) of a text.
size_t charCount(std::string_view s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i)) ++n;
  return n;
}

// The byte offset after the first `n` characters.
size_t byteOffsetOfChar(std::string_view s, size_t n) {
  size_t i = 0;
  for (size_t k = 0; k < n && i < s.size(); ++k) i += Cp932_charLen(s, i);
  return i;
}

}  // namespace

// --- the link and id lists ---

std::string ListExport_figureText(const CadPrim& figure) {
  if (figure.GetKind() == FigureKind_Text) {
    const std::vector<std::string_view> lines =
        TextBox_splitLines(static_cast<const Text_Box&>(figure).text());
    std::string first;
    if (!lines.empty()) StrX_cpyNChar(first, lines[0], kFirstLineMax, kFirstLineMax + 1);
    return first;
  }
  if (figure.GetKind() == FigureKind_Rect &&
      static_cast<const Rect_Ex&>(figure).shape == RectShape_Image) {
    return "(image)";
  }
  return "";
}

bool ListExport_linkExists(std::string_view link, std::string_view notePath,
                           const StrX_VarLookup& variables) {
  if (link.empty()) return false;
  std::string path(link);
  StrX_expandVariables(path, kLinkSize, variables);
  if (StrX_isUrl(path) || StrX_startsWithNoCase(path, "mailto:")) return true;
  // "#name" and "?kw=word" alone point into the note itself.
  if (path[0] == '#' || path[0] == '?') return !notePath.empty() && FileX_exists(notePath);
  bool ok = true;
  Except_tryCatch(
      [&] {
        path = StrX_toSlashPath(path);
        if (!StrX_isAbsolutePath(path)) {
          if (notePath.empty()) {
            ok = false;
            return;
          }
          StrX_makeAbsolute(path, path, StrX_parentFolder(notePath), kLinkSize);
        }
      },
      [&](const Errors_Msg& e) {
        if (e.code != StrX_Err_BufOver) Except_throw(e);
        ok = false;
      });
  return ok && FileX_existsIgnoringFragment(path);
}

std::string ListExport_linkListText(NoteDocument& doc, std::string_view notePath,
                                    const StrX_VarLookup& variables) {
  storeCurrent(doc);
  std::string out;
  eachFigure(doc, [&](const CadPrim& f, int32_t page) {
    const std::string url = f.GetUrl();
    if (url.empty()) return;
    out += field(url) + ", " + field(f.GetTarget()) + ", \"" +
           (ListExport_linkExists(url, notePath, variables) ? "true" : "false") + "\", ←, " +
           number(page) + ", " + field(ListExport_figureText(f)) + ", " + field(notePath) + "\r\n";
  });
  return out;
}

std::string ListExport_idListText(NoteDocument& doc, std::string_view notePath) {
  storeCurrent(doc);
  std::string out;
  eachFigure(doc, [&](const CadPrim& f, int32_t page) {
    const std::string id = f.GetId();
    if (id.empty()) return;
    out += field(std::string(notePath) + "#" + id) + ", " + number(page) + ", " +
           field(ListExport_figureText(f)) + "\r\n";
  });
  return out;
}

void WriteLinkList(NoteDocument& doc, std::string_view path, ListExportHost& host) {
  const std::string text = ListExport_linkListText(doc, host.notePath(), host.variables());
  FileX_replaceAtomically(path, text);
}

void WriteIdList(NoteDocument& doc, std::string_view path, ListExportHost& host) {
  const std::string text = ListExport_idListText(doc, host.notePath());
  FileX_replaceAtomically(path, text);
}

// --- the table output ---

std::string ListExport_cutChars(std::string_view text, int32_t rule) {
  if (rule > 0) return std::string(text.substr(0, byteOffsetOfChar(text, static_cast<size_t>(rule))));
  if (rule < 0) {
    const size_t skip = static_cast<size_t>(-static_cast<int64_t>(rule));
    if (skip >= charCount(text)) return "";
    return std::string(text.substr(byteOffsetOfChar(text, skip)));
  }
  return std::string(text);
}

std::string ListExport_csvCell(std::string_view text, std::string_view prefix) {
  std::string value;
  if (!prefix.empty() && !text.empty() &&
      (text[0] == '+' || text[0] == '-' || text[0] == '=' || StrX_isAsciiDigit(text[0]))) {
    value = prefix;
  }
  value += text;
  return StrX_csvQuote(value);
}

std::vector<TableFormat> TableFormat_read(std::string_view formatPath) {
  IniFileReader reader;
  reader.open(formatPath);
  std::vector<TableFormat> formats;
  for (;;) {
    bool found = true;
    Except_tryCatch([&] { reader.findSection("TableFormat", false); },
                    [&](const Errors_Msg& e) {
                      if (e.code != IniFile_NotFoundSection) Except_throw(e);
                      found = false;
                    });
    if (!found) break;
    TableFormat f;
    reader.readAttribute("PageClassName", "s", &f.pageClassName);
    reader.readOptionalAttribute("Reverse", 'b', &f.reverse, IniValue(false));
    const int n = reader.countAttribute("A");
    for (int i = 0; i < n; ++i) {
      TableColumn c;
      std::string prefix;
      reader.readAttribute("A", "ssi", &c.className, &prefix, &c.length);
      if (!prefix.empty()) c.prefix = prefix.substr(0, Cp932_charLen(prefix, 0));
      f.columns.push_back(std::move(c));
    }
    formats.push_back(std::move(f));
  }
  return formats;
}

std::string ListExport_tableText(NoteDocument& doc, const std::vector<TableFormat>& formats,
                                 int* rows) {
  storeCurrent(doc);
  std::string out;
  int total = 0;
  // The ordinary pages: the back page is no row.
  const size_t first = doc.hasBackPage() ? 1 : 0;
  for (const TableFormat& f : formats) {
    int written = 0;
    const size_t count = doc.pageCount() - first;
    for (size_t k = 0; k < count; ++k) {
      const NotePage& page = doc.pageAt(f.reverse ? doc.pageCount() - 1 - k : first + k);
      if (!StrX_equalsNoCase(page.settings().className(), f.pageClassName)) continue;
      if (written == 0) out += "Table of " + f.pageClassName + "\r\n";
      for (size_t c = 0; c < f.columns.size(); ++c) {
        const TableColumn& col = f.columns[c];
        if (c > 0) out += ",";
        if (col.className.empty()) continue;
        for (const auto& figure : page.figures) {
          if (figure->GetKind() != FigureKind_Text) continue;
          const auto& box = static_cast<const Text_Box&>(*figure);
          if (!StrX_equalsNoCase(box.className, col.className)) continue;
          out += ListExport_csvCell(ListExport_cutChars(box.text(), col.length), col.prefix);
          break;
        }
      }
      out += "\r\n";
      ++written;
    }
    if (written > 0) out += "\r\n";
    total += written;
  }
  if (rows) *rows = total;
  return out;
}

TableOutResult WriteTable(NoteDocument& doc, std::string_view csvPath, std::string_view formatPath,
                          ListExportHost& host) {
  const bool ja = host.japanese();
  // 1. The CSV file; it replaces the old one only when the table is done.
  std::unique_ptr<FileX_AtomicFile> file;
  while (!file) {
    bool retry = false;
    Except_tryCatch([&] { file = std::make_unique<FileX_AtomicFile>(csvPath); },
                    [&](const Errors_Msg& e) {
                      if (e.code != FileX_Err_CannotWriteOpen) Except_throw(e);
                      retry = ja ? host.retryOpen("作成しようとしているファイルが開けません。", "エラー")
                                 : host.retryOpen("The file to be made cannot be opened.", "Error");
                    });
    if (!file && !retry) return TableOutResult::Cancelled;
  }
  // 2, 3. The format, then the tables.
  const std::vector<TableFormat> formats = TableFormat_read(formatPath);
  if (formats.empty()) {
    host.showListMessage(ja ? "フォーマットファイルの [TableFormat] セクションが見つかりません。"
                            : "The format file has no [TableFormat] section.",
                         "");
    return TableOutResult::NoSection;
  }
  int rows = 0;
  const std::string text = ListExport_tableText(doc, formats, &rows);
  // 4.
  file->write(text);
  file->commit();
  if (rows == 0) {
    host.showListMessage(ja ? "ページの class と一致するものが 1つもありませんでした。"
                            : "No page has the class of a table.",
                         "");
    return TableOutResult::NoMatch;
  }
  return TableOutResult::Written;
}
