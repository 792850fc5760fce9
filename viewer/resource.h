// The viewer's resource and command ids, shared by the resource script and
// the code. 109 names the menu, the accelerator table and the class-name
// string; 103 the About dialog and the title string.
#pragma once

#define RES_ABOUT 103
#define RES_MAIN 109
#define CMD_ABOUT 104
#define CMD_EXIT 105
#define CMD_OPEN 32771

// Controls without an id of their own.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
