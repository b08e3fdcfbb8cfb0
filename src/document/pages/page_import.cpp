#include "document/pages/page_import.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/filex/filex_copy.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "figures/base/figure_kind.h"
#include "figures/rect/rect_ex.h"

namespace {

constexpr size_t kPathSize = 4096;

// "<file>#": how links into the note at `path` begin once the reader made
// them absolute ("" for no path).
std::string linkPrefix(std::string_view path) {
  if (path.empty()) return "#";
  std::string file;
  if (StrX_isAbsolutePath(path)) {
    file = std::string(path);
  } else {
    StrX_absoluteFromCurrentFolder(file, path, kPathSize);
  }
  std::string out;
  StrX_resolveLink(out, "#", file, kPathSize);
  return out;
}

// The other note, read whole; released with its files when it goes.
class OtherNote {
 public:
  OtherNote(const NoteDocument& into, std::string_view path, const NoteReadOptions& options)
      : doc_(into.workFolder()) {
    Except_tryCatch(
        [&] {
          NoteReader_read(doc_, NoteDocument_newDocumentNumber(options.counters, into.workFolder()),
                          path, options);
        },
        [&](const Errors_Msg& e) {
          release();
          Except_throw(e);
        });
  }
  ~OtherNote() {
    Except_tryCatch([&] { release(); }, [](const Errors_Msg&) {});
  }
  OtherNote(const OtherNote&) = delete;
  OtherNote& operator=(const OtherNote&) = delete;
  NoteDocument& doc() { return doc_; }

 private:
  void release() {
    if (!doc_.closed()) doc_.ClearDocument();
  }
  NoteDocument doc_;
};

// What every figure taken from `from` needs in `into`: links into the
// other note point into this one, image working copies carry this note's
// number.
class Adoption {
 public:
  Adoption(const NoteDocument& from, const NoteDocument& into, std::string_view fromPath,
           std::string_view intoPath)
      : fromImages_(from.imageNamePrefix()),
        intoImages_(into.imageNamePrefix()),
        fromLinks_(linkPrefix(fromPath)),
        intoLinks_(linkPrefix(intoPath)) {}

  // What a link's fragment into the other note names here (the pages and
  // ids of the inserted pages keep leading to them); unset: kept.
  std::function<std::string(const std::string& fragment)> fragment;

  void adopt(FigureList& list) const {
    for (const auto& f : list) {
      if (f->GetKind() == FigureKind_Canvas) continue;
      const std::string url = f->GetUrl();
      if (url.size() > fromLinks_.size() && url.compare(0, fromLinks_.size(), fromLinks_) == 0) {
        const std::string name = url.substr(fromLinks_.size());
        f->SetUrl(intoLinks_ + (fragment ? fragment(name) : name));
      }
      if (f->GetKind() != FigureKind_Rect) continue;
      auto* r = dynamic_cast<Rect_Ex*>(f.get());
      if (r == nullptr || r->workImagePath.compare(0, fromImages_.size(), fromImages_) != 0) {
        continue;
      }
      const std::string renamed = intoImages_ + r->workImagePath.substr(fromImages_.size());
      if (FileX_exists(r->workImagePath)) FileX_move(renamed, r->workImagePath);
      r->workImagePath = renamed;
      r->DropImageCache();
    }
  }

 private:
  std::string fromImages_, intoImages_, fromLinks_, intoLinks_;
};

std::string foldedId(std::string_view id) {
  std::string key(id);
  StrX_lowerAscii(key);
  return key;
}

}  // namespace

