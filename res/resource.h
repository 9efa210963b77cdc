// Resource identifiers of the launcher. Kept by hand, in ranges:
//   2..20          general strings (10 and up translated)
//   11000..15000   category captions, 21000..25000 category texts
//   10000..69999   catalogue rows (generated from res/catalogue.txt)
//   102            main dialog, 128 application icon
//   155..165       controls of the main dialog
//   248..457       bitmaps drawn by the dialog and its buttons
#pragma once

// General strings
#define IDS_APP_PATHS_KEY        2
#define IDS_SUPPORT_KEY          3
#define IDS_HELP_KEY             4
#define IDS_CPLS_KEY             6
#define IDS_READING_ORDER        9   // "LTR", or "RTL" in a table read right to left
#define IDS_TITLE               10
#define IDS_SUBTITLE            11
#define IDS_CATEGORY_HEADING    12
#define IDS_CONTENTS_HEADING    13
#define IDS_HELP_CAPTION        14
#define IDS_HELP_TEXT           15
#define IDS_SUPPORT_CAPTION     16
#define IDS_SUPPORT_TEXT        17
#define IDS_CLOSE_CAPTION       18
#define IDS_CLOSE_TEXT          19
#define IDS_PRESS_ACTION        20   // buttons' default action, for screen readers

// Catalogue: category k's caption and text; row t = 100 * k + i
#define IDS_CATEGORY_CAPTION_BASE 11000   // + 1000 * k
#define IDS_CATEGORY_TEXT_BASE    21000   // + 1000 * k
#define IDS_ITEM_NAME_BASE        10000   // + t
#define IDS_ITEM_DESCRIPTION_BASE 20000   // + t
#define IDS_ITEM_PROGRAM_BASE     30000   // + t
#define IDS_ITEM_ARGUMENTS_BASE   40000   // + t
#define IDS_ITEM_ICON_FILE_BASE   50000   // + t
#define IDS_ITEM_ICON_INDEX_BASE  60000   // + t

// Dialog and icon
#define IDD_KIVANO_DIALOG      102
#define IDR_MAINFRAME          128

// Controls of the main dialog
#define IDC_ITEM_LIST          155
#define IDC_DESCRIPTION        156
#define IDC_CATEGORY0          157   // category k is IDC_CATEGORY0 + k
#define IDC_CATEGORY1          158
#define IDC_CATEGORY2          159
#define IDC_CATEGORY3          160
#define IDC_CATEGORY4          161
#define IDC_HELP_BUTTON        162
#define IDC_SUPPORT_BUTTON     163
#define IDC_CLOSE_BUTTON       165

// Bitmaps drawn by the dialog
#define IDB_WORDMARK           248   // 124 x 38, white on black
#define IDB_TITLE_STRIP        249   // 1 x 28, black column
#define IDB_FOOTER_GRADIENT    441   // 1 x 21, grey vertical gradient
#define IDB_FOOTER_SEPARATOR   444   // 2 x 21
#define IDB_HEADER_PERSON      446   // 96 x 96
#define IDB_INFO_SIGN          447   // 96 x 96
// Category icons, 64 x 64: normal 448 + 2k, selected 449 + 2k
#define IDB_CATEGORY_ICON_BASE 448
