#include "app/toolbars/tool_bars.h"

#include <array>
#include <algorithm>
#include <map>
#include <tuple>

#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/prompts/user_prompts.h"
#include "view/commands/command_ids.h"
#include "view/editing/edit_tools.h"

// Qt after the core headers.
#include "app/links/follow_link.h"
#include "app/mainframe/main_frame.h"
#include "app/propbar/prop_bar.h"
#include <QActionGroup>
#include <QIcon>
#include <QMenuBar>
#include <QToolBar>

#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/editing/mouse_editor.h"
#include "view/editor/in_place_editing.h"
#include "view/selection/view_selection.h"

namespace {

struct BarInfo {
  int32_t bit;
  int32_t command;
  const char* name;
  const char* ja;
  const char* en;
};
constexpr std::array<BarInfo, 5> kBars = {{
    {ToolBar_file, Cmd_FileBar, "fileBar", "ファイル・バー(&T)", "&File Bar"},
    {ToolBar_figure, Cmd_FigureBar, "figureBar", "図形バー(&C)", "Fi&gure Bar"},
    {ToolBar_align, Cmd_AlignBar, "alignBar", "整列バー(&N)", "Alig&nment Bar"},
    {ToolBar_pen, Cmd_PenBar, "penBar", "ペン・バー(&P)", "&Pen Bar"},
    {ToolBar_input, Cmd_InputBar, "inputBar", "入力補助バー(&I)", "&Input Assist Bar"},
}};
// The four bars that "show / hide all bars" looks at.
constexpr int32_t kMainBars = ToolBar_file | ToolBar_figure | ToolBar_align | ToolBar_pen;

// What each bar holds (0: a separator).  Commands a window lacks are left
// out.
const std::vector<int32_t>& barCommands(int32_t bit) {
  static const std::map<int32_t, std::vector<int32_t>> kContents = {
      {ToolBar_file,
       {Cmd_FileNew, Cmd_FileOpen, Cmd_FileSave, Cmd_Print, 0, Cmd_Undo, Cmd_Redo, 0, Cmd_Cut,
        Cmd_Copy, Cmd_Paste, 0, Cmd_LinkBack, Cmd_LinkForward, 0, Cmd_PreviousPage, Cmd_NextPage,
        0, Cmd_ZoomIn, Cmd_ZoomOut, Cmd_FitPage}},
      {ToolBar_figure, {32775, 32928, 32841, 0,     32790, 32958, 32959, 33011, 32802, 32810,
                        32811, 32812, 32883, 0,     32773, 32837, 32805, 33024, 32834, 0,
                        32865, 32774, 32807, 32808, 32809}},
      {ToolBar_align,
       {Cmd_AlignLeft, Cmd_AlignHorizontal, Cmd_AlignRight, Cmd_AlignTop, Cmd_AlignVertical,
        Cmd_AlignBottom, 0, Cmd_SameWidth, Cmd_SameHeight, Cmd_SpaceHorizontal,
        Cmd_SpaceVertical, 0, Cmd_ToTop, Cmd_ToBottom}},
      {ToolBar_pen, {32884, 32907, 32911, 32910, 32912, 32913, 32893}},
      {ToolBar_input,
       {Cmd_InsertDate, Cmd_Bold, Cmd_TextDialog, Cmd_LinkAddress, Cmd_LockToggle,
        Cmd_InputMethodOnOff}},
  };
  return kContents.at(bit);
}

// The desktop theme's icon of a command.
const char* themeIcon(int32_t id) {
  static const std::map<int32_t, const char*> kIcons = {
      {Cmd_FileNew, "document-new"},
      {Cmd_FileOpen, "document-open"},
      {Cmd_FileSave, "document-save"},
      {Cmd_Print, "document-print"},
      {Cmd_Undo, "edit-undo"},
      {Cmd_Redo, "edit-redo"},
      {Cmd_Cut, "edit-cut"},
      {Cmd_Copy, "edit-copy"},
      {Cmd_Paste, "edit-paste"},
      {Cmd_LinkBack, "go-previous"},
      {Cmd_LinkForward, "go-next"},
      {Cmd_PreviousPage, "go-up"},
      {Cmd_NextPage, "go-down"},
      {Cmd_ZoomIn, "zoom-in"},
      {Cmd_ZoomOut, "zoom-out"},
      {Cmd_FitPage, "zoom-fit-best"},
      {Cmd_AlignLeft, "format-justify-left"},
      {Cmd_AlignHorizontal, "format-justify-center"},
      {Cmd_AlignRight, "format-justify-right"},
      {Cmd_AlignTop, "go-top"},
      {Cmd_AlignVertical, "format-justify-fill"},
      {Cmd_AlignBottom, "go-bottom"},
      {Cmd_SameWidth, "zoom-fit-best"},
      {Cmd_SameHeight, "view-fullscreen"},
      {Cmd_SpaceHorizontal, "object-flip-horizontal"},
      {Cmd_SpaceVertical, "object-flip-vertical"},
      {Cmd_ToTop, "go-top"},
      {Cmd_ToBottom, "go-bottom"},
      {Cmd_InsertDate, "appointment-new"},
      {Cmd_Bold, "format-text-bold"},
      {Cmd_TextDialog, "accessories-text-editor"},
      {Cmd_LinkAddress, "insert-link"},
      {Cmd_LockToggle, "changes-prevent"},
      {Cmd_InputMethodOnOff, "input-keyboard"},
  };
  const auto it = kIcons.find(id);
  return it == kIcons.end() ? nullptr : it->second;
}

// Our own icon of a tool of the palette (drawn as SVG in the program).
QString toolIcon(int32_t tool) {
  static const char* const kNames[EditTools_count] = {
      "select",    "multiselect", "rotate",    nullptr,     "text",         "redtext",
      "bluetext",  "datetext",    "recttext",  "roundtext", "circletext",   "diamondtext",
      "paralleltext", "line",     "arrow",     "corner",    "matome",       "guideline",
      "emphasis",  "rect",        "roundrect", "ellipse",   "diamond",      nullptr,
      nullptr,     "pen",         "redpen",    "bluepen",   "marker",       "redmarker",
      "yellowmarker", "lasso"};
  if (tool < 0 || tool >= EditTools_count || kNames[tool] == nullptr) return {};
  return QStringLiteral(":/zerbin/tools/%1.svg").arg(QLatin1String(kNames[tool]));
}

QString withoutMnemonic(QString text) {
  const qsizetype paren = text.indexOf("(&");
  if (paren >= 0) text.truncate(paren);
  text.remove('&');
  return text.trimmed();
}

}  // namespace

