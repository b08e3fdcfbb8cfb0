// Text_Editor: positions in the text, the edits and typing runs, keys,
// mouse placement, the clipboard and the input-method composition.
#include "figures/editor/text_editor.h"

#include <algorithm>
#include <cstdlib>

#include "core/strx/codepage.h"
#include "core/strx/strx_search.h"

namespace {

bool endsWithCrLf(std::string_view s) { return s.size() >= 2 && s.substr(s.size() - 2) == "\r\n"; }

}  // namespace

std::string TextEditor_normaliseInput(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (Cp932_isLead(c)) {
      // A lead byte without a valid trail byte is dropped: it would swallow
      // the next character typed.
      const unsigned char t = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
      if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) {
        out.append(s.substr(i, 2));
        ++i;
      }
    } else if (c == '\r' || c == '\n') {
      out += "\r\n";
      // "\r\n" is one line end; "\n\r" or "\r\r" are two.
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else if ((c >= 0x20 && c != 0x7F) || c == '\t') {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// --- positions ---

size_t Text_Editor::lineStartOf(size_t pos) const {
  // A line feed is never the trail byte of a double-byte character, so the
  // search for it may go backwards.
  const std::string& t = text();
  pos = std::min(pos, t.size());
  while (pos > 0 && t[pos - 1] != '\n') --pos;
  return pos;
}

size_t Text_Editor::lineEndOf(size_t pos) const {
  const std::string& t = text();
  const size_t start = lineStartOf(pos);
  size_t e = t.find('\n', start);
  if (e == std::string::npos) return t.size();
  if (e > start && t[e - 1] == '\r') --e;
  return e;
}

size_t Text_Editor::lineIndexOf(size_t pos) const {
  const std::string& t = text();
  return static_cast<size_t>(std::count(t.begin(), t.begin() + std::min(pos, t.size()), '\n'));
}

size_t Text_Editor::lineStartByIndex(size_t index) const {
  const std::string& t = text();
  size_t at = 0;
  for (size_t k = 0; k < index; ++k) {
    const size_t nl = t.find('\n', at);
    if (nl == std::string::npos) break;
    at = nl + 1;
  }
  return at;
}

size_t Text_Editor::unitLen(size_t pos) const {
  const std::string& t = text();
  if (pos >= t.size()) return 0;
  if (t[pos] == '\r' && pos + 1 < t.size() && t[pos + 1] == '\n') return 2;
  // A lead byte before a line break stands alone: the break stays a break.
  if (Cp932_isLead(t[pos]) && pos + 1 < t.size() && (t[pos + 1] == '\r' || t[pos + 1] == '\n'))
    return 1;
  return Cp932_charLen(t, pos);
}

// The start of the character before `pos`, found by walking from the line
// start (trail bytes cannot be told from ASCII when stepping back).
size_t Text_Editor::prevPos(size_t pos) const {
  const std::string& t = text();
  if (pos == 0) return 0;
  const size_t start = lineStartOf(pos);
  if (start == pos) return pos >= 2 && t[pos - 2] == '\r' ? pos - 2 : pos - 1;
  size_t i = start;
  while (true) {
    const size_t u = unitLen(i);
    if (i + u >= pos) return i;
    i += u;
  }
}

size_t Text_Editor::nextPos(size_t pos) const { return std::min(text().size(), pos + unitLen(pos)); }

size_t Text_Editor::clampToBoundary(size_t pos) const {
  pos = std::min(pos, text().size());
  size_t i = lineStartOf(pos);
  while (i < pos) {
    const size_t u = unitLen(i);
    if (i + u > pos) return i;
    i += u;
  }
  return i;
}

int32_t Text_Editor::columnX(size_t lineIndex, size_t column) const {
  if (lineIndex >= lines().size()) return 0;
  const TextBoxLine& l = lines()[lineIndex];
  if (column >= l.positions.size()) return 0;
  const int32_t shift = alignment == 1 ? l.width / 2 : alignment == 2 ? l.width : 0;
  return l.positions[column] - shift;
}

size_t Text_Editor::nearestColumn(size_t lineIndex, int64_t x) const {
  const size_t start = lineStartByIndex(lineIndex);
  const size_t end = lineEndOf(start);
  size_t best = 0;
  int64_t bestDistance = INT64_MAX;
  for (size_t p = start;; p += unitLen(p)) {
    const int64_t d = std::llabs(columnX(lineIndex, p - start) - x);
    if (d < bestDistance) {
      bestDistance = d;
      best = p - start;
    }
    if (p >= end) break;
  }
  return best;
}

size_t Text_Editor::positionFromPoint(int32_t x, int32_t y) const {
  const int64_t spacing = std::max(lineSpacing, 1);
  const int64_t dy = int64_t{y} - firstLineTop;
  const size_t lastLine = lineIndexOf(text().size());
  const size_t line = dy < 0 ? 0 : std::min<size_t>(static_cast<size_t>(dy / spacing), lastLine);
  return lineStartByIndex(line) + nearestColumn(line, int64_t{x} - basePoint().x);
}

size_t Text_Editor::characterAtPoint(int32_t x, int32_t y) const {
  const size_t line = lineIndexOf(positionFromPoint(x, y));
  const size_t start = lineStartByIndex(line);
  const size_t end = lineEndOf(start);
  const int64_t px = int64_t{x} - basePoint().x;
  for (size_t p = start; p < end; p += unitLen(p)) {
    const size_t q = std::min(end, p + unitLen(p));
    if (px >= columnX(line, p - start) && px < columnX(line, q - start)) return p;
  }
  return std::string::npos;
}

// --- caret and selection ---

void Text_Editor::UpdateCaret() {
  const size_t c = clampToBoundary(static_cast<size_t>(std::max(caret(), 0)));
  const size_t line = lineIndexOf(c);
  caretX = columnX(line, c - lineStartOf(c));
  caretY = Figure_toInt32(static_cast<int64_t>(line) * lineSpacing);
}

SurfaceRect Text_Editor::CaretRect(const DrawContext& ctx) const {
  SurfaceRect r;
  r.left = DrawContext_deviceX(ctx, int64_t{basePoint().x} + caretX);
  r.top = DrawContext_deviceY(ctx, int64_t{firstLineTop} + caretY - 1);
  r.right = r.left + 2;
  r.bottom = Figure_toInt32(int64_t{r.top} + int64_t{std::max(lineHeight16, 0)} * ctx.zoomX / 1600 + 2);
  return r;
}

Point32 Text_Editor::PointAt(int32_t pos) const {
  const size_t c = clampToBoundary(static_cast<size_t>(std::max(pos, 0)));
  const size_t line = lineIndexOf(c);
  return {Figure_toInt32(int64_t{basePoint().x} + columnX(line, c - lineStartOf(c))),
          Figure_toInt32(int64_t{firstLineTop} + static_cast<int64_t>(line) * lineSpacing)};
}

std::pair<int32_t, int32_t> Text_Editor::CompositionRange() const {
  if (!composing_) return {0, 0};
  return {static_cast<int32_t>(compStart_), static_cast<int32_t>(compStart_ + compLen_)};
}

bool Text_Editor::moveCaret(size_t pos) {
  CommitRun();
  const int32_t oldAnchor = selectionStart, oldCaret = selectionEnd;
  selectionEnd = static_cast<int32_t>(pos);
  if (!extendSelection) selectionStart = selectionEnd;
  UpdateCaret();
  return oldAnchor != selectionStart || oldCaret != selectionEnd;
}

void Text_Editor::Select(int32_t a, int32_t c) {
  if (composing_) CancelComposition();
  CommitRun();
  dragAnchor = -1;  // a new selection (a double click among them) ends a drag
  selectionStart = static_cast<int32_t>(clampToBoundary(static_cast<size_t>(std::max(a, 0))));
  selectionEnd = static_cast<int32_t>(clampToBoundary(static_cast<size_t>(std::max(c, 0))));
  UpdateCaret();
}

void Text_Editor::SelectAll() { Select(0, static_cast<int32_t>(text().size())); }

std::string Text_Editor::GetSelectionText() const {
  const auto lo = static_cast<size_t>(std::min(selectionStart, selectionEnd));
  const auto hi = static_cast<size_t>(std::max(selectionStart, selectionEnd));
  return text().substr(lo, hi - lo);
}

// --- edits and typing runs ---

void Text_Editor::replaceRange(size_t lo, size_t hi, std::string_view ins) {
  const std::string& t = text();
  const std::string removed = t.substr(lo, hi - lo);
  bool merged = false;
  if (runStart >= 0) {
    const auto rs = static_cast<size_t>(runStart), re = static_cast<size_t>(runEnd);
    if (hi == re) {
      // Typing or Backspace at the run's end; text before the run that
      // goes belongs to what the run replaced.
      if (lo < rs) {
        runRemoved = t.substr(lo, rs - lo) + runRemoved;
        runStart = static_cast<int32_t>(lo);
      }
      runEnd = static_cast<int32_t>(lo + ins.size());
      merged = true;
    } else if (lo == re) {
      // Delete at the run's end.
      runRemoved += removed;
      runEnd = static_cast<int32_t>(lo + ins.size());
      merged = true;
    }
  }
  if (!merged) {
    CommitRun();
    runStart = static_cast<int32_t>(lo);
    runEnd = static_cast<int32_t>(lo + ins.size());
    runRemoved = removed;
  }
  std::string next = t.substr(0, lo);
  next.append(ins);
  next.append(t, hi, std::string::npos);
  SetText(next);
  selectionStart = selectionEnd = static_cast<int32_t>(lo + ins.size());
  placeholder = false;
  relayout();
}

void Text_Editor::CommitRun() {
  if (runStart < 0) return;
  if (runEnd > runStart || !runRemoved.empty()) {
    undoPos = runStart;
    undoInserted = text().substr(static_cast<size_t>(runStart),
                                 static_cast<size_t>(runEnd - runStart));
    undoRemoved = runRemoved;
  }
  runStart = runEnd = -1;
  runRemoved.clear();
}

bool Text_Editor::UndoRun() {
  if (composing_) CancelComposition();
  CommitRun();
  if (undoPos < 0) return false;
  const auto at = static_cast<size_t>(undoPos);
  const std::string& t = text();
  if (at > t.size() || t.compare(at, undoInserted.size(), undoInserted) != 0) return false;
  std::string next = t.substr(0, at) + undoRemoved;
  next.append(t, at + undoInserted.size(), std::string::npos);
  SetText(next);
  std::swap(undoRemoved, undoInserted);
  selectionStart = undoPos;
  selectionEnd = static_cast<int32_t>(at + undoInserted.size());
  placeholder = false;
  relayout();
  return true;
}

void Text_Editor::InsertText(std::string_view cp932) {
  if (composing_) CancelComposition();
  const std::string ins = TextEditor_normaliseInput(cp932);
  if (ins.empty() && !hasSelection()) return;
  const auto lo = static_cast<size_t>(std::min(selectionStart, selectionEnd));
  const auto hi = static_cast<size_t>(std::max(selectionStart, selectionEnd));
  replaceRange(lo, hi, ins);
}

void Text_Editor::relayout() {
  if (textMetrics()) Layout(*textMetrics(), ctx_);
  UpdateCaret();
}

// --- keys ---

bool Text_Editor::HandleKey(int32_t code) {
  if (composing_) CancelComposition();
  const std::string& t = text();
  const size_t c = clampToBoundary(static_cast<size_t>(std::max(caret(), 0)));
  const auto lo = static_cast<size_t>(std::min(selectionStart, selectionEnd));
  const auto hi = static_cast<size_t>(std::max(selectionStart, selectionEnd));
  switch (static_cast<EditorKey>(code)) {
    case EditorKey::Backspace: {
      if (lo != hi) {
        replaceRange(lo, hi, "");
        return true;
      }
      if (c == 0) return false;
      size_t p = prevPos(c);
      if (c - p == 1 && t[p] == '\r' && p > 0 && t[p - 1] == '\n') --p;  // "\n\r"
      replaceRange(p, c, "");
      return true;
    }
    case EditorKey::Delete: {
      if (lo != hi) {
        replaceRange(lo, hi, "");
        return true;
      }
      if (c >= t.size()) return false;
      size_t q = nextPos(c);
      if (t[c] == '\n' && q < t.size() && t[q] == '\r' && !(q + 1 < t.size() && t[q + 1] == '\n'))
        ++q;  // "\n\r"
      replaceRange(c, q, "");
      return true;
    }
    case EditorKey::Home: return moveCaret(lineStartOf(c));
    case EditorKey::End: return moveCaret(lineEndOf(c));
    case EditorKey::Left: return moveCaret(prevPos(c));
    case EditorKey::Right: return moveCaret(nextPos(c));
    case EditorKey::Up:
    case EditorKey::Down: {
      const size_t line = lineIndexOf(c);
      const bool up = static_cast<EditorKey>(code) == EditorKey::Up;
      if (up ? line == 0 : line == lineIndexOf(t.size())) return false;
      const size_t target = up ? line - 1 : line + 1;
      const int32_t x = columnX(line, c - lineStartOf(c));
      return moveCaret(lineStartByIndex(target) + nearestColumn(target, x));
    }
    case EditorKey::Enter:
      InsertText("\r\n");
      return true;
    default: break;
  }
  if (code == '\r') return HandleKey(EditorKey::Enter);
  if (code < 0 || code >= 256) return false;
  const auto b = static_cast<unsigned char>(code);
  if ((b < 0x20 && b != '\t') || b == 0x7F || Cp932_isLead(b)) return false;
  InsertText(std::string(1, static_cast<char>(b)));
  return true;
}

// --- mouse ---

void Text_Editor::SetCaretFromPoint(int32_t x, int32_t y) {
  if (composing_) CancelComposition();
  firstKey = false;
  dragAnchor = -1;
  if (!extendSelection && hasSelection()) {
    const size_t under = characterAtPoint(x, y);
    const auto lo = static_cast<size_t>(std::min(selectionStart, selectionEnd));
    const auto hi = static_cast<size_t>(std::max(selectionStart, selectionEnd));
    if (under != std::string::npos && under >= lo && under < hi) {
      CommitRun();
      dragAnchor = static_cast<int32_t>(positionFromPoint(x, y));
      return;
    }
  }
  moveCaret(positionFromPoint(x, y));
}

void Text_Editor::ExtendFromPoint(int32_t x, int32_t y) {
  if (dragAnchor >= 0) return;  // the selection is being dragged
  if (composing_) CancelComposition();
  const bool saved = extendSelection;
  extendSelection = true;
  moveCaret(positionFromPoint(x, y));
  extendSelection = saved;
}

void Text_Editor::SelectWordAt(int32_t x, int32_t y) {
  if (composing_) CancelComposition();
  const size_t pos = positionFromPoint(x, y);
  size_t start = pos;
  const std::string word = StrX_wordAt(text(), pos, &start);
  if (word.empty()) {
    Select(static_cast<int32_t>(pos), static_cast<int32_t>(pos));
    return;
  }
  Select(static_cast<int32_t>(start), static_cast<int32_t>(start + word.size()));
}

// --- clipboard ---

bool Text_Editor::CopySelection(EditorClipboard& clip) const {
  if (!hasSelection() || composing_) return false;
  return clip.SetText(GetSelectionText());
}

bool Text_Editor::CutSelection(EditorClipboard& clip) {
  if (!CopySelection(clip)) return false;
  CommitRun();
  InsertText("");
  return true;
}

// The pasted text replaces the selection.  A selection of whole lines
// (from a line start to after a line break) keeps its last line break when
// the pasted text has none; at the very end of the text trailing line
// breaks are dropped.
bool Text_Editor::Paste(EditorClipboard& clip) {
  if (composing_) CancelComposition();
  const std::optional<std::string> got = clip.Text();
  if (!got) return false;
  std::string ins = TextEditor_normaliseInput(*got);
  const std::string& t = text();
  const auto lo = static_cast<size_t>(std::min(selectionStart, selectionEnd));
  const auto hi = static_cast<size_t>(std::max(selectionStart, selectionEnd));
  if (lo < hi && lo == lineStartOf(lo) && endsWithCrLf(std::string_view(t).substr(0, hi)) &&
      !endsWithCrLf(ins))
    ins += "\r\n";
  if (hi == t.size())
    while (endsWithCrLf(ins)) ins.resize(ins.size() - 2);
  if (ins.empty() && lo == hi) return false;
  CommitRun();
  replaceRange(lo, hi, ins);
  return true;
}

// --- composition ---

void Text_Editor::SetComposition(std::string_view cp932, int32_t cursor) {
  if (!composing_) {
    if (cp932.empty()) return;
    CommitRun();
    compAnchor_ = selectionStart;
    compCaret_ = selectionEnd;
    compStart_ = static_cast<size_t>(std::min(selectionStart, selectionEnd));
    compLen_ = static_cast<size_t>(std::max(selectionStart, selectionEnd)) - compStart_;
    compHidden_ = text().substr(compStart_, compLen_);
    composing_ = true;
  }
  if (cp932.empty()) {
    CancelComposition();
    return;
  }
  // The composition is shown in the text itself but is no typing input:
  // it bypasses the runs and is taken out again before the commit.
  std::string next = text().substr(0, compStart_);
  next.append(cp932);
  next.append(text(), compStart_ + compLen_, std::string::npos);
  compLen_ = cp932.size();
  SetText(next);
  const size_t within = std::min<size_t>(static_cast<size_t>(std::max(cursor, 0)), compLen_);
  selectionEnd = selectionStart = static_cast<int32_t>(clampToBoundary(compStart_ + within));
  relayout();
}

void Text_Editor::CancelComposition() {
  if (!composing_) return;
  composing_ = false;
  std::string next = text().substr(0, compStart_) + compHidden_;
  next.append(text(), compStart_ + compLen_, std::string::npos);
  SetText(next);
  selectionStart = compAnchor_;
  selectionEnd = compCaret_;
  compHidden_.clear();
  compLen_ = 0;
  relayout();
}

void Text_Editor::CommitComposition(std::string_view cp932) {
  CancelComposition();
  if (!cp932.empty()) InsertText(cp932);
}
