// What the desktop does for the program: open a file, folder or web
// address with its default program, show a file selected in the file
// manager, and start a command line.  One service for the process; the
// desktop's by default, a recording one in tests (nothing is opened).
#pragma once

#include <string>
#include <string_view>
#include <vector>

class ShellServices {
 public:
  virtual ~ShellServices() = default;
  // A URL ("scheme://...", fragment kept) or a local file or folder path
  // (CP932; a fragment after '#' is kept as the URL's fragment).  False
  // when no program took it.
  virtual bool openWithDefault(std::string_view target) = 0;
  // The folder of `path` opened in the file manager (the desktop offers no
  // portable way to select the file in it).
  virtual bool showSelected(std::string_view path) = 0;
  // Starts `program` with `arguments` without a shell; false when it could
  // not be started.
  virtual bool startDetached(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

ShellServices& ShellServices_get();
// Installs a service (the caller keeps it alive); nullptr restores the
// desktop's.
void ShellServices_set(ShellServices* services);
