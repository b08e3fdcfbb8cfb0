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
  // The editing view: scrolling.
  Cmd_ScrollPageDown = 33027,
  Cmd_ScrollPageUp = 33028,
  // Pages of the note.
  Cmd_NextPage = 32948,
  Cmd_PreviousPage = 32949,
  Cmd_BackPageSwitch = 32954,
  Cmd_FirstPage = 32950,
  Cmd_LastPage = 32951,
  Cmd_AddNextPage = 32952,
  Cmd_AddChildPage = 32974,
  Cmd_AddPreviousPage = 32980,
  Cmd_DeletePage = 32975,
  Cmd_InsertPagesFromFile = 33015,
  Cmd_EditPageTitle = 32995,
  Cmd_ParentPage = 33234,
  Cmd_FoldPage = 33232,
  Cmd_FoldChildPages = 33230,
  Cmd_ShowTree = 32973,
  Cmd_WidenTree = 32972,
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
