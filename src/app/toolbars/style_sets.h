// The style set of a window: the templates the creation tools make new
// figures from, taken from the labelled sample figures of a note (the
// default one is "%design%/Default Design.svg", else ".svgz").
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "figures/base/cad_prim.h"

class TextMetrics;

// The default style set's path: the ".svg" file, or the ".svgz" one when
// the first does not exist; "" when neither does (`missing` then gets the
// ".svgz" path the box names).
std::string StyleSet_defaultPath(const std::string& designFolder, std::string* missing = nullptr);

class StyleSet {
 public:
  StyleSet() = default;
  StyleSet(const StyleSet&) = delete;
  StyleSet& operator=(const StyleSet&) = delete;
  ~StyleSet();

  // LoadStyleSet: reads the note at `path` and takes the samples it has
  // into their slots; a missing or wrong-kind sample leaves its slot as it
  // was.  Raises what reading the note raises (nothing changes then).
  void Load(const std::string& path, const std::string& workFolder, const TextMetrics* metrics,
            bool japanese);
  // Releases every template: new figures are the tools' defaults.
  void Reset();
  // A fresh clone of the template of a creation tool, or null (the default
  // figure is made).  Tool 17 gives its line; its text is guideText().
  std::unique_ptr<CadPrim> templateFor(int32_t tool) const;
  std::unique_ptr<CadPrim> guideText() const;
  const CadPrim* slot(int32_t tool) const;
  // The second copy of the arrow template (none without one).
  const CadPrim* arrowCopy() const { return arrowCopy_.get(); }

 private:
  void put(int32_t tool, std::unique_ptr<CadPrim> figure);
  std::array<std::unique_ptr<CadPrim>, 23> slots_{};
  std::unique_ptr<CadPrim> guideText_;
  std::unique_ptr<CadPrim> arrowCopy_;
};
