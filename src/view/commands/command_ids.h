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
  // The editing view: keys and commands on the selection.
  Cmd_KeyLeft = 33177,
  Cmd_KeyRight = 33178,
  Cmd_KeyUp = 33179,
  Cmd_KeyDown = 33180,
  Cmd_KeyShiftLeft = 33050,
  Cmd_KeyShiftRight = 33047,
  Cmd_KeyShiftUp = 33048,
  Cmd_KeyShiftDown = 33049,
  Cmd_KeyCtrlShiftDown = 33217,
  Cmd_KeyHome = 33053,
  Cmd_KeyShiftHome = 33056,
  Cmd_KeyEnd = 33054,
  Cmd_KeyShiftEnd = 33057,
  Cmd_KeyBackspace = 33051,
  Cmd_KeyShiftBackspace = 33211,
  Cmd_MoveLeft = 32799,
  Cmd_MoveRight = 32801,
  Cmd_MoveUp = 32798,
  Cmd_MoveDown = 32800,
  Cmd_Delete = 32776,
  Cmd_OrderStepUp = 32791,
  Cmd_OrderStepDown = 32792,
  Cmd_OrderTop = 32793,
  Cmd_OrderBottom = 32794,
  Cmd_AlignLeft = 32814,
  Cmd_AlignRight = 32815,
  Cmd_AlignTop = 32816,
  Cmd_AlignBottom = 32817,
  Cmd_AlignHorizontal = 32818,
  Cmd_AlignVertical = 32819,
  Cmd_SameWidth = 32820,
  Cmd_SameHeight = 32821,
  Cmd_SpaceHorizontal = 32822,
  Cmd_SpaceVertical = 32823,
  Cmd_TabNext = 33193,
  Cmd_TabPrevious = 33194,
  Cmd_Bold = 33251,
  Cmd_ImageShrink = 33165,
  Cmd_Image100 = 33166,
  // The editing view: insertion into the text edited in place.
  Cmd_InsertDate = 33186,
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
  // Printing and page images.
  Cmd_Print = 32888,
  Cmd_PageImages = 33041,
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
