#include "max/primitives.h"

#include "frame/module_state.h"
#include "max/object_value.h"
#include "max/param_block.h"
#include "max/param_block2.h"
#include "max/references.h"

namespace {

// Where an old block's stored values fall short of its declared count.
constexpr char ParamBlockSource[] = "max\\max";
constexpr int32_t ParamBlockLine = 1004;

}  // namespace

HostParamBlock* hostBlockFromParamBlock(MaxFile& file, int32_t block) {
    const RefEntry* entry = refAt(file, block);
    if (!entry) return nullptr;
    HostParamBlock* host = hostApp->CreateParamBlock();
    if (!host) return nullptr;
    const OldParamBlockRead read = readOldParamBlock(file, entry->position, [host](const OldParam& p) {
        switch (p.type) {
            case ParamType::Float:
                host->SetFloat(p.index, p.number);
                break;
            case ParamType::Int:
                host->SetInt(p.index, p.integer);
                break;
            case ParamType::Point3:
                host->SetPoint3(p.index, &p.point);
                break;
        }
    });
    if (read.values != static_cast<uint32_t>(read.declared)) {
        hostApp->ReportInternalError(ParamBlockSource, ParamBlockLine, 0);
    }
    return host;
}

bool readPrimitive(MaxFile& file, int32_t reference, const ClassInfo& info, ObjectValue& value) {
    const RefList refs = readObjectRefs(file, reference);
    HostParamBlock* block = nullptr;
    for (uint32_t i = 0; i < refs.count(); ++i) {
        const int32_t slot = refs.at(i);
        const bool old = referencesClass(file, slot, MaxClass::ParamBlock);
        if (!old && !referencesClass(file, slot, MaxClass::ParamBlock2)) continue;
        // The last block read is used; an earlier one goes back to the host.
        if (block) block->Release();
        block = old ? hostBlockFromParamBlock(file, slot) : hostBlockFromBlock2(file, slot);
    }
    if (!block) return false;
    value.makePrimitive(info.primitiveKind, block);
    return true;
}
