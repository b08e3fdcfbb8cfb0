// What a main window keeps for opening notes and following links: its
// history, its target name, whether it is pinned, and the figure whose
// link was followed last.
#pragma once

#include <string>

#include "app/links/link_history.h"

struct FrameLinks {
  LinkHistory history;
  std::string targetName;      // compared without case
  bool pinned = false;         // never replaced by following a link
  std::string lastFollowedId;  // id of the figure whose link was followed last
  // The close question was answered before a jump closes the window.
  bool closeAnswered = false;
};
