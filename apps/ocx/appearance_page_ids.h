// The dialog of the Appearance page and its controls' item ids, shared by the resource
// script and the page's code.
#pragma once

#define IDD_APPEARANCE 101

#define IDC_FRAME1 1001
#define IDC_LBL_ZOOM_PCT_LEFT 1002
#define IDC_TXT_ZOOM_PCT_LEFT 1003
#define IDC_LBL_ZOOM_PCT_RIGHT 1004
#define IDC_TXT_ZOOM_PCT_RIGHT 1005
#define IDC_LBL_ZOOM 1006
#define IDC_CMB_ZOOM 1007
#define IDC_CHK_ATTRIBUTE_DISPLAY 1008
#define IDC_LBL_FILE_NAME 1009
#define IDC_TXT_FILE_NAME 1010
#define IDC_CMD_BROWSE 1011
