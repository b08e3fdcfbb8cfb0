// The program zerbin: the application object's start-up, the event loop,
// and its shut-down.
//
// Test automation: with the environment variable ZERBIN_QUIT_AFTER_STARTUP=1
// the event loop ends right after a successful start-up, so that tests can
// run the program and look at its folders, echo file and exit status.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/startup/command_line.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"

#include <QApplication>
#include <QTimer>

namespace {

QtMessageHandler toolkitHandler = nullptr;

// The toolkit's note that XDG_RUNTIME_DIR is not set says nothing to the
// user (the program keeps its own runtime folder); without it standard error
// carries only the program's messages.
void filterToolkitMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set")) return;
  if (toolkitHandler != nullptr) {
    toolkitHandler(type, context, text);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  // The words as given: the toolkit takes its own options out of argv.
  std::vector<std::string> args(argv + 1, argv + argc);
  // A batch conversion needs no screen: it measures and draws offscreen.
  if (CZerbinApp_isBatchArguments(args) && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  toolkitHandler = qInstallMessageHandler(filterToolkitMessages);
  QApplication qapp(argc, argv);
  // Numbers in files keep ".", whatever the user's locale says.
  std::setlocale(LC_NUMERIC, "C");

  CZerbinApp app;
  if (!CZerbinApp_startUp(app, args)) return CZerbinApp_shutDown(app, 0);

  const char* quit = std::getenv("ZERBIN_QUIT_AFTER_STARTUP");
  if (quit && std::strcmp(quit, "1") == 0) {
    QTimer::singleShot(0, &qapp, [] { QCoreApplication::exit(0); });
  }
  int code = QApplication::exec();
  return CZerbinApp_shutDown(app, code);
}
