// The maxase tool on MAX files: the acknowledgement on the terminal, the
// settings kept in the INI file, --agree, and the thumbnail command.
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

// Runs maxase with arguments, feeding it input on standard input.
ToolRun maxase(const std::string& arguments, const std::string& input) {
    const std::string inputPath = writeTempFile("maxase-input.txt", Bytes(input.begin(), input.end()));
    const std::string command = std::string(MAXASE_TOOL_PATH) + " " + arguments + " <" + inputPath + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, {}};
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
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
