#include "ListEditing.h"

namespace qm {

void DeleteSelected(ListWithMarks& list) {
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

} // namespace qm
