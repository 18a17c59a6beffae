#pragma once
// The passes that edit the presentation list, over any list whose entries carry
// selection marks. No Win32 here: the list box implements the interface in the window,
// a test implements it in memory.

#include <cstddef>
#include <vector>

namespace qm {

// What the moves need: the entries change places, never number.
class ListWithMarks {
public:
    virtual ~ListWithMarks() = default;
    virtual int Count() const = 0;
    virtual bool Selected(int index) const = 0;
    virtual void SetSelected(int index, bool selected) = 0;
    // Exchanges the texts of two entries; the marks need not travel with them.
    virtual void Exchange(int i, int j) = 0;
};

// A list that entries can be deleted from as well.
class DeletableListWithMarks : public ListWithMarks {
public:
    virtual void Delete(int index) = 0;
};

// Deletes every selected entry, working from the end.
void DeleteSelected(DeletableListWithMarks& list);
// Moves every selected entry up (down) one place; runs of selected entries move as blocks.
void MoveUpPass(ListWithMarks& list);
void MoveDownPass(ListWithMarks& list);
// Repeats the one-place pass until the first (last) selected entry reaches the end.
void MoveToTop(ListWithMarks& list);
void MoveToBottom(ListWithMarks& list);

// The order and the marks of a list, taken once, on which the passes run without touching the
// list itself; entries are known by their position in the list when the copy was taken.
class WorkingCopy : public ListWithMarks {
public:
    explicit WorkingCopy(const ListWithMarks& list);
    int Count() const override { return static_cast<int>(source_.size()); }
    bool Selected(int index) const override { return marks_.at(static_cast<std::size_t>(index)); }
    void SetSelected(int index, bool selected) override;
    void Exchange(int i, int j) override;

    // The position in the original list of the entry that now stands at the index.
    int Source(int index) const { return source_.at(static_cast<std::size_t>(index)); }
    // The entry last marked through SetSelected, or -1.
    int LastMarked() const { return lastMarked_; }

private:
    std::vector<int> source_;
    std::vector<bool> marks_;
    int lastMarked_ = -1;
};

// Gives the list, which must be the one the copy was taken from and unchanged since, the copy's
// order (by exchanges of the entries out of place only) and marks (where they differ), and marks
// the copy's last marked entry last.
void WriteBack(const WorkingCopy& copy, ListWithMarks& list);

} // namespace qm
