#pragma once
// The passes that edit the presentation list, over any list whose entries carry
// selection marks. No Win32 here: the list box implements the interface in the window,
// a test implements it in memory.

namespace qm {

class ListWithMarks {
public:
    virtual ~ListWithMarks() = default;
    virtual int Count() const = 0;
    virtual bool Selected(int index) const = 0;
    virtual void SetSelected(int index, bool selected) = 0;
    // Exchanges the texts of two entries; the marks need not travel with them.
    virtual void Exchange(int i, int j) = 0;
    virtual void Delete(int index) = 0;
};

// Deletes every selected entry, working from the end.
void DeleteSelected(ListWithMarks& list);
// Moves every selected entry up (down) one place; runs of selected entries move as blocks.
void MoveUpPass(ListWithMarks& list);
void MoveDownPass(ListWithMarks& list);
// Repeats the one-place pass until the first (last) selected entry reaches the end.
void MoveToTop(ListWithMarks& list);
void MoveToBottom(ListWithMarks& list);

} // namespace qm
