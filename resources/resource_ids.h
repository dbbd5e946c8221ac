#pragma once
// Resource numbers shared by the resource script and the code.

#define IDI_DISTANCE 1

#define IDD_DISTANCE 200
/* The distance dialog's controls. */
#define IDC_DISTANCE_SLIDER 1
#define IDC_DISTANCE_READOUT 3
#define IDC_DISTANCE_PREVIEW 4

#define IDS_FORTUNES 100
#define IDS_BUTT_HEIGHT 101
#define IDS_BLINK_X 102
#define IDS_BLINK_Y 103
#define IDS_COSTUMES1 104
#define IDS_COSTUMES2 105

#define IDB_BLINK_HALF 101
#define IDB_BLINK_CLOSED 102
#define IDB_BASE 109
/* Costume i (from 1) of a layer is the bitmap ..._BEFORE_FIRST + i. */
#define IDB_COSTUME1_BEFORE_FIRST 109
#define IDB_COSTUME2_BEFORE_FIRST 149
