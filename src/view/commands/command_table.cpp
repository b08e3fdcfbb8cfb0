#include "view/commands/command_table.h"

#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "core/errors/errors.h"
#include "platform/text/qt_text.h"

CommandTable::CommandTable(QWidget* owner) : owner_(owner) {}

QAction* CommandTable::add(int id, std::string_view text, std::string_view menu,
                           QList<QKeySequence> keys, std::function<void()> run,
                           std::function<bool()> checked) {
  if (index_.count(id) != 0) Errors_RAISE(Errors_Unofficial, "error");
  auto* action = new QAction(QtText_fromCp932(text), owner_);
  action->setData(id);
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(action, &QAction::triggered, owner_,
                   [run = std::move(run), before = before_] {
                     if (*before) (*before)();
                     run();
                   });
  if (checked) {
    action->setCheckable(true);
    action->setChecked(checked());
    checks_[id] = std::move(checked);
  }
  // Keys work without a menu item too.
  owner_->addAction(action);
  index_[id] = entries_.size();
  entries_.push_back({id, std::string(text), std::string(menu), action});
  return action;
}

QAction* CommandTable::action(int id) const {
  auto it = index_.find(id);
  return it == index_.end() ? nullptr : entries_[it->second].action;
}

bool CommandTable::enabled(int id) const {
  const QAction* a = action(id);
  if (a == nullptr || !a->isEnabled()) return false;
  auto rule = enabledRules_.find(id);
  return rule == enabledRules_.end() || rule->second();
}

bool CommandTable::run(int id) const {
  if (!enabled(id)) return false;
  action(id)->trigger();
  return true;
}

void CommandTable::updateChecks() const {
  for (const auto& [id, checked] : checks_) action(id)->setChecked(checked());
}

void CommandTable::setEnabledRule(int id, std::function<bool()> rule) {
  enabledRules_[id] = std::move(rule);
}

void CommandTable::updateEnabled(bool menuShown) const {
  for (const auto& [id, rule] : enabledRules_) action(id)->setEnabled(!menuShown || rule());
}

void CommandTable::buildMenus(QMenuBar& bar) const {
  std::map<std::string, QMenu*> menus;
  for (const CommandEntry& e : entries_) {
    if (e.menu.empty()) continue;
    std::string path;
    QMenu* parent = nullptr;
    size_t start = 0;
    while (start <= e.menu.size()) {
      size_t slash = e.menu.find('/', start);
      if (slash == std::string::npos) slash = e.menu.size();
      const std::string level = e.menu.substr(start, slash - start);
      path += "/" + level;
      QMenu*& menu = menus[path];
      if (menu == nullptr) {
        menu = parent == nullptr ? bar.addMenu(QtText_fromCp932(level))
                                 : parent->addMenu(QtText_fromCp932(level));
        QObject::connect(menu, &QMenu::aboutToShow, menu, [this] {
          updateChecks();
          updateEnabled(true);
        });
        QObject::connect(menu, &QMenu::aboutToHide, menu, [this] { updateEnabled(false); });
      }
      parent = menu;
      start = slash + 1;
    }
    parent->addAction(e.action);
  }
}
