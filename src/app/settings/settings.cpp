// The keys of "zerbin.ini": written with the IniFile writer in a fixed
// order, read back with the tolerant line scanner (any order, any case,
// unknown lines skipped).
#include "app/settings/settings.h"

#include <functional>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/filex/filex_info.h"
#include "core/inifile/ini_line_scanner.h"
#include "core/inifile/inifile.h"
#include "core/lock/named_lock.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"

namespace {

constexpr const char* kSettingsFile = "zerbin.ini";
constexpr const char* kLockName = "Zerbin_IniSema";
// Sizes of the text fields (terminator included): a longer value is
// reported, and neither read nor written cut.
constexpr size_t kPathSize = 512;
constexpr size_t kCommandSize = 256;
constexpr size_t kSearchOpenSize = 260;
constexpr size_t kMirrorRootSize = 256;
constexpr size_t kMaxSearchWeb = 20;  // the 20th line becomes the error entry

// A key of the view section and how its value is scanned into the record.
struct ReadKey {
  const char* key;
  std::function<int(std::string_view value, ZerbinSettings& s)> scan;
};

int scanTime(std::string_view value, std::time_t& t) {
  int32_t zone = 0;
  int r = IniFile_scan(value, nullptr, "+t", IniScanTime{&t, &zone});
  if (r != ResultCode_BadText) return r;
  // Files of earlier versions hold the writer's "%Y/%m/%d-%H:%M:%S".
  IniFileReader old;
  old.openText("t = " + std::string(value) + "\n", "");
  std::time_t v = 0;
  Except_tryCatch([&] { old.readAttribute("t", "t", &v); }, [](const Errors_Msg&) {});
  if (v <= 0) return r;
  t = v;
  return 0;
}

// The keys in the order they are tested; PropBox is only a marker and is
// not read.
const std::vector<ReadKey>& readKeys() {
  static const std::vector<ReadKey> keys = {
      {"WindowColor", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.windowColor); }},
      {"ImgFolderPath",
       [](auto v, auto& s) { return IniFile_scan(v, nullptr, "s", IniScanText{&s.imgFolderPath, kPathSize}); }},
      {"WorkFolderPath",
       [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+s", IniScanText{&s.workFolderPath, kPathSize}); }},
      {"KeywordsFolderPath",
       [](auto v, auto& s) {
         return IniFile_scan(v, nullptr, "s", IniScanText{&s.keywordsFolderPath, kPathSize});
       }},
      {"LowerPath", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.lowerPath); }},
      {"GridOn", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.gridOn); }},
      // Written as a number, read as a truth value: only 0 and 1 survive.
      {"GridDisp", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.gridDisp); }},
      {"BackupInterval", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+i", &s.backupInterval); }},
      {"SingleClick", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.singleClick); }},
      {"CtrlRet", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.ctrlRet); }},
      {"SplitX",
       [](auto v, auto& s) {
         int r = IniFile_scan(v, nullptr, "+i", &s.splitX);
         if (s.splitX == 0) s.splitX = 120;
         return r;
       }},
      {"DefaultImageType", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+i", &s.defaultImageType); }},
      {"VBAVer",
       [](auto v, auto& s) {
         int r = IniFile_scan(v, nullptr, "+i", &s.vbaVer);
         if (s.vbaVer != 2007) s.vbaVer = 2000;
         return r;
       }},
      {"AllSearchDBPath",
       [](auto v, auto& s) {
         return IniFile_scan(v, nullptr, "+s", IniScanText{&s.allSearchDBPath, kPathSize});
       }},
      {"NoInkForDebug", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.noInkForDebug); }},
      {"KeepDebugOut", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.keepDebugOut); }},
      {"DefaultCommand",
       [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+s", IniScanText{&s.defaultCommand, kCommandSize}); }},
      {"SearchOpen",
       [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+s", IniScanText{&s.searchOpen, kSearchOpenSize}); }},
      {"SearchOpen_Show", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+i", &s.searchOpenShow); }},
      {"Resident", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.resident); }},
      {"PartsAlwaysShow", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.partsAlwaysShow); }},
      {"MultiSaveRoot",
       [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+s", IniScanText{&s.multiSaveRoot, kMirrorRootSize}); }},
      {"PrevCaptureMode", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "i", &s.prevCaptureMode); }},
      {"PrevCaptureRect",
       [](auto v, auto& s) {
         int32_t* r = s.prevCaptureRect;
         return IniFile_scan(v, nullptr, "iiii", &r[0], &r[1], &r[2], &r[3]);
       }},
      {"NextCaptureWindowTime", [](auto v, auto& s) { return scanTime(v, s.nextCaptureWindowTime); }},
      {"TooBigCapture", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+i", &s.tooBigCapture); }},
      {"ScriptWrapper", [](auto v, auto& s) { return IniFile_scan(v, nullptr, "+b", &s.scriptWrapper); }},
      {"SearchWeb",
       [](auto v, auto& s) {
         if (s.searchWeb.size() >= kMaxSearchWeb) return 0;  // further lines are ignored
         SearchWebEntry e;
         int r = IniFile_scan(v, nullptr, "ss", IniScanText{&e.name, kPathSize}, IniScanText{&e.url, kPathSize});
         if (s.searchWeb.size() == kMaxSearchWeb - 1) e = {"（エラー：SearchWeb 属性はこれ以上追加できません）", ""};
         s.searchWeb.push_back(std::move(e));
         return r;
       }},
  };
  return keys;
}

