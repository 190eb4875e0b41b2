/* Command and resource identifiers, shared by the shell and the Win32 resource script. */
#pragma once

#define MENU_MAIN 101
#define ICON_MAIN 102
#define CMD_EXIT 8
#define CMD_OPEN 57601
