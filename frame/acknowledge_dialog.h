// The acknowledgement before a MAX import: what the importer can read, and
// the user's consent, remembered in the host's settings.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// Non-zero when the import may go on: the answer given in dialog 1, -1 when
// the dialog could not be created, or the stored answer while the dialog is
// switched off.
int32_t ConfirmMaxImport();

INT_PTR CALLBACK AcknowledgeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
