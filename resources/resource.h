// Resource and control identifiers, private window messages and timer ids, each defined
// once here with its meaning. Control ids are per dialog, so the same number can mean
// different controls in different dialogs.
#pragma once

// A table aligned by hand, read by the resource compiler as well.
// clang-format off

// Dialog templates.
#define IDD_ABOUT 103          // About box
#define IDD_USER_ID 138        // asks for one member user ID
#define IDD_GROUP_INFO 139     // asks for a group's name and message
#define IDD_NOTE 141           // notification popup
#define IDD_MEMBERS 152        // group members window
#define IDD_MAIN 129           // main window
#define IDD_GROUPS 162         // groups window
#define IDD_CONFIG 165         // configuration dialog
#define IDD_MESSAGE_LOG 166    // message log window

// Background pictures (24 bits per pixel, tiled as pattern brushes).
#define IDB_MAIN 151           // main window: lavender gradient strip
#define IDB_MEMBERS 154        // members window
#define IDB_USER_ID 158        // user ID dialog
#define IDB_GROUP_INFO 160     // group information dialog
#define IDB_MESSAGE_LOG 163    // message log window
#define IDB_GROUPS 164         // groups window
#define IDB_CONFIG 168         // configuration dialog
#define IDB_NOTE_INFO 143      // popup, NOTE_INFO
#define IDB_NOTE_ERROR 144     // popup, NOTE_ERROR
#define IDB_NOTE_CAUTION 145   // popup, NOTE_CAUTION
#define IDB_NOTE_MESSAGE 147   // popup, NOTE_MESSAGE
#define IDB_ABOUT 171          // About box

// Icons of the notification area and the taskbar button (drawn by bitmaps/make_bitmaps.py,
// each with images of 16, 20, 24 and 32 pixels). The program's own icon is named, in
// release.rc. "_HC": the variant for high contrast, which reads on black and on white.
#define IDI_TRAY_INACTIVE 180      // autoresponse inactive
#define IDI_TRAY_ON_GUARD 181      // on guard, activated by the user
#define IDI_TRAY_BY_ITSELF 182     // on guard by itself, activated while the user is away
#define IDI_TRAY_INACTIVE_HC 183
#define IDI_TRAY_ON_GUARD_HC 184
#define IDI_TRAY_BY_ITSELF_HC 185
#define IDI_BADGE_ON_GUARD 186     // the taskbar button's badge while on guard
#define IDI_BADGE_BY_ITSELF 187    // and while on guard by itself

// Main window (129). Activate and DeActivate carry IDOK and IDCANCEL.
#define IDC_ACTIVATE 1
#define IDC_DEACTIVATE 2
#define IDC_MESSAGE_LOG_BUTTON 3
#define IDC_ABOUT_BUTTON 4
#define IDC_CLOSE_BUTTON 8
#define IDC_GROUPS_BUTTON 11
#define IDC_CONFIG_BUTTON 44
#define IDC_DEFAULT_REPLY 1000
#define IDC_STATUS 1001
#define IDC_NOTIFY_CHECK 1003
#define IDC_LOG_TO_FILE_CHECK 1004
#define IDC_RECEIVED_COUNT 1006
#define IDC_REPLIED_COUNT 1007
#define IDC_RESPONDED_LABEL 1008
#define IDC_RECEIVED_LABEL 1009
#define IDC_LOG_FILE_NAME 1011

// Notification popup (141).
#define IDC_NOTE_TEXT 1024

// Groups window (162).
#define IDC_GROUP_CREATE 5
#define IDC_GROUP_EDIT 7
#define IDC_GROUPS_CLOSE 8
#define IDC_GROUP_REMOVE 9
#define IDC_GROUP_LIST 1016

// Group information dialog (139); its status line is IDC_STATUS.
#define IDC_GROUP_NAME 1015
#define IDC_GROUP_MESSAGE 1016

