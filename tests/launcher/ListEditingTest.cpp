#include "ListEditing.h"
#include "ListFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An in-memory list whose Exchange, like the list box's, leaves the marks where they were.
class MemoryList : public qm::DeletableListWithMarks {
public:
    MemoryList(std::string entries, std::string selected) : text(std::move(entries)) {
        marks.assign(text.size(), false);
        for (char c : selected)
            marks[text.find(c)] = true;
    }
    int Count() const override { return static_cast<int>(text.size()); }
    bool Selected(int i) const override { return marks.at(static_cast<size_t>(i)); }
    void SetSelected(int i, bool s) override {
        marks.at(static_cast<size_t>(i)) = s;
        if (s)
            lastMarked = i;
    }
    void Exchange(int i, int j) override {
        std::swap(text.at(static_cast<size_t>(i)), text.at(static_cast<size_t>(j)));
    }
    void Delete(int i) override {
        text.erase(static_cast<size_t>(i), 1);
        marks.erase(marks.begin() + i);
    }
    std::string SelectedText() const {
        std::string s;
        for (size_t i = 0; i < text.size(); ++i)
            if (marks[i])
                s += text[i];
        return s;
    }
    std::string text;
    std::vector<bool> marks;
    int lastMarked = -1;
};

TEST(ListEditing, MoveUpAndDownMoveRunsAsBlocksWithTheirMarks) {
    MemoryList a("XAB", "AB");
    qm::MoveUpPass(a);
    EXPECT_EQ(a.text, "ABX");
    EXPECT_EQ(a.SelectedText(), "AB");

    MemoryList b("XAYB", "AB");
    qm::MoveUpPass(b);
    EXPECT_EQ(b.text, "AXBY");
    EXPECT_EQ(b.SelectedText(), "AB");

    MemoryList c("ABC", "A");
    qm::MoveDownPass(c);
    EXPECT_EQ(c.text, "BAC");
    EXPECT_EQ(c.SelectedText(), "A");

    MemoryList d("ABC", "AB");
    qm::MoveDownPass(d);
    EXPECT_EQ(d.text, "CAB");
    EXPECT_EQ(d.SelectedText(), "AB");

    MemoryList single("A", "A");
    qm::MoveUpPass(single);
    qm::MoveDownPass(single);
    EXPECT_EQ(single.text, "A");
}

TEST(ListEditing, TopAndBottomKeepTheDistancesBetweenSelectedEntries) {
    MemoryList list("XYAZB", "AB");
    qm::MoveToTop(list);
    EXPECT_EQ(list.text, "AXBYZ");
    EXPECT_EQ(list.SelectedText(), "AB");
    qm::MoveToBottom(list);
    EXPECT_EQ(list.text, "XYAZB");
    EXPECT_EQ(list.SelectedText(), "AB");

    MemoryList none("XYZ", "");
    qm::MoveToTop(none);
    qm::MoveToBottom(none);
    EXPECT_EQ(none.text, "XYZ");
}

TEST(ListEditing, DeleteRemovesEverySelectedEntry) {
    MemoryList list("ABCD", "AC");
    qm::DeleteSelected(list);
    EXPECT_EQ(list.text, "BD");
    EXPECT_EQ(list.SelectedText(), "");
    MemoryList all("ABC", "ABC");
    qm::DeleteSelected(all);
    EXPECT_EQ(all.text, "");
}

TEST(ListEditing, MovesOnAWorkingCopyWrittenBackEqualThePassesOnTheList) {
    const std::string entries = "ABCDEFG";
    for (void (*move)(qm::ListWithMarks&) :
         {qm::MoveUpPass, qm::MoveDownPass, qm::MoveToTop, qm::MoveToBottom}) {
        for (unsigned mask = 0; mask < 1u << entries.size(); ++mask) {
            std::string selected;
            for (size_t i = 0; i < entries.size(); ++i)
                if (mask >> i & 1)
                    selected += entries[i];
            MemoryList direct(entries, selected), written(entries, selected);
            move(direct);
            qm::WorkingCopy copy(written);
            move(copy);
            qm::WriteBack(copy, written);
            EXPECT_EQ(written.text, direct.text) << selected;
            EXPECT_EQ(written.marks, direct.marks) << selected;
            // The entry marked last, which a list box keeps as the anchor of a selection.
            EXPECT_EQ(written.lastMarked, direct.lastMarked) << selected;
        }
    }
}

TEST(ListFile, NameAndBytes) {
    EXPECT_EQ(qm::ListFileName(L"C:\\Temp\\", 517), L"C:\\Temp\\quillmont517.txt");
    EXPECT_EQ(qm::ListFileName(L"C:\\Temp\\", 0), L"C:\\Temp\\quillmont0.txt");
    EXPECT_EQ(qm::ListFileBytes({}), std::string("\xFF\xFE", 2));
    const std::string expected = std::string("\xFF\xFE", 2) +
                                 std::string("C\0:\0\\\0a\0.\0p\0p\0t\0\r\0\n\0", 20) +
                                 std::string("\xE9\x00\r\0\n\0", 6) + std::string("\r\0\n\0", 4);
    EXPECT_EQ(qm::ListFileBytes({L"C:\\a.ppt", L"\u00E9", L""}), expected);
}

} // namespace
