// The maxase tool on MAX files: the acknowledgement on the terminal, the
// settings kept in the INI file, --agree, and the thumbnail and tree commands.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/max_writer.h"
#include "support/plugin_harness.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

struct ToolRun {
    int status;
    std::string output;  // standard output and standard error
};

ToolRun runCommand(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, {}};
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Runs maxase with arguments, feeding it input on standard input.
ToolRun maxase(const std::string& arguments, const std::string& input) {
    const std::string inputPath = writeTempFile("maxase-input.txt", Bytes(input.begin(), input.end()));
    return runCommand(std::string(MAXASE_TOOL_PATH) + " " + arguments + " <" + inputPath + " 2>&1");
}

// Standard output alone of maxase in a locale, without input.
ToolRun maxaseOutput(const std::string& locale, const std::string& arguments) {
    return runCommand("LC_ALL=" + locale + " " + MAXASE_TOOL_PATH + " " + arguments + " </dev/null 2>/dev/null");
}

class MaxaseTool : public ::testing::Test {
 protected:
    void SetUp() override {
        MaxWriter w;
        w.node("Teapot01", -1, {w.mesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2, 7}})});
        file = writeTempFile("tool.max", w.build({}, {{"ThumbnailImage", Bytes(5000, 0x42)}}));
        settings = tempPath("maxase-settings/settings.ini");
        std::filesystem::remove(settings);
    }
    std::string import(const std::string& extra = "") {
        return "import " + file + " --settings " + settings + " " + extra;
    }
    std::string file;
    std::string settings;
};

}  // namespace

TEST_F(MaxaseTool, TheAcknowledgementIsAskedOnTheTerminalAndRemembered) {
    ToolRun first = maxase(import(), "2\nn\n");
    EXPECT_EQ(first.status, 0) << first.output;
    EXPECT_NE(first.output.find("== 3D Stdudio MAX WARNING =="), std::string::npos);
    EXPECT_NE(first.output.find("3D STUDIO MAX IMPORT"), std::string::npos) << "the INFO text as plain text";
    EXPECT_EQ(first.output.find("\\rtf"), std::string::npos);
    EXPECT_NE(first.output.find("[2] I Agree"), std::string::npos);
    EXPECT_NE(first.output.find("Show this dialog in future?"), std::string::npos);
    EXPECT_NE(first.output.find("Nodes      1: 1 mesh"), std::string::npos) << first.output;
    const std::string ini = readFile(settings);
    EXPECT_NE(ini.find("Warning=0"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Agree=1"), std::string::npos) << ini;

    ToolRun second = maxase(import(), "");
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.output.find("WARNING"), std::string::npos) << "a cleared box lasts";
}

TEST_F(MaxaseTool, ADeclineThatLastsIsExplained) {
    ToolRun decline = maxase(import(), "1\nn\n");
    EXPECT_EQ(decline.status, 1) << decline.output;
    ToolRun refused = maxase(import(), "");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output.find("WARNING"), std::string::npos) << "not asked again";
    EXPECT_NE(refused.output.find("declined for good"), std::string::npos) << refused.output;
}

TEST_F(MaxaseTool, EnterOrNoAnswerCancels) {
    ToolRun enter = maxase(import(), "\n\n");
    EXPECT_EQ(enter.status, 1) << enter.output;
    EXPECT_NE(enter.output.find("Result: 0"), std::string::npos);
    ToolRun none = maxase(import(), "");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.output.find("No answer"), std::string::npos);
}

TEST_F(MaxaseTool, AgreeAnswersForAScript) {
    ToolRun run = maxase(import("--agree --json -"), "");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Answered \"I Agree\""), std::string::npos);
    EXPECT_NE(run.output.find("\"Teapot01\""), std::string::npos) << "the JSON dump";
    EXPECT_NE(run.output.find("SCENE"), std::string::npos) << "the scene log among the messages";
    EXPECT_NE(readFile(settings).find("Warning=1"), std::string::npos) << "the box stays checked";
}

TEST_F(MaxaseTool, ThumbnailWritesTheStoredBytes) {
    const std::string out = tempPath("thumb.bin");
    std::filesystem::remove(out);
    ToolRun run = maxase("thumbnail " + file + " -o " + out, "");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(readFile(out), std::string(5000, '\x42'));

    MaxWriter w;
    w.node("N", -1, {});
    ToolRun none = maxase("thumbnail " + writeTempFile("nothumb.max", w.build()) + " -o " + out + "2", "");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.output.find("holds no thumbnail"), std::string::npos);
}

