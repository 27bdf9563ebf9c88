// The headless dialog stand-in on a template of the test's own: what it
// refuses, so that a dialog misused by the plug-in fails instead of hanging
// or passing. What the answers become is the acknowledgement tests' part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/control.h"

namespace {

const auto TestModule = reinterpret_cast<HMODULE>(0x7100000);
constexpr int OkButton = 7;
constexpr int Box = 9;

void word(std::vector<unsigned char>& t, unsigned value) {
    t.push_back(static_cast<unsigned char>(value));
    t.push_back(static_cast<unsigned char>(value >> 8));
}
void dword(std::vector<unsigned char>& t, unsigned value) {
    word(t, value & 0xFFFF);
    word(t, value >> 16);
}
void text(std::vector<unsigned char>& t, const std::string& s) {
    for (char c : s) word(t, static_cast<unsigned char>(c));
    word(t, 0);
}
void control(std::vector<unsigned char>& t, unsigned style, int id, const std::string& label) {
    while (t.size() % 4) t.push_back(0);
    dword(t, 0x50000000u | style);
    dword(t, 0);
    for (int v : {1, 2, 3, 4}) word(t, static_cast<unsigned>(v));
    word(t, static_cast<unsigned>(id));
    word(t, 0xFFFF);
    word(t, 0x0080);  // button
    text(t, label);
    word(t, 0);
}

// A dialog "Test" with a default push button and an automatic check box.
std::vector<unsigned char> testTemplate() {
    std::vector<unsigned char> t;
    dword(t, 0x80C80040u);  // pop-up, caption, font
    dword(t, 0);
    word(t, 2);
    for (int v : {0, 0, 100, 50}) word(t, static_cast<unsigned>(v));
    word(t, 0);
    word(t, 0);
    text(t, "Test");
    word(t, 9);
    text(t, "Sans");
    control(t, 0x1, OkButton, "OK");
    control(t, 0x3, Box, "Box");
    return t;
}

struct Seen {
    std::vector<std::pair<UINT, int>> messages;  // message, command
    bool endOnOk = true;
};
Seen* seen = nullptr;

INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    seen->messages.emplace_back(message, message == WM_COMMAND ? LOWORD(wParam) : -1);
    if (message == WM_COMMAND && LOWORD(wParam) == OkButton && seen->endOnOk) {
        EndDialog(dialog, 40 + static_cast<INT_PTR>(IsDlgButtonChecked(dialog, Box)));
        return TRUE;
    }
    return FALSE;
}

class HeadlessDialog : public ::testing::Test {
 protected:
    void SetUp() override {
        PlatformRegisterResource(TestModule, RT_DIALOG, MAKEINTRESOURCEA(5), bytes.data(),
                                 static_cast<DWORD>(bytes.size()));
        seen = &record;
    }
    void TearDown() override {
        PlatformSetDialogAnswer(nullptr);
        PlatformUnregisterModule(TestModule);
        seen = nullptr;
    }
    INT_PTR show(int templateId = 5) {
        return DialogBoxParamA(TestModule, MAKEINTRESOURCEA(templateId), nullptr, procedure, 0);
    }

    std::vector<unsigned char> bytes = testTemplate();
    Seen record;
};

}  // namespace

TEST_F(HeadlessDialog, WhatCannotBeShownOrDoesNotEndFails) {
    EXPECT_EQ(show(), -1) << "no user";
    EXPECT_TRUE(record.messages.empty());

    const PlatformDialogAnswer answer{OkButton, 0, BST_UNCHECKED};
    PlatformSetDialogAnswer(&answer);
    EXPECT_EQ(show(6), -1) << "no such template";
    record.endOnOk = false;
    EXPECT_EQ(show(), -1) << "a command that does not end the dialog";
    PlatformDialogInfo info{};
    ASSERT_TRUE(PlatformLastDialog(&info));
    EXPECT_FALSE(info.ended);
}

TEST_F(HeadlessDialog, ControlsAnswerOnlyForTheOpenDialog) {
    struct Probe {
        static void respond(void*, HWND dialog, PlatformDialogAnswer* answer) {
            EXPECT_EQ(IsDlgButtonChecked(dialog, Box), BST_UNCHECKED);
            EXPECT_TRUE(CheckDlgButton(dialog, Box, BST_CHECKED));
            EXPECT_FALSE(CheckDlgButton(dialog, 1234, BST_CHECKED)) << "no such control";
            EXPECT_EQ(SendDlgItemMessageA(dialog, OkButton, EM_SETBKGNDCOLOR, 0, 5), 0) << "not a rich edit control";
            EXPECT_FALSE(EndDialog(reinterpret_cast<HWND>(0x1234), 1)) << "not the dialog";
            *answer = {OkButton, 0, BST_UNCHECKED};
        }
    };
    PlatformSetDialogResponder(Probe::respond, nullptr);
    EXPECT_EQ(show(), 41);
}
