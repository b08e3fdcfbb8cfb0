// Helpers of the undo tests: copies of a whole page to compare with later,
// the two-sided link check, and text boxes laid out with the fixed metrics.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "figures/base/figure_list.h"
#include "figures/line/line_ex.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"

namespace undo_test {

inline const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

inline void layOutAll(const FigureList& list) {
  for (const auto& f : list) {
    if (auto* box = dynamic_cast<Text_Box*>(f.get())) box->Layout(metrics(), DrawContext{});
  }
}

// Copies of every figure of a page, in list order.
using PageCopy = std::vector<std::unique_ptr<CadPrim>>;

inline PageCopy copyPage(const FigureList& list) {
  PageCopy out;
  for (const auto& f : list) {
    out.push_back(f->Clone(&list));
    out.back()->SetIsCopy(true);
  }
  return out;
}

// "" when the list holds figures equal (mode 5, links by number included)
// to the copies in the same order; else the first difference.
inline std::string pageDiff(const FigureList& list, const PageCopy& copy) {
  if (list.size() != copy.size()) {
    return "size " + std::to_string(list.size()) + " instead of " + std::to_string(copy.size());
  }
  for (size_t i = 0; i < list.size(); ++i) {
    if (!list.at(i).Equals(*copy[i], 5)) {
      return "figure " + std::to_string(i) + " (number " + std::to_string(copy[i]->GetNumber()) +
             ") differs";
    }
  }
  return "";
}

// "" when every link of the list is held by both sides with pointers that
// agree with the numbers; else the first fault.
inline std::string oneSidedLink(const FigureList& list) {
  for (const auto& f : list) {
    for (int32_t end = 1; end <= f->GetEndCount(); ++end) {
      CadPrim* t = f->GetEndTarget(end);
      const int32_t n = f->GetEndTargetNumber(end);
      if (t == nullptr) {
        if (n > 0) return "end " + std::to_string(end) + " has a number but no target";
        continue;
      }
      if (list.indexOf(*t) < 0) return "end target outside the list";
      if (t->GetNumber() != n) return "end target number disagrees";
      bool held = false;
      for (int32_t i = 1; i <= t->GetAttachmentCount(); ++i) {
        const Attachment* a = t->GetAttachment(i);
        if (a && a->line == f.get() && a->lineEnd == end) held = true;
      }
      if (!held) return "node holds no record of the end";
    }
    for (int32_t i = 1; i <= f->GetAttachmentCount(); ++i) {
      const Attachment* a = f->GetAttachment(i);
      if (a == nullptr || a->line == nullptr) return "record without a line";
      if (list.indexOf(*a->line) < 0) return "record of a line outside the list";
      if (a->line->GetEndTarget(a->lineEnd) != f.get()) return "line end does not point back";
      if (a->lineNumber != a->line->GetNumber()) return "record number disagrees";
    }
  }
  return "";
}

}  // namespace undo_test
