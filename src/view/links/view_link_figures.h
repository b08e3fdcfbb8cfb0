// The figures and texts of the view's link commands, without a window: the
// page-turning buttons of the back page, the copy of a text box that a new
// link page starts with, and the name its link gets.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

class AppCounters;
class CadPrim;
class FigureList;
class Text_Box;
class TextMetrics;

// The url of the previous-page and next-page buttons.
inline constexpr const char* ViewLinks_backButtonUrl = "script:nextPage( evt, -1 )";
inline constexpr const char* ViewLinks_nextButtonUrl = "script:nextPage( evt, +1 )";

// The two buttons "<Back" (at (5, 15)) and "Next>" (a copy of it at x 60),
// each with a new figure number from `counters`.  `japanese`: the default
// text font of the user interface.
std::pair<std::unique_ptr<Text_Box>, std::unique_ptr<Text_Box>> ViewLinks_makePageButtons(
    const TextMetrics* metrics, AppCounters& counters, bool japanese);
// The message shown after the buttons are made (CP932).
const char* ViewLinks_pageButtonsMessage(bool japanese);

// The label and the preset text of the name asked for a new link page.
extern const char* const ViewLinks_linkNameLabel;
extern const char* const ViewLinks_linkNamePreset;
// The name of the link: the entered text, or a new uuid text when the
// preset was left unchanged.
std::string ViewLinks_linkName(std::string_view entered);

// The figure a new link page starts with: a copy of `source` with a new
// figure number from `counters`, without the links to line ends of the
// source's page, carrying `id`.
std::unique_ptr<CadPrim> ViewLinks_linkPageCopy(const CadPrim& source, AppCounters& counters,
                                                std::string_view id);
// Moves a laid-out figure so that its left edge is at 15 and its top at 16.
void ViewLinks_placeOnNewPage(CadPrim& figure);
// The title of the new page: the first line of the text box's text, cut
// to the longest page title at a character boundary.
std::string ViewLinks_linkPageTitle(std::string_view text);