namespace {

constexpr ClassId ThingClass{5, 6};

class MaxaseTree : public MaxaseTool {
 protected:
    void SetUp() override {
        MaxaseTool::SetUp();
        MaxWriter w;
        const auto thing = static_cast<uint16_t>(w.addClass("Thing", ThingClass));
        w.addObject(thing, {Chunk::int32s(0x0001, {3}), Chunk::container(0x0010, {Chunk::data(0x0020, {0xAB})})});
        w.addObject(thing, {});
        treeFile = writeTempFile("tree.max", w.build());
    }
    std::string tree(const std::string& extra = "") {
        return "tree " + treeFile + " --agree --settings " + settings + " " + extra;
    }
    std::string treeFile;
};

}  // namespace

TEST_F(MaxaseTree, PrintsTheClassesAndTheChunkTreeThenTheImport) {
    const ToolRun run = maxaseOutput("C", tree());
    EXPECT_EQ(run.status, 0) << run.output;
    const std::string expected =
        "MAX File Structure\n"
        "\n"
        "CLASSES\n"
        "`--   0 Thing CLSID{00000005,00000006} \n"
        "\n"
        "CHUNK 0x2004 Size: 35 \n"
        "|-- CHUNK 0x0000 Size: 23  [ Thing 0 ]\n"
        "|   |-- Count :0x3 (3)\n"
        "|   `-- CHUNK 0x0010 Size: 7 \n"
        "|       `-- CHUNK 0x0020 Size: 1 DATA [ ab ]\n"
        "`-- CHUNK 0x0000 Size: 0  [ Thing 1 ]\n"
        "\n" +
        treeFile + " (3D Studio MAX Scene)\n";
    EXPECT_EQ(run.output.substr(0, expected.size()), expected) << run.output;
    EXPECT_NE(run.output.find("  [1] MAX file format in laboratory testing\n"), std::string::npos);
    EXPECT_NE(run.output.find("\nResult: 1\n"), std::string::npos);
    EXPECT_EQ(readFile(settings).find("DebugWindow"), std::string::npos) << "the debug mode is not stored";
}

TEST_F(MaxaseTree, DepthAndNoImportCutTheOutput) {
    const ToolRun run = maxaseOutput("C", tree("--depth 1 --no-import"));
    EXPECT_EQ(run.status, 0);
    const std::string expected =
        "MAX File Structure\n"
        "\n"
        "CLASSES\n"
        "`--   0 Thing CLSID{00000005,00000006} \n"
        "\n"
        "CHUNK 0x2004 Size: 35 \n"
        "|-- CHUNK 0x0000 Size: 23  [ Thing 0 ] (+3 below)\n"
        "`-- CHUNK 0x0000 Size: 0  [ Thing 1 ]\n";
    EXPECT_EQ(run.output, expected);

    const ToolRun top = maxaseOutput("C", tree("--depth 0 --no-import"));
    EXPECT_EQ(top.output, "MAX File Structure\n\nCLASSES (+1 below)\n\nCHUNK 0x2004 Size: 35  (+5 below)\n");
}

TEST_F(MaxaseTree, UnicodeGuidesAndSafeTextOnAUtf8Terminal) {
    MaxWriter w;
    w.addObject(static_cast<uint16_t>(w.addClass("Esc\x1b[2J\xe9t\xe9", ThingClass)), {Chunk::data(0x0050, {1})});
    const std::string path = writeTempFile("escape.max", w.build());
    const std::string arguments = "tree " + path + " --agree --no-import --settings " + settings;

    const ToolRun utf8 = maxaseOutput("C.UTF-8", arguments);
    EXPECT_NE(utf8.output.find("\u2514\u2500\u2500   0 Esc\\x1b[2J\u00e9t\u00e9 CLSID{"), std::string::npos)
        << utf8.output;
    EXPECT_NE(utf8.output.find("    \u2514\u2500\u2500 CHUNK 0x0050 Size: 1 DATA [ 01 ]"), std::string::npos);
    const ToolRun ascii = maxaseOutput("C", arguments);
    EXPECT_NE(ascii.output.find("`--   0 Esc\\x1b[2J\\xe9t\\xe9 CLSID{"), std::string::npos) << ascii.output;
    for (const std::string& out : {utf8.output, ascii.output}) {
        EXPECT_EQ(out.find('\x1b'), std::string::npos) << "no control byte reaches the terminal";
    }
}

TEST_F(MaxaseTree, FailuresKeepTheExitStatusesOfImport) {
    const ToolRun declined = maxase("tree " + treeFile + " --settings " + settings, "1\nn\n");
    EXPECT_EQ(declined.status, 1);
    EXPECT_NE(declined.output.find("the import showed no structure tree"), std::string::npos) << declined.output;
    EXPECT_NE(declined.output.find("Result: 0"), std::string::npos);

    const std::string ase = writeTempFile("scene.ase", Bytes{'*'});
    const ToolRun wrongKind = maxase("tree " + ase + " --agree --settings " + settings, "");
    EXPECT_EQ(wrongKind.status, 2);
    EXPECT_NE(wrongKind.output.find("tree shows the structure of .max files"), std::string::npos);
}
