// Resource IDs of Corvanta.  The English resource library carries exactly the
// same IDs, so every ID here is part of that library's contract.
#ifndef CORVANTA_RES_RESOURCE_H
#define CORVANTA_RES_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC                          (-1)
#endif

// ---- Icons -------------------------------------------------------------------
#define IDI_CORVANTA                        101   // tray icon, 16 to 64 pixels

// ---- Launch progress dialog -------------------------------------------------
#define IDD_LAUNCH_PROGRESS                 101
#define IDC_LAUNCH_PROGRESS_CLOSE           1002
#define IDC_LAUNCH_PROGRESS_BAR             1003
#define IDC_LAUNCH_PROGRESS_ABORT           1004
#define IDC_LAUNCH_PROGRESS_LOG             1010

// ---- Arrangement chooser dialog ---------------------------------------------
#define IDD_LAUNCH_ARRANGE                  110
#define IDC_LAUNCH_ARRANGE_NONE             1031
#define IDC_LAUNCH_ARRANGE_VERTICAL         1032
#define IDC_LAUNCH_ARRANGE_HORIZONTAL       1033
#define IDC_LAUNCH_ARRANGE_TILE             1034
#define IDC_LAUNCH_ARRANGE_MOVE_BOTTOM      1035
#define IDC_LAUNCH_ARRANGE_PICTURE_NONE     1036
#define IDC_LAUNCH_ARRANGE_PICTURE_TILE     1037
#define IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL 1038
#define IDC_LAUNCH_ARRANGE_PICTURE_VERTICAL 1039
#define IDC_LAUNCH_ARRANGE_OK               1040

// ---- Bitmaps: arrangement previews (150 x 105, 32 bpp) ----------------------
#define IDB_PREVIEW_NONE                    109
#define IDB_PREVIEW_HORIZONTAL              110
#define IDB_PREVIEW_TILE                    111
#define IDB_PREVIEW_VERTICAL                112
#define IDB_PREVIEW_UNAVAILABLE             113

// ---- Strings: application start-up ------------------------------------------
#define IDS_APP_INITIALIZE_FAILED           106

// ---- Strings: settings file and first run -----------------------------------
#define IDS_CONFIG_NOT_FOUND_TEXT           107
#define IDS_CONFIG_NOT_FOUND_CAPTION        108
#define IDS_CONFIG_LOAD_FAILED_TEXT         109
#define IDS_CONFIG_LOAD_FAILED_CAPTION      110
#define IDS_CONFIG_ROOT_NOT_FOUND_TEXT      111
#define IDS_CONFIG_ROOT_NOT_FOUND_CAPTION   112
#define IDS_CONFIG_LAUNCHER_ITEM_ROOT       143
#define IDS_CONFIG_SAVE_FAILED_TEXT         157
#define IDS_CONFIG_SAVE_FAILED_CAPTION      158
// (first run and start-up after 229: 230-236)
#define IDS_CONFIG_SAMPLE_FOLDER            230   // the first run's sample folder
#define IDS_CONFIG_SAMPLE_ONE               231   // its three subfolders: one, two and three Notepads
#define IDS_CONFIG_SAMPLE_TWO               232
#define IDS_CONFIG_SAMPLE_THREE             233
#define IDS_CONFIG_SAMPLE_SHORTCUT          234   // the shortcuts' name, before " (1)" and ".lnk"
#define IDS_CONFIG_PATH_TOO_LONG_TEXT       235   // %d: the longest folder path, %s: the program's folder
#define IDS_CONFIG_STARTUP_ERROR_CAPTION    236

