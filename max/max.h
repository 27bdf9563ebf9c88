// The MAX importer: a scene file read by path into the host's scene, and the
// thumbnail that a file stores.
#pragma once

#include <cstdint>

#include "frame/contract/host_interfaces.h"
#include "max/max_file.h"

// Opens the file, reads its class directory, reference table and scene, and
// closes it. 1 when the file was opened and read, 0 when it could not be
// opened (the reason has been shown).
int32_t importMaxFile(const char* path, HostScene* scene);

// The bytes of the "ThumbnailImage" stream of the compound document that the
// host stream holds, in a movable global memory block for the host, or null.
HGLOBAL readMaxThumbnail(HostStream* stream);

// Releases everything an import context holds, the objects built for its
// scene included; safe after a failed open, and twice.
void closeMaxFile(MaxFile& file);
