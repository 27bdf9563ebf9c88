// The application object and the helper objects it hands out: pools, point
// lists, parameter blocks and resource streams.
#include "host/app.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "host/matrix.h"
#include "host/scene.h"
#include "host/streams.h"
#include "platform/win32.h"

namespace refhost {

const HWND MainWindowHandle = reinterpret_cast<HWND>(0x00010010);

namespace {

class Pool final : public HostPool {
 public:
    explicit Pool(App& app) : app_(app) {}
    int32_t HOSTAPI Release() override {
        app_.helperReleased(this);
        delete this;
        return 0;
    }
    void* HOSTAPI Alloc(int32_t size) override {
        if (size < 0 || !app_.admitAllocation(static_cast<std::size_t>(size))) return nullptr;
        std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[size ? size : 1]());
        if (!block) return nullptr;
        blocks_.push_back(std::move(block));
        return blocks_.back().get();
    }

 private:
    static const char* contractName() { return "HostPool"; }
    HOST_UNUSED_SLOTS_HostPool(REFHOST_UNUSED_SLOT) App& app_;
    std::vector<std::unique_ptr<unsigned char[]>> blocks_;
};

class PointList final : public HostPointList {
 public:
    explicit PointList(App& app) : app_(app) {}
    int32_t HOSTAPI Release() override {
        app_.helperReleased(this);
        delete this;
        return 0;
    }
    int32_t HOSTAPI AddPoint(const Point3* point, int32_t* index) override {
        if (!point || !index) return 0;
        if (points_.size() >= static_cast<std::size_t>(MaxElementCount)) return 0;
        if (!app_.admitAllocation(sizeof(Point3))) return 0;
        *index = static_cast<int32_t>(points_.size());
        points_.push_back(*point);
        return 1;
    }
    int32_t HOSTAPI StorePoints(HostNode* node) override {
        NodeData* data = app_.findNode(node);
        if (!data || (data->kind != NodeKind::Node && data->kind != NodeKind::Primitive)) {
            reportContractViolation("StorePoints to an object that is not a mesh or shape node");
            return 0;
        }
        data->vertices = points_;
        data->syncArrays();
        REFHOST_TRACE(app_, "PointList.StorePoints(#%d) %zu points", data->index, points_.size());
        return 1;
    }
    int32_t HOSTAPI Init(int32_t) override {
        points_.clear();
        return 1;
    }

 private:
    static const char* contractName() { return "HostPointList"; }
    HOST_UNUSED_SLOTS_HostPointList(REFHOST_UNUSED_SLOT) App& app_;
    std::vector<Point3> points_;
};

class ParamBlock final : public HostParamBlock {
 public:
    explicit ParamBlock(App& app) : app_(app) {}
    int32_t HOSTAPI Release() override {
        app_.paramBlockReleased(this);
        delete this;
        return 0;
    }
    int32_t HOSTAPI SetInt(int32_t index, int32_t value) override {
        values[index] = ParamValue{ParamValue::Type::Int, value, 0, {0, 0, 0}};
        REFHOST_TRACE(app_, "ParamBlock.SetInt(%d, %d)", index, value);
        return 1;
    }
    int32_t HOSTAPI SetFloat(int32_t index, float value) override {
        values[index] = ParamValue{ParamValue::Type::Float, 0, value, {0, 0, 0}};
        REFHOST_TRACE(app_, "ParamBlock.SetFloat(%d, %g)", index, static_cast<double>(value));
        return 1;
    }
    int32_t HOSTAPI SetPoint3(int32_t index, const Point3* value) override {
        if (!value) return 0;
        values[index] = ParamValue{ParamValue::Type::Point, 0, 0, *value};
        REFHOST_TRACE(app_, "ParamBlock.SetPoint3(%d, %g %g %g)", index, static_cast<double>(value->x),
                      static_cast<double>(value->y), static_cast<double>(value->z));
        return 1;
    }

    ParamValues values;

 private:
    static const char* contractName() { return "HostParamBlock"; }
    HOST_UNUSED_SLOTS_HostParamBlock(REFHOST_UNUSED_SLOT) App& app_;
};

uint16_t readU16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// The images of an icon file: count, then a 16-byte entry per image.
bool parseIcon(const unsigned char* data, std::size_t size, std::vector<IconImage>& images) {
    if (size < 6 || readU16(data) != 0 || readU16(data + 2) != 1) return false;
    const unsigned count = readU16(data + 4);
    if (count == 0 || size < 6 + 16u * count) return false;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned char* e = data + 6 + 16 * i;
        images.push_back({e[0] ? e[0] : 256, e[1] ? e[1] : 256, readU16(e + 6)});
    }
    return true;
}

}  // namespace