// ---- Strings: tray icon and launcher menu -----------------------------------
#define IDS_MAINWINDOW_QUIT_TEXT            115
#define IDS_MAINWINDOW_QUIT_CAPTION         116
#define IDS_MAINWINDOW_RUN_FOLDER_TEXT      117
#define IDS_MAINWINDOW_RUN_FOLDER_CAPTION   118
#define IDS_MAINWINDOW_RUN_FILE_TEXT        119
#define IDS_MAINWINDOW_RUN_FILE_CAPTION     120
#define IDS_MAINWINDOW_BALLOON_READY        146
#define IDS_MAINWINDOW_MENU_QUIT            147
#define IDS_MAINWINDOW_MENU_HELP            148
#define IDS_MAINWINDOW_MENU_SETTING         149
#define IDS_MAINWINDOW_MENU_MANAGEMENT      150
#define IDS_MAINWINDOW_MENU_EMPTY           151
#define IDS_MAINWINDOW_HOOK_MISSING_TEXT    237   // %s: the hook library's path; caption 236

// ---- Strings: help (after 189: 190-199) ---------------------------------------
#define IDS_MAINWINDOW_HELP_MISSING_TEXT    190   // %s: the help file's path
#define IDS_MAINWINDOW_HELP_MISSING_CAPTION 191
#define IDS_CONFIG_HELP_FILE_NAME           192   // the help file of this language

// ---- Strings: settings sheet -------------------------------------------------
#define IDS_SETTING_SHEET_CAPTION           152

// ---- Strings: launch progress log -------------------------------------------
#define IDS_LAUNCH_TEST_RUN_START           137
#define IDS_LAUNCH_NOTHING_TO_RUN           138
#define IDS_LAUNCH_ABORTED                  139
#define IDS_LAUNCH_ITEM                     140
#define IDS_LAUNCH_TOTAL_OK                 141
#define IDS_LAUNCH_TOTAL_ERRORS             142
#define IDS_LAUNCH_ERROR_CODE               161   // a launch error the system has no text for

// ---- Strings: launcher item management --------------------------------------
#define IDS_ITEMMANAGER_REGISTER_TEXT       121
#define IDS_ITEMMANAGER_REGISTER_CAPTION    122
#define IDS_ITEMMANAGER_DELETE_TEXT         123
#define IDS_ITEMMANAGER_DELETE_CAPTION      124
#define IDS_ITEMMANAGER_FOLDER_MADE_TEXT    125
#define IDS_ITEMMANAGER_FOLDER_MADE_CAPTION 126
#define IDS_ITEMMANAGER_MOVE_NONE_TEXT      127
#define IDS_ITEMMANAGER_MOVE_NONE_CAPTION   128
#define IDS_ITEMMANAGER_MOVE_TEXT           129
#define IDS_ITEMMANAGER_MOVE_CAPTION        130
#define IDS_ITEMMANAGER_RENAME_NONE_TEXT    131
#define IDS_ITEMMANAGER_RENAME_NONE_CAPTION 132
#define IDS_ITEMMANAGER_MOVE_EXISTS_TEXT    133
#define IDS_ITEMMANAGER_MOVE_EXISTS_CAPTION 134
#define IDS_ITEMMANAGER_RENAME_EXISTS_TEXT  135
#define IDS_ITEMMANAGER_RENAME_EXISTS_CAPTION 136
#define IDS_ITEMMANAGER_SHORTCUT_SUFFIX     144
#define IDS_ITEMMANAGER_NEW_FOLDER          145
#define IDS_ITEMMANAGER_COLUMN_NAME         154
#define IDS_ITEMMANAGER_TEST_NONE_TEXT      159
#define IDS_ITEMMANAGER_TEST_NONE_CAPTION   160

