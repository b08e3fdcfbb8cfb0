#include "app/links/shell_services.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "core/strx/strx_path.h"
#include "platform/text/qt_text.h"

namespace {

QUrl urlOf(std::string_view target) {
  if (StrX_isUrl(target) || target.substr(0, 3) == "mk:") return QUrl(QtText_fromCp932(target));
  const size_t hash = target.find('#');
  QUrl url = QUrl::fromLocalFile(QtText_fromCp932(target.substr(0, hash)));
  if (hash != std::string_view::npos) url.setFragment(QtText_fromCp932(target.substr(hash + 1)));
  return url;
}

class DesktopShell final : public ShellServices {
 public:
  bool openWithDefault(std::string_view target) override {
    return QDesktopServices::openUrl(urlOf(target));
  }
  bool showSelected(std::string_view path) override {
    return QDesktopServices::openUrl(
        QUrl::fromLocalFile(QFileInfo(QtText_fromCp932(path)).absolutePath()));
  }
  bool startDetached(const std::string& program, const std::vector<std::string>& arguments) override {
    QStringList args;
    for (const std::string& a : arguments) args << QtText_fromCp932(a);
    return QProcess::startDetached(QtText_fromCp932(program), args);
  }
};

ShellServices* current = nullptr;

}  // namespace

ShellServices& ShellServices_get() {
  static DesktopShell desktop;
  return current != nullptr ? *current : desktop;
}

void ShellServices_set(ShellServices* services) { current = services; }