// Members window (152).
#define IDC_MEMBERS_CLOSE 8
#define IDC_MEMBERS_GROUP_NAME 1019
#define IDC_MEMBERS_GROUP_MESSAGE 1020
#define IDC_MEMBER_CREATE 1028
#define IDC_MEMBER_REMOVE 1029
#define IDC_MEMBER_LIST 1030

// User ID dialog (138); its status line is IDC_STATUS.
#define IDC_USER_ID 1017

// Configuration dialog (165).
#define IDC_CONFIG_MESSAGE 1037
#define IDC_CONFIG_INTERVAL 1039
#define IDC_CONFIG_LITE 1041
#define IDC_CONFIG_SPEED 1042
#define IDC_CONFIG_AWAY_IDLE 1043     // "Auto-Activate After": activate after idle minutes
#define IDC_CONFIG_AWAY_MINUTES 1044  // the idle minutes, 1 to 999
#define IDC_CONFIG_AWAY_LOCKED 1045   // "Auto-Activate When Computer Is Locked"
#define IDC_CONFIG_TRAY_ICON 1046     // "Show Icon In Notification Area"
#define IDC_CONFIG_HIDE_MINIMISED 1047  // "Hide Window When Minimised"

// Message log window (166).
#define IDC_LOG_CLOSE 2
#define IDC_LOG_SENDERS 1030
#define IDC_LOG_VIEW 1035
#define IDC_LOG_CLEAR 1036
#define IDC_LOG_REFRESH 1037

// The notification-area icon's menu: [ Activate ], [ DeActivate ] and Exit carry the main
// window's IDC_ACTIVATE, IDC_DEACTIVATE and IDC_CLOSE_BUTTON, so they run the buttons' code.
#define IDM_TRAY_SHOW 1100            // "Show Quorvane"
// The one icon Quorvane puts into the notification area.
#define TRAY_ICON_ID 1

// Private window messages, with both parameters 0, posted (never sent) but for a later
// start's call to come forward, which waits until it is handled. The main window takes
// the note requests, the settings change, the guard's end and that call; the companions
// re-dock; a popup returns to its corner after a change of display scale, and every window
// widens its labels again. Only the notification area's UM_TRAY_ICON carries parameters.
#define UM_SHOW_NOTE_MESSAGE 2015  // popup of kind NOTE_MESSAGE with its oldest pending note
#define UM_SHOW_NOTE_INFO 2016     // popup of kind NOTE_INFO with its oldest pending note
#define UM_SHOW_NOTE_CAUTION 2017  // popup of kind NOTE_CAUTION with its oldest pending note
#define UM_SHOW_NOTE_ERROR 2018    // popup of kind NOTE_ERROR with its oldest pending note
// The configuration dialog changed the settings record: take its values over. Posted
// before conf.qvr is written, and also when writing it fails.
#define UM_SETTINGS_CHANGED 2020
#define UM_MAIN_WINDOW_MOVED 2023  // companions re-dock beside the main window
// The newest activation's guard thread has ended: the status line says autoresponse is
// inactive, unless the user has activated it again meanwhile.
#define UM_GUARD_ENDED 2024
#define UM_NOTE_TO_CORNER 2025     // a popup moves to the work area's corner again
#define UM_FIT_LABELS 2026         // labels widened to their texts once rescaled (FitLabels)
#define UM_COME_FORWARD 2031       // from a later start: restore the main window, bring it up
                                   // (answers COME_FORWARD_CLOSING while it closes)
// What the user did to the notification-area icon (clicks, keys), from the shell: the
// event in lParam's low word (or lParam itself before NOTIFYICON_VERSION_4).
#define UM_TRAY_ICON 2032
// The counts in the main window's title changed: the icon's tooltip follows them.
#define UM_TRAY_REFRESH 2033

// Window timers.
#define IDT_NOTE_CLOSE 1           // a notification popup closes itself
#define IDT_MEMBERS_CLOSE 2        // the members window closes itself
#define IDT_AWAY_WATCH 3           // the main window looks whether the user is away or back
#define IDT_TAKE_RUNNING_NAME 4    // a copy started without its mutex tries to take it again
// clang-format on