App::App(Settings* settings) {
    if (!settings) ownSettings_ = std::make_unique<Settings>();
    settings_ = settings ? settings : ownSettings_.get();
}

App::~App() = default;

int32_t App::RegisterImporter(const ImporterDescriptor* d) {
    if (!d) return 0;
    Registration r{static_cast<int32_t>(registrations_.size() + 1),
                   d->structSize,
                   d->flags,
                   d->extension ? d->extension : "",
                   d->description ? d->description : "",
                   d->icon,
                   d->reserved1,
                   d->reserved2,
                   d->importProc};
    registrations_.push_back(r);
    REFHOST_TRACE(*this, "App.RegisterImporter(%s) -> %d", r.extension.c_str(), r.handle);
    return r.handle;
}

const Registration* App::registrationFor(const std::string& extension) const {
    // The latest registration of an extension is the one in force.
    for (auto it = registrations_.rbegin(); it != registrations_.rend(); ++it) {
        if (lstrcmpiA(it->extension.c_str(), extension.c_str()) == 0) return &*it;
    }
    return nullptr;
}

int32_t App::ShowMessage(int32_t level, const char* text) {
    messages_.push_back({level, text ? text : ""});
    REFHOST_TRACE(*this, "App.ShowMessage(%d, %s)", level, text ? text : "");
    return 1;
}

HostPool* App::CreatePool(int32_t blockSize) {
    if (!admitAllocation(0)) return nullptr;
    auto* pool = new Pool(*this);
    helpers_.insert(pool);
    REFHOST_TRACE(*this, "App.CreatePool(%d)", blockSize);
    return pool;
}

HostPointList* App::CreatePointList() {
    if (!admitAllocation(0)) return nullptr;
    auto* list = new PointList(*this);
    helpers_.insert(list);
    REFHOST_TRACE(*this, "App.CreatePointList");
    return list;
}

HostStream* App::OpenResourceStream(HINSTANCE module, const char* typeAndName, int32_t mode) {
    REFHOST_TRACE(*this, "App.OpenResourceStream(%s, %d)", typeAndName ? typeAndName : "", mode);
    if (!typeAndName) return nullptr;
    const char* bar = std::strchr(typeAndName, '|');
    if (!bar) return nullptr;
    const std::string type(typeAndName, bar);
    const HRSRC found = FindResourceA(module, bar + 1, type.c_str());
    if (!found) return nullptr;
    const void* data = LockResource(LoadResource(module, found));
    auto* stream = new MemoryStream(data, SizeofResource(module, found));
    stream->setDeleteOnRelease(true);
    helpers_.insert(stream);
    stream->setReleaseHook([this, stream] { helperReleased(stream); });
    return stream;
}

HostParamBlock* App::CreateParamBlock() {
    if (!admitAllocation(0)) return nullptr;
    auto* block = new ParamBlock(*this);
    helpers_.insert(block);
    paramBlocks_[block] = &block->values;
    REFHOST_TRACE(*this, "App.CreateParamBlock");
    return block;
}

int32_t App::ReportInternalError(const char* source, int32_t line, int32_t argument) {
    internalErrors_.push_back({source ? source : "", line, argument});
    REFHOST_TRACE(*this, "App.ReportInternalError(%s, %d, %d)", source ? source : "", line, argument);
    return 1;
}

HWND App::GetMainWindow(int32_t) {
    return MainWindowHandle;
}

int32_t App::GetProfileInt(const char* section, const char* key, int32_t defaultValue) {
    const int32_t value = settings_->get(section ? section : "", key ? key : "", defaultValue);
    REFHOST_TRACE(*this, "App.GetProfileInt(%s, %s, %d) -> %d", section ? section : "", key ? key : "", defaultValue,
                  value);
    return value;
}

int32_t App::WriteProfileInt(const char* section, const char* key, int32_t value) {
    if (!section || !key) return 0;
    settings_->set(section, key, value);
    settingsWritten_.push_back({section, key, value});
    REFHOST_TRACE(*this, "App.WriteProfileInt(%s, %s, %d)", section, key, value);
    return 1;
}

