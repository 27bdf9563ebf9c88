#include "ase/geometry.h"

#include <cstring>

namespace {

constexpr Keyword TimeValue = "*TIMEVALUE";
constexpr Keyword VertexCount = "*MESH_NUMVERTEX";
constexpr Keyword FaceCount = "*MESH_NUMFACES";
constexpr Keyword TexVertexCount = "*MESH_NUMTVERTEX";
constexpr Keyword TexFaceCount = "*MESH_NUMTVFACES";
constexpr Keyword VertexList = "*MESH_VERTEX_LIST";
constexpr Keyword TexVertexList = "*MESH_TVERTLIST";
constexpr Keyword FaceList = "*MESH_FACE_LIST";
constexpr Keyword TexFaceList = "*MESH_TFACELIST";
constexpr Keyword Vertex = "*MESH_VERTEX";
constexpr Keyword TexVertex = "*MESH_TVERT";
constexpr Keyword Face = "*MESH_FACE";
constexpr Keyword CornerA = "A:";
constexpr Keyword CornerB = "B:";
constexpr Keyword CornerC = "C:";
constexpr Keyword EdgeAB = "AB:";
constexpr Keyword EdgeBC = "BC:";
constexpr Keyword EdgeCA = "CA:";
constexpr Keyword MaterialId = "*MESH_MTLID";
constexpr Keyword Smoothing = "*MESH_SMOOTHING";
constexpr Keyword TexFace = "*MESH_TFACE";
constexpr Keyword Closed = "*SHAPE_CLOSED";
constexpr Keyword LineVertexCount = "*SHAPE_VERTEXCOUNT";
constexpr Keyword Knot = "*SHAPE_VERTEX_KNOT";
constexpr Keyword Interpolated = "*SHAPE_VERTEX_INTERP";

bool openBlock(AseReader& reader) {
    return NextToken(reader) && TokenIsOpenBrace(reader);
}

// The tokens of a face list that mean something there. Their lengths
// differ or their first letters do, so the length decides before any text
// is compared.
enum class FaceToken {
    NewFace,
    VertexA,
    VertexB,
    VertexC,
    FlagAB,
    FlagBC,
    FlagCA,
    MaterialNumber,
    SmoothingGroups,
    End,
    Other
};

FaceToken classifyFaceToken(const AseReader& reader) {
    switch (reader.tokenLength) {
        case 1:
            return TokenIsCloseBrace(reader) ? FaceToken::End : FaceToken::Other;
        case 2:
            return TokenIs(reader, CornerA)   ? FaceToken::VertexA
                   : TokenIs(reader, CornerB) ? FaceToken::VertexB
                   : TokenIs(reader, CornerC) ? FaceToken::VertexC
                                              : FaceToken::Other;
        case 3:
            return TokenIs(reader, EdgeAB)   ? FaceToken::FlagAB
                   : TokenIs(reader, EdgeBC) ? FaceToken::FlagBC
                   : TokenIs(reader, EdgeCA) ? FaceToken::FlagCA
                                             : FaceToken::Other;
        case Face.length:
            return TokenIs(reader, Face) ? FaceToken::NewFace : FaceToken::Other;
        case MaterialId.length:
            return TokenIs(reader, MaterialId) ? FaceToken::MaterialNumber : FaceToken::Other;
        case Smoothing.length:
            return TokenIs(reader, Smoothing) ? FaceToken::SmoothingGroups : FaceToken::Other;
        default:
            return FaceToken::Other;
    }
}

bool readMeshBlock(AseReader& reader, ObjectScope& object) {
    int32_t vertexCount = 0, faceCount = 0, texVertexCount = 0, texFaceCount = 0;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) return true;
        if (TokenIs(reader, TimeValue)) {
            ReadInt(reader);
        } else if (TokenIs(reader, VertexCount)) {
            vertexCount = ReadInt(reader);
        } else if (TokenIs(reader, FaceCount)) {
            faceCount = ReadInt(reader);
        } else if (TokenIs(reader, TexVertexCount)) {
            texVertexCount = ReadInt(reader);
        } else if (TokenIs(reader, TexFaceCount)) {
            texFaceCount = ReadInt(reader);
        } else if (TokenIs(reader, VertexList)) {
            if (!ParseVertexList(reader, object, vertexCount)) return false;
        } else if (TokenIs(reader, TexVertexList)) {
            if (!ParseTexVertexList(reader, object, texVertexCount)) return false;
        } else if (TokenIs(reader, FaceList)) {
            if (!ParseFaceList(reader, object, faceCount)) return false;
        } else if (TokenIs(reader, TexFaceList)) {
            if (!ParseTexFaceList(reader, object, texFaceCount)) return false;
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}

bool readLineBlock(AseReader& reader, ObjectScope& object, HostPointList* pointList, HostLine* line) {
    bool closed = false;
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) {
            const int32_t count = line->pointCount;
            int32_t* points = line->points;
            if (closed && count != 0) points[count - 1] = points[0];
            return true;
        }
        if (TokenIs(reader, Closed)) {
            closed = true;
        } else if (TokenIs(reader, LineVertexCount)) {
            int32_t count = ReadInt(reader);
            if (count < 2 || count > MaxLinePoints - (closed ? 1 : 0)) return false;
            if (closed) ++count;
            if (!ReserveEntries(reader, count)) return false;
            auto* points = static_cast<int32_t*>(object.node->AllocNodeMemory(count * 4));
            if (!points) return false;
            std::memset(points, 0, static_cast<std::size_t>(count) * 4);
            line->points = points;
            line->pointCount = static_cast<uint16_t>(count);
        } else if (TokenIs(reader, Knot) || TokenIs(reader, Interpolated)) {
            const int32_t index = ReadInt(reader);
            if (index < 0 || index >= line->pointCount) return false;
            Point3 point;
            ReadPoint3(reader, point);
            int32_t tableIndex = 0;
            pointList->AddPoint(&point, &tableIndex);
            ++object.pointsAdded;
            int32_t* points = line->points;
            points[index] = tableIndex;
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}

}  // namespace

