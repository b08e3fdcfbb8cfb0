#include "document/note/note_document.h"

#include "core/strx/strx_path.h"

#include <dirent.h>
#include <uuid/uuid.h>

#include <cstdio>
#include <cstdlib>
#include <unordered_set>
#include <utility>

#include "core/errors/errors.h"
#include "core/filex/filex.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "figures/base/app_counters.h"

// --- note-level settings ------------------------------------------------------

NoteDocumentSettings NoteDocumentSettings::from(const Canvas& canvas) {
  NoteDocumentSettings s;
  s.canvasType = canvas.canvasType();
  s.pageInterval = canvas.pageInterval();
  s.pubFile = canvas.pubFile();
  s.filterVariables = canvas.filterVariables();
  return s;
}

void NoteDocumentSettings::applyTo(Canvas& canvas) const {
  canvas.setCanvasType(canvasType);
  canvas.setPageInterval(pageInterval);
  canvas.setPubFile(pubFile);
  canvas.setFilterVariables(filterVariables);
}

// --- uuid and figure lookup ---------------------------------------------------

StrX_Guid NoteDocument_newUuid() {
  uuid_t raw;
  uuid_generate_random(raw);
  StrX_Guid g;
  g.data1 = (uint32_t{raw[0]} << 24) | (uint32_t{raw[1]} << 16) | (uint32_t{raw[2]} << 8) |
            uint32_t{raw[3]};
  g.data2 = static_cast<uint16_t>((raw[4] << 8) | raw[5]);
  g.data3 = static_cast<uint16_t>((raw[6] << 8) | raw[7]);
  for (size_t k = 0; k < 8; ++k) g.data4[k] = raw[8 + k];
  return g;
}

std::string NoteDocument_uuidText(const StrX_Guid& uuid) { return StrX_guidText(uuid); }

bool NoteDocument_parseUuid(std::string_view text, StrX_Guid& out) {
  if (!StrX_isGuidText(text)) return false;
  return StrX_readGuid(text, out);
}

CadPrim* NoteDocument_findFigureById(const FigureList& list, std::string_view name) {
  if (name.empty()) return nullptr;
  for (const auto& f : list) {
    if (f->GetKind() == FigureKind_Canvas) continue;
    if (StrX_equalsNoCase(f->GetId(), name)) return f.get();
  }
  return nullptr;
}

// --- the note -----------------------------------------------------------------

NoteDocument::NoteDocument(std::string_view workFolder) : workFolder_(workFolder) {
  if (workFolder_.size() > 1 && workFolder_.back() == '/') workFolder_.pop_back();
}

void NoteDocument::NewDocument(int32_t documentNumber, bool inkOn) {
  pages_.clear();
  documentNumber_ = documentNumber;
  inkEnabled = inkOn;
  uuid = NoteDocument_newUuid();
  savedInPlace = false;
  autoSaveDisabled = false;
  formatVersion = NoteDocument_defaultFormatVersion;
  backPageMade = false;
  returnPageNumber = 1;
  windowX = windowY = NoteDocument_noWindowPosition;
  firstPageNumber_ = 1;
  currentPageNumber_ = -1;
  documentSettings_ = NoteDocumentSettings{};
  closed_ = false;

  auto first = std::make_unique<NotePage>();
  first->setTitle("New Page");
  pages_.push_back(std::move(first));
  inkFiles().createEmpty(1);
  SelectPage(1);
}

void NoteDocument::ClearDocument() {
  if (currentPageNumber_ != -1) SelectPage(-1);
  currentPageNumber_ = -1;
  pages_.clear();
  inkFiles().deleteAll();
  FileX_deleteFiles(imageNamePrefix() + "*");
  closed_ = true;
}

void NoteDocument::storeWorkingCopy() {
  NotePage* p = currentPage();
  if (p == nullptr) return;
  documentSettings_ = NoteDocumentSettings::from(p->settings());
  // Ink that did not change is written back as the note held it.
  if (inkManager != nullptr && inkManager->hasInkLoaded() && inkManager->inkChanged()) {
    p->inkData = inkManager->serialiseInk();
    InkLayerFiles files = inkFiles();
    inkManager->writeLayerFiles(files.backPath(currentPageNumber_),
                                files.frontPath(currentPageNumber_));
  }
}

void NoteDocument::SelectPage(int32_t n) {
  NotePage* next = nullptr;
  if (n != -1) {
    next = page(n);
    if (next == nullptr) Errors_RAISE(Errors_Unofficial, "no page %d", n);
  }
  storeWorkingCopy();
  if (n == -1) {
    currentPageNumber_ = -1;
    return;
  }
  if (n != currentPageNumber_) {
    Canvas& canvas = next->settings();
    documentSettings_.applyTo(canvas);
    if (inkEnabled && inkManager != nullptr) {
      inkManager->clearInk();
      const InkLayerFiles files = inkFiles();
      inkManager->loadInk(next->inkData, files.backPath(n), files.frontPath(n));
      const int64_t zoom = inkManager->zoomPercent();
      inkManager->setInkArea(static_cast<int32_t>(canvas.width() * zoom / 100),
                             static_cast<int32_t>(canvas.height() * zoom / 100));
    }
  }
  currentPageNumber_ = n;
}

