// MAXImport around the importer: the acknowledgement dialog with its
// settings and resources, the thumbnail mode, and the modes without meaning.
#include <gtest/gtest.h>

#include "frame/resources/resource_ids.h"
#include "host/streams.h"
#include "platform/control.h"
#include "support/max_import.h"
#include "support/max_writer.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

// A user at the headless dialog for the length of a test: answers, and notes
// what the dialog showed while it was open.
class User {
 public:
    explicit User(PlatformDialogAnswer answer) : answer_(answer) { PlatformSetDialogResponder(respond, this); }
    ~User() { PlatformSetDialogResponder(nullptr, nullptr); }
    User(const User&) = delete;
    User& operator=(const User&) = delete;

    int asked = 0;
    UINT boxWhenAsked = 0;

 private:
    static void respond(void* context, HWND dialog, PlatformDialogAnswer* answer) {
        auto* self = static_cast<User*>(context);
        ++self->asked;
        self->boxWhenAsked = IsDlgButtonChecked(dialog, IDC_SHOW_AGAIN);
        *answer = self->answer_;
    }
    PlatformDialogAnswer answer_;
};

class Acknowledgement : public ::testing::Test {
 protected:
    void SetUp() override {
        MaxWriter w;
        w.node("N", -1, {});
        path = writeTempFile("ack.max", w.build());
        import.host().settings().remove("MAX", "Warning");
        import.host().settings().remove("MAX", "Agree");
    }
    int32_t run() { return import.run(path); }
    std::optional<int32_t> setting(const char* key) { return import.host().settings().get("MAX", key); }

    std::string path;
    MaxImport import;
};

}  // namespace

TEST_F(Acknowledgement, AgreeingWithTheBoxCheckedAsksAgainNextTime) {
    User user{{IDOK, 0, BST_UNCHECKED}};
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(user.asked, 1) << "fresh settings show the dialog";
    EXPECT_EQ(user.boxWhenAsked, BST_CHECKED) << "the box starts checked";
    EXPECT_EQ(setting("Warning"), 1);
    EXPECT_EQ(setting("Agree"), 1);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(user.asked, 2);

    PlatformDialogInfo info{};
    ASSERT_TRUE(PlatformLastDialog(&info));
    EXPECT_EQ(info.templateId, IDD_ACKNOWLEDGE);
    EXPECT_EQ(info.owner, refhost::MainWindowHandle);
    EXPECT_EQ(info.initParam, 0);
    EXPECT_EQ(info.result, 1);
}

TEST_F(Acknowledgement, ClearingTheBoxKeepsTheAnswerWithoutAsking) {
    {
        User user{{IDOK, IDC_SHOW_AGAIN, BST_UNCHECKED}};
        EXPECT_EQ(run(), 1);
        EXPECT_EQ(setting("Warning"), 0);
        EXPECT_EQ(setting("Agree"), 1);
    }
    User absent{{IDCANCEL, 0, BST_UNCHECKED}};
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(absent.asked, 0) << "the stored answer is taken";
    EXPECT_NE(import.node("N"), nullptr);
}

TEST_F(Acknowledgement, CancellingWithTheBoxClearedRefusesSilentlyFromThenOn) {
    {
        User user{{IDCANCEL, IDC_SHOW_AGAIN, BST_UNCHECKED}};
        EXPECT_EQ(run(), 0);
        EXPECT_EQ(setting("Warning"), 0) << "a cleared box is written whichever button closed the dialog";
        EXPECT_EQ(setting("Agree"), 0);
    }
    User absent{{IDOK, 0, BST_UNCHECKED}};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(absent.asked, 0);
    EXPECT_TRUE(import.scene().nodes().empty());
    EXPECT_TRUE(import.host().messages().empty());
}

TEST_F(Acknowledgement, WarningOffWithoutAStoredAnswerRefuses) {
    import.host().settings().set("MAX", "Warning", 0);
    User user{{IDOK, 0, BST_UNCHECKED}};
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(user.asked, 0);
}

TEST_F(Acknowledgement, EnterChoosesCancelAndEscapeCancelsToo) {
    for (int key : {PlatformDialogEnter, PlatformDialogEscape}) {
        User user{{key, 0, BST_UNCHECKED}};
        EXPECT_EQ(run(), 0) << key;
        EXPECT_EQ(setting("Agree"), 0) << key;
        EXPECT_EQ(setting("Warning"), 1) << key;
    }
}

TEST_F(Acknowledgement, DecliningReadsNothingOfTheFile) {
    User user{{IDCANCEL, 0, BST_UNCHECKED}};
    refhost::MemoryStream unnamed(Bytes(10, 0));
    EXPECT_EQ(import.library().maxImport()(&unnamed, &import.scene(), 0, ImportModeScene), 0);
    EXPECT_TRUE(import.host().messages().empty()) << "declined before the file name is asked for";
    EXPECT_FALSE(unnamed.closed());
}

TEST_F(Acknowledgement, ADialogThatCannotBeShownLetsTheImportGoOn) {
    PlatformSetDialogResponder(nullptr, nullptr);
    const int shown = PlatformDialogsShown();
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(PlatformDialogsShown(), shown);
    EXPECT_FALSE(setting("Warning").has_value()) << "nothing is written";
}

