// The About dialog (template 110): a banner, a credit line and the version history.
#pragma once

#include "platform/winapi.h"

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
