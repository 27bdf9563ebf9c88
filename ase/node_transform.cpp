// Node transform blocks and the lookup of the node they name.
#include <cstring>

#include "ase/nodes.h"
#include "frame/module_state.h"

namespace {

constexpr Keyword NodeName = "*NODE_NAME";
constexpr Keyword Rows[] = {"*TM_ROW0", "*TM_ROW1", "*TM_ROW2", "*TM_ROW3"};
constexpr Keyword ThreeNumbers[] = {"*INHERIT_POS", "*INHERIT_ROT", "*INHERIT_SCL",
                                    "*TM_ROTAXIS",  "*TM_SCALE",    "*TM_SCALEAXIS"};
constexpr Keyword OneNumber[] = {"*TM_ROTANGLE", "*TM_SCALEAXISANG"};
constexpr int32_t MatrixRows = 4;

template <std::size_t N>
int matchOf(const AseReader& reader, const Keyword (&keywords)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        if (TokenIs(reader, keywords[i])) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

bool ParseNodeTM(AseReader& reader, HostNode* fallback, bool* transformed) {
    if (transformed) *transformed = false;
    HostNode* target = nullptr;
    if (!NextToken(reader) || !TokenIsOpenBrace(reader)) return false;
    HostMatrix matrix;
    hostApp->MatrixIdentity(&matrix);
    int32_t rows = 0;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) {
            if (rows == MatrixRows) {
                HostNode* node = target ? target : fallback;
                if (node) node->SetTransform(&matrix);
                if (transformed) *transformed = true;
            }
            return true;
        }
        int row;
        if (TokenIs(reader, NodeName)) {
            target = FindNodeByName(reader);
        } else if ((row = matchOf(reader, Rows)) >= 0) {
            // Column 3 keeps what MatrixIdentity gave it.
            for (int column = 0; column < 3; ++column) matrix.m[row][column] = ReadFloat(reader);
            ++rows;
        } else if (matchOf(reader, ThreeNumbers) >= 0) {
            for (int i = 0; i < 3; ++i) ReadFloat(reader);
        } else if (matchOf(reader, OneNumber) >= 0) {
            ReadFloat(reader);
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}

HostNode* FindNodeByName(AseReader& reader) {
    char name[TextCapacity];
    if (!ReadString(reader, name)) return nullptr;
    HostNodeList* nodes = sceneNodes(reader.scene);
    if (HostNode* found = nodes->FindByName(name)) return found;
    const char* dot = std::strchr(name, '.');
    if (!dot) return nullptr;
    char baseName[TextCapacity];
    const std::size_t baseLength = static_cast<std::size_t>(dot - name);
    std::memcpy(baseName, name, baseLength);
    baseName[baseLength] = 0;
    HostNode* base = nodes->FindByName(baseName);
    if (!base) return nullptr;
    HostNode* target = reader.scene->CreateTarget();
    if (!target) return nullptr;
    target->SetName(name);
    setNodeParent(target, nodeParent(base));
    if (nodeKind(base) == NodeKindLight) {
        setLightTarget(base, target);
    } else if (nodeKind(base) == NodeKindCamera) {
        setCameraTarget(base, target);
    }
    return target;
}