void NotePages_takeTemplatePage(NoteDocument& doc, NotePage& page, int32_t number,
                                std::string_view templatePath, std::string_view notePath,
                                const NoteReadOptions& options) {
  if (templatePath.empty() || !FileX_exists(templatePath)) return;
  OtherNote other(doc, templatePath, options);
  NoteDocument& t = other.doc();
  t.SelectPage(-1);
  NotePage* first = t.page(1);
  if (first == nullptr) return;
  Adoption(t, doc, templatePath, notePath).adopt(first->figures);
  // The page keeps its settings: they go to the head of the list it takes.
  first->settings().CopyFrom(page.settings(), &first->figures);
  std::swap(page.figures, first->figures);
  page.inkData = std::move(first->inkData);
  page.setTitle(first->title());
  t.inkFiles().moveTo(1, doc.inkFiles(), number);
}

NotePages_Inserted NotePages_insertFromFile(NoteDocument& doc, int32_t before,
                                            std::string_view path, std::string_view notePath,
                                            const NoteReadOptions& options) {
  OtherNote other(doc, path, options);
  NoteDocument& from = other.doc();
  from.SelectPage(-1);
  NotePages_Inserted done;
  done.count = from.ordinaryPageCount();
  if (done.count <= 0) {
    done.count = 0;
    return done;
  }
  // The names this note has: page ids and figure ids.
  std::unordered_set<std::string> ids;
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const NotePage& page = doc.pageAt(i);
    for (const auto& f : page.figures) {
      const std::string id = f->GetId();
      if (!id.empty()) ids.insert(foldedId(id));
    }
  }
  // A figure id of the inserted pages that this note has already gets a
  // name of its own ("id_2", "id_3", ...), and the links of the inserted
  // pages that named it follow; a page id that this note has goes (the
  // page is reached by its number).
  std::unordered_map<std::string, std::string> renamed;
  std::unordered_set<std::string> taken = ids;
  for (size_t i = 0; i < from.pageCount(); ++i) {
    for (const auto& f : from.pageAt(i).figures) {
      if (!f->GetId().empty()) taken.insert(foldedId(f->GetId()));
    }
  }
  const size_t firstIndex = from.hasBackPage() ? 1 : 0;
  for (size_t i = firstIndex; i < from.pageCount(); ++i) {
    NotePage& p = from.pageAt(i);
    const std::string pageId = p.settings().GetId();
    if (!pageId.empty() && ids.count(foldedId(pageId)) != 0) p.settings().SetId("");
    for (const auto& f : p.figures) {
      if (f->GetKind() == FigureKind_Canvas) continue;
      const std::string id = f->GetId();
      if (id.empty() || ids.count(foldedId(id)) == 0) continue;
      std::string name;
      if (auto it = renamed.find(foldedId(id)); it != renamed.end()) {
        name = it->second;
      } else {
        for (int n = 2; name.empty() || taken.count(foldedId(name)) != 0; ++n) {
          name = id + "_" + std::to_string(n);
        }
        taken.insert(foldedId(name));
        renamed.emplace(foldedId(id), name);
      }
      f->SetId(name);
    }
  }
  // "pageN" of the other note is the page N of it: here it has the number
  // the insertion gives it.
  const int32_t at = doc.hasBackPage() && before == 0 ? 1 : before;
  const int32_t fromFirst = from.pageNumberAt(firstIndex);
  const int32_t fromLast = from.lastPageNumber();
  Adoption adoption(from, doc, path, notePath);
  adoption.fragment = [&](const std::string& name) {
    if (auto it = renamed.find(foldedId(name)); it != renamed.end()) return it->second;
    bool number = name.size() > 4 && name.size() < 14 && StrX_startsWithNoCase(name, "page");
    for (size_t k = 4; number && k < name.size(); ++k) number = StrX_isAsciiDigit(name[k]);
    if (number) {
      const int32_t n = std::stoi(name.substr(4));
      if (n >= fromFirst && n <= fromLast) return "page" + std::to_string(at + (n - fromFirst));
    }
    return name;
  };
  for (size_t i = firstIndex; i < from.pageCount(); ++i) adoption.adopt(from.pageAt(i).figures);
  done.first = doc.InsertPagesFrom(from, before);
  return done;
}
