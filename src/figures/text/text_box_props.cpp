// Text_Box: the 32 property rows.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_numbers.h"
#include "core/strx/strx_path.h"
#include "figures/base/svg_format.h"
#include "figures/text/text_box.h"

namespace {

// A link typed into the url row that names a file (made absolute against
// the note's folder).  An anchor on the page ("#..."), a URL ("scheme://")
// and a script are kept as typed.
bool isFilePathLink(std::string_view url) {
  if (url.front() == '#' || StrX_isUrl(url)) return false;
  return !SvgFormat_isScript(url) && !StrX_startsWithNoCase(url, "javascript:");
}

std::vector<std::string> choices(bool japanese, std::initializer_list<const char*> ja,
                                 std::initializer_list<const char*> en) {
  const auto& list = japanese ? ja : en;
  return std::vector<std::string>(list.begin(), list.end());
}

// Blanks and surrounding double quotes removed, at most 4095 bytes.
std::string trimId(std::string_view v) {
  while (!v.empty() && StrX_isSpace(v.front())) v.remove_prefix(1);
  while (!v.empty() && StrX_isSpace(v.back())) v.remove_suffix(1);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return std::string(v.substr(0, Cp932_cutLength(v, 4095)));
}

std::string alarmTextOf(int64_t t) {
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y/%m/%d-%H:%M:%S", &tm);
  return buf;
}

int32_t number(std::string_view v) { return StrX_toInt(v); }

}  // namespace

std::string Text_Box::AlarmText() const { return alarmTextOf(alarmTime); }

PropertyRow Text_Box::GetProperty(int32_t row, bool ja, size_t valueCapacity,
                                  std::string_view noteFolder) const {
  const bool v = vertical;
  switch (row) {
    case 0: {
      const bool fits = text_.size() < valueCapacity;
      std::string value = fits ? text_
                               : text_.substr(0, Cp932_cutLength(text_, valueCapacity ? valueCapacity - 1 : 0));
      return PropertyRow_text(PropertyRow_name(ja, "テキスト", "Text"), std::move(value),
                              fits ? PropertyRowKind_MultiLine : PropertyRowKind_ReadOnly);
    }
    case 1: return PropertyRow_text("class", className, PropertyRowKind_ClassName);
    case 2: return PropertyRow_text("id", id_, PropertyRowKind_Id);
    case 3: {
      PropertyRow r = PropertyRow_text(
          "URL/onclick", noteFolder.empty() || url_.empty() ? url_ : StrX_makeRelative(url_, noteFolder),
          PropertyRowKind_Url);
      r.extra.filter = PropertyRow_name(ja, "すべてのファイル (*.*)|*.*||", "All Files (*.*)|*.*||");
      return r;
    }
    case 4: return PropertyRow_text("target", target_, PropertyRowKind_TargetWindow);
    case 5: return PropertyRow_text("pub", pub_);
    case 6: return PropertyRow_text("ファイル", attachedFile_ ? "1" : "0", PropertyRowKind_ReadOnly);
    case 7:
      return PropertyRow_choice(PropertyRow_name(ja, "クリック後", "After Click"), afterClick,
                                choices(ja, {"何もしない", "閉じる", "ビューアモード", "ビューア & 閉じる"},
                                        {"Do Nothing", "Close", "Viewer Mode", "Viewer & Close"}));
    case 8: return PropertyRow_onOff("固定", header_.locked);
    case 9: return PropertyRow_integer("Tab Order", tabOrder, 0);
    case 10:
      return PropertyRow_choice(
          PropertyRow_name(ja, "枠の形状", "Shape of Frame"), std::abs(frameShape),
          choices(ja, {"　 枠なし", "□ 矩形、長方形", "ロ 丸矩形", "○ 円、楕円", "◇ ひし形", "// 平行四辺形"},
                  {"No Frame", "Rectangle", "Round Rectangle", "Circle, Ellipse", "Diamond",
                   "Parallelogram"}));
    case 11: return PropertyRow_integer(PropertyRow_name(ja, "x (横基準点)", "x (Base Point)"), baseX_, INT32_MIN);
    case 12: return PropertyRow_integer(PropertyRow_name(ja, "y (縦基準点)", "y (Base Point)"), baseY_, INT32_MIN);
    case 13: return PropertyRow_integer(PropertyRow_name(ja, "幅の誤差", "Difference of width"), widthExtra, INT32_MIN);
    case 14: return PropertyRow_integer(PropertyRow_name(ja, "行間", "Between of Line"), lineSpacing, 1);
    case 15:
      return PropertyRow_choice(PropertyRow_name(ja, "基準点位置", "Base Position"), alignment,
                                v ? choices(ja, {"上端", "中央", "下端"}, {"Top", "Center", "Bottom"})
                                  : choices(ja, {"左端", "中央", "右端"}, {"Left", "Center", "Right"}));
    case 16: return PropertyRow_integer(PropertyRow_name(ja, "角度", "Angle"), angle, INT32_MIN);
    case 17: return PropertyRow_colour(PropertyRow_name(ja, "テキストの色", "Text Color"), textColour);
    case 18: return PropertyRow_text(PropertyRow_name(ja, "フォント", "Font"), PropertyRow_fontValue({fontFace, fontSize * 10, bold, italic}), PropertyRowKind_Font);
    case 19: return PropertyRow_integer(PropertyRow_name(ja, "サイズ", "Size"), fontSize, 1);
    case 20: return PropertyRow_onOff(PropertyRow_name(ja, "太字", "Bold"), bold);
    case 21: return PropertyRow_onOff(PropertyRow_name(ja, "斜体", "Itaric"), italic);
    case 22:
      return PropertyRow_choice(PropertyRow_name(ja, "方向", "Direction"), v ? 1 : 0,
                                choices(ja, {"横書き", "縦書き"}, {"Horizontal", "Vertical"}));
    case 23: return PropertyRow_integer(PropertyRow_name(ja, "横マージン", "Horizontal Mergin"), v ? marginY : marginX, 0);
    case 24: return PropertyRow_integer(PropertyRow_name(ja, "縦マージン", "Vertical Mergin"), v ? marginX : marginY, 0);
    case 25: return PropertyRow_colour(PropertyRow_name(ja, "塗りつぶし色", "Fill Color"), fillColour);
    case 26: return PropertyRow_integer(PropertyRow_name(ja, "濃さ（非透過％）", "Transparent %"), opacity, 0, 100);
    case 27: return PropertyRow_colour(PropertyRow_name(ja, "枠の色", "Frame Color"), frameColour);
    case 28: return PropertyRow_integer(PropertyRow_name(ja, "枠の幅", "Frame Width"), frameWidth, 0);
    case 29: return PropertyRow_text(PropertyRow_name(ja, "アラーム", "Alarm"), "開発中", PropertyRowKind_ReadOnly);
    case 30: return PropertyRow_text("条件式", condition.text);
    case 31: return PropertyRow_text("フィルタ変数", filterText);
    default: return PropertyRow_pastEnd();
  }
}

