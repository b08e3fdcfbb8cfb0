// Walks all events of any bytes, asking each event for everything it has,
// and checks what must hold for every input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/xml/xml_event_reader.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool inside(std::string_view part, std::string_view whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XmlEventReader r;
  r.OpenBytes(std::string(reinterpret_cast<const char*>(data), size));
  std::string_view bytes = r.Bytes();
  check(bytes.size() == size);
  size_t lastOffset = 0;
  int32_t lastLine = 1;
  size_t events = 0;
  while (r.Next()) {
    ++events;
    check(r.EventOffset() >= lastOffset);
    check(r.EventOffset() < size);
    check(r.EndOffset() <= size);
    lastOffset = r.EventOffset();
    int32_t line = r.Line();
    check(line >= lastLine);
    lastLine = line;
    check(r.Column() >= 1);
    const std::string& name = r.Name();
    (void)r.Attribute("id");
    (void)r.Attribute("xml:space");
    check(r.Attributes().size() <= XmlEventReader_maxAttributes);
    for (const XmlEventReader::Attr& a : r.Attributes()) {
      check(!a.name.empty());
      check(inside(a.name, bytes));
      check(r.Attribute(a.name).has_value());
      // A value is a part of the input, or decoded and then shorter.
      check(a.value.size() <= size);
      volatile size_t sum = 0;
      for (char c : a.value) sum = sum + static_cast<unsigned char>(c);
    }
    if (r.Kind() == XmlEvent_text) {
      std::string whole = r.Text();
      // Markup characters reach a text only from a CDATA section of it.
      const std::string_view span =
          bytes.substr(r.EventOffset(), std::max(r.EndOffset(), r.EventOffset()) - r.EventOffset());
      const bool cdata = span.find("<![CDATA[") != std::string_view::npos;
      check(whole.find('<') == std::string::npos || cdata);
      std::string cut = r.Text(events % 7);
      check(cut.size() + 2 <= (events % 7 < 2 ? 2 : events % 7));
      check(bytes[r.EventOffset()] != '<' || whole.empty() || span.starts_with("<![CDATA["));
    } else {
      check(!name.empty());
      check(bytes[r.EventOffset()] == '<');
      check(r.EndOffset() > r.EventOffset());
      check(r.Text().empty());
      // Now and then carry on behind the tag as a caller reading raw
      // bytes would.
      if (events % 5 == 0) r.SkipTo(r.EndOffset() + events % 3);
    }
  }
  check(r.Kind() == XmlEvent_none);
  check(!r.Next());
  return 0;
}
