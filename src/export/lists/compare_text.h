// The text form of a note for comparison tools ("-cd"): one line per page
// and one per figure, so that a line-by-line comparison of two versions of
// a note shows what changed and nothing else.  Code page 932, CR LF.
//
//   [page 0] 背景
//   [page 1] Title class=chapter
//     text 20,40 80x22 "first line\nsecond" link="#k2" target="_blank" id="k1"
//     rect 100,40 60x30
//     image 10,10 20x20 file="pic.png"
//
// Pages come in list order (the back page first, as page 0), figures in
// their list (stacking) order, which a save keeps; figure numbers, which a
// save may change, are left out, and so is the note's own path, so two
// copies of a note compare equal.  A figure line holds its kind, the left
// and top of its box, its width and height, then its texts: the text of a
// text box (as the plain-text dump writes it: WritePlainText), its link
// (relative to the note, a place in the note itself as "#name"), target
// and id, and the file name of a picture.  Inside quotes a line
// break is written "\n", a tab "\t", and '\' and '"' get a '\' before them.
#pragma once

#include <string>
#include <string_view>

class NoteDocument;
class NoteSaveHost;

// The text of the note.  Text boxes are laid out with the host's metrics
// first (a box that cannot be measured is placed at its base point with
// no size).
std::string CompareText_text(NoteDocument& doc, const NoteSaveHost& host);
// Writes it to `path` in one step (362 / 365).
void CompareText_write(NoteDocument& doc, std::string_view path, const NoteSaveHost& host);
