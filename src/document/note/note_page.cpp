#include "document/note/note_page.h"

#include <memory>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"

NotePage::NotePage() { figures.append(std::make_unique<Canvas>()); }

Canvas& NotePage::settings() {
  return const_cast<Canvas&>(static_cast<const NotePage*>(this)->settings());
}

const Canvas& NotePage::settings() const {
  if (figures.empty() || figures.at(0).GetKind() != FigureKind_Canvas) {
    Errors_RAISE(Errors_Unofficial, "error");
  }
  return static_cast<const Canvas&>(figures.at(0));
}

void NotePage::clearFigures() {
  while (figures.size() > 1) figures.remove(figures.at(figures.size() - 1));
}

void NotePage::setTitle(std::string_view title) {
  title_.assign(title.substr(0, Cp932_cutLength(title, NotePage_titleMax)));
}
