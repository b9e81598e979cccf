#pragma once
// Command ids, private window messages, resource ids and string ids of the launcher, named
// once. Included by the resource script too, so only preprocessor definitions live here.

// Resources
#define IDR_MAINFRAME 128 // program icon, hidden command menu "dummy"
#define IDS_OLE_INIT_FAILED 100
#define IDS_APP_TITLE 57344

// Private window messages (WM_APP + 3, WM_APP + 11, WM_APP + 12)
#define WM_NOTIFY_ICON 32771
#define WM_SHOW_PREPARED_MENU 32779
#define WM_UPDATE_IMAGES_AT_IDLE 32780

// Commands of the launcher's own submenu and of the hidden "dummy" menu
#define ID_SETTINGS 32772
#define ID_APP_EXIT 32773
#define ID_REFRESH 32798
#define ID_OPEN_START_MENU_USER 32813
#define ID_OPEN_START_MENU_COMMON 32815
#define ID_OPEN_STARTUP_USER 32816
#define ID_OPEN_STARTUP_COMMON 32817
#define ID_CUSTOMIZE 32819
#define ID_RESTART 32821
#define ID_HOME_PAGE 32822
#define ID_FORCE_CLOSE 32826
#define ID_DELETE_SETTINGS_AND_CLOSE 32828
#define ID_FORCE_OPEN_MENU_LEFT 32832
#define ID_FORCE_OPEN_MENU_RIGHT 32833
