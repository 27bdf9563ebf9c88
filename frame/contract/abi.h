// The binary contract between the host and the plug-in: calling conventions,
// the registration record and the import entry point's signature.
#pragma once

#include <cstddef>
#include <cstdint>

static_assert(sizeof(void*) == 4, "the host contract is a 32-bit ABI");
static_assert(sizeof(float) == 4 && sizeof(double) == 8, "the host contract uses IEEE floats");

// Calling convention of every host operation (a C++ virtual function in slot
// order). The host is a 32-bit Windows program, whose member functions use
// thiscall; the Linux builds use the same so that the reference host
// exercises the real convention.
#define HOSTAPI __attribute__((thiscall))

// Calling convention of the three exported functions.
#define PLUGINAPI __attribute__((cdecl))

#if defined(_WIN32)
#define PLUGIN_EXPORT
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

class HostStream;
class HostScene;

enum ImportMode : int32_t {
    ImportModeScene = 1,
    ImportModeThumbnail = 3,
};

// ImportProc(stream, scene, unused, mode) -> result
typedef int32_t(PLUGINAPI* ImportProc)(HostStream* stream, HostScene* scene, uint32_t unused, int32_t mode);

// The record with which one importer is registered: eight little-endian
// 32-bit fields. It is zeroed before it is filled, so both reserved fields are 0.
struct ImporterDescriptor {
    uint32_t structSize;
    uint32_t flags;
    const char* extension;  // no dot
    const char* description;
    uint32_t icon;
    uint32_t reserved1;
    ImportProc importProc;
    uint32_t reserved2;
};
static_assert(sizeof(ImporterDescriptor) == 32, "ImporterDescriptor is 32 bytes");
static_assert(offsetof(ImporterDescriptor, flags) == 4, "ImporterDescriptor layout");
static_assert(offsetof(ImporterDescriptor, extension) == 8, "ImporterDescriptor layout");
static_assert(offsetof(ImporterDescriptor, description) == 12, "ImporterDescriptor layout");
static_assert(offsetof(ImporterDescriptor, icon) == 16, "ImporterDescriptor layout");
static_assert(offsetof(ImporterDescriptor, reserved1) == 20, "ImporterDescriptor layout");
static_assert(offsetof(ImporterDescriptor, importProc) == 24, "ImporterDescriptor layout");
static_assert(offsetof(ImporterDescriptor, reserved2) == 28, "ImporterDescriptor layout");

// Descriptor flag bits.
constexpr uint32_t ImporterFlagBit1 = 0x01;
constexpr uint32_t ImporterFlagBit8 = 0x08;
constexpr uint32_t ImporterFlagThumbnail = 0x10;  // the entry point answers ImportModeThumbnail

// ZtDLLFunc(message, arg1, arg2)
typedef int32_t(PLUGINAPI* ControlProc)(int32_t message, uint32_t arg1, uint32_t arg2);

enum ControlMessage : int32_t {
    ControlInitialize = 1,       // arg1: HostApp, arg2: module instance
    ControlQueryValue = 16,      // answers ControlQueryValueResult
    ControlGetVersion = 32,      // arg1: buffer for the version text
    ControlGetDescription = 33,  // arg1: buffer for the description
};
constexpr int32_t ControlQueryValueResult = 111;

// Names of the exports, as a host looks them up.
constexpr const char* ExportControl = "ZtDLLFunc";
constexpr const char* ExportAseImport = "ASEImport";
constexpr const char* ExportMaxImport = "MAXImport";
