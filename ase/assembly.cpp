#include "ase/assembly.h"

#include "ase/document.h"
#include "ase/nodes.h"
#include "frame/module_state.h"
#include "platform/heap.h"

namespace {

// The walk up from a new parent goes this far at most, so that linking n
// nodes costs at most n times this however long the chains in the file.
constexpr int32_t MaxParentWalk = 256;

// Whether giving node this parent would make the node its own ancestor, or
// might: a parent whose chain of ancestors is longer than the walk (or than
// the number of nodes, which only a cycle made elsewhere can be) is refused
// too.
bool wouldMakeCycle(const HostNode* node, const HostNode* parent, int32_t nodeCount) {
    const int32_t limit = nodeCount < MaxParentWalk ? nodeCount : MaxParentWalk;
    int32_t steps = 0;
    for (const HostNode* p = parent; p; p = nodeParent(p)) {
        if (p == node || ++steps > limit) return true;
    }
    return false;
}

void linkParent(HostNode* node, int32_t nodeCount) {
    auto* link = static_cast<ParentLink*>(nodeUserData(node));
    if (!link) return;
    if (link->parentName) {
        HostNode* parent = sceneNodes(nodeScene(node))->FindByName(link->parentName);
        if (parent && !wouldMakeCycle(node, parent, nodeCount)) setNodeParent(node, parent);
    }
    heapFree(link->parentName);
    heapFree(link);
}

void setAnimationTiming(const AseReader& reader, HostAnimation* animation) {
    long double start = 0, length = 0;
    if (reader.frameSpeed != 0) {
        animation->SetFrameRate(reader.frameSpeed);
        const long double first = static_cast<long double>(reader.firstFrame) / reader.frameSpeed;
        const long double last = static_cast<long double>(reader.lastFrame) / reader.frameSpeed;
        start = first;
        length = last - first;
    }
    animation->SetStart(static_cast<float>(start));
    animation->SetLength(static_cast<float>(length));
    animation->SetPlayMode(AnimationPlayMode);
}

}  // namespace

void AssembleNode(HostNode* node, HostAnimation* animation, int32_t nodeCount) {
    linkParent(node, nodeCount);
    if (animation) {
        if (HostNodeTracks* tracks = animation->GetNodeTracks(node)) {
            const HostMatrix world = nodeTransform(node);
            if (const HostNode* parent = nodeParent(node)) {
                const HostMatrix parentWorld = nodeTransform(parent);
                HostMatrix local;
                hostApp->RelativeMatrix(&world, &local, &parentWorld);
                tracks->SetInitialTransform(&local);
            } else {
                tracks->SetInitialTransform(&world);
            }
        }
    }
    setNodeUserData(node, nullptr);
}

int32_t AssembleAseScene(AseReader& reader) {
    const bool complete = FillFirstBuffer(reader) && ParseDocument(reader);
    HostScene* scene = reader.scene;
    scene->EndImport();
    HostAnimation* animation = scene->GetAnimation(0);
    HostNodeList* nodes = sceneNodes(scene);
    for (int32_t i = 0; i < nodes->Count(); ++i) {
        if (HostNode* node = nodes->GetAt(i)) AssembleNode(node, animation, nodes->Count());
    }
    if (animation) setAnimationTiming(reader, animation);
    return complete && !reader.readFailed ? 1 : 0;
}
