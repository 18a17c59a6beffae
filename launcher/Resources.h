#pragma once
// Resource identifiers of quillmont.exe.
#define IDI_QUILLMONT 1
#define IDB_MOVETOP 101
#define IDB_MOVEUP 102
#define IDB_MOVEDOWN 103
#define IDB_MOVEBOTTOM 104
#define IDB_LOGO 105
