#include "app/startup/notification_icon.h"

#include "app/instance/instance_server.h"
#include "app/saving/auto_save.h"
#include "app/saving/recent_files.h"
#include "app/saving/shell_state.h"
#include "app/startup/conversion_status.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "platform/text/qt_text.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {

std::string expand(const CZerbinApp& app, const char* format) {
  std::string dst;
  CZerbinApp_expandPath(app.folders, dst, CZerbinApp_notePathSize, format);
  return dst;
}

// "%icon%/<name>.ico", else the PNG of that name.
std::string iconFile(const CZerbinApp& app, const std::string& name) {
  std::string ico = expand(app, ("%icon%/" + name + ".ico").c_str());
  if (!FileX_exists(ico)) ico = expand(app, ("%icon%/" + name + ".png").c_str());
  return ico;
}

void openNote(CZerbinApp& app, const std::string& path, bool untitled) {
  Except_tryCatch([&] { app.hooks.openNote(app, path, "", untitled); },
                  [&](const Errors_Msg& e) { app.show(e.message()); });
}

// The menu of the icon: new window, file search, the recent notes between
// two separators, help, clearing the history, and the end of the program.
void fillMenu(CZerbinApp& app, QMenu& menu) {
  menu.clear();
  NoteSaveShell& shell = NoteSave_shell();
  QObject::connect(menu.addAction(QtText_fromCp932("新規ウィンドウ (&N)")), &QAction::triggered,
                   [&shell] {
                     if (shell.newWindow) shell.newWindow();
                   });
  QObject::connect(menu.addAction(QtText_fromCp932("ファイル検索(&G)...")), &QAction::triggered,
                   [&app] { app.hooks.postFileSearch(app, app.mainFrame, false); });
  menu.addSeparator();
  const std::vector<RecentFile> recent = RecentFiles_read(app.folders.profileFolder);
  for (size_t i = 0; i < recent.size(); ++i) {
    const std::string path = recent[i].path;
    QObject::connect(menu.addAction(QtText_fromCp932(RecentFiles_label(int(i + 1), recent[i]))),
                     &QAction::triggered, [&app, path] { openNote(app, path, false); });
  }
  menu.addSeparator();
  menu.addAction(QtText_fromCp932("ヘルプ(&H)..."))->setEnabled(false);
  menu.addAction(QtText_fromCp932("履歴の削除(&D)"))->setEnabled(false);
  QObject::connect(menu.addAction(QtText_fromCp932("Brevlo の終了(&X)")), &QAction::triggered,
                   [] { Except_barrier([] { NoteSave_exitAll(nullptr, true); }); });
}

}  // namespace

void CZerbinApp_installShell(CZerbinApp& app) {
  NoteSaveShell& shell = NoteSave_shell();
  shell.newWindow = [&app] { openNote(app, expand(app, "%template%/new_default.svg"), true); };
  shell.showTrayIcon = [&app](bool shown) {
    if (app.trayIcon) app.trayIcon->setVisible(shown);
  };
  shell.mayEnd = [&app] { return !app.instanceServer || !app.instanceServer->busy(); };
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  const std::string ico = iconFile(app, "main");
  app.trayIcon = std::make_unique<QSystemTrayIcon>(QIcon(QtText_fromCp932(ico)));
  // While an export runs: the busy icon and the file's name in the tip.
  ConversionStatus_setRefresh([&app, ico, busy = iconFile(app, "main_busy")] {
    if (!app.trayIcon) return;
    const bool running = !ConversionStatus_name().empty();
    app.trayIcon->setIcon(QIcon(QtText_fromCp932(running && FileX_exists(busy) ? busy : ico)));
    app.trayIcon->setToolTip(QtText_fromCp932(ConversionStatus_tip(CZerbinApp_appName)));
  });
  app.trayIcon->setToolTip(QtText_fromCp932(CZerbinApp_appName));
  auto* menu = new QMenu();
  menu->setObjectName("IconRight");
  QObject::connect(app.trayIcon.get(), &QObject::destroyed, menu, &QObject::deleteLater);
  QObject::connect(menu, &QMenu::aboutToShow, menu, [&app, menu] { fillMenu(app, *menu); });
  fillMenu(app, *menu);
  app.trayIcon->setContextMenu(menu);
  QObject::connect(app.trayIcon.get(), &QSystemTrayIcon::activated,
                   [&shell](QSystemTrayIcon::ActivationReason why) {
                     if (why == QSystemTrayIcon::Trigger && shell.newWindow)
                       Except_barrier([&] { shell.newWindow(); });
                   });
  app.trayIcon->setVisible(shell.trayIcon);
}
