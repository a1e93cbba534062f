/* Dialog, control and resource ids, shared by the code and resources/setup.rc (so macros). */
#pragma once

#define IDD_MESSAGE 112
#define IDD_WIZARD 113
#define IDD_FOLDER_CHOOSER 168
#define IDI_TESSO 166
// Every packed payload stream, one after another in the order of the table of their checks, as one
// resource of type "TEXT" (src/payload/payload_store_win32.cpp).
#define IDR_PAYLOAD_STREAMS 1

// The wizard's caption, also how a second start finds the first one's window.
#define WIZARD_CAPTION "Tessovar Chinese Input Engine Installer"

#define IDC_CONFIRM 1
#define IDC_CANCEL 2
#define IDC_BACK 3
#define IDC_YES_BUTTON 6
#define IDC_NO_BUTTON 7

#define IDC_NEXT 1001
#define IDC_FOLDER 1002
#define IDC_BROWSE 1003
#define IDC_DESKTOP_ICONS 1004
#define IDC_AUTO_START 1005
#define IDC_FOLDER_LABEL 1006
#define IDC_ANSWER_OK 1007
#define IDC_ANSWER_NO 1008
#define IDC_TITLE_TESSO 1009
#define IDC_ENGLISH_LICENCE 1010
#define IDC_TITLE_ENGINE 1011
#define IDC_TITLE_INSTALLER 1012
#define IDC_MESSAGE_TEXT 1013
#define IDC_LICENCE_EDIT 1014
#define IDC_SAMPLE_FRAME 1015
#define IDC_RESERVED_LABEL 1016  // in the caption tables, on no template
#define IDC_QUESTION 1017
#define IDC_SAMPLE_LINE 1018
#define IDC_LICENCE_LIST 1019
#define IDC_TITLE_BOTTOM 1020
#define IDC_WAIT_LABEL 1021
#define IDC_PROGRESS 1026
#define IDC_PROGRESS_PLACE 1027
#define IDC_MESSAGE_ENGLISH 1028
#define IDC_LANGUAGE_LABEL 1030
#define IDC_LANGUAGE_LIST 1031

#define IDC_CHOOSER_DIRECTORIES_LABEL 1008
#define IDC_CHOOSER_DRIVES_LABEL 1010
#define IDC_CHOOSER_DIRECTORY_LIST 1121  // lst2 of <dlgs.h>, the common dialog's directory list

#define IDC_PROGRAM_ICON 102
#define IDC_DIVIDER 108
#define IDC_PRODUCT_NAME 167
#define IDC_PRODUCT_INSTALLER 169
#define IDC_WEB_ADDRESS 172
