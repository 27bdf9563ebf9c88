// The reference host's application object: what the plug-in receives with
// the initialisation message. It records everything the plug-in tells it
// (registrations, messages, status texts, settings written, internal errors)
// and hands out the helper objects, whose release it checks.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "frame/contract/host_interfaces.h"
#include "host/contract_checks.h"
#include "host/settings.h"

// Records a host call when tracing is on; the arguments are not evaluated otherwise.
#define REFHOST_TRACE(app, ...)                            \
    do {                                                   \
        if ((app).tracing()) (app).traceCall(__VA_ARGS__); \
    } while (0)

namespace refhost {

struct NodeData;

struct Registration {
    int32_t handle;
    uint32_t structSize;
    uint32_t flags;
    std::string extension;
    std::string description;
    uint32_t icon;
    uint32_t reserved1;
    uint32_t reserved2;
    ImportProc importProc;
};

struct Message {
    int32_t level;
    std::string text;
};

struct InternalError {
    std::string source;
    int32_t line;
    int32_t argument;
};

struct SettingWrite {
    std::string section;
    std::string key;
    int32_t value;
};

struct IconImage {
    int width;
    int height;
    int bitCount;
};

struct LoadedIcon {
    uint32_t handle;
    std::string group;
    std::vector<IconImage> images;
};

// One value of a parameter block, as the plug-in set it.
struct ParamValue {
    enum class Type { Int, Float, Point } type;
    int32_t intValue;
    float floatValue;
    Point3 point;
};
using ParamValues = std::map<int32_t, ParamValue>;

// The window that the host gives as parent of the plug-in's windows.
extern const HWND MainWindowHandle;

// Not final: a test may wrap an operation to observe the moment of a call.
class App : public HostApp {
 public:
    // Settings live in memory unless the caller gives its own (an INI file).
    explicit App(Settings* settings = nullptr);
    virtual ~App();  // after the contract's slots, so the plug-in never sees it
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    int32_t HOSTAPI RegisterImporter(const ImporterDescriptor* descriptor) override;
    int32_t HOSTAPI ShowMessage(int32_t level, const char* text) override;
    HostPool* HOSTAPI CreatePool(int32_t blockSize) override;
    HostPointList* HOSTAPI CreatePointList() override;
    HostStream* HOSTAPI OpenResourceStream(HINSTANCE module, const char* typeAndName, int32_t mode) override;
    HostParamBlock* HOSTAPI CreateParamBlock() override;
    int32_t HOSTAPI ReportInternalError(const char* source, int32_t line, int32_t zero) override;
    HWND HOSTAPI GetMainWindow(int32_t zero) override;
    int32_t HOSTAPI GetProfileInt(const char* section, const char* key, int32_t defaultValue) override;
    int32_t HOSTAPI WriteProfileInt(const char* section, const char* key, int32_t value) override;
    int32_t HOSTAPI ShowStatus(int32_t two, const char* text) override;
    int32_t HOSTAPI MatrixIdentity(HostMatrix* m) override;
    int32_t HOSTAPI MatrixMultiply(const HostMatrix* a, const HostMatrix* b, HostMatrix* out) override;
    int32_t HOSTAPI TransformPoints(const HostMatrix* m, const Point3* source, Point3* destination,
                                    int32_t count) override;
    int32_t HOSTAPI MatrixInvert(HostMatrix* m) override;
    int32_t HOSTAPI MatrixTranslate(HostMatrix* m, const Point3* offset) override;
    int32_t HOSTAPI MatrixScale(HostMatrix* m, const Point3* factors) override;
    int32_t HOSTAPI MatrixFromQuat(HostMatrix* out, const float* quaternion) override;
    int32_t HOSTAPI RelativeMatrix(const HostMatrix* world, HostMatrix* out, const HostMatrix* parentWorld) override;
    uint32_t HOSTAPI LoadModuleIcon(HINSTANCE module, const char* iconGroup) override;

    // What the plug-in told the host.
    const std::vector<Registration>& registrations() const { return registrations_; }
    const Registration* registrationFor(const std::string& extension) const;
    const std::vector<Message>& messages() const { return messages_; }
    const std::vector<std::string>& statusTexts() const { return statusTexts_; }
    const std::vector<InternalError>& internalErrors() const { return internalErrors_; }
    const std::vector<SettingWrite>& settingsWritten() const { return settingsWritten_; }
    const std::vector<LoadedIcon>& icons() const { return icons_; }
    // What the host itself notes of the scene it builds (a primitive it
    // cannot build), kept apart from what the plug-in shows.
    void addHostNote(std::string text) { hostNotes_.push_back(std::move(text)); }
    const std::vector<std::string>& hostNotes() const { return hostNotes_; }
    // Forget the messages, status texts, internal errors, settings written
    // and host notes, so that one App can serve several imports.
    void clearLog();

    Settings& settings() { return *settings_; }
    const Settings& settings() const { return *settings_; }

    // Helper objects handed out and not yet released.
    int outstandingHelpers() const;

    // The host's allocations for the plug-in: pool blocks, node memory, the
    // arrays of meshes and shapes, shape points and the helper objects. Each
    // asks admitAllocation first. failAllocation makes the nth request from
    // now fail (1: the next), and with persistent set every later one too;
    // 0 ends the injection.
    void failAllocation(int nth, bool persistent = false);
    bool admitAllocation(std::size_t bytes);
    int allocationRequests() const { return allocationRequests_; }
    // Bytes granted so far: what the plug-in made the host allocate.
    std::size_t bytesGranted() const { return bytesGranted_; }

    // A record of every host call, in order, when switched on.
    void setTracing(bool on) { tracing_ = on; }
    bool tracing() const { return tracing_; }
    const std::vector<std::string>& trace() const { return trace_; }
    void clearTrace() { trace_.clear(); }
    void traceCall(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Registry of the live host objects, so that a pointer the plug-in hands
    // back is checked before it is used.
    void registerNode(const HostNode* node, NodeData* data) { nodes_[node] = data; }
    void unregisterNode(const HostNode* node) { nodes_.erase(node); }
    NodeData* findNode(const HostNode* node) const;
    const ParamValues* findParamBlock(const HostParamBlock* block) const;

    // Called by the helper objects when the plug-in releases them.
    void helperReleased(const void* helper);
    void paramBlockReleased(const HostParamBlock* block);

 private:
    static const char* contractName() { return "HostApp"; }
    HOST_UNUSED_SLOTS_HostApp(REFHOST_UNUSED_SLOT)

        std::unique_ptr<Settings> ownSettings_;
    Settings* settings_;
    std::vector<Registration> registrations_;
    std::vector<Message> messages_;
    std::vector<std::string> statusTexts_;
    std::vector<InternalError> internalErrors_;
    std::vector<SettingWrite> settingsWritten_;
    std::vector<LoadedIcon> icons_;
    std::vector<std::string> hostNotes_;
    std::set<const void*> helpers_;
    std::unordered_map<const HostParamBlock*, const ParamValues*> paramBlocks_;
    std::unordered_map<const HostNode*, NodeData*> nodes_;
    bool tracing_ = false;
    std::vector<std::string> trace_;
    int allocationRequests_ = 0;
    int failAt_ = 0;
    bool failFromThenOn_ = false;
    std::size_t bytesGranted_ = 0;
};

}  // namespace refhost