QRect ToolBars_noteBarRect(const QRect& saved, const QRect& workArea, const QRect& screen) {
  QRect r = saved.width() * 5 > workArea.width() * 4
                ? saved
                : QRect(workArea.left(), workArea.top(), workArea.width(), 56);
  r.setHeight(std::min(r.height(), screen.height() / 2));
  return r;
}

ToolBars::ToolBars(CMainFrame& frame) : frame_(frame), guard_(std::make_unique<QObject>()) {
  registerCommands();
}

ToolBars::~ToolBars() {
  frame_.view().mouseEditor().hooks().templateFor = nullptr;
  // The watcher posts to the guard: it ends first.
  watcher_.Stop();
  guard_.reset();
}

void ToolBars::registerCommands() {
  CommandTable& table = frame_.commands();
  const bool ja = frame_.options().japanese;
  auto t = [ja](const char* j, const char* e) { return std::string(ja ? j : e); };
  const std::string barsMenu = t("表示(&V)/ツール・バー(&B)", "&View/Tool &Bars");
  for (size_t i = 0; i < kBars.size(); ++i) {
    table.add(kBars[i].command, t(kBars[i].ja, kBars[i].en), barsMenu, {},
              [this, i] {
                if (i < bars_.size()) bars_[i]->setVisible(!bars_[i]->isVisible());
              },
              [this, i] { return i < bars_.size() && bars_[i]->isVisible(); });
  }
  table.add(Cmd_AllBars, t("すべてのバーを表示(&A)", "Show &All Bars"), barsMenu, {},
            [this] { toggleAll(); });
  table.add(Cmd_PropertyBar, t("プロパティ・バー(&R)", "P&roperty Bar"), barsMenu, {},
            [this] {
              CZerbinPropBar& p = frame_.propBar();
              p.setVisible(!p.isVisible());
            },
            [this] { return frame_.propBar().isVisible(); });
  const std::string modeMenu = t("表示(&V)", "&View");
  table.add(Cmd_ViewerMode, t("ビューアモード(&Y)", "Vie&wer Mode"), modeMenu, {},
            [this] { setViewerMode(!viewerMode_); }, [this] { return viewerMode_; });
  table.add(Cmd_NoteBarMode, t("ノートバー・モード(&K)", "Note Bar Mode(&K)"), modeMenu, {},
            [this] { setNoteBarMode(!noteBarMode_); }, [this] { return noteBarMode_; });
  table.add(Cmd_NoteBarOff, t("普通のウィンドウにする(&K)", "Normal Window(&K)"), {}, {},
            [this] { setNoteBarMode(!noteBarMode_); });
  const std::string styleMenu = t("ツール(&T)/スタイル・セット(&S)", "&Tools/&Style Set");
  table.add(Cmd_DefaultStyleSet,
            t("デフォルト・スタイル・セットに戻す(&L)", "&Load Default Style Set"), styleMenu, {},
            [this] {
              std::string missing;
              std::string folder;
              const auto& vars = frame_.options().save.variables;
              if (vars) vars("design", folder);
              const std::string path = StyleSet_defaultPath(folder, &missing);
              if (path.empty()) {
                UserPrompts_get().messageBox(
                    missing + (frame_.options().japanese ? "が見つかりません。" : " Not Found."),
                    "Zerbin", PromptButtons::Ok, PromptIcon::Warning, PromptAnswer::Ok,
                    WindowIds_idOf(&frame_));
                return;
              }
              LoadStyleSet(path);
            });
  table.add(Cmd_CustomStyleSet, t("カスタム・スタイル・セットを使う(&O)...", "Use Custom Style Set(&O)..."),
            styleMenu, {}, [this] {
              std::string path;
              const auto& vars = frame_.options().save.variables;
              if (vars) vars("design", path);
              const bool j = frame_.options().japanese;
              if (UserPrompts_get().openFileName(
                      j ? "スタイル・セット" : "Style Set",
                      j ? "SVG ノート (*.svg;*.svgz)|*.svg;*.svgz|すべてのファイル (*.*)|*.*||"
                        : "SVG Notes (*.svg;*.svgz)|*.svg;*.svgz|All Files (*.*)|*.*||",
                      path, WindowIds_idOf(&frame_))) {
                LoadStyleSet(path);
              }
            });
  table.add(Cmd_ResetStyleSet, t("スタイル・セットをリセット(&R)", "&Reset Style Set"), styleMenu,
            {}, [this] { styles_.Reset(); });
  table.add(Cmd_EditStyleSet, t("スタイル・セットを編集する(&E)...", "&Edit Style Set..."),
            styleMenu, {}, [this] {
              CChildView& view = frame_.view();
              view.inPlace().End();
              if (ViewSelection* s = view.selection()) s->DeselectAll();
              FollowLinkRequest r;
              r.openDialog = true;
              r.link = "%design%";
              r.target = "_blank";
              CMainFrame_followLink(frame_, std::move(r));
            });
  // The creation tools make their figures from the templates.
  frame_.view().mouseEditor().hooks().templateFor = [this](int32_t tool) {
    return styles_.templateFor(tool);
  };
}

