// Rect_Ex: the property rows.  Rows 0-12 are common, 13-17 exist only for
// images; for other shapes a row above 12 is table row + 5.
#include <algorithm>
#include <cstdio>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_numbers.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "figures/rect/rect_ex.h"

namespace {

std::string relative(std::string_view path, std::string_view noteFolder) {
  return noteFolder.empty() ? std::string(path) : StrX_makeRelative(path, noteFolder);
}

std::vector<std::string> list(bool japanese, std::initializer_list<const char*> ja,
                              std::initializer_list<const char*> en) {
  const auto& l = japanese ? ja : en;
  return std::vector<std::string>(l.begin(), l.end());
}

// The extension of a path without its dot.
std::string extensionText(std::string_view path) {
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += Cp932_charLen(path, i)) {
    if (path[i] == '/' || path[i] == '\\') dot = std::string_view::npos;
    else if (path[i] == '.') dot = i;
  }
  return dot == std::string_view::npos ? "" : std::string(path.substr(dot + 1));
}

// "%d.%dKB" of a file size: s = size + 101, s / 1024, then the tenths digit
// (s mod 1024) / 102 capped at 9.
std::string sizeText(int64_t size) {
  const int64_t s = size + 101;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%lld.%lldKB", static_cast<long long>(s / 1024),
                static_cast<long long>(std::min<int64_t>((s % 1024) / 102, 9)));
  return buf;
}

// A percentage p of a natural size: exactly natural at 100, else
// (p x 10 + 5) x natural / 1000.
int32_t sizeAtPercent(int64_t p, int64_t natural) {
  return Figure_clampSize(p == 100 ? natural : (p * 10 + 5) * natural / 1000);
}

const char* kImageFilterJa =
    "画像ファイル(*.jpg;*.gif;*.png)|*.jpg;*.gif;*.png|すべてのファイル (*.*)|*.*||";
const char* kImageFilterEn = "Image File(*.jpg;*.gif;*.png)|*.jpg;*.gif;*.png|All Files (*.*)|*.*||";

}  // namespace

int32_t Rect_Ex::GetPropertyCount() const { return shape == RectShape_Image ? 22 : 18; }

PropertyRow Rect_Ex::GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                                 std::string_view noteFolder) const {
  if (row < 0 || row >= GetPropertyCount()) return PropertyRow_pastEnd();
  if (shape != RectShape_Image && row > 12) row += 5;
  return tableRow(row, japanese, valueCapacity, noteFolder);
}

PropertyRow Rect_Ex::tableRow(int32_t row, bool j, size_t cap, std::string_view folder) const {
  const int32_t nw = std::max(naturalWidth, 1), nh = std::max(naturalHeight, 1);
  switch (row) {
    case 0:
      return PropertyRow_choice(PropertyRow_name(j, "形状", "Figure"), shape - 1,
                                list(j, {"矩形、長方形", "丸矩形", "円、楕円", "ひし形", "画像"},
                                     {"Rectangle", "Round Rectangle", "Circle, Ellipse",
                                      "Diamond", "Image"}));
    case 1: return PropertyRow_text("id", PropertyRow_fitValue(id, cap), PropertyRowKind_Id);
    case 2: {
      PropertyRow r = PropertyRow_text("URL/onclick", PropertyRow_fitValue(relative(url, folder), cap),
                                       PropertyRowKind_Url);
      r.extra.filter = PropertyRow_name(j, "すべてのファイル (*.*)|*.*||", "All Files (*.*)|*.*||");
      return r;
    }
    case 3: return PropertyRow_text("target", PropertyRow_fitValue(target, cap), PropertyRowKind_TargetWindow);
    case 4: return PropertyRow_text("pub", PropertyRow_fitValue(pub, cap));
    case 5:
      return PropertyRow_choice(PropertyRow_name(j, "クリック後", "After Click"), afterClick,
                                list(j, {"何もしない", "閉じる", "ビューアモード", "ビューア & 閉じる"},
                                     {"Do Nothing", "Close", "Viewer Mode", "Viewer & Close"}));
    case 6: return PropertyRow_onOff("固定", IsLocked());
    case 7: return PropertyRow_integer(PropertyRow_name(j, "x (左)", "x (Left)"), x, INT32_MIN);
    case 8: return PropertyRow_integer(PropertyRow_name(j, "y (上)", "y (Top)"), y, INT32_MIN);
    case 9:
      return PropertyRow_integer(PropertyRow_name(j, "x (右)", "x (Right)"),
                                 Figure_toInt32(int64_t{x} + width), INT32_MIN);
    case 10:
      return PropertyRow_integer(PropertyRow_name(j, "y (下)", "y (Bottom)"),
                                 Figure_toInt32(int64_t{y} + height), INT32_MIN);
    case 11: return PropertyRow_integer(PropertyRow_name(j, "幅", "width"), width, 1);
    case 12: return PropertyRow_integer(PropertyRow_name(j, "高さ", "Height"), height, 1);
    case 13: return PropertyRow_onOff(PropertyRow_name(j, "画像埋め込み", "embed image"), embedImage);
    case 14: {
      const bool typeOnly = imagePath.empty() && !workImagePath.empty();
      PropertyRow r = typeOnly
          ? PropertyRow_text(PropertyRow_name(j, "画像形式", "Image Type"), PropertyRow_fitValue(extensionText(workImagePath), cap),
                             PropertyRowKind_ImagePath)
          : PropertyRow_text(PropertyRow_name(j, "画像ﾌｧｲﾙﾊﾟｽ", "Image Path"),
                             PropertyRow_fitValue(relative(imagePath, folder), cap), PropertyRowKind_ImagePath);
      r.extra.filter = PropertyRow_name(j, kImageFilterJa, kImageFilterEn);
      return r;
    }
    case 15: {
      int64_t size = 0;
      Except_tryCatch(
          [&] {
            const std::string& file = embedImage ? workImagePath : imagePath;
            if (!file.empty()) size = FileX_fileSize(file);
          },
          [&](const Errors_Msg&) { size = 0; });
      return PropertyRow_text("画像サイズ", sizeText(size), PropertyRowKind_ReadOnly);
    }
    case 16:
      return PropertyRow_integer(PropertyRow_name(j, "X拡大(%)", "x-zoom"),
                                 Figure_toInt32(int64_t{width} * 100 / nw), 1);
    case 17:
      return PropertyRow_integer(PropertyRow_name(j, "Y拡大(%)", "y-zoom"),
                                 Figure_toInt32(int64_t{height} * 100 / nh), 1);
    case 18: return PropertyRow_integer(PropertyRow_name(j, "角度", "Angle"), angle, INT32_MIN);
    case 19: return PropertyRow_colour(PropertyRow_name(j, "塗りつぶし色", "Fill Color"), fillColour);
    case 20:
      return PropertyRow_integer(PropertyRow_name(j, "濃さ（非透過率％）", "Transparent %"), opacity, 0, 100);
    case 21: return PropertyRow_colour(PropertyRow_name(j, "境界色", "Border Color"), strokeColour);
    case 22: return PropertyRow_integer(PropertyRow_name(j, "境界幅", "Border Width"), strokeWidth, 0);
    default: return PropertyRow_pastEnd();
  }
}

