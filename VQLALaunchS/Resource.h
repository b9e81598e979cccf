#pragma once
// Resource ids, control ids and private window messages of the settings tool, named once.
// Included by the resource script too, so only preprocessor definitions live here.

// Resources
#define IDR_MAINFRAME 128 // program icon
#define IDS_OLE_INIT_FAILED 100
#define IDD_MAIN 310
#define IDD_HOTKEYS 321
#define IDD_HOTKEY_INPUT 325
#define IDD_SETTINGS 328

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

// Controls of the hotkey settings dialog: each fixed binding's display edit, "設定" and "削除"
// buttons (by the binding's index in the fixed list), the two option lists
#define IDC_HOTKEY_LEFT_MENU_TEXT 1026
#define IDC_HOTKEY_LEFT_MENU_SET 1024
#define IDC_HOTKEY_LEFT_MENU_CLEAR 1025
#define IDC_HOTKEY_RIGHT_MENU_TEXT 1027
#define IDC_HOTKEY_RIGHT_MENU_SET 1028
#define IDC_HOTKEY_RIGHT_MENU_CLEAR 1029
#define IDC_HOTKEY_SETTINGS_TEXT 1030
#define IDC_HOTKEY_SETTINGS_SET 1031
#define IDC_HOTKEY_SETTINGS_CLEAR 1032
#define IDC_HOTKEY_USER_START_MENU_TEXT 1033
#define IDC_HOTKEY_USER_START_MENU_SET 1034
#define IDC_HOTKEY_USER_START_MENU_CLEAR 1035
#define IDC_HOTKEY_COMMON_START_MENU_TEXT 1036
#define IDC_HOTKEY_COMMON_START_MENU_SET 1037
#define IDC_HOTKEY_COMMON_START_MENU_CLEAR 1038
#define IDC_HOTKEY_USER_STARTUP_TEXT 1039
#define IDC_HOTKEY_USER_STARTUP_SET 1040
#define IDC_HOTKEY_USER_STARTUP_CLEAR 1041
#define IDC_HOTKEY_COMMON_STARTUP_TEXT 1042
#define IDC_HOTKEY_COMMON_STARTUP_SET 1043
#define IDC_HOTKEY_COMMON_STARTUP_CLEAR 1044
#define IDC_HOTKEY_CUSTOMIZE_TEXT 1050
#define IDC_HOTKEY_CUSTOMIZE_SET 1051
#define IDC_HOTKEY_CUSTOMIZE_CLEAR 1052
#define IDC_MENU_POS 1045
#define IDC_SHOW_HOTKEY 1046

// The hotkey input dialog's system hotkey control
#define IDC_HOTKEY_INPUT 1035

// Controls of the detailed settings dialog
#define IDC_WORKAROUND 1048
#define IDC_RETRY_COUNT 1049
#define IDC_AVOID_TASKBAR 1050
#define IDC_RESTART_ON_SCALE_CHANGE 1051
#define IDC_SUBMENU_ACCELERATOR 1070

// Private window messages (WM_APP + 4 ... WM_APP + 10)
#define UM_NODES_CHANGED 0x8004
#define UM_SHOW_PARENT 0x8005
#define UM_DRAG_NODES 0x8006
#define UM_IS_PALETTE_DRAG 0x8007
#define UM_EDIT_NEW_NODE 0x8008
#define UM_SELECT_NODE 0x8009
#define UM_PURGE_LINKS 0x800A
