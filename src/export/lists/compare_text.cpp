#include "export/lists/compare_text.h"

#include <cstdio>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex_atomic.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "document/writer/note_writer.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"

namespace {

const char* kindName(const CadPrim& f) {
  switch (f.GetKind()) {
    case FigureKind_Line: return "line";
    case FigureKind_Text: return "text";
    case FigureKind_CorneredLine: return "connector";
    case FigureKind_Matome: return "brace";
    case FigureKind_Polygon: return "polygon";
    case FigureKind_Foreign: return "svg";
    case FigureKind_Rect:
      switch (static_cast<const Rect_Ex&>(f).shape) {
        case RectShape_RoundRect: return "roundrect";
        case RectShape_Ellipse: return "ellipse";
        case RectShape_Diamond: return "diamond";
        case RectShape_Image: return "image";
        case RectShape_Parallelogram: return "parallelogram";
        default: return "rect";
      }
    default: return "figure";
  }
}

// A text in double quotes, on one line.
std::string quotedText(std::string_view s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size();) {
    const size_t n = Cp932_charLen(s, i);
    if (n == 2) {
      out.append(s.substr(i, 2));
    } else if (s[i] == '\r') {
      out += "\\n";
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else if (s[i] == '\n') {
      out += "\\n";
    } else if (s[i] == '\t') {
      out += "\\t";
    } else {
      if (s[i] == '\\' || s[i] == '"') out += '\\';
      out += s[i];
    }
    i += n;
  }
  return out + "\"";
}

std::string figureLine(const CadPrim& f, std::string_view notePath) {
  char box[80];
  bool measured = true;
  Rect32 r{};
  Except_tryCatch([&] { r = f.GetBounds(); },
                  [&](const Errors_Msg& e) {
                    if (e.code != Zerbin_Err_NotSetDrawParam) Except_throw(e);
                    measured = false;
                  });
  if (!measured && f.GetKind() == FigureKind_Text) {
    const Point32 p = static_cast<const Text_Box&>(f).basePoint();
    r = Rect32{p.x, p.y, 0, 0};
  }
  std::snprintf(box, sizeof box, "%d,%d %dx%d", r.x, r.y, r.w, r.h);
  std::string line = std::string("  ") + kindName(f) + " " + box;
  std::string text;
  f.WritePlainText(text);
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  if (f.GetKind() == FigureKind_Text) line += " " + quotedText(text);
  if (const std::string url = f.GetUrl(); !url.empty()) {
    // As the note file holds it: relative to the note, so that a copy of the
    // note elsewhere compares equal.
    line += " link=" + quotedText(notePath.empty() ? url : StrX_makeRelativeToFile(url, notePath));
    if (const std::string target = f.GetTarget(); !target.empty()) line += " target=" + quotedText(target);
  }
  if (const std::string id = f.GetId(); !id.empty()) line += " id=" + quotedText(id);
  if (f.GetKind() == FigureKind_Rect) {
    const auto& rect = static_cast<const Rect_Ex&>(f);
    if (rect.shape == RectShape_Image) line += " file=" + quotedText(StrX_fileName(rect.imagePath));
  }
  return line + "\r\n";
}

}  // namespace

std::string CompareText_text(NoteDocument& doc, const NoteSaveHost& host) {
  if (doc.currentPage() != nullptr) doc.storeWorkingCopy();
  NoteWriter_preparePages(doc, host);
  const std::string notePath = host.notePath();
  std::string out;
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const NotePage& page = doc.pageAt(i);
    char head[32];
    std::snprintf(head, sizeof head, "[page %d] ", doc.pageNumberAt(i));
    out += head + page.title();
    if (!page.settings().className().empty()) out += " class=" + page.settings().className();
    out += "\r\n";
    for (const auto& figure : page.figures) {
      if (figure->GetKind() == FigureKind_Canvas) continue;
      out += figureLine(*figure, notePath);
    }
  }
  return out;
}

void CompareText_write(NoteDocument& doc, std::string_view path, const NoteSaveHost& host) {
  const std::string text = CompareText_text(doc, host);
  FileX_replaceAtomically(path, text);
}
