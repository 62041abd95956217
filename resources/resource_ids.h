// Resource ids shared by the resource script and the code.
#pragma once
#define IDI_VELTRANE 1
#define IDB_PREVIEW 101
#define IDC_HAND_CURSOR 201
