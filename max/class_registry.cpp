#include "max/class_registry.h"

#include "frame/module_state.h"
#include "max/class_directory.h"
#include "max/references.h"
#include "platform/heap.h"
#include "platform/text_format.h"

namespace {

bool matches(const ClassInfo& info, const ClassKey& key) {
    if (info.a != key.a || (!info.anyB && info.b != key.b)) return false;
    return key.superclass == 0 || info.superclass == key.superclass;
}

}  // namespace

const ClassInfo* lookUpClass(const ClassKey& key) {
    uint32_t count = 0;
    const ClassInfo* classes = classTable(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (matches(classes[i], key)) return &classes[i];
    }
    return nullptr;
}

const ClassInfo* classInfo(MaxFile& file, uint32_t classIndex) {
    if (classIndex >= static_cast<uint32_t>(file.classCount)) return nullptr;
    if (!file.knownClasses) {
        // Looked up once per class index: the table is asked for every reference a reader follows.
        file.knownClasses = static_cast<const ClassInfo**>(
            heapAllocArray(static_cast<uint32_t>(file.classCount), sizeof(ClassInfo*), true));
        if (!file.knownClasses) {
            ClassKey key{};
            return classKey(file, classIndex, key) ? lookUpClass(key) : nullptr;
        }
        for (int32_t i = 0; i < file.classCount; ++i) {
            ClassKey key{};
            if (classKey(file, static_cast<uint32_t>(i), key)) file.knownClasses[i] = lookUpClass(key);
        }
    }
    return file.knownClasses[classIndex];
}

const ClassInfo* referencedClass(MaxFile& file, int32_t reference) {
    const RefEntry* entry = refAt(file, reference);
    return entry ? classInfo(file, entry->classIndex) : nullptr;
}

bool referencesClass(MaxFile& file, int32_t reference, MaxClass id) {
    const ClassInfo* info = referencedClass(file, reference);
    return info && info->id == id;
}

void reportUnsupportedClass(MaxFile& file, uint32_t classIndex, int32_t level) {
    const ClassEntry* entry = classAt(file, classIndex);
    if (!entry || file.classCount <= 0) return;
    if (!file.reportedClasses) {
        file.reportedClasses = static_cast<unsigned char*>(heapAllocZeroed(static_cast<uint32_t>(file.classCount)));
    }
    if (file.reportedClasses) {
        if (file.reportedClasses[classIndex]) return;
        file.reportedClasses[classIndex] = 1;
    }
    char text[320];
    uint32_t a = 0, b = 0;
    if (entry->name) {
        formatText(text, "%s - unsupported", entry->name);
    } else {
        classId(file, classIndex, a, b);
        formatText(text, "Class %x_%x - unsupported", a, b);
    }
    hostApp->ShowMessage(level, text);
}
