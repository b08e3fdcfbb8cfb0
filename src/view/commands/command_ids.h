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
  // The view's link commands and its input method.
  Cmd_PageButtons = 32976,
  Cmd_NewLinkPage = 33160,
  Cmd_EditLinkAddress = 33205,
  Cmd_InputMethodOnOff = 33073,
  Cmd_Reconvert = 33062,
  Cmd_SendToInputMethod = 33078,
  Cmd_SendToInputMethodKey = 33198,
};
