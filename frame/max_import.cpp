// The MAX import entry point: the acknowledgement, then the file read by its
// path; or, in the thumbnail mode, the picture the file stores.
#include "frame/acknowledge_dialog.h"
#include "frame/exports.h"
#include "frame/module_state.h"
#include "max/compound_document.h"
#include "max/max.h"

extern "C" int32_t PLUGINAPI MAXImport(HostStream* stream, HostScene* scene, uint32_t, int32_t mode) {
    if (mode == ImportModeThumbnail) return static_cast<int32_t>(reinterpret_cast<uintptr_t>(readMaxThumbnail(stream)));
    if (mode != ImportModeScene) return 0;
    if (ConfirmMaxImport() == 0) return 0;
    char path[MaxPathLength];
    path[0] = 0;
    if (stream->GetFileName(path, MaxPathLength) == 0) {
        hostApp->ShowMessage(MessageNotice, "Only file stream");
        return 0;
    }
    path[MaxPathLength - 1] = 0;
    stream->Close();
    return importMaxFile(path, scene);
}
