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
  // The editing view: mouse editing (the tools' numbers are in
  // view/editing/edit_tools.cpp).
  Cmd_DragMove = 32838,
  Cmd_DragCopy = 32839,
  Cmd_DragCancel = 32840,
  Cmd_AutoCorrect = 33108,
  Cmd_DragShortcut = 33159,
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
  Cmd_MakeShortcut = Cmd_DragShortcut,
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
  // Printing and page images.
  Cmd_Print = 32888,
  Cmd_PageImages = 33041,
  // The application and the shell flags.
  Cmd_AppExit = 57665,
  Cmd_AutoSave = 32963,
  Cmd_TrayIcon = 32961,
  // The recent-file entries 1 to 8.
  Cmd_RecentFile1 = 32785,
  Cmd_RecentFile2 = 32786,
  Cmd_RecentFile3 = 32787,
  Cmd_RecentFile4 = 32788,
  Cmd_RecentFile5 = 32966,
  Cmd_RecentFile6 = 32967,
  Cmd_RecentFile7 = 32968,
  Cmd_RecentFile8 = 32969,
  // Opening notes and following links.
  Cmd_FileNew = 32985,
  Cmd_FileOpen = 32780,
  Cmd_UseTemplate = 32982,
  Cmd_OpenLinkNewWindow = 33151,
  Cmd_LinkBack = 33155,
  Cmd_LinkForward = 33156,
  Cmd_OpenLink = 33106,
  Cmd_FindLinkTarget = 33102,
  Cmd_OpenNoteFolder = 33103,
  Cmd_OpenFilesFolder = 33127,
  Cmd_CopyLinkAddress = 33107,
  Cmd_CopyHereAddress = 33175,
  Cmd_PasteAddress = 33162,
  Cmd_PasteAddressWithText = 33187,
  Cmd_PasteToLinkFragment = 33246,
  Cmd_ReloadPathVariables = 33176,
  Cmd_OpenBackupFolder = 32977,
  Cmd_OpenProfileFolder = 33191,
  Cmd_OpenProgramFolder = 33192,
  Cmd_PinWindow = 33035,
};
