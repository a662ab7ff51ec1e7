/* The numbers of the program's resources, shared by the resource script and
   the code (win32/CommandIds.h checks the command numbers against the
   command table). Plain #defines: the resource compiler reads this too. */
#pragma once

#define IDI_KLOXMERE 1

/* The toolbar's pictures, in the toolbar image list's order (1 based). */
#define IDI_TOOLBAR_BASE 100
#define IDI_TOOLBAR_OPEN 101
#define IDI_TOOLBAR_SAVE 102
#define IDI_TOOLBAR_LAUNCH 103
#define IDI_TOOLBAR_UNITVIEW 104
#define IDI_TOOLBAR_CAVEDOG 105
#define IDI_TOOLBAR_THIRDPARTY 106
#define IDI_TOOLBAR_EDITGROUPS 107
#define IDI_TOOLBAR_ENABLE 108
#define IDI_TOOLBAR_DISABLE 109
#define IDI_TOOLBAR_UNIT 110
#define IDI_TOOLBAR_COUNT 10

/* The tree's images (roles 1 to 7) and the list's state icons (1 to 3). */
#define IDI_TREE_BASE 200
#define IDI_TREE_COUNT 7
#define IDI_LIST_BASE 300
#define IDI_LIST_COUNT 3

/* Menu commands: the base plus the command's number in the command table. */
#define IDM_COMMAND_BASE 1000
#define IDM_EXIT 1004
#define IDM_CONFLICT_BASE 2000
