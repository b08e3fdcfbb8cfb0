// Text boxes from <text> and <tspan>: the box of the start tag, the line
// spacing of the first tspan, and the lines.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "core/strx/codepage.h"
#include "document/reader/reader_elements.h"
#include "document/reader/reader_values.h"
#include "figures/base/svg_format.h"
#include "figures/text/text_box.h"
#include "figures/text/text_condition.h"

namespace {

// The longest font-family a box takes; longer names are cut at a character
// boundary.
constexpr size_t kFontFamilyMax = 39;
constexpr size_t kFilterTextMax = 255;

// The tag's own value of an identity attribute, else the enclosing group's,
// which is then used up.
std::string takeIdentity(const XmlEventReader& xml, std::string_view name,
                         std::string& pending) {
  if (const std::optional<std::string_view> v = xml.Attribute(name)) return std::string(*v);
  std::string value = std::move(pending);
  pending.clear();
  return value;
}

}  // namespace

std::unique_ptr<Text_Box> ReaderElements_textStart(ReaderContext& ctx) {
  const XmlEventReader& xml = ctx.xml;
  auto box = std::make_unique<Text_Box>(ctx.metrics);
  box->SetNumber(ctx.counters.nextFigureNumber());
  box->SetText("");
  box->placeholder = false;
  // A frame comes only from the shape of the group around the text.
  box->frameShape = TextBoxFrame_None;

  // Identity.  The id of a group stays for the group's other figures.
  if (const std::optional<std::string_view> id = xml.Attribute("id"))
    box->SetId(*id);
  else
    box->SetId(ctx.pending.id);
  box->className = takeIdentity(xml, "class", ctx.pending.className);
  box->SetProperty(5, takeIdentity(xml, "pub", ctx.pending.pub), {});
  const std::string formula = takeIdentity(xml, "zerbin_formula", ctx.pending.formula);
  if (!formula.empty()) box->condition = TextCondition_parse(formula);
  const std::string variables = takeIdentity(xml, "zerbin_variables", ctx.pending.variables);
  box->filterText = variables.substr(0, Cp932_cutLength(variables, kFilterTextMax));

  // The link of the enclosing <a>.  The url is assigned as it is: the
  // colours are the file's, not the link colours of an edited box.
  box->ApplyLinkColours(ctx.pending.attachedFile);
  box->AssignUrl(ctx.pending.link);
  box->SetTarget(ctx.pending.target);
  box->afterClick = std::clamp(ctx.pending.afterClick, 0, 3);

  if (const std::optional<std::string_view> alarm = xml.Attribute("zerbin-alarm")) {
    int64_t t = 0;
    if (SvgFormat_parseAlarmText(*alarm, t, 6)) {
      box->alarmSet = true;
      box->alarmTime = t;
    }
  }
  box->SetBasePoint(ReaderValue_attrInt(xml, "x", 250), ReaderValue_attrInt(xml, "y", 150));

  // The style; a text's fill is the line colour of the file.
  const std::string style(xml.Attribute("style").value_or(std::string_view()));
  if (const std::optional<std::string> fill = ReaderStyle_get(style, "fill"))
    if (const std::optional<Colour> c = ReaderValue_colour(*fill)) ctx.colours.line = *c;
  box->textColour = ctx.colours.line;
  if (const std::optional<std::string> family = ReaderStyle_get(style, "font-family")) {
    const std::string_view cut =
        std::string_view(*family).substr(0, Cp932_cutLength(*family, kFontFamilyMax));
    box->fontFace = SvgFormat_fontFaceFromFile(cut);
  } else {
    box->fontFace = ctx.japanese ? "ＭＳ Ｐゴシック" : "Arial";
  }
  int32_t size = 8;
  if (const std::optional<std::string> s = ReaderStyle_get(style, "font-size"))
    size = ReaderValue_int(*s);
  box->fontSize = std::clamp(size, 1, Figure_sizeMax);
  box->lineSpacing = Figure_toInt32(int64_t{box->fontSize} * 15 / 10);
  if (const std::optional<std::string> w = ReaderStyle_get(style, "font-weight"))
    box->bold = *w == "bold" || ReaderValue_int(*w) > 400;
  if (const std::optional<std::string> i = ReaderStyle_get(style, "font-style"))
    box->italic = *i == "italic";
  if (const std::optional<std::string> a = ReaderStyle_get(style, "text-anchor"))
    box->alignment = *a == "middle" ? 1 : *a == "end" ? 2 : 0;

  if (const std::optional<std::string_view> t = xml.Attribute("transform"))
    box->angle = ReaderValue_transformAngle(*t);
  if (const std::optional<std::string_view> m = xml.Attribute("writing-mode"))
    box->vertical = *m == "tb";
  box->tabOrder = std::max(ReaderValue_attrInt(xml, "zerbin-tab-order", 0), 0);
  return box;
}

void ReaderElements_tspanStart(Text_Box& box, ReaderContext& ctx, int32_t count) {
  if (count == 1) {
    const Point32 base = box.basePoint();
    const std::optional<std::string_view> v = ctx.xml.Attribute(box.vertical ? "x" : "y");
    if (v) {
      const int64_t at = ReaderValue_int(*v);
      const int64_t spacing = box.vertical ? base.x - at : at - base.y;
      box.lineSpacing = static_cast<int32_t>(std::clamp<int64_t>(spacing, 1, Figure_sizeMax));
    }
    box.layoutFlags |= TextBox_spacingTaken;
  }
  // Every tspan is a line, an empty one too.
  box.SetText(box.text() + "\r\n");
}

void ReaderElements_appendText(Text_Box& box, std::string_view rawText, int32_t) {
  box.SetText(box.text() + ReaderText_decodeEntities(rawText));
}
