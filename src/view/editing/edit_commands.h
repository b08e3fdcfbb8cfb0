// The mouse-editing commands of a view: the tools of the palette, figure
// snapping (33108) and the drag-menu operations copy (32839), move (32838),
// cancel (32840) and shortcut (33159); and the hooks that tie the editing
// state machine to its view.
#pragma once

#include "view/editing/mouse_editor.h"

class CChildView;
class CommandTable;

// The hooks of a view's state machine (double-click time, language, the
// messages through the prompts service).
MouseEditorHooks EditCommands_hooks(CChildView& view);

void EditCommands_register(CommandTable& table, CChildView& view);