std::string withoutTrailingSlash(std::string_view path) {
  std::string p(path);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

// Holds the settings lock; the work goes on (logged) when the wait ran out.
class SettingsLock {
 public:
  SettingsLock() : lock_(kLockName), guard_(lock_, IniFile_lockWaitMs) {
    if (!guard_.owns()) Errors_printf("settings: %s not held after %d ms, going on", kLockName, IniFile_lockWaitMs);
  }

 private:
  NamedLock lock_;
  NamedLockGuard guard_;
};

void fillDefaultsAfterReading(ZerbinSettings& s) {
  if (s.searchWeb.empty()) s.searchWeb = Settings_defaultSearchWeb();
  if (s.nextCaptureWindowTime == 0) s.nextCaptureWindowTime = std::time(nullptr);
}

}  // namespace

std::vector<SearchWebEntry> Settings_defaultSearchWeb() {
  return {
      {"Google (Web)", "https://www.google.com/search?q=?p8"},
      {"Wikipedia (Web)", "https://ja.wikipedia.org/w/index.php?search=?p8"},
      {"amazon (Web)", "https://www.amazon.co.jp/s?k=?p8"},
      {"MSDN (Web)", "https://learn.microsoft.com/ja-jp/search/?terms=?p8"},
      {"BIGLOBE 辞書 (Web)", "https://search.biglobe.ne.jp/dic/search?q=?ps"},
      {"BIGLOBE (Web)", "https://search.biglobe.ne.jp/web?q=?p8"},
  };
}

bool CZerbinApp_readSettings(const std::string& profileFolder, ZerbinSettings& settings,
                             const std::string& echoFile, bool* readable) {
  settings = ZerbinSettings{};
  if (readable) *readable = true;
  std::string path = profileFolder + kSettingsFile;
  SettingsLock lock;
  IniLineScanner scanner;
  int r = scanner.open(path);
  if (r == ResultCode_NotFound) {
    fillDefaultsAfterReading(settings);
    return false;
  }
  if (r != 0) {
    std::string text = ResultCode_getText(r);
    ReportToUser(0, echoFile, "設定ファイル %s が読めないので、既定の設定を使います。%s", path.c_str(),
                 text.c_str());
    if (readable) *readable = false;
    fillDefaultsAfterReading(settings);
    return true;
  }
  std::string line;
  int lineNo = 0;
  while (scanner.nextLine(line)) {
    ++lineNo;
    for (const ReadKey& k : readKeys()) {
      if (!IniFile_isKey(line, k.key)) continue;
      // A value that cannot be read leaves that key at its default; the
      // other keys are kept.  A text that is too long is never used cut.
      ZerbinSettings scanned = settings;
      int sr = k.scan(IniFile_value(line), scanned);
      if (sr == 0) {
        settings = std::move(scanned);
      } else if (sr == ResultCode_BufferTooSmall) {
        ReportToUser(0, echoFile, "設定ファイル %s の %d 行目 (%s) は長すぎるので、既定値を使います。",
                     path.c_str(), lineNo, k.key);
      } else {
        ReportToUser(0, echoFile, "設定ファイル %s の %d 行目 (%s) が読めないので、既定値を使います。",
                     path.c_str(), lineNo, k.key);
      }
      break;
    }
  }
  fillDefaultsAfterReading(settings);
  return true;
}

