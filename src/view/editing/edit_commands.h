// The mouse-editing commands of a view: the tools of the palette, figure
// snapping (33108) and the drag-menu operations copy (32839), move (32838),
// cancel (32840) and shortcut (33159); and the hooks that tie the editing
// state machine to its view.
#pragma once

#include <QPoint>

#include "view/editing/mouse_editor.h"

class CChildView;
class CommandTable;

// The hooks of a view's state machine (double-click time, language, the
// messages through the prompts service).
MouseEditorHooks EditCommands_hooks(CChildView& view);

void EditCommands_register(CommandTable& table, CChildView& view);

// The right release: a row operation, a right drag's copy / move / drag menu
// (at the release, 32 left and 12 up), or the view's context menu.
void EditCommands_rightRelease(CChildView& view, EditPage& page, const MouseInput& in,
                               QPoint global);
void EditCommands_drawRowGuide(const MouseEditor& editor, Surface& surface, const DrawContext& ctx,
                               int32_t canvasWidth);
