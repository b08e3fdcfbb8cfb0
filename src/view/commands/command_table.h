// The commands of one main window: each command number is bound to one
// QAction with its menu text and keys.  The main window owns the table and
// builds its menu bar from it; each module registers its own commands.
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QMenuBar;
class QWidget;

struct CommandEntry {
  int id = 0;
  std::string text;   // CP932 menu (or tool-tip) text
  std::string menu;   // CP932 menu path, "/" between levels; "" = keys only
  QAction* action = nullptr;
};

class CommandTable {
 public:
  // The actions live as children of `owner` (the main window), where their
  // keys work.
  explicit CommandTable(QWidget* owner);
  CommandTable(const CommandTable&) = delete;
  CommandTable& operator=(const CommandTable&) = delete;

  // Binds a command; a number already bound raises 102.  `checked`, when
  // set, makes the action checkable and is asked whenever its menu opens.
  QAction* add(int id, std::string_view text, std::string_view menu, QList<QKeySequence> keys,
               std::function<void()> run, std::function<bool()> checked = {});
  // The action of a command, or null.
  QAction* action(int id) const;
  // Runs a command as its menu item or key would; false when none is bound
  // or it is disabled.
  bool run(int id) const;
  // Whether the command is bound and may run now (its rule asked).
  bool enabled(int id) const;
  const std::vector<CommandEntry>& entries() const { return entries_; }

  // Adds the menus of every entry with a menu path to the bar, in the order
  // the commands were registered.
  void buildMenus(QMenuBar& bar) const;
  // Refreshes the check marks.
  void updateChecks() const;
  // A command with a rule is shown disabled in its menu while the rule
  // says so; run() and the command itself ask the rule too.  Outside menus
  // the actions stay enabled, so that their keys always reach the command.
  void setEnabledRule(int id, std::function<bool()> rule);
  // Runs before every command, whichever way it is chosen (menu, key,
  // run()): the view ends a mouse gesture that is still running, so that
  // no command works on figures a drag still holds.
  void setBeforeEachCommand(std::function<void()> before) { *before_ = std::move(before); }
  void updateEnabled(bool menuShown) const;

 private:
  QWidget* owner_;
  std::vector<CommandEntry> entries_;
  std::map<int, size_t> index_;
  std::map<int, std::function<bool()>> checks_;
  std::map<int, std::function<bool()>> enabledRules_;
  // Shared with the actions' connections (the table may be moved from).
  std::shared_ptr<std::function<void()>> before_ = std::make_shared<std::function<void()>>();
};
