#include "max/viewer/viewer.h"

#include <cstring>

#include "frame/module_state.h"
#include "max/chunk_ids.h"
#include "max/class_directory.h"
#include "max/viewer/tree_items.h"
#include "platform/text_format.h"

HWND viewerWindow = nullptr;

namespace {

constexpr char ViewerTitle[] = "MAX File Structure";
constexpr DWORD ViewerStyle =
    WS_VISIBLE | WS_OVERLAPPEDWINDOW | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
constexpr char FillNotice[] = "MAX file format in laboratory testing";
constexpr char ClassesText[] = "CLASSES";

// Data chunks of 16-bit strings, summarised as text.
constexpr uint16_t StringChunks[] = {0x0110, 0x0962, 0x09BA, 0x1230, 0x1240, 0x2042, 0x4001};
constexpr uint32_t MaxStringUnits = 128;
// Any other data is summarised as hex bytes.
constexpr uint32_t MaxHexBytes = 50;

constexpr char SummaryOpen[] = " [ ";
constexpr char SummaryClose[] = " ]";

bool isStringChunk(uint16_t id) {
    for (uint16_t s : StringChunks) {
        if (s == id) return true;
    }
    return false;
}

// value × 255 truncated toward zero, as the colour's integer form; values
// beyond the integers saturate, and NaN gives 0.
int32_t colourByte(float value) {
    const float scaled = value * 255.0f;
    if (!(scaled == scaled)) return 0;
    if (scaled >= 2147483648.0f) return INT32_MAX;
    if (scaled <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(scaled);
}

// The room that " [ ", a summary and " ]" leave after a text.
uint32_t summaryRoom(const char* text) {
    const auto used = static_cast<uint32_t>(std::strlen(text) + sizeof SummaryOpen - 1 + sizeof SummaryClose - 1);
    return used < TreeItemTextLength ? TreeItemTextLength - used : 0;
}

// The class name of a scene object and its place, which is its reference
// index; a long name is cut to the room so that the place always shows.
void objectSummary(const MaxFile& file, uint16_t classIndex, uint32_t place, uint32_t room, TreeItemText& summary) {
    char placeText[16];
    const auto placeLength = static_cast<uint32_t>(formatText(placeText, " %X", place));
    const ClassEntry* entry = classAt(file, classIndex);
    const char* name = entry && entry->name ? entry->name : "";
    const uint32_t nameRoom = room > placeLength ? room - placeLength : 0;
    formatText(summary, "%.*s%s", static_cast<int>(nameRoom), name, placeText);
}

// The low bytes of the first units of a string chunk's data.
void stringSummary(MaxFile& file, uint32_t dataSize, TreeItemText& summary) {
    unsigned char data[2 * MaxStringUnits];
    const uint32_t wanted = dataSize < sizeof data ? dataSize : sizeof data;
    const auto got = static_cast<uint32_t>(readBytes(file, data, static_cast<int32_t>(wanted)));
    const uint32_t units = got / 2;
    for (uint32_t i = 0; i < units; ++i) summary[i] = static_cast<char>(data[2 * i]);
    summary[units] = 0;
}

// The first bytes of the data in hex, separated by blanks.
void hexSummary(MaxFile& file, uint32_t dataSize, TreeItemText& summary) {
    static const char digits[] = "0123456789abcdef";
    unsigned char data[MaxHexBytes];
    const uint32_t wanted = dataSize < MaxHexBytes ? dataSize : MaxHexBytes;
    const auto got = static_cast<uint32_t>(readBytes(file, data, static_cast<int32_t>(wanted)));
    uint32_t at = 0;
    for (uint32_t i = 0; i < got; ++i) {
        if (i) summary[at++] = ' ';
        summary[at++] = digits[data[i] >> 4];
        summary[at++] = digits[data[i] & 0x0F];
    }
    summary[at] = 0;
}

// The text or the summary that a data chunk's value gives. Values are read
// only from the chunk's own data: a chunk too short for its value is shown as
// plain data.
void describeData(MaxFile& file, const ChunkHeader& chunk, TreeItemText& text, TreeItemText& summary) {
    const uint32_t size = chunkDataSize(chunk);
    switch (chunk.id) {
        // The values of parameter blocks replace the item's text, wherever they appear.
        case ChunkParamCount:
        case ChunkParamIndex:
            if (size >= 4) {
                const int32_t value = readInt32(file);
                formatText(text, chunk.id == ChunkParamCount ? "Count :0x%x (%d)" : "Index :0x%x (%d)",
                           static_cast<uint32_t>(value), value);
                return;
            }
            break;
        case ChunkParamVersion:
            if (size >= 2) {
                formatText(text, "Version :%d", static_cast<int>(static_cast<uint16_t>(readInt16(file))));
                return;
            }
            break;
        case ChunkParamFloat:
            if (size >= 4) {
                float value = 0;
                readWords(file, &value, 1);
                formatText(text, "Float :%g", static_cast<double>(value));
                return;
            }
            break;
        case ChunkParamPoint3:
            if (size >= 12) {
                float rgb[3] = {0, 0, 0};
                readWords(file, rgb, 3);
                formatText(text, "rgb(%g,%g,%g) or RGB(%d,%d,%d)", static_cast<double>(rgb[0]),
                           static_cast<double>(rgb[1]), static_cast<double>(rgb[2]), colourByte(rgb[0]),
                           colourByte(rgb[1]), colourByte(rgb[2]));
                return;
            }
            break;
        default:
            if (size > 0 && isStringChunk(chunk.id)) {
                stringSummary(file, size, summary);
                return;
            }
            break;
    }
    hexSummary(file, size, summary);
}

// " [ summary ]" after the text, the summary cut so that the whole fits.
void appendSummary(TreeItemText& text, const TreeItemText& summary) {
    TreeItemText whole;
    formatText(whole, "%s%s%.*s%s", text, SummaryOpen, static_cast<int>(summaryRoom(text)), summary, SummaryClose);
    std::memcpy(text, whole, sizeof whole);
}

}  // namespace

void createViewer(MaxFile& file) {
    if (viewerWindow && IsWindow(viewerWindow)) DestroyWindow(viewerWindow);
    viewerWindow =
        CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, ViewerTitle, ViewerStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hostApp->GetMainWindow(0), nullptr, moduleInstance, nullptr);
    file.viewer = viewerWindow;
}

