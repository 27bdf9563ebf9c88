// The control entry point and the registration of both importers, through
// the real plug-in library.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/streams.h"
#include "platform/control.h"
#include "support/plugin_harness.h"

using testing_support::PluginHarness;

namespace {

// Notes what the plug-in does, in order, and the OLE initialisations seen at
// each registration.
class ObservingApp : public refhost::App {
 public:
    uint32_t HOSTAPI LoadModuleIcon(HINSTANCE module, const char* group) override {
        events.push_back("icon");
        return App::LoadModuleIcon(module, group);
    }
    int32_t HOSTAPI RegisterImporter(const ImporterDescriptor* d) override {
        events.push_back(std::string("register ") + d->extension);
        oleCounts.push_back(PlatformOleInitializeCount());
        std::memcpy(&raw.emplace_back(), d, sizeof *d);
        return App::RegisterImporter(d);
    }
    std::vector<std::string> events;
    std::vector<int> oleCounts;
    std::vector<ImporterDescriptor> raw;
};

ObservingApp& observed(PluginHarness& h) {
    return static_cast<ObservingApp&>(h.host());
}

}  // namespace

TEST(ControlEntry, UnknownMessagesAnswerZeroAndWriteNothing) {
    PluginHarness h;
    for (int32_t message : {0, 2, 15, 17, 31, 34, -1, 1000}) {
        unsigned char buffer[64];
        std::memset(buffer, 0xAB, sizeof buffer);
        EXPECT_EQ(h.library().control(message, reinterpret_cast<uint32_t>(buffer), 0), 0) << message;
        for (unsigned char b : buffer) ASSERT_EQ(b, 0xAB) << "message " << message << " wrote to the buffer";
    }
}

TEST(ControlEntry, QueryValueIs111WhateverTheArguments) {
    PluginHarness h;
    EXPECT_EQ(h.library().control(16, 0, 0), 111);
    EXPECT_EQ(h.library().control(16, 0xFFFFFFFF, 12345), 111);
}

TEST(ControlEntry, VersionAndDescriptionWriteExactlyTheirBytes) {
    PluginHarness h;
    struct Case {
        int32_t message;
        const char* text;
        std::size_t size;
    };
    for (const Case& c : {Case{32, "1.40.10", 8}, Case{33, "MAX and ASE import", 19}}) {
        unsigned char buffer[64];
        std::memset(buffer, 0xAB, sizeof buffer);
        EXPECT_EQ(h.library().control(c.message, reinterpret_cast<uint32_t>(buffer), 0), 1);
        EXPECT_EQ(std::memcmp(buffer, c.text, c.size), 0);
        EXPECT_EQ(buffer[c.size - 1], 0);
        for (std::size_t i = c.size; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 0xAB) << "byte " << i;
    }
}

TEST(ControlEntry, InitialiseRegistersMaxThenAseWithOleBetween) {
    PluginHarness h(std::make_unique<ObservingApp>());
    ObservingApp& app = observed(h);
    EXPECT_EQ(h.initializeResult, 1);
    ASSERT_EQ(app.events, (std::vector<std::string>{"icon", "register max", "register ase"}));
    ASSERT_EQ(app.oleCounts.size(), 2u);
    EXPECT_EQ(app.oleCounts[1], app.oleCounts[0] + 1) << "OleInitialize must come between the registrations";

    const ImporterDescriptor& max = app.raw[0];
    const ImporterDescriptor& ase = app.raw[1];
    EXPECT_EQ(max.structSize, 32u);
    EXPECT_EQ(max.flags, 0x19u);
    EXPECT_STREQ(max.extension, "max");
    EXPECT_STREQ(max.description, "3D Studio MAX Scene");
    EXPECT_EQ(max.importProc, h.library().maxImport());
    EXPECT_EQ(ase.structSize, 32u);
    EXPECT_EQ(ase.flags, 0x09u);
    EXPECT_STREQ(ase.extension, "ase");
    EXPECT_STREQ(ase.description, "ASCII MAX Scene");
    EXPECT_EQ(ase.importProc, h.library().aseImport());
    for (const ImporterDescriptor& d : app.raw) {
        EXPECT_EQ(d.reserved1, 0u);
        EXPECT_EQ(d.reserved2, 0u);
        EXPECT_NE(d.icon, 0u) << "the icon group MAX is a resource of the plug-in";
        EXPECT_EQ(d.icon, max.icon);
    }
}

TEST(ControlEntry, NullIconChangesNeitherStepsNorResult) {
    struct NoIcon : ObservingApp {
        uint32_t HOSTAPI LoadModuleIcon(HINSTANCE, const char*) override {
            events.push_back("icon");
            return 0;
        }
    };
    PluginHarness h(std::make_unique<NoIcon>());
    ObservingApp& observer = observed(h);
    EXPECT_EQ(h.initializeResult, 1);
    ASSERT_EQ(observer.raw.size(), 2u);
    EXPECT_EQ(observer.raw[0].icon, 0u);
    EXPECT_EQ(observer.raw[1].icon, 0u);
}

TEST(ControlEntry, SecondInitialiseRegistersBothAgain) {
    PluginHarness h(std::make_unique<ObservingApp>());
    ObservingApp& app = observed(h);
    const int oleBefore = PlatformOleInitializeCount();
    EXPECT_EQ(h.library().initialize(app), 1);
    EXPECT_EQ(PlatformOleInitializeCount(), oleBefore + 1);
    ASSERT_EQ(app.registrations().size(), 4u);
    EXPECT_EQ(app.registrations()[2].extension, "max");
    EXPECT_EQ(app.registrations()[3].extension, "ase");
}

TEST(ImportEntries, ModesWithoutMeaningReturnZeroAndReadNothing) {
    PluginHarness h;
    refhost::Scene scene(h.host());
    const std::string text = "*3DSMAX_ASCIIEXPORT 200\n";
    for (int32_t mode : {0, 2, 4, -1}) {
        refhost::MemoryStream stream(std::vector<unsigned char>(text.begin(), text.end()));
        EXPECT_EQ(h.library().aseImport()(&stream, &scene, 0, mode), 0) << mode;
        EXPECT_EQ(h.library().maxImport()(&stream, &scene, 0, mode), 0) << mode;
        EXPECT_EQ(stream.readCalls(), 0);
    }
    refhost::MemoryStream stream(std::vector<unsigned char>(text.begin(), text.end()));
    EXPECT_EQ(h.library().aseImport()(&stream, &scene, 0, ImportModeThumbnail), 0);
    EXPECT_EQ(stream.readCalls(), 0) << "the ASE importer has no thumbnail";
    EXPECT_TRUE(scene.nodes().empty());
    EXPECT_TRUE(h.host().messages().empty());
}
