#pragma once
// Resource ids, control ids and private window messages of the settings tool, named once.
// Included by the resource script too, so only preprocessor definitions live here.

// Resources
#define IDR_MAINFRAME 128 // program icon
#define IDS_OLE_INIT_FAILED 100
#define IDD_MAIN 310

// Controls of the main dialog
#define IDC_LEFT_LIST 1000
#define IDC_RIGHT_LIST 1001
#define IDC_HINT 1002
#define IDC_LEFT_TREE 1004
#define IDC_RIGHT_TREE 1005
#define IDC_PALETTE 1006
#define IDC_EXIT_POS_LEFT 1007
#define IDC_EXIT_POS_RIGHT 1008
#define IDC_EXIT_POS_BOTH 1009
#define IDC_SEPARATE 1014
#define IDC_LEFT_CAPTION 1015
#define IDC_RIGHT_CAPTION 1016
#define IDC_EXIT_POS_LABEL 1018
#define IDC_LEFT_BREADCRUMB 1021
#define IDC_RIGHT_BREADCRUMB 1022
#define IDC_DETAIL_SETTINGS 1024
#define IDC_HOTKEY_SETTINGS 1025

// Private window messages (WM_APP + 4 ... WM_APP + 10)
#define UM_NODES_CHANGED 0x8004
#define UM_SHOW_PARENT 0x8005
#define UM_DRAG_NODES 0x8006
#define UM_IS_PALETTE_DRAG 0x8007
#define UM_EDIT_NEW_NODE 0x8008
#define UM_SELECT_NODE 0x8009
#define UM_PURGE_LINKS 0x800A