void ToolBars::build() {
  CommandTable& table = frame_.commands();
  const bool ja = frame_.options().japanese;
  // Outside a desktop session the toolkit's theme may be bare (hicolor):
  // the common icons then come from the desktop's default theme.
  if (!QIcon::hasThemeIcon("document-new")) {
    const QString before = QIcon::themeName();
    QIcon::setThemeName("Adwaita");
    if (!QIcon::hasThemeIcon("document-new")) QIcon::setThemeName(before);
  }
  toolGroup_ = new QActionGroup(&frame_);
  toolGroup_->setExclusive(true);
  for (const BarInfo& info : kBars) {
    auto* bar = new QToolBar(withoutMnemonic(QtText_fromCp932(ja ? info.ja : info.en)), &frame_);
    bar->setObjectName(info.name);
    bar->setIconSize(QSize(20, 20));
    bool separatorDue = false;
    for (int32_t id : barCommands(info.bit)) {
      if (id == 0) {
        separatorDue = !bar->actions().isEmpty();
        continue;
      }
      QAction* a = table.action(id);
      if (a == nullptr) continue;
      if (separatorDue) bar->addSeparator();
      separatorDue = false;
      const int32_t tool = EditTools_toolOfCommand(id);
      // One tool at a time is shown checked.
      if (tool >= 0) a->setActionGroup(toolGroup_);
      const QString own = tool >= 0 ? toolIcon(tool) : QString();
      if (a->icon().isNull()) {
        if (!own.isEmpty()) {
          a->setIcon(QIcon(own));
        } else if (const char* name = themeIcon(id)) {
          a->setIcon(QIcon::fromTheme(QLatin1String(name)));
        }
      }
      // The tool tip is the tool table's tip (the menu text without its key).
      if (a->toolTip().isEmpty() || a->toolTip() == a->text()) {
        a->setToolTip(withoutMnemonic(a->text()));
      }
      bar->addAction(a);
    }
    // The figure tools start a second row.
    if (info.bit == ToolBar_figure) frame_.addToolBarBreak(Qt::TopToolBarArea);
    frame_.addToolBar(Qt::TopToolBarArea, bar);
    // The pen bar waits for the pen tools: a bar with nothing is not shown.
    if (bar->actions().isEmpty()) bar->setVisible(false);
    QObject::connect(bar, &QToolBar::visibilityChanged, guard_.get(), [this] {
      if (QAction* all = frame_.commands().action(Cmd_AllBars)) {
        const bool j = frame_.options().japanese;
        all->setText(QtText_fromCp932(allShown() ? (j ? "すべてのバーを非表示(&A)" : "Hide &All Bars")
                                                 : (j ? "すべてのバーを表示(&A)" : "Show &All Bars")));
      }
    });
    bars_.push_back(bar);
  }
  if (!frame_.options().save.profileFolder.empty()) {
    restorePlaces(CZerbinApp_loadToolBarPlaces(frame_.options().save.profileFolder));
  }
  // A new window takes the default style set silently.
  std::string folder;
  const auto& vars = frame_.options().save.variables;
  if (vars && vars("design", folder)) {
    const std::string path = StyleSet_defaultPath(folder);
    if (!path.empty()) {
      Except_tryCatch(
          [&] { styles_.Load(path, frame_.options().workFolder, &frame_.metrics(), ja); },
          [](const Errors_Msg&) {});
    }
  }
}