bool ParseMesh(AseReader& reader, ObjectScope& object) {
    if (!openBlock(reader)) return false;
    const bool complete = readMeshBlock(reader, object);
    MendFaceIndices(object);
    return complete;
}

bool ParseVertexList(AseReader& reader, ObjectScope& object, int32_t count) {
    if (!openBlock(reader)) return false;
    if (!ReserveEntries(reader, count) || !object.node->SetVertexCount(count, 0)) return false;
    Point3* vertices = meshVertices(object.node);
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) return true;
        if (TokenIs(reader, Vertex)) {
            const int32_t index = ReadInt(reader);
            if (index < 0 || index >= count) return false;
            ReadPoint3(reader, vertices[index]);
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}

bool ParseTexVertexList(AseReader& reader, ObjectScope& object, int32_t count) {
    if (!openBlock(reader)) return false;
    if (!ReserveEntries(reader, count)) return false;
    if (!object.node->SetTexVertexCount(count, 0)) {
        object.texVertexCount = 0;
        return false;
    }
    object.texVertexCount = count;
    HostTexVertex* texVertices = meshTexVertices(object.node);
    for (;;) {
        if (!NextKeyword(reader)) return false;
        if (TokenIsCloseBrace(reader)) return true;
        if (TokenIs(reader, TexVertex)) {
            const int32_t index = ReadInt(reader);
            if (index < 0 || index >= count) return false;
            const double u = ReadFloat(reader);
            const double v = ReadFloat(reader);
            ReadFloat(reader);  // w
            texVertices[index] = HostTexVertex{static_cast<float>(u), static_cast<float>(1.0 - v)};
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}

bool ParseFaceList(AseReader& reader, ObjectScope& object, int32_t count) {
    if (!openBlock(reader)) return false;
    HostMeshNode* node = object.node;
    if (!ReserveEntries(reader, count) || !node->SetFaceCount(count, 0)) return false;
    HostFace* face = nullptr;
    bool tokenWaiting = false;
    for (;;) {
        if (!tokenWaiting && !NextToken(reader)) return false;
        tokenWaiting = false;
        const FaceToken kind = classifyFaceToken(reader);
        if (kind == FaceToken::SmoothingGroups) {
            // Exporters write the keyword without groups for a face in none;
            // what follows then is the face's next field, the list's end or
            // a block, read as such instead of as the groups.
            if (!NextToken(reader)) return false;
            tokenWaiting = reader.token[0] == '*' || TokenIsCloseBrace(reader) || TokenIsOpenBrace(reader);
        } else if (kind == FaceToken::NewFace) {
            const int32_t index = ReadInt(reader);
            if (index < 0 || index >= count) return false;
            face = node->GetFace(index);
            if (!face) return false;
        } else if (kind == FaceToken::End) {
            return true;
        } else if (!face || kind == FaceToken::Other) {
            // Face fields without a face are tokens like any other.
            if (!HandleCommonKeyword(reader)) return false;
        } else if (kind == FaceToken::MaterialNumber) {
            face->material = static_cast<uint32_t>(ReadInt(reader));
        } else if (kind == FaceToken::FlagAB || kind == FaceToken::FlagBC || kind == FaceToken::FlagCA) {
            const uint16_t bit = kind == FaceToken::FlagAB   ? FaceEdgeAB
                                 : kind == FaceToken::FlagBC ? FaceEdgeBC
                                                             : FaceEdgeCA;
            if (ReadInt(reader) != 0) face->flags |= bit;
        } else {
            const int32_t vertex = ReadInt(reader);
            if (kind == FaceToken::VertexA) {
                face->a = vertex;
            } else if (kind == FaceToken::VertexB) {
                face->b = vertex;
            } else {
                face->c = vertex;
            }
            object.vertexIndices.include(vertex);
        }
    }
}

bool ParseTexFaceList(AseReader& reader, ObjectScope& object, int32_t count) {
    if (!openBlock(reader)) return false;
    HostMeshNode* node = object.node;
    if (meshFaceCount(node) != count) return false;
    for (;;) {
        if (!NextToken(reader)) return false;
        if (TokenIs(reader, TexFace)) {
            const int32_t index = ReadInt(reader);
            if (index < 0 || index >= count) return false;
            HostFace* face = node->GetFace(index);
            if (!face) return false;
            face->ta = ReadInt(reader);
            face->tb = ReadInt(reader);
            face->tc = ReadInt(reader);
            object.texIndices.include(face->ta);
            object.texIndices.include(face->tb);
            object.texIndices.include(face->tc);
        } else if (TokenIsCloseBrace(reader)) {
            return true;
        } else if (!HandleCommonKeyword(reader)) {
            return false;
        }
    }
}

bool ParseShapeLine(AseReader& reader, ObjectScope& object, HostPointList* pointList, int32_t lineIndex) {
    if (!openBlock(reader)) return false;
    HostLine* line = object.node->GetLine(lineIndex);
    if (!line) return false;
    line->flags |= LineInUse;
    const bool complete = readLineBlock(reader, object, pointList, line);
    MendLineIndices(object, line);
    return complete;
}
