// The structure viewer: a tree-view window that shows a MAX file's class
// directory and the chunk tree of its "Scene" stream, for inspecting files
// that do not import well. It stays open after the import until the next
// debug-mode import replaces it.
#pragma once

#include <cstdint>

#include "max/chunk_reader.h"
#include "max/max_file.h"

// The window of the last viewer created, or null. Replaced by createViewer.
extern HWND viewerWindow;

// Deeper containers are shown without their contents, so that a hostile
// nesting cannot exhaust the stack.
constexpr uint32_t MaxViewerDepth = 64;

// Destroys the previous viewer window, when it is still open, and creates a
// new one; its handle (null when creation failed) goes to viewerWindow and to
// file.viewer.
void createViewer(MaxFile& file);

// Adds the "CLASSES" item with the class directory's classes under it, by
// index.
void listViewerClasses(const MaxFile& file);

// Adds the chunk tree of the current stream from its current position, the
// stream's top chunk, then shows the level-1 notice. Returns 1.
int32_t fillViewer(MaxFile& file);

// Adds the item of a chunk whose header was just read under parent, then
// those of its sub-chunks, then the summary. depth is 0 for the stream's top
// chunk, place the chunk's place among its siblings.
void addChunkItem(MaxFile& file, const ChunkHeader& chunk, HTREEITEM parent, uint32_t depth, uint32_t place);