void listViewerClasses(const MaxFile& file) {
    const HTREEITEM classesItem = insertTreeItem(file.viewer, TVI_ROOT, TVI_LAST, ClassesText);
    if (!classesItem) return;
    // Each goes in front of the others, so the walk runs from the last index.
    for (int32_t index = file.classCount - 1; index >= 0; --index) {
        const ClassEntry* entry = classAt(file, static_cast<uint32_t>(index));
        uint32_t a = 0;
        uint32_t b = 0;
        classId(file, static_cast<uint32_t>(index), a, b);
        TreeItemText text;
        formatText(text, "%3d %s CLSID{%08X,%08X} ", index, entry && entry->name ? entry->name : "", a, b);
        insertTreeItem(file.viewer, classesItem, TVI_FIRST, text);
    }
}

int32_t fillViewer(MaxFile& file) {
    ChunkHeader top{};
    if (readChunkAt(file, tellPosition(file), top)) {
        addChunkItem(file, top, TVI_ROOT, 0, 0);
        skipChunk(file, top);
    }
    hostApp->ShowMessage(MessageNotice, FillNotice);
    return 1;
}

void addChunkItem(MaxFile& file, const ChunkHeader& chunk, HTREEITEM parent, uint32_t depth, uint32_t place) {
    const bool container = chunk.kind == ChunkKindContainer;
    TreeItemText text;
    formatText(text, "CHUNK 0x%04x Size: %d %s", chunk.id, static_cast<int32_t>(chunkDataSize(chunk)),
               container ? "" : "DATA");
    TreeItemText summary;
    summary[0] = 0;
    if (!container) {
        describeData(file, chunk, text, summary);
    } else if (depth == 1) {
        objectSummary(file, chunk.id, place, summaryRoom(text), summary);
    }

    const HTREEITEM item = insertTreeItem(file.viewer, parent, TVI_LAST, text);
    if (!item) return;  // nothing to hang the contents on
    if (container && depth < MaxViewerDepth) {
        uint32_t childPlace = 0;
        for (ChunkHeader c{}; nextChunk(file, chunkEnd(chunk), c); skipChunk(file, c)) {
            addChunkItem(file, c, item, depth + 1, childPlace++);
        }
    }
    if (summary[0]) {
        appendSummary(text, summary);
        setTreeItemText(file.viewer, item, text);
    }
}
