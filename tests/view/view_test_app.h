// The one QApplication of a widget test program.  It lives from before the
// first test to after the last one and goes before the exit handlers run:
// an application left to them would be torn down after Qt's own statics
// (the input devices that events create would crash there).
#pragma once

#include <QApplication>
#include <gtest/gtest.h>

#include <optional>

class WidgetTestApp : public testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance() == nullptr) app_.emplace(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::optional<QApplication> app_;
  int argc_ = 1;
  char name_[16] = "widget_tests";
  char* argv_[2] = {name_, nullptr};
};

// Registered once per test program by the file that defines it.
#define WIDGET_TEST_APP_REGISTER() \
  [[maybe_unused]] static testing::Environment* const widgetTestApp_ = \
      testing::AddGlobalTestEnvironment(new WidgetTestApp)
