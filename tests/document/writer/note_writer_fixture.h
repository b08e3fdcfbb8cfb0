// A note and a host for the writer's tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "document/note/note_document.h"
#include "document/writer/note_save_host.h"
#include "figures/rect/rect_ex.h"
#include "support/fixed_metrics.h"
#include "support/test_support.h"

// Records what the writer asked of its window.
class RecordingSaveHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metricsImpl; }
  bool lockFiles() override {
    ++lockCalls;
    return lockWorks;
  }
  void unlockFiles() override { ++unlockCalls; }
  bool fixedZoom() const override { return zoomFixed; }
  std::string scriptPath() const override { return script; }
  std::string notePath() const override { return path; }
  void setNotePath(std::string_view p) override { path = p; }
  void refreshTitle() override { ++titleRefreshes; }
  void addRecentFile(std::string_view p) override { recent.emplace_back(p); }
  void markSaved() override { ++savedMarks; }
  bool autoSaveEnabled() const override { return autoSave; }
  void showStatus(std::string_view text) override { statuses.emplace_back(text); }
  void exportPageImage(int32_t page, std::string_view p) override {
    images.push_back(std::to_string(page) + ":" + std::string(p));
  }
  void exportHtml(std::string_view p, char mode) override {
    htmls.push_back(std::string(1, mode) + ":" + std::string(p));
  }
  void backup(std::string_view p) override { backups.emplace_back(p); }
  std::string keywordsFolder() const override { return keywords; }
  int mirror(std::string_view) override { return mirrorResult; }
  void showSaveFailure(std::string_view text, std::string_view caption) override {
    failures.push_back(std::string(text) + "|" + std::string(caption));
  }

  FixedMetrics metricsImpl;
  bool lockWorks = true;
  int lockCalls = 0;
  int unlockCalls = 0;
  bool zoomFixed = false;
  std::string script;
  std::string path;
  std::string keywords;
  bool autoSave = false;
  int mirrorResult = 0;
  int titleRefreshes = 0;
  int savedMarks = 0;
  std::vector<std::string> recent, statuses, images, htmls, backups, failures;
};

// A fixed uuid so that whole files can be compared.
inline StrX_Guid TestUuid() {
  StrX_Guid g;
  g.data1 = 0x01234567;
  g.data2 = 0x89AB;
  g.data3 = 0xCDEF;
  g.data4 = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  return g;
}
inline const char* TestUuidText() { return "{01234567-89AB-CDEF-0123-456789ABCDEF}"; }

// A rectangle at (x, y) of w x h in the default colours of a file.
inline std::unique_ptr<Rect_Ex> TestRect(int32_t number, int32_t x, int32_t y, int32_t w,
                                         int32_t h) {
  auto r = std::make_unique<Rect_Ex>();
  r->SetNumber(number);
  r->x = x;
  r->y = y;
  r->width = w;
  r->height = h;
  r->fillColour = 0xFFCCCC;  // rgb(204,204,255)
  r->strokeColour = 0;
  return r;
}

inline std::string TestRectText(int32_t x, int32_t y, int32_t w, int32_t h) {
  return "\t<rect x=\"" + std::to_string(x) + ".5\" y=\"" + std::to_string(y) +
         ".5\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) +
         "\"\n\t\tstyle=\"fill:rgb(204,204,255);stroke:rgb(0,0,0);stroke-width:1\"/>\n";
}

inline std::string TestProlog() {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n\n"
         "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\"\n"
         "\t\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\">\n\n";
}

inline std::string TestNamespaces() {
  return "\n xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"\n";
}

inline std::string TestBounds(int32_t w, int32_t h) {
  const std::string s = " style=\"stroke:rgb(0,0,0);stroke-width:1\"/>\n";
  const std::string W = std::to_string(w) + ".5", H = std::to_string(h) + ".5";
  return "<line class=\"page_bound\" x1=\"-0.5\" y1=\"-0.5\" x2=\"" + W + "\" y2=\"-0.5\"" + s +
         "<line class=\"page_bound\" x1=\"-0.5\" y1=\"-0.5\" x2=\"-0.5\" y2=\"" + H + "\"" + s +
         "<line class=\"page_bound\" x1=\"" + W + "\" y1=\"-0.5\" x2=\"" + W + "\" y2=\"" + H +
         "\"" + s + "<line class=\"page_bound\" x1=\"-0.5\" y1=\"" + H + "\" x2=\"" + W +
         "\" y2=\"" + H + "\"" + s;
}

// "\n" -> CR LF, as the files hold it.
inline std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}
