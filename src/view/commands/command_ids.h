// The command numbers of the program's menus and keys, one enum for every
// window.  The numbers are fixed: notes, settings and other processes refer
// to some of them.
#pragma once

enum CommandId : int {
  // The editing view: zoom.
  Cmd_ZoomRate = 32846,
  Cmd_Zoom100 = 32848,
  Cmd_Zoom200 = 32849,
  Cmd_Zoom400 = 32850,
  Cmd_Zoom800 = 32851,
  Cmd_FitPage = 32920,
  Cmd_FitWidth = 32921,
  Cmd_ZoomIn = 32922,
  Cmd_ZoomOut = 32923,
  Cmd_ZoomSwap = 32926,
  // The editing view: grid.
  Cmd_GridDisplay = 32871,
  Cmd_GridCatch = 32872,
  Cmd_GridStandard = 32880,
  // The editing view: selection.
  Cmd_SelectAll = 32868,
  // Undo and redo.
  Cmd_Undo = 57643,
  Cmd_Redo = 57644,
  // The figure clipboard and delete.
  Cmd_Cut = 57635,
  Cmd_Copy = 57634,
  Cmd_Paste = 57637,
  Cmd_Delete = 32776,
  // Painting order.
  Cmd_OneFront = 32791,
  Cmd_OneBack = 32792,
  Cmd_ToTop = 32793,
  Cmd_ToBottom = 32794,
  // The right-button drag menu and figure snapping.
  Cmd_DragCopy = 32839,
  Cmd_DragMove = 32838,
  Cmd_DragCancel = 32840,
  Cmd_MakeShortcut = 33159,
  Cmd_AutoCorrect = 33108,
  // Figure and text commands of the view.
  Cmd_PageButtons = 32976,
  Cmd_NewLinkPage = 33160,
  Cmd_LinkAddress = 33205,
  Cmd_TextDialog = 33060,
  Cmd_LockToggle = 33104,
  Cmd_ConnectWithText = 33089,
  Cmd_InsertDate = 33186,
  Cmd_Reconvert = 33062,
  Cmd_SendToInputMethod = 33078,
  // Images.
  Cmd_ImageShrink = 33165,
  Cmd_ImageActualSize = 33166,
  Cmd_ImageZoomUp = 33167,
  // The editing view: scrolling.
  Cmd_ScrollPageDown = 33027,
  Cmd_ScrollPageUp = 33028,
  // Pages of the note.
  Cmd_NextPage = 32948,
  Cmd_PreviousPage = 32949,
  Cmd_BackPageSwitch = 32954,
  // Window modes.
  Cmd_NoteBarMode = 33042,
  // Saving and closing.
  Cmd_FileSave = 32771,
  Cmd_FileSaveAs = 32779,
  Cmd_FileSaveReadOnly = 32984,
  Cmd_FileClose = 33152,
  // The recent-file entries 1 to 8.
  Cmd_RecentFile1 = 32785,
  Cmd_RecentFile2 = 32786,
  Cmd_RecentFile3 = 32787,
  Cmd_RecentFile4 = 32788,
  Cmd_RecentFile5 = 32966,
  Cmd_RecentFile6 = 32967,
  Cmd_RecentFile7 = 32968,
  Cmd_RecentFile8 = 32969,
};
