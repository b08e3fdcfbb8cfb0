// The one QApplication of a platform test program, made on first use.
#pragma once

#include <QApplication>

inline QApplication& QtTestApp_ensure() {
  static int argc = 1;
  static char name[] = "platform_tests";
  static char* argv[] = {name, nullptr};
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
  static QApplication app(argc, argv);
  return app;
}