// ---- Settings sheet: pages 107-109, logo bitmap 108 -------------------------
// (settings strings after 161: 162-169)
#define IDD_CONFIG_PAGE_OPERATION           107
#define IDD_CONFIG_PAGE_ADVANCED            108
#define IDD_CONFIG_PAGE_VERSION             109
#define IDB_CONFIG_LOGO                     108   // 88 x 31 at 100 %, drawn at 176 x 62
// Page 107: confirmation boxes and the hotkey.
#define IDC_CONFIG_HOTKEY                   1006
#define IDC_CONFIG_SUPRESS_CONFIRMATION     1007
#define IDC_CONFIG_AUTOCLOSE_PROGRESS       1008
// Page 108: arrangement of the launched windows.
#define IDC_CONFIG_PATTERN_NONE             1021
#define IDC_CONFIG_PATTERN_VERTICAL         1022
#define IDC_CONFIG_PATTERN_HORIZONTAL       1023
#define IDC_CONFIG_PATTERN_TILE             1024
#define IDC_CONFIG_PREVIEW_NONE             1025
#define IDC_CONFIG_PREVIEW_HORIZONTAL       1026
#define IDC_CONFIG_PREVIEW_TILE             1027
#define IDC_CONFIG_PREVIEW_VERTICAL         1028
#define IDC_CONFIG_MOVE_BOTTOM              1029
#define IDC_CONFIG_CONFIRM_AT_EXECUTION     1031
#define IDC_CONFIG_UNAVAILABLE_NOTE         1041
#define IDC_CONFIG_ARRANGE_GROUP            1042
#define IDC_CONFIG_PREVIEW_GROUP            1043
#define IDC_CONFIG_PREVIEW_UNAVAILABLE      1044
// Page 109: version information.
#define IDC_CONFIG_TERMS                    1014
#define IDC_CONFIG_LOGO                     1018   // sized for the DPI by the page
#define IDC_CONFIG_PRODUCT_NAME             1019
#define IDC_CONFIG_PRODUCT_VERSION          1020
// Strings.
#define IDS_MAINWINDOW_HOTKEY_REFUSED       162   // balloon: the new hotkey could not be registered
#define IDS_CONFIG_TERMS_LIABILITY          163
#define IDS_CONFIG_TERMS_REVERSE            164
#define IDS_CONFIG_TERMS_REDISTRIBUTION     165
#define IDS_CONFIG_TERMS_CHANGES            166

// ---- Launcher item management dialog 103 -----------------------------------
// (management strings after 161: 170-189)
#define IDD_ITEMMANAGER                     103
#define IDC_ITEMMANAGER_TREE                1001
#define IDC_ITEMMANAGER_LIST                1002
#define IDC_ITEMMANAGER_DELETE              1006
#define IDC_ITEMMANAGER_RENAME              1007
#define IDC_ITEMMANAGER_REGISTER            1008
#define IDC_ITEMMANAGER_NEW_FOLDER          1009
#define IDC_ITEMMANAGER_MOVE                1010
#define IDC_ITEMMANAGER_ROOT_PATH           1011
#define IDC_ITEMMANAGER_UP                  1012
#define IDC_ITEMMANAGER_TOP                 1013
#define IDC_ITEMMANAGER_DOWN                1014
#define IDC_ITEMMANAGER_BOTTOM              1015
#define IDC_ITEMMANAGER_TEST_RUN            1016
#define IDS_ITEMMANAGER_NAME_INVALID_TEXT   170
#define IDS_ITEMMANAGER_NAME_INVALID_CAPTION 171
#define IDS_ITEMMANAGER_MOVE_OUTSIDE_TEXT   172
#define IDS_ITEMMANAGER_MOVE_INTO_ITSELF_TEXT 173
#define IDS_ITEMMANAGER_PATH_TOO_LONG_TEXT  174
#define IDS_ITEMMANAGER_REGISTER_ERROR_CAPTION 175
#define IDS_ITEMMANAGER_ORDER_FAILED_TEXT   176
#define IDS_ITEMMANAGER_ORDER_FAILED_CAPTION 177
#define IDS_ITEMMANAGER_REGISTER_BROWSE_TITLE 178
#define IDS_ITEMMANAGER_MOVE_BROWSE_TITLE   179
#define IDS_ITEMMANAGER_DELETE_NONE_TEXT    180
#define IDS_ITEMMANAGER_DELETE_NONE_CAPTION 181

#endif
