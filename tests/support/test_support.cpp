#include "support/test_support.h"

#include <fcntl.h>
#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/errors/except3.h"
#include "core/strx/codepage.h"

namespace testing_support {

Errors_Msg CatchError(const std::function<void()>& fn) {
  Errors_Msg got;
  Except_tryCatch([&] { fn(); }, [&](const Errors_Msg& e) { got = e; });
  return got;
}

std::string TestOutputDir() {
  const char* env = getenv("ZERBIN_TEST_OUTPUT");
  std::string dir = env && *env ? env : "/tmp/zerbin-test-output";
  mkdir(dir.c_str(), 0700);
  return dir;
}

TempDir::TempDir() {
  std::string templ = TestOutputDir() + "/t-XXXXXX";
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

namespace {
int removeEntry(const char* p, const struct stat*, int, struct FTW*) { return remove(p); }
}  // namespace

TempDir::~TempDir() { nftw(path_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS); }

std::string FixedDir(const std::string& name) {
  std::string path = TestOutputDir() + "/" + name;
  nftw(path.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
  mkdir(path.c_str(), 0700);
  return path;
}

std::string ReadFileBytes(const std::string& osPath) {
  std::ifstream in(osPath, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFileBytes(const std::string& osPath, std::string_view bytes) {
  std::ofstream out(osPath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Sjis(std::u8string_view utf8) {
  return Cp932_fromUtf8(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

}  // namespace testing_support