bool CZerbinApp_writeSettings(const std::string& profileFolder, const ZerbinSettings& s,
                              const std::string& echoFile) {
  std::string path = profileFolder + kSettingsFile;
  // A text longer than its field would not be read back: it is reported
  // and written as not set.
  std::vector<std::string> tooLong;
  auto fit = [&](const char* key, const std::string& value, size_t size) -> std::string {
    if (value.size() < size) return value;
    tooLong.push_back(key);
    return {};
  };
  // The folder of the program is written empty.
  auto folderKey = [](std::string_view p) { return withoutTrailingSlash(StrX_normalizePath(p)); };
  bool isProgramFolder = !s.imgFolderPath.empty() &&
                         folderKey(s.imgFolderPath) ==
                             folderKey(StrX_parentFolder(Errors_selfProgramPath()));
  std::string imgFolder = fit("ImgFolderPath", isProgramFolder ? std::string() : s.imgFolderPath, kPathSize);
  std::string workFolder = fit("WorkFolderPath", s.workFolderPath, kPathSize);
  std::string keywordsFolder = fit("KeywordsFolderPath", s.keywordsFolderPath, kPathSize);
  std::string searchDb = fit("AllSearchDBPath", s.allSearchDBPath, kPathSize);
  std::string defaultCommand = fit("DefaultCommand", s.defaultCommand, kCommandSize);
  std::string searchOpen = fit("SearchOpen", s.searchOpen, kSearchOpenSize);
  std::string mirrorRoot = fit("MultiSaveRoot", s.multiSaveRoot, kMirrorRootSize);
  std::vector<SearchWebEntry> searchWeb;
  for (const SearchWebEntry& e : s.searchWeb) {
    if (e.name.size() < kPathSize && e.url.size() < kPathSize) {
      searchWeb.push_back(e);
    } else {
      tooLong.push_back("SearchWeb");
    }
  }
  bool ok = true;
  Except_tryCatch(
      [&] {
        IniFile_writeShared(path, kLockName, [&](IniFileWriter& w) {
          w.section("main");
          w.attribute("Application", "s", IniFile_appName);
          w.attribute("Version", "i", IniFile_appVersion);
          w.section("view");
          w.attribute("PropBox", "b", true);
          w.attribute("WindowColor", "b", s.windowColor);
          w.attribute("ImgFolderPath", "s", imgFolder);
          if (!workFolder.empty()) w.attribute("WorkFolderPath", "s", workFolder);
          if (!keywordsFolder.empty()) w.attribute("KeywordsFolderPath", "s", keywordsFolder);
          w.attribute("LowerPath", "b", s.lowerPath);
          w.attribute("GridOn", "b", s.gridOn);
          w.attribute("GridDisp", "i", static_cast<int32_t>(s.gridDisp ? 1 : 0));
          w.attribute("BackupInterval", "i", s.backupInterval);
          w.attribute("SingleClick", "b", s.singleClick);
          w.attribute("CtrlRet", "b", s.ctrlRet);
          w.attribute("SplitX", "i", s.splitX);
          w.attribute("DefaultImageType", "i", s.defaultImageType);
          w.attribute("VBAVer", "i", s.vbaVer);
          w.attribute("AllSearchDBPath", "s", searchDb);
          if (s.noInkForDebug) w.attribute("NoInkForDebug", "b", true);
          if (s.keepDebugOut) w.attribute("KeepDebugOut", "b", true);
          if (!defaultCommand.empty()) w.attribute("DefaultCommand", "s", defaultCommand);
          w.attribute("SearchOpen", "s", searchOpen);
          w.attribute("SearchOpen_Show", "i", s.searchOpenShow);
          w.attribute("Resident", "b", s.resident);
          w.attribute("PartsAlwaysShow", "b", s.partsAlwaysShow);
          w.attribute("MultiSaveRoot", "s", mirrorRoot);
          w.attribute("PrevCaptureMode", "i", s.prevCaptureMode);
          const int32_t* r = s.prevCaptureRect;
          w.attribute("PrevCaptureRect", "iiii", r[0], r[1], r[2], r[3]);
          std::time_t t = s.nextCaptureWindowTime ? s.nextCaptureWindowTime : std::time(nullptr);
          // The scanner's date-time text, so that "+t" reads it back.
          w.attribute("NextCaptureWindowTime", "s", IniFile_timeText(t));
          w.attribute("TooBigCapture", "i", s.tooBigCapture);
          for (const SearchWebEntry& e : searchWeb) w.attribute("SearchWeb", "ss", e.name, e.url);
          // Last, so that readers of earlier versions skip it.
          if (s.scriptWrapper) w.attribute("ScriptWrapper", "b", true);
        });
      },
      [&](const Errors_Msg& e) {
        ok = false;
        ReportToUserText(0, echoFile, e.message());
      });
  for (const std::string& key : tooLong) {
    ReportToUser(0, echoFile, "設定 %s の値が長すぎるので、%s に書きこみませんでした。", key.c_str(),
                 path.c_str());
  }
  return ok;
}
