/* Identifiers of the plug-in's resources and dialog controls, shared by the
   resource scripts and the code. */
#pragma once

#define IDD_ACKNOWLEDGE 1
#define IDC_INFO_TEXT 1000
#define IDC_SHOW_AGAIN 1001
