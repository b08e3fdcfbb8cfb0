// Helpers of the element-reader tests: a small event loop that drives the
// element readers the way the note reader does (pending data per open
// group, <a> links as written, text and tspan lines, group resolution), and
// the writing side of round trips.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/xml/xml_event_reader.h"
#include "document/reader/reader_elements.h"
#include "figures/base/figure_list.h"
#include "figures/base/svg_write_context.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"

namespace reader_test {

inline const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

// The element text a figure writes, inside a minimal document.
inline std::string svgOf(const CadPrim& figure, const std::string& notePath = "/notes/a.svg") {
  SvgWriteContext w;
  w.notePath = notePath;
  figure.WriteSvg(w);
  return "<svg>\n" + w.out + "</svg>\n";
}

// The fields Text_Box::Equals compares that differ ("" when none), for
// failure messages.
inline std::string textBoxDiff(const Text_Box& a, const Text_Box& b) {
  std::string out;
  auto cmp = [&](const char* name, auto x, auto y) {
    if (!(x == y)) out += std::string(name) + " ";
  };
  cmp("text", a.text(), b.text());
  cmp("id", a.GetId(), b.GetId());
  cmp("url", a.GetUrl(), b.GetUrl());
  cmp("target", a.GetTarget(), b.GetTarget());
  cmp("pub", a.GetPub(), b.GetPub());
  cmp("file", a.HasAttachedFile(), b.HasAttachedFile());
  cmp("afterClick", a.afterClick, b.afterClick);
  cmp("base", a.basePoint(), b.basePoint());
  cmp("widthExtra", a.widthExtra, b.widthExtra);
  cmp("lineSpacing", a.lineSpacing, b.lineSpacing);
  cmp("angle", a.angle, b.angle);
  cmp("textColour", a.textColour, b.textColour);
  cmp("fontFace", a.fontFace, b.fontFace);
  cmp("fontSize", a.fontSize, b.fontSize);
  cmp("bold", a.bold, b.bold);
  cmp("italic", a.italic, b.italic);
  cmp("alignment", a.alignment, b.alignment);
  cmp("vertical", a.vertical, b.vertical);
  cmp("frameShape", a.frameShape, b.frameShape);
  cmp("marginX", a.marginX, b.marginX);
  cmp("marginY", a.marginY, b.marginY);
  cmp("frameWidth", a.frameWidth, b.frameWidth);
  cmp("frameColour", a.frameColour, b.frameColour);
  cmp("fillColour", a.fillColour, b.fillColour);
  cmp("opacity", a.opacity, b.opacity);
  cmp("tabOrder", a.tabOrder, b.tabOrder);
  cmp("class", a.className, b.className);
  cmp("condition", a.condition.text, b.condition.text);
  cmp("filter", a.filterText, b.filterText);
  cmp("alarm", a.alarmSet, b.alarmSet);
  if (a.alarmSet) cmp("alarmTime", a.alarmTime, b.alarmTime);
  return out;
}

struct Harness {
  AppCounters counters;
  ReaderColours colours;
  FigureList figures;
  int32_t formatVersion = 300;
  std::string notePath = "/notes/a.svg";
  std::string workFolder;
  int32_t documentNumber = 7;
  bool japanese = true;
  // Whether text boxes get the fixed metrics.
  bool withMetrics = true;

  // Reads every element of the document into `figures`.
  void read(const std::string& svg) {
    XmlEventReader xml;
    xml.OpenBytes(svg);
    std::vector<ReaderPending> pending(1);
    std::vector<size_t> groups;
    std::vector<CadPrim*> collected;
    Text_Box* text = nullptr;
    int32_t tspans = 0;
    int32_t textTarget = -1;  // 0 after <text>, n after the n-th <tspan>
    while (xml.Next()) {
      ReaderContext ctx{xml,          pending.back(), colours,  formatVersion,
                        notePath,     workFolder,     documentNumber, counters,
                        withMetrics ? &metrics() : nullptr, japanese};
      const std::string& name = xml.Name();
      auto attr = [&](const char* n) { return std::string(xml.Attribute(n).value_or("")); };
      switch (xml.Kind()) {
        case XmlEvent_start:
          textTarget = -1;
          if (name == "g") {
            ReaderPending p = pending.back();
            p.id = attr("id");
            if (xml.Attribute("class")) p.className = attr("class");
            if (xml.Attribute("pub")) p.pub = attr("pub");
            if (xml.Attribute("zerbin_formula")) p.formula = attr("zerbin_formula");
            if (xml.Attribute("zerbin_variables")) p.variables = attr("zerbin_variables");
            if (xml.Attribute("href"))
              p.link = attr("href");
            else if (xml.Attribute("onclick"))
              p.link = "script:" + attr("onclick");
            else
              p.link.clear();
            p.linkElement = false;
            pending.push_back(p);
            groups.push_back(collected.size());
          } else if (name == "a") {
            ReaderPending& p = pending.back();
            if (xml.Attribute("zerbin_vhref"))
              p.link = attr("zerbin_vhref");
            else if (xml.Attribute("xlink:href"))
              p.link = attr("xlink:href");
            if (xml.Attribute("zerbin_vhref") || xml.Attribute("xlink:href")) p.linkElement = true;
            p.target = attr("target");
            p.afterClick = 0;
            if (attr("onclick") == "parent.window.opener='a'; parent.window.close();")
              p.afterClick += 1;
            if (attr("zerbin-onclick") == "NewView") p.afterClick += 2;
            p.attachedFile = xml.Attribute("zerbin-file") && attr("zerbin-file") != "0";
          } else if (name == "text") {
            std::unique_ptr<Text_Box> box = ReaderElements_textStart(ctx);
            text = box.get();
            figures.append(std::move(box));
            if (!groups.empty()) collected.push_back(text);
            tspans = 0;
            textTarget = 0;
          } else if (name == "tspan") {
            if (!text) ReaderError_unsupported(japanese);
            ReaderElements_tspanStart(*text, ctx, ++tspans);
            textTarget = tspans;
          }
          break;
        case XmlEvent_end:
          textTarget = -1;
          if (name == "/a") {
            ReaderPending& p = pending.back();
            p.link.clear();
            p.target.clear();
            p.afterClick = 0;
            p.attachedFile = false;
            p.linkElement = false;
          } else if (name == "/g") {
            ReaderElements_resolveGroup(figures, collected, groups.back(), ctx);
            groups.pop_back();
            pending.pop_back();
            if (groups.empty()) collected.clear();
          } else if (name == "/text") {
            text = nullptr;
          }
          break;
        case XmlEvent_empty:
          textTarget = -1;
          if (std::unique_ptr<CadPrim> f = ReaderElements_figure(ctx)) {
            CadPrim& added = figures.append(std::move(f));
            if (!groups.empty()) collected.push_back(&added);
          }
          break;
        case XmlEvent_text:
          if (text && textTarget >= 0) ReaderElements_appendText(*text, xml.Text(), textTarget);
          break;
        default:
          break;
      }
    }
  }

  // The figures of the list of one kind, in list order.
  template <class T>
  std::vector<T*> all() const {
    std::vector<T*> out;
    for (const auto& f : figures)
      if (auto* t = dynamic_cast<T*>(f.get())) out.push_back(t);
    return out;
  }

  // The only figure of the list, which must be a T (null otherwise).
  template <class T>
  T* only() const {
    if (figures.size() != 1) return nullptr;
    return dynamic_cast<T*>(&figures.at(0));
  }
};

}  // namespace reader_test
