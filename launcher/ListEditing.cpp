#include "ListEditing.h"

#include <stdexcept>
#include <utility>

namespace qm {

void DeleteSelected(DeletableListWithMarks& list) {
    const int count = list.Count();
    for (int i = count - 1; i >= 0; --i)
        if (list.Selected(i))
            list.Delete(i);
}

void MoveUpPass(ListWithMarks& list) {
    const int n = list.Count();
    if (n < 2)
        return;
    for (int i = 1; i <= n - 1; ++i) {
        if (!list.Selected(i))
            continue;
        list.Exchange(i, i - 1);
        list.SetSelected(i, false);
        list.SetSelected(i - 1, true);
    }
}

void MoveDownPass(ListWithMarks& list) {
    const int n = list.Count();
    if (n < 2)
        return;
    for (int i = n - 2; i >= 0; --i) {
        if (!list.Selected(i))
            continue;
        list.Exchange(i + 1, i);
        list.SetSelected(i + 1, true);
        list.SetSelected(i, false);
    }
}

void MoveToTop(ListWithMarks& list) {
    const int n = list.Count();
    if (n < 2)
        return;
    int first = -1;
    for (int i = 0; i < n && first < 0; ++i)
        if (list.Selected(i))
            first = i;
    if (first < 0)
        return;
    for (int pass = 0; pass < first; ++pass)
        MoveUpPass(list);
}

void MoveToBottom(ListWithMarks& list) {
    const int n = list.Count();
    int last = -1;
    for (int i = n - 1; i >= 0 && last < 0; --i)
        if (list.Selected(i))
            last = i;
    if (last < 0)
        return;
    for (int pass = 0; pass < n - 1 - last; ++pass)
        MoveDownPass(list);
}

WorkingCopy::WorkingCopy(const ListWithMarks& list) {
    const int count = list.Count();
    source_.reserve(static_cast<size_t>(count));
    marks_.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        source_.push_back(i);
        marks_.push_back(list.Selected(i));
    }
}

void WorkingCopy::SetSelected(int index, bool selected) {
    marks_.at(static_cast<size_t>(index)) = selected;
    if (selected)
        lastMarked_ = index;
}

void WorkingCopy::Exchange(int i, int j) {
    std::swap(source_.at(static_cast<size_t>(i)), source_.at(static_cast<size_t>(j)));
}

void WriteBack(const WorkingCopy& copy, ListWithMarks& list) {
    const int count = copy.Count();
    if (list.Count() != count)
        throw std::logic_error("The working copy does not fit the list");
    // at[p]: the original position of the entry now at p in the list; where[o]: the reverse.
    std::vector<int> at(static_cast<size_t>(count)), where(static_cast<size_t>(count));
    for (int p = 0; p < count; ++p)
        at[static_cast<size_t>(p)] = where[static_cast<size_t>(p)] = p;
    for (int p = 0; p < count; ++p) {
        const int wanted = copy.Source(p);
        const int from = where[static_cast<size_t>(wanted)];
        if (from == p)
            continue;
        list.Exchange(p, from);
        const int displaced = at[static_cast<size_t>(p)];
        at[static_cast<size_t>(from)] = displaced;
        where[static_cast<size_t>(displaced)] = from;
        at[static_cast<size_t>(p)] = wanted;
        where[static_cast<size_t>(wanted)] = p;
    }
    for (int p = 0; p < count; ++p)
        if (list.Selected(p) != copy.Selected(p))
            list.SetSelected(p, copy.Selected(p));
    // The list's own marking may keep track of the entry marked last, as an anchor.
    if (copy.LastMarked() >= 0)
        list.SetSelected(copy.LastMarked(), true);
}

} // namespace qm
