#include "Application.h"
#include "BoxDriver.h"
#include "Form.h"
#include "PageControl.h"
#include "StdControls.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ErrorText, PeriodIsAddedOnlyAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(tk::WithClosingPeriod(L"Unable to write to x"), L"Unable to write to x.");
    EXPECT_EQ(tk::WithClosingPeriod(L"Done."), L"Done.");
    EXPECT_EQ(tk::WithClosingPeriod(L"Why?"), L"Why?.");        // "?" sorts after "."
    EXPECT_EQ(tk::WithClosingPeriod(L"list (3)"), L"list (3)"); // ')' sorts before '.'
    EXPECT_EQ(tk::WithClosingPeriod(L""), L"");
}

TEST(ControlTree, ChildrenKeepCreationOrderAndParents) {
    tk::Form form("TestForm", L"Test", 300, 200, tk::BorderStyle::Single);
    auto& pages = form.Add<tk::PageControl>(form, "Pages", tk::Bounds{8, 8, 280, 150});
    auto& first = form.Add<tk::TabSheet>(pages, "FirstSheet", L"First");
    auto& second = form.Add<tk::TabSheet>(pages, "SecondSheet", L"Second");
    auto& button = form.Add<tk::Button>(first, "OkButton", tk::Bounds{8, 8, 75, 25}, L"&OK");
    auto& list = form.Add<tk::ListBox>(second, "Items", tk::Bounds{8, 8, 100, 100});

    ASSERT_EQ(form.Children().size(), 1u);
    EXPECT_EQ(form.Children()[0], &pages);
    ASSERT_EQ(pages.Children().size(), 2u);
    EXPECT_EQ(pages.Children()[1], &second);
    EXPECT_EQ(button.Parent(), &first);
    EXPECT_EQ(list.Parent(), &second);
    EXPECT_TRUE(first.IsWindowed());
    EXPECT_FALSE(button.IsWindowed());
    EXPECT_EQ(button.Caption(), L"&OK");
    EXPECT_EQ(second.Caption(), L"Second");
    second.SetCaption(L"Zweite");
    EXPECT_EQ(second.Caption(), L"Zweite");
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_TRUE(IsWindowVisible(first.Handle()) || !IsWindowVisible(form.Handle()));
}

TEST(ControlTree, ControlsForgetTheirWindowsWhenTheWindowsGo) {
    tk::Form form("TestForm", L"Test", 300, 200, tk::BorderStyle::Single);
    auto& pages = form.Add<tk::PageControl>(form, "Pages", tk::Bounds{8, 8, 280, 150});
    auto& sheet = form.Add<tk::TabSheet>(pages, "Sheet", L"Sheet");
    auto& button = form.Add<tk::Button>(sheet, "OkButton", tk::Bounds{8, 8, 75, 25}, L"&OK");
    form.DestroyHandle();
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_EQ(sheet.Handle(), nullptr);
    EXPECT_EQ(button.Handle(), nullptr);
}

TEST(ListBoxOperations, ExchangeSwapsTextsButLeavesMarks) {
    tk::Form form("TestForm", L"Test", 300, 200, tk::BorderStyle::Single);
    auto& list = form.Add<tk::ListBox>(form, "Items", tk::Bounds{8, 8, 200, 150});
    for (auto* text : {L"A", L"B", L"C"})
        list.Append(text);
    list.SetSelected(0, true);
    list.Exchange(0, 2);
    EXPECT_EQ(list.Items(), (std::vector<std::wstring>{L"C", L"B", L"A"}));
    EXPECT_TRUE(list.Selected(0));
    EXPECT_FALSE(list.Selected(2));
    EXPECT_EQ(list.SelectedCount(), 1);
    list.Delete(1);
    EXPECT_EQ(list.Items(), (std::vector<std::wstring>{L"C", L"A"}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(Keyboard, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
    tk::Form form("TestForm", L"Keys", 300, 200, tk::BorderStyle::Single);
    auto& edit = form.Add<tk::Edit>(form, "Field", tk::Bounds{8, 8, 150, 23}, L"");
    auto& ok = form.Add<tk::Button>(form, "OkButton", tk::Bounds{8, 100, 75, 25}, L"OK");
    auto& cancel = form.Add<tk::Button>(form, "CancelButton", tk::Bounds{100, 100, 75, 25}, L"Cancel");
    ok.SetDefault(true);
    cancel.SetCancel(true);
    int okClicks = 0, cancelClicks = 0;
    ok.OnClick = [&] { ++okClicks; };
    cancel.OnClick = [&] { ++cancelClicks; };
    form.Show();
    SetFocus(edit.Handle());

    // The loop's own IsDialogMessage turns the keys into button presses.
    auto press = [&](WORD vk) {
        PostMessageW(edit.Handle(), WM_KEYDOWN, vk, 0);
        PostMessageW(edit.Handle(), WM_KEYUP, vk, 0xC0000000);
        auto& app = tk::Application::Instance();
        app.ProcessMessages();
    };
    press(VK_RETURN);
    EXPECT_EQ(okClicks, 1);
    press(VK_ESCAPE);
    EXPECT_EQ(cancelClicks, 1);
    ok.SetEnabled(false);
    press(VK_RETURN);
    EXPECT_EQ(okClicks, 1);
}

TEST(ErrorBox, AnExceptionInAHandlerDoesNotEscapeTheWindowProcedure) {
    tk::Form form("TestForm", L"Errors", 300, 200, tk::BorderStyle::Single);
    auto& button = form.Add<tk::Button>(form, "Thrower", tk::Bounds{8, 8, 75, 25}, L"Throw");
    int after = 0;
    button.OnClick = [&] { throw tk::Error(L"Unable to write to x"); };
    tk::Application::Instance().SetTitle(L"Toolkit test");
    form.Show();
    // Close the error box as soon as it appears and read its text.
    std::wstring seen;
    qmtest::BoxDriver closer(L"Toolkit test", [&](HWND box) {
        HWND text = FindWindowExW(box, nullptr, L"Static", nullptr);
        while (text && GetWindowTextLengthW(text) == 0)
            text = FindWindowExW(box, text, L"Static", nullptr);
        wchar_t buffer[256] = {};
        if (text)
            GetWindowTextW(text, buffer, 256);
        seen = buffer;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    ++after;
    closer.Join();
    EXPECT_EQ(after, 1);
    EXPECT_EQ(seen, L"Unable to write to x.");
}

} // namespace