void NoteDocument::ExchangeBackPageAndFirst() {
  if (!hasBackPage() || pages_.size() < 2) Errors_RAISE(Errors_Unofficial, "error");
  const int32_t current = currentPageNumber_;
  SelectPage(-1);
  NotePage& back = *pages_[0];
  NotePage& first = *pages_[1];
  std::swap(back.figures, first.figures);
  std::swap(back.inkData, first.inkData);
  inkFiles().exchange(0, 1);
  if (current != -1) SelectPage(current);
}

void NoteDocument::MovePageInkFiles(int32_t first, int32_t end, int32_t to) {
  const int32_t after = lastPageNumber() + 1;
  if (end < firstPageNumber_) end = after;
  if (to < firstPageNumber_) to = after;
  if (first < firstPageNumber_ || first >= end || end > after || to > after) {
    Errors_RAISE(Errors_Unofficial, "error");
  }
  inkFiles().moveBlock(first, end, to);
}

int32_t NoteDocument::FindPageByName(std::string_view name) const {
  if (name.empty()) return -1;
  for (size_t i = 0; i < pages_.size(); ++i) {
    const NotePage& p = *pages_[i];
    if (StrX_equalsNoCase(p.settings().GetId(), name) ||
        NoteDocument_findFigureById(p.figures, name) != nullptr) {
      return pageNumberAt(i);
    }
  }
  return -1;
}

// --- the working copy ---------------------------------------------------------

NotePage* NoteDocument::currentPage() const {
  return currentPageNumber_ == -1 ? nullptr : page(currentPageNumber_);
}

void NoteDocument::requireCurrent() const {
  if (currentPage() == nullptr) Errors_RAISE(Errors_Unofficial, "no current page");
}

FigureList& NoteDocument::workingFigures() const {
  requireCurrent();
  return currentPage()->figures;
}

Canvas& NoteDocument::workingSettings() const {
  requireCurrent();
  return currentPage()->settings();
}

NoteDocumentSettings NoteDocument::documentSettings() const {
  NotePage* p = currentPage();
  return p ? NoteDocumentSettings::from(p->settings()) : documentSettings_;
}

void NoteDocument::setDocumentSettings(const NoteDocumentSettings& settings) {
  documentSettings_ = settings;
  if (NotePage* p = currentPage()) settings.applyTo(p->settings());
  // The Canvas clamps and cuts; keep what it holds.
  if (NotePage* p = currentPage()) documentSettings_ = NoteDocumentSettings::from(p->settings());
}

// --- records ------------------------------------------------------------------

NotePage& NoteDocument::pageAt(size_t index) const {
  if (index >= pages_.size()) Errors_RAISE(Errors_Unofficial, "error");
  return *pages_[index];
}

int32_t NoteDocument::ordinaryPageCount() const {
  return static_cast<int32_t>(pages_.size()) - (hasBackPage() ? 1 : 0);
}

NotePage* NoteDocument::page(int32_t number) const {
  const int64_t index = int64_t{number} - firstPageNumber_;
  if (index < 0 || index >= static_cast<int64_t>(pages_.size())) return nullptr;
  return pages_[static_cast<size_t>(index)].get();
}

size_t NoteDocument::indexOf(const NotePage* p) const {
  if (p == nullptr) return npos;
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i].get() == p) return i;
  return npos;
}

int32_t NoteDocument::numberOf(const NotePage* p) const {
  const size_t i = indexOf(p);
  return i == npos ? -1 : pageNumberAt(i);
}

std::string NoteDocument::imageNamePrefix() const {
  char name[32];
  std::snprintf(name, sizeof name, "/img_%08X_", static_cast<uint32_t>(documentNumber_));
  return workFolder_ + name;
}

int32_t NoteDocument_newDocumentNumber(AppCounters& counters, std::string_view workFolder) {
  // The note numbers that name files in the work folder now.
  std::unordered_set<uint32_t> used;
  if (const auto os = Cp932_toOsPath(workFolder)) {
    if (DIR* dir = opendir(os->empty() ? "." : os->c_str())) {
      while (const dirent* e = readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name.size() < 13 || name[12] != '_') continue;
        if (name.compare(0, 4, "ink_") != 0 && name.compare(0, 4, "img_") != 0) continue;
        const std::string hex(name.substr(4, 8));
        char* end = nullptr;
        const unsigned long n = std::strtoul(hex.c_str(), &end, 16);
        if (end == hex.c_str() + 8) used.insert(static_cast<uint32_t>(n));
      }
      closedir(dir);
    }
  }
  for (;;) {
    const int32_t n = counters.nextDocumentNumber();
    if (n != 0 && !used.count(static_cast<uint32_t>(n))) return n;
  }
}

std::string NoteDocument_filesFolder(std::string_view notePath) {
  if (notePath.empty()) return {};
  // The extension of the file name only: a dot in a folder name is none.
  const size_t name = notePath.size() - StrX_fileName(notePath).size();
  const size_t dot = notePath.rfind('.');
  const bool hasExt = dot != std::string_view::npos && dot >= name;
  return std::string(hasExt ? notePath.substr(0, dot) : notePath) + ".files";
}