QToolBar* ToolBars::bar(int32_t bit) const {
  for (size_t i = 0; i < kBars.size() && i < bars_.size(); ++i) {
    if (kBars[i].bit == bit) return bars_[i];
  }
  return nullptr;
}

int32_t ToolBars::visibleMask() const {
  int32_t mask = 0;
  for (size_t i = 0; i < bars_.size(); ++i) {
    if (!bars_[i]->isHidden()) mask |= kBars[i].bit;
  }
  return mask;
}

void ToolBars::showBars(int32_t mask) {
  for (size_t i = 0; i < bars_.size(); ++i) {
    const bool on = (mask & kBars[i].bit) != 0 && !bars_[i]->actions().isEmpty();
    bars_[i]->setVisible(on);
  }
}

bool ToolBars::allShown() const {
  // A bar that has nothing to show counts as shown.
  for (size_t i = 0; i < bars_.size(); ++i) {
    if ((kBars[i].bit & kMainBars) != 0 && bars_[i]->isHidden() && !bars_[i]->actions().isEmpty())
      return false;
  }
  return true;
}

void ToolBars::toggleAll() {
  const bool hide = allShown();
  for (size_t i = 0; i < bars_.size(); ++i) {
    if ((kBars[i].bit & kMainBars) == 0) continue;
    bars_[i]->setVisible(!hide && !bars_[i]->actions().isEmpty());
  }
}

bool ToolBars::LoadStyleSet(const std::string& path) {
  bool ok = true;
  Except_tryCatch(
      [&] {
        styles_.Load(path, frame_.options().workFolder, &frame_.metrics(),
                     frame_.options().japanese);
      },
      [&](const Errors_Msg& e) {
        ok = false;
        ReportToUserText(WindowIds_idOf(&frame_), {}, e.message());
      });
  return ok;
}

std::vector<ToolBarPlace> ToolBars::places() const {
  std::vector<QToolBar*> order(bars_.begin(), bars_.end());
  // Layout order: area by area, then row by row, then left to right.
  auto key = [this](QToolBar* b) {
    return std::tuple(static_cast<int>(frame_.toolBarArea(b)), b->y(), b->x());
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](QToolBar* a, QToolBar* b) { return key(a) < key(b); });
  std::vector<ToolBarPlace> out;
  for (QToolBar* b : order) {
    out.push_back({b->objectName().toStdString(), static_cast<int32_t>(frame_.toolBarArea(b)),
                   !b->isHidden(), frame_.toolBarBreak(b)});
  }
  return out;
}

void ToolBars::restorePlaces(const std::vector<ToolBarPlace>& places) {
  for (const ToolBarPlace& p : places) {
    QToolBar* bar = nullptr;
    for (QToolBar* b : bars_) {
      if (b->objectName().toStdString() == p.name) bar = b;
    }
    const auto area = static_cast<Qt::ToolBarArea>(p.area);
    if (bar == nullptr || (area != Qt::LeftToolBarArea && area != Qt::RightToolBarArea &&
                           area != Qt::TopToolBarArea && area != Qt::BottomToolBarArea))
      continue;
    frame_.removeToolBarBreak(bar);
    frame_.addToolBar(area, bar);
    if (p.lineBreak) frame_.insertToolBarBreak(bar);
    // A bar with nothing stays hidden whatever was stored.
    bar->setVisible(p.visible && !bar->actions().isEmpty());
  }
}
