// Reads any bytes as a site definition and builds its site: the batch
// files, lists and frame pages beside the definition, the site's pages, the
// copies, and (through a host that writes a small file) the conversions.
// Errors the build raises are the expected answer to a bad definition; a
// crash, a hang, a leak or a file written outside the sandbox is a fault.
//
// The definition's paths are its own: an absolute one would legitimately
// write anywhere.  The input is therefore kept relative: a path separator
// survives only in the markup forms "</" and "/>", and never at the start
// of an attribute value.  Such a path climbs at most one folder ("..") from
// its base, so the sandbox nests the definition deep enough that a correct
// build stays below its top folder; the top folder is checked after each run,
// and so is the process's current folder (an empty folder of the sandbox).
// Sources lie around the definition ("n1.svg" beside the current folder,
// "n2.svg" beside the definition): a build may read them, never change
// them, nor the definition.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/errors/except3.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_open.h"
#include "export/site/site_build.h"

namespace fs = std::filesystem;

namespace {

const std::string& root() {
  static const std::string r = [] {
    const std::string path = "/tmp/zerbin-site-fuzz-" + std::to_string(::getpid());
    fs::create_directories(path + "/script");
    std::atexit([] {
      std::error_code ec;
      fs::remove_all("/tmp/zerbin-site-fuzz-" + std::to_string(::getpid()), ec);
    });
    // Templates with their keys, so that the replacements run too.
    auto put = [&](const char* name, const char* text) {
      if (std::FILE* f = std::fopen((path + "/script/" + name).c_str(), "wb")) {
        std::fputs(text, f);
        std::fclose(f);
      }
    };
    put("files_local_head.txt", "<HTML><BODY>%dst_folder% %title%%title%\r\n");
    put("help_head.txt", "[OPTIONS]\n%fname% %first% %title%\n");
    put("files_head.txt", "<HTML>\n");
    // The process's own current folder: a path that the build failed to
    // make absolute would land here.
    fs::create_directories(path + "/cwd");
    if (::chdir((path + "/cwd").c_str()) != 0) std::abort();
    return path;
  }();
  return r;
}

constexpr int kDepth = 8;

std::string nested() {
  std::string p = root() + "/t";
  for (int i = 1; i <= kDepth; i++) p += "/d" + std::to_string(i);
  return p;
}

class FuzzHost final : public SiteBuildHost {
 public:
  std::string expandPathVariables(std::string_view text) const override { return std::string(text); }
  std::string scriptFolder() const override { return root() + "/script"; }
  std::string relCopyFolder() const override { return {}; }
  int convert(const SiteConversion& c) override {
    // The conversion writes its destination, as the program's would.
    int result = 1;
    Except_tryCatch(
        [&] {
          FilePtr f = FileX_open(c.destination, "wb");
          if (f) result = 0;
        },
        [](const Errors_Msg&) {});
    return result;
  }
  void reportFailure(std::string_view) override {}
};

bool isSeparator(uint8_t c) { return c == '/' || c == '\\'; }

// Keeps a separator only inside "</" and "/>", and never where a value
// begins (after "=", blanks and a quote).
std::string relativeOnly(const uint8_t* data, size_t size) {
  std::string s(reinterpret_cast<const char*>(data), size);
  for (size_t i = 0; i < s.size(); i++) {
    if (!isSeparator(static_cast<uint8_t>(s[i]))) continue;
    const bool markup = (i > 0 && s[i - 1] == '<') || (i + 1 < s.size() && s[i + 1] == '>');
    size_t j = i;
    if (j > 0 && (s[j - 1] == '"' || s[j - 1] == '\'')) j--;
    while (j > 0 && (s[j - 1] == ' ' || s[j - 1] == '\t' || s[j - 1] == '\r' || s[j - 1] == '\n')) j--;
    const bool valueStart = j > 0 && s[j - 1] == '=';
    if (!markup || valueStart) s[i] = '_';
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string top = root() + "/t";
  std::error_code ec;
  fs::remove_all(top, ec);
  const std::string current = nested() + "/cur";
  fs::create_directories(current + "/def", ec);
  const std::string definition = current + "/def/site.xml";
  const std::string text = relativeOnly(data, size);
  if (std::FILE* f = std::fopen(definition.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  } else {
    return 0;
  }
  auto put = [](const std::string& path, const std::string& bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
  };
  auto bytesOf = [](const std::string& path) {
    std::string r;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      char buf[4096];
      for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) r.append(buf, n);
      std::fclose(f);
    }
    return r;
  };
  put(current + "/n1.svg", "note one");
  put(current + "/def/n2.svg", "note two");
  FuzzHost host;
  Except_tryCatch([&] { BuildSite(definition, current, host); }, [](const Errors_Msg&) {});
  if (bytesOf(current + "/n1.svg") != "note one" || bytesOf(current + "/def/n2.svg") != "note two" ||
      bytesOf(definition) != text) {
    std::abort();
  }
  // Nothing beside the sandbox's top folder and the templates.
  for (const auto& e : fs::directory_iterator(root())) {
    const std::string name = e.path().filename().string();
    if (name != "t" && name != "script" && name != "cwd") std::abort();
  }
  if (!fs::is_empty(root() + "/cwd")) std::abort();
  for (const auto& e : fs::directory_iterator(top)) {
    if (e.path().filename() != "d1") std::abort();
  }
  return 0;
}