void Text_Box::SetProperty(int32_t row, std::string_view value, std::string_view noteFolder) {
  const int32_t n = number(value);
  switch (row) {
    case 0: SetText(value); placeholder = false; break;
    case 1: className = value; break;
    case 2: id_ = trimId(value); break;
    case 3: {
      std::string url(value);
      if (!url.empty() && !noteFolder.empty() && isFilePathLink(url)) {
        // A path that cannot be made absolute is kept as written.
        Except_tryCatch([&] { StrX_makeAbsolute(url, value, noteFolder); },
                        [&](const Errors_Msg& e) {
                          if (e.code != StrX_Err_BufOver) Except_throw(e);
                          url = value;
                        });
      }
      SetUrl(url);
      break;
    }
    case 4: target_ = value; break;
    case 5: pub_ = value; break;
    case 6: ApplyLinkColours(n != 0); break;
    case 7: afterClick = std::clamp(n, 0, 3); break;
    case 8: header_.locked = n != 0; break;
    case 9: tabOrder = std::max(n, 0); break;
    case 10: SetFrameShape(n); break;
    // The box moves as with MoveBy: the frame and the attached ends go along.
    case 11: MoveBy(Figure_toInt32(int64_t{Figure_clampCoord(n)} - baseX_), 0); break;
    case 12: MoveBy(0, Figure_toInt32(int64_t{Figure_clampCoord(n)} - baseY_)); break;
    case 13: widthExtra = n; invalidateBounds(); break;
    case 14: lineSpacing = std::max(n, 1); invalidateBounds(); break;
    case 15: SetAlignment(n); break;
    case 16: angle = n; invalidateBounds(); break;
    case 17: StrX_readColor(value, textColour); break;
    case 18: {
      StrX_Font font{{}, fontSize * 10, bold, italic};
      if (!PropertyRow_readFontValue(value, font)) break;
      const std::string face = font.face;
      const bool b = font.bold, i = font.italic;
      const int32_t size = std::max(1, (font.size10 + 5) / 10);
      lineSpacing = std::max(1, lineSpacing + size - fontSize);
      fontFace = face;
      fontSize = size;
      bold = b;
      italic = i;
      invalidateBounds();
      break;
    }
    case 19: {
      const int32_t size = std::max(n, 1);
      lineSpacing = std::max(1, lineSpacing + size - fontSize);
      fontSize = size;
      invalidateBounds();
      break;
    }
    case 20: bold = n != 0; invalidateBounds(); break;
    case 21: italic = n != 0; invalidateBounds(); break;
    case 22: vertical = n != 0; invalidateBounds(); break;
    case 23: (vertical ? marginY : marginX) = std::max(n, 0); invalidateBounds(); break;
    case 24: (vertical ? marginX : marginY) = std::max(n, 0); invalidateBounds(); break;
    case 25: StrX_readColor(value, fillColour); break;
    case 26: opacity = std::clamp(n, 0, 100); break;
    case 27: StrX_readColor(value, frameColour); break;
    case 28:
      frameWidth = std::max(n, 0);
      if (frameWidth == 0) {
        marginX = 8;
        marginY = 2;
      }
      invalidateBounds();
      break;
    case 29:
      alarmSet = !value.empty() && StrX_isAsciiDigit(value[0]) && SvgFormat_parseAlarmText(value, alarmTime, 3);
      break;
    case 30: condition = TextCondition_parse(value); break;
    case 31:
      filterText = std::string(value.substr(0, Cp932_cutLength(value, 255)));
      if (condition.text.empty()) condition = TextCondition_parse(value);
      break;
    default: break;
  }
}