TEST_F(Acknowledgement, TheInformationIsStreamedOnTheFaceColour) {
    User user{{IDOK, 0, BST_UNCHECKED}};
    ASSERT_EQ(run(), 1);
    const std::string source = readFile(MAXASE_INFO_RTF);
    ASSERT_FALSE(source.empty());
    std::string streamed(PlatformLastDialogStreamedText(IDC_INFO_TEXT, nullptr, 0), '\0');
    std::vector<char> buffer(streamed.size() + 1);
    PlatformLastDialogStreamedText(IDC_INFO_TEXT, buffer.data(), static_cast<DWORD>(buffer.size()));
    EXPECT_EQ(std::string(buffer.data(), streamed.size()), source) << "the INFO resource is the file";
    for (const char* part :
         {"3D STUDIO MAX IMPORT", "This plug-in can retrieve only part of the information in a MAX file.", "teapot",
          "editable mesh", "thumbnail", "beta", "\\b I Agree\\b0", "\\b Cancel\\b0"}) {
        EXPECT_NE(source.find(part), std::string::npos) << part;
    }
    PlatformDialogControl text{};
    ASSERT_TRUE(PlatformLastDialogControl(4, &text));
    EXPECT_TRUE(text.backgroundSet);
    EXPECT_EQ(text.background, PLATFORM_BUTTON_FACE_COLOUR);
    EXPECT_EQ(import.host().outstandingHelpers(), 0) << "the resource stream is released";
}

// The thumbnail mode: the stream's true bytes, found through the host stream.
namespace {

Bytes picture(std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<unsigned char>(i * 7 + (i >> 8));
    return b;
}

Bytes thumbnailOf(MaxImport& import, const std::string& path, int& readCalls) {
    refhost::FileStream stream(path);
    const int shown = PlatformDialogsShown();
    const int32_t result = import.library().maxImport()(&stream, &import.scene(), 0, ImportModeThumbnail);
    EXPECT_EQ(PlatformDialogsShown(), shown) << "no acknowledgement for a thumbnail";
    EXPECT_FALSE(stream.closed());
    readCalls = stream.readCalls();
    if (result == 0) return {};
    auto block = reinterpret_cast<HGLOBAL>(static_cast<uintptr_t>(result));
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(block));
    EXPECT_NE(bytes, nullptr);
    Bytes copy(bytes, bytes + GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    return copy;
}

}  // namespace

TEST(MaxThumbnail, TheStreamsTrueBytesWhereverTheyLie) {
    struct Case {
        const char* what;
        std::size_t size;
        CompoundOptions options;
        const char* streamName;
    };
    const Case cases[] = {
        {"mini stream, 512-byte sectors", 3000, {512, false}, "ThumbnailImage"},
        {"regular, fragmented, 4096-byte sectors", 70000, {4096, true}, "ThumbnailImage"},
        {"regular, fragmented, 512-byte sectors", 50000, {512, true}, "thumbnailimage"},
    };
    MaxWriter w;
    w.node("N", -1, {});
    for (const Case& c : cases) {
        std::vector<CompoundStream> extra;
        for (int i = 0; i < 12; ++i) extra.push_back({"Padding" + std::to_string(i), picture(200)});
        extra.push_back({c.streamName, picture(c.size)});
        MaxImport import;
        int reads = 0;
        const Bytes got = thumbnailOf(import, writeTempFile("thumb.max", w.build(c.options, extra)), reads);
        EXPECT_TRUE(got == picture(c.size)) << c.what << ": " << got.size() << " bytes";
        EXPECT_TRUE(import.host().messages().empty()) << c.what;
        EXPECT_TRUE(import.scene().nodes().empty()) << c.what;
    }
}

TEST(MaxThumbnail, NothingWithoutTheStreamOrTheSignature) {
    MaxWriter w;
    w.node("N", -1, {});
    MaxImport import;
    int reads = 0;
    EXPECT_TRUE(thumbnailOf(import, writeTempFile("nothumb.max", w.build()), reads).empty());
    EXPECT_TRUE(import.host().messages().empty());

    EXPECT_TRUE(thumbnailOf(import, writeTempFile("plain.max", Bytes(4000, 'x')), reads).empty());
    EXPECT_EQ(import.messages(MessageNotice), std::vector<std::string>{"OLE DOCUMENT header not found"});

    Bytes empty = w.build({}, {{"ThumbnailImage", {}}});
    EXPECT_TRUE(thumbnailOf(import, writeTempFile("empty.max", empty), reads).empty()) << "no bytes, no block";
}

TEST(MaxEntry, ModesWithoutMeaningReturnZero) {
    MaxWriter w;
    w.node("N", -1, {});
    const std::string path = writeTempFile("modes.max", w.build());
    MaxImport import;
    for (int32_t mode : {0, 2, 4}) {
        refhost::FileStream stream(path);
        EXPECT_EQ(import.library().maxImport()(&stream, &import.scene(), 0, mode), 0);
        EXPECT_EQ(stream.readCalls(), 0);
        EXPECT_FALSE(stream.closed());
    }
    EXPECT_TRUE(import.scene().nodes().empty());
}