void Rect_Ex::SetProperty(int32_t row, std::string_view value, std::string_view noteFolder) {
  if (row < 0 || row >= GetPropertyCount()) return;
  if (shape != RectShape_Image && row > 12) row += 5;
  setTableRow(row, value, noteFolder);
}

void Rect_Ex::setZoomRow(bool horizontal, int32_t percent) {
  const int64_t nw = std::max(naturalWidth, 1), nh = std::max(naturalHeight, 1);
  const int64_t mine = horizontal ? nw : nh, other = horizontal ? nh : nw;
  int32_t& size = horizontal ? width : height;
  int32_t& otherSize = horizontal ? height : width;
  const int64_t old = std::max<int64_t>(int64_t{size} * 100 / mine, 1);
  const int64_t p = std::max(percent, 1);
  const double f = (double(p) + 0.5) / double(old);
  size = sizeAtPercent(p, mine);
  const char* question = horizontal ? "高さの倍率も同様に変えますか？" : "幅の倍率も同様に変えますか？";
  const PromptAnswer a = UserPrompts_get().messageBox(question, "確認", PromptButtons::YesNo,
                                                      PromptIcon::Question, PromptAnswer::No, 0);
  if (a != PromptAnswer::Yes) return;
  const int64_t q = static_cast<int64_t>(double(int64_t{otherSize} * 100 / other) * f);
  otherSize = sizeAtPercent(q, other);
}

void Rect_Ex::setTableRow(int32_t row, std::string_view value, std::string_view folder) {
  const int32_t n = StrX_toInt(value);
  switch (row) {
    case 0: shape = (n + 1 >= 1 && n + 1 <= 5) ? n + 1 : RectShape_Rectangle; break;
    case 1: {
      std::string v(value);
      StrX_trimQuotes(v);
      id = v.substr(0, Cp932_cutLength(v, 259));
      break;
    }
    case 2: url = value; break;
    case 3: target = value; break;
    case 4: pub = value; break;
    case 5: afterClick = std::clamp(n, 0, 3); break;
    case 6: SetLocked(n != 0); break;
    case 7: x = Figure_clampCoord(n); break;
    case 8: y = Figure_clampCoord(n); break;
    case 9: width = Figure_clampSize(int64_t{n} - x); break;
    case 10: height = Figure_clampSize(int64_t{n} - y); break;
    case 11: width = Figure_clampSize(n); break;
    case 12: height = Figure_clampSize(n); break;
    case 13: embedImage = value.empty() || value[0] != '0'; break;
    case 14: {
      std::string path(value);
      if (!folder.empty()) {
        Except_tryCatch([&] { StrX_makeAbsolute(path, value, folder); },
                        [&](const Errors_Msg& e) {
                          if (e.code != StrX_Err_BufOver) Except_throw(e);
                          path = std::string(value);
                        });
      }
      imagePath = path;
      shape = RectShape_Image;
      takeNaturalSize = true;
      imageLoadable = true;
      // A new working file: undo copies may still name the old one.
      workImagePath.clear();
      DropImageCache();
      RefreshWorkImage();
      break;
    }
    case 16: setZoomRow(true, n); break;
    case 17: setZoomRow(false, n); break;
    case 18: angle = n; break;
    case 19: StrX_readColor(value, fillColour); break;
    case 20: opacity = std::clamp(n, 0, 100); break;
    case 21: StrX_readColor(value, strokeColour); break;
    case 22: strokeWidth = std::max(n, 0); break;
    default: break;  // 15: read only
  }
}
