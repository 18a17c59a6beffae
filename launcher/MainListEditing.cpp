// The presentation list's commands and the idle handler that derives the command state.
#include "Application.h"
#include "Dialogs.h"
#include "FileTests.h"
#include "ListEditing.h"
#include "Localizer.h"
#include "MainUnit.h"
#include "PresentationLibrary.h"
#include "StartUp.h"

namespace {

// The list box as a list with selection marks.
class ListBoxMarks : public qm::DeletableListWithMarks {
public:
    explicit ListBoxMarks(tk::ListBox& list) : list_(list) {}
    int Count() const override { return list_.Count(); }
    bool Selected(int index) const override { return list_.Selected(index); }
    void SetSelected(int index, bool selected) override { list_.SetSelected(index, selected); }
    void Exchange(int i, int j) override { list_.Exchange(i, j); }
    void Delete(int index) override { list_.Delete(index); }

private:
    tk::ListBox& list_;
};

// Runs the passes of a move on a working copy and gives the list box the result at once, drawn
// once: the passes touch each entry many times, the list box would redraw after every step.
void MoveOnWorkingCopy(tk::ListBox& listBox, void (*move)(qm::ListWithMarks&)) {
    ListBoxMarks marks(listBox);
    qm::WorkingCopy copy(marks);
    move(copy);
    tk::ListBox::Update update(listBox);
    qm::WriteBack(copy, marks);
}

} // namespace

void TMainForm::ApplicationIdle(bool& Done) {
    tk::ListBox& list = *PPTFileNameListBoxW;
    const int count = list.Count();
    const int selected = list.SelectedCount();
    DeleteButtonW->SetEnabled(selected > 0);
    ClearButtonW->SetEnabled(count > 0);
    MoveTopButton->SetEnabled(count > 0 && selected > 0 && !list.Selected(0));
    MoveUpButton->SetEnabled(MoveTopButton->Enabled());
    MoveBottomButton->SetEnabled(count > 0 && selected > 0 && !list.Selected(count - 1));
    MoveDownButton->SetEnabled(MoveBottomButton->Enabled());

    // While a show runs the window is hidden and nobody can see or press the two buttons; the
    // file tests then wait for the first idle call after the show, which makes them in full.
    if (!FShowRunning) {
        const std::wstring viewer = ViewerFileNameEditW->Text();
        bool ready = !viewer.empty() && qm::FileExists(viewer) && count > 0;
        for (int i = 0; ready && i < count; ++i) {
            const std::wstring entry = list.Item(i);
            ready = !entry.empty() && qm::FileExists(entry);
        }
        StartShowButtonW->SetEnabled(ready);
        SaveButtonW->SetEnabled(ready);
    }

    if (FShowRunning) {
        if (Visible())
            Hide();
    } else if (!Visible()) {
        Show();
    }
    Done = true;
}

void TMainForm::AddButtonClick() {
    RestoreRememberedFolder(PPTFileOpenDialogW, "Last Presentation Folder");
    if (!PPTFileOpenDialogW.Execute(Handle()))
        return;
    StoreRememberedFolder(PPTFileOpenDialogW, "Last Presentation Folder");
    const std::wstring chosen = PPTFileOpenDialogW.FileName;
    if (!qm::FileExists(chosen))
        return;
    tk::ListBox& list = *PPTFileNameListBoxW;
    const int count = list.Count();
    for (int i = 0; i < count; ++i)
        list.SetSelected(i, false);
    list.Append(chosen);
    list.SetSelected(list.Count() - 1, true);
}

void TMainForm::DeleteButtonClick() {
    ListBoxMarks marks(*PPTFileNameListBoxW);
    tk::ListBox::Update update(*PPTFileNameListBoxW);
    qm::DeleteSelected(marks);
}

void TMainForm::ClearButtonClick() {
    const std::wstring question = qm::LocalizeMessage(
        UserLangID, "MainForm:ClearConfirmation", L"Are you sure you want to clear the presentation list?");
    if (tk::ShowMessageBox(Handle(), question, kApplicationTitle, MB_YESNO | MB_ICONWARNING) == IDYES)
        PPTFileNameListBoxW->Clear();
}

void TMainForm::MoveTopButtonClick() {
    MoveOnWorkingCopy(*PPTFileNameListBoxW, qm::MoveToTop);
}

void TMainForm::MoveUpButtonClick() {
    MoveOnWorkingCopy(*PPTFileNameListBoxW, qm::MoveUpPass);
}

void TMainForm::MoveDownButtonClick() {
    MoveOnWorkingCopy(*PPTFileNameListBoxW, qm::MoveDownPass);
}

void TMainForm::MoveBottomButtonClick() {
    MoveOnWorkingCopy(*PPTFileNameListBoxW, qm::MoveToBottom);
}
