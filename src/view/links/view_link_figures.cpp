#include "view/links/view_link_figures.h"

#include "core/strx/codepage.h"
#include "document/note/note_document.h"
#include "document/note/note_page.h"
#include "figures/base/app_counters.h"
#include "figures/text/text_box.h"

const char* const ViewLinks_linkNameLabel = "リンク先の図形の識別名(URLの#より後):";
const char* const ViewLinks_linkNamePreset = "(そのままOKなら自動生成)";

std::pair<std::unique_ptr<Text_Box>, std::unique_ptr<Text_Box>> ViewLinks_makePageButtons(
    const TextMetrics* metrics, AppCounters& counters, bool japanese) {
  auto back = std::make_unique<Text_Box>(metrics);
  back->SetNumber(counters.nextFigureNumber());
  back->SetText("<Back");
  back->SetUrl(ViewLinks_backButtonUrl);
  back->SetBasePoint(5, 15);
  back->textWidth = 32;
  back->textHeight16 = 320;
  back->textColour = 32768;  // green
  back->fontFace = japanese ? "ＭＳ Ｐゴシック" : "Arial";
  back->fontSize = 10;
  back->bold = true;
  back->SetAlignment(0);
  back->SetFrameShape(0);
  back->marginX = 8;
  back->marginY = 2;
  back->frameWidth = 0;
  back->frameColour = 0;
  back->fillColour = 0xFFFFFF;

  auto next = std::make_unique<Text_Box>(metrics);
  next->CopyFrom(*back, nullptr);
  next->SetNumber(counters.nextFigureNumber());
  next->SetText("Next>");
  next->SetUrl(ViewLinks_nextButtonUrl);
  next->SetBasePoint(60, 15);
  return {std::move(back), std::move(next)};
}

const char* ViewLinks_pageButtonsMessage(bool japanese) {
  return japanese ? "背景の左上にページ切り替えボタン '<Back' と 'Next>' を作成しました。\r\n"
                    "このボタンは、SVG ビューアで表示したときにクリックできます。\r\n"
                    "Zerbin では、適当な位置に移動したり、プロパティを変更することができます。"
                  : "Page changing buttons '<Back' and 'Next>' was made on left up of background. "
                    "This button can be clicked on SVG Viewer.\r\n"
                    "In Zerbin, You can move it and change property.";
}

std::string ViewLinks_linkName(std::string_view entered) {
  if (entered == ViewLinks_linkNamePreset) return NoteDocument_uuidText(NoteDocument_newUuid());
  return std::string(entered);
}

std::unique_ptr<CadPrim> ViewLinks_linkPageCopy(const CadPrim& source, AppCounters& counters,
                                                std::string_view id) {
  std::unique_ptr<CadPrim> copy = source.Clone(nullptr);
  // The partners are only numbers here; the page they live on is another.
  copy->DetachAll(false);
  copy->SetNumber(counters.nextFigureNumber());
  copy->SetId(id);
  return copy;
}

void ViewLinks_placeOnNewPage(CadPrim& figure) {
  figure.MoveBy(15 - figure.GetEdge(0), 16 - figure.GetEdge(2));
}

std::string ViewLinks_linkPageTitle(std::string_view text) {
  const size_t eol = text.find_first_of("\r\n");
  std::string_view line = text.substr(0, eol);
  return std::string(line.substr(0, Cp932_cutLength(line, NotePage_titleMax)));
}
