// "window.ini": one `w` line per window key in the section WindowPosition,
// read and rewritten whole under "Zerbin_WindowPosSema".
#include <functional>
#include <vector>

#include "app/settings/settings.h"
#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_info.h"
#include "core/inifile/inifile.h"
#include "core/lock/named_lock.h"

namespace {

constexpr const char* kWindowFile = "window.ini";
constexpr const char* kLockName = "Zerbin_WindowPosSema";
constexpr const char* kSection = "WindowPosition";
constexpr const char* kTypes = "siiiiiibbiiiii";
// The tool bars' places: one `bar` line per bar in the order the window
// lays them out (name, Qt tool-bar area, shown, starts a new row).
constexpr const char* kBarSection = "ToolBars";
constexpr const char* kBarTypes = "sibb";

struct WindowFile {
  std::vector<WindowPosition> windows;
  std::vector<ToolBarPlace> bars;
};

// Calls `line` for each line of `section` (it reads the line and answers
// whether more may follow).  A missing file or section reads nothing; a
// line that cannot be read is passed over (and logged): the lines around
// it stay.  Nothing here raises.
template <typename Line>
void readSection(const std::string& path, const char* section, Line line) {
  if (!FileX_isFile(path)) return;
  Except_tryCatch(
      [&] {
        IniFileReader r;
        r.open(path);
        r.findSection(section, true);
        for (bool more = true; more;) {
          const int64_t at = r.tell();
          Except_tryCatch([&] { more = line(r); },
                          [&](const Errors_Msg& e) {
                            Errors_printf("window.ini: %s (line passed over)", e.message());
                            more = r.tell() > at;
                          });
        }
      },
      [&](const Errors_Msg& e) {
        if (e.code != FileX_Err_EOF) Errors_printf("window.ini: %s (section %s)", e.message(), section);
      });
}

// The tool bars' places (at most 16 lines are read).
std::vector<ToolBarPlace> readBars(const std::string& path) {
  std::vector<ToolBarPlace> bars;
  readSection(path, kBarSection, [&](IniFileReader& r) {
    ToolBarPlace b;
    std::string name;
    const bool more =
        r.readNextAttribute(name, kBarTypes, &b.name, &b.area, &b.visible, &b.lineBreak) >= 0;
    if (more && name == "bar" && !b.name.empty()) bars.push_back(std::move(b));
    return more && bars.size() < 16;
  });
  return bars;
}

bool writeFile(const std::string& path, const WindowFile& file, const std::string& echoFile);

// Every entry of the file.
std::vector<WindowPosition> readAll(const std::string& path) {
  std::vector<WindowPosition> list;
  readSection(path, kSection, [&](IniFileReader& r) {
    WindowPosition p;
    std::string name;
    const bool more = r.readNextAttribute(name, kTypes, &p.key, &p.left, &p.top, &p.right,
                                          &p.bottom, &p.barWidth, &p.barHeight, &p.barFloating,
                                          &p.barHidden, &p.barStyle, &p.paneWidth, &p.paneMode,
                                          &p.viewFlags, &p.viewValue) >= 0;
    if (more && name == "w" && !p.key.empty()) list.push_back(std::move(p));
    return more;
  });
  return list;
}

// The rules of a stored entry: a pane narrower than 1 is 120 with the
// normal pane state, and the widened state (2) is stored as normal.
WindowPosition normalised(WindowPosition p) {
  if (p.paneWidth < 1) {
    p.paneWidth = 120;
    p.paneMode = 0;
  }
  if (p.paneMode == 2) p.paneMode = 0;
  return p;
}

}  // namespace

namespace {

// Reads the whole file, lets `change` change it and writes it again, under
// "Zerbin_WindowPosSema" (a wait that runs out is logged and the write goes on).
bool rewrite(const std::string& profileFolder, const std::string& echoFile,
             const std::function<void(WindowFile&)>& change) {
  const std::string path = profileFolder + kWindowFile;
  NamedLock lock{kLockName};
  NamedLockGuard guard(lock, IniFile_lockWaitMs);
  if (!guard.owns())
    Errors_printf("window.ini: %s not held after %d ms, going on", kLockName, IniFile_lockWaitMs);
  WindowFile file{readAll(path), readBars(path)};
  change(file);
  return writeFile(path, file, echoFile);
}

}  // namespace

bool CZerbinApp_saveWindowPosition(const std::string& profileFolder, const WindowPosition& pos,
                                   const std::string& echoFile) {
  return rewrite(profileFolder, echoFile, [&](WindowFile& file) {
    std::vector<WindowPosition>& list = file.windows;
    const WindowPosition entry = normalised(pos);
    for (WindowPosition& p : list) {
      if (p.key == entry.key) {
        p = entry;
        return;
      }
    }
    list.push_back(entry);
  });
}

bool CZerbinApp_saveToolBarPlaces(const std::string& profileFolder,
                                  const std::vector<ToolBarPlace>& bars,
                                  const std::string& echoFile) {
  return rewrite(profileFolder, echoFile, [&](WindowFile& file) { file.bars = bars; });
}

std::vector<ToolBarPlace> CZerbinApp_loadToolBarPlaces(const std::string& profileFolder) {
  NamedLock lock{kLockName};
  NamedLockGuard guard(lock, IniFile_lockWaitMs);
  return readBars(profileFolder + kWindowFile);
}

namespace {

bool writeFile(const std::string& path, const WindowFile& file, const std::string& echoFile) {
  const std::vector<WindowPosition>& list = file.windows;
  bool ok = true;
  Except_tryCatch(
      [&] {
        FileX_makeFolders(path, true);
        // The lock is held here already (or its wait ran out).
        IniFile_writeShared(path, "", [&](IniFileWriter& w) {
          w.section("main");
          w.attribute("Application", "s", IniFile_appName);
          w.attribute("Version", "i", IniFile_appVersion);
          w.section(kSection);
          for (const WindowPosition& p : list) {
            w.attribute("w", kTypes, p.key, p.left, p.top, p.right, p.bottom, p.barWidth,
                        p.barHeight, p.barFloating, p.barHidden, p.barStyle, p.paneWidth,
                        p.paneMode, p.viewFlags, p.viewValue);
          }
          if (!file.bars.empty()) {
            w.section(kBarSection);
            for (const ToolBarPlace& b : file.bars) {
              w.attribute("bar", kBarTypes, b.name, b.area, b.visible, b.lineBreak);
            }
          }
        });
      },
      [&](const Errors_Msg& e) {
        ok = false;
        ReportToUserText(0, echoFile, e.message());
      });
  return ok;
}

}  // namespace

bool CZerbinApp_loadWindowPosition(const std::string& profileFolder, const std::string& key,
                                   WindowPosition& pos) {
  std::string path = profileFolder + kWindowFile;
  NamedLock lock{kLockName};
  NamedLockGuard guard(lock, IniFile_lockWaitMs);
  for (WindowPosition& p : readAll(path)) {
    if (p.key == key) {
      pos = std::move(p);
      return true;
    }
  }
  return false;
}
