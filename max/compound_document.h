// Access to the compound document of a MAX file: open and close by path, the
// texts of structured-storage failures, and a stream read through the host's
// own stream for the thumbnail mode.
#pragma once

#include <cstdint>

#include "max/max_file.h"

constexpr uint32_t MaxPathLength = 260;

// Zeroes the context, opens the document and its "Scene" stream. The open
// succeeded when file.stream is set; otherwise the reason has been shown.
// closeMaxFile (max/max.h) releases what it opened.
void openMaxFile(MaxFile& file, const char* path);
// Shows the text of a structured-storage result at level 1.
void reportStorageError(HRESULT result);

// Finds the stream name in the compound document that stream holds and
// copies its bytes into a new movable global memory block, unlocked. Returns
// the block, or null: with the message "OLE DOCUMENT header not found" when
// the stream is not a compound document, silently when there is no such
// stream, the document is damaged or memory runs out.
HGLOBAL loadCompoundStream(HostStream* stream, const char* name);