int32_t App::ShowStatus(int32_t, const char* text) {
    statusTexts_.emplace_back(text ? text : "");
    return 1;
}

int32_t App::MatrixIdentity(HostMatrix* m) {
    if (!m) return 0;
    *m = matrix::identity();
    return 1;
}

int32_t App::MatrixMultiply(const HostMatrix* a, const HostMatrix* b, HostMatrix* out) {
    if (!a || !b || !out) return 0;
    *out = matrix::multiply(*a, *b);
    return 1;
}

int32_t App::TransformPoints(const HostMatrix* m, const Point3* source, Point3* destination, int32_t count) {
    if (!m || !source || !destination || count < 0) return 0;
    for (int32_t i = 0; i < count; ++i) destination[i] = matrix::transformPoint(*m, source[i]);
    return 1;
}

int32_t App::MatrixInvert(HostMatrix* m) {
    return m && matrix::invert(*m) ? 1 : 0;
}

int32_t App::MatrixTranslate(HostMatrix* m, const Point3* offset) {
    if (!m || !offset) return 0;
    *m = matrix::multiply(*m, matrix::translation(*offset));
    return 1;
}

int32_t App::MatrixScale(HostMatrix* m, const Point3* factors) {
    if (!m || !factors) return 0;
    *m = matrix::multiply(*m, matrix::scaling(*factors));
    return 1;
}

int32_t App::MatrixFromQuat(HostMatrix* out, const float* quaternion) {
    if (!out || !quaternion) return 0;
    *out = matrix::fromQuaternion(quaternion);
    return 1;
}

int32_t App::RelativeMatrix(const HostMatrix* world, HostMatrix* out, const HostMatrix* parentWorld) {
    if (!world || !out || !parentWorld) return 0;
    HostMatrix inverse = *parentWorld;
    if (!matrix::invert(inverse)) {
        *out = *world;
        return 0;
    }
    *out = matrix::multiply(*world, inverse);
    return 1;
}

uint32_t App::LoadModuleIcon(HINSTANCE module, const char* iconGroup) {
    REFHOST_TRACE(*this, "App.LoadModuleIcon(%s)", iconGroup ? iconGroup : "");
    if (!iconGroup) return 0;
    const HRSRC found = FindResourceA(module, iconGroup, RT_GROUP_ICON);
    if (!found) return 0;
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    LoadedIcon icon{static_cast<uint32_t>(0x1000 + icons_.size() + 1), iconGroup, {}};
    if (!data || !parseIcon(data, SizeofResource(module, found), icon.images)) return 0;
    icons_.push_back(icon);
    return icon.handle;
}

void App::clearLog() {
    messages_.clear();
    statusTexts_.clear();
    internalErrors_.clear();
    settingsWritten_.clear();
    hostNotes_.clear();
}

int App::outstandingHelpers() const {
    return static_cast<int>(helpers_.size());
}

void App::failAllocation(int nth, bool persistent) {
    failAt_ = nth <= 0 ? 0 : allocationRequests_ + nth;
    failFromThenOn_ = nth > 0 && persistent;
}

bool App::admitAllocation(std::size_t bytes) {
    ++allocationRequests_;
    if (failAt_ != 0 && allocationRequests_ >= failAt_) {
        if (!failFromThenOn_) failAt_ = 0;
        REFHOST_TRACE(*this, "allocation %d failed", allocationRequests_);
        return false;
    }
    bytesGranted_ += bytes;
    return true;
}

void App::traceCall(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    trace_.emplace_back(text);
}

NodeData* App::findNode(const HostNode* node) const {
    const auto it = nodes_.find(node);
    return it == nodes_.end() ? nullptr : it->second;
}

const ParamValues* App::findParamBlock(const HostParamBlock* block) const {
    const auto it = paramBlocks_.find(block);
    return it == paramBlocks_.end() ? nullptr : it->second;
}

void App::helperReleased(const void* helper) {
    if (!helpers_.erase(helper)) reportContractViolation("release of a helper object the host did not hand out");
}

void App::paramBlockReleased(const HostParamBlock* block) {
    paramBlocks_.erase(block);
    helperReleased(block);
}

}  // namespace refhost
