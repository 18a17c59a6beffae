#pragma once
// What the tests of a running show share: waiting for the viewer, the monitor the show belongs
// on, the list file, and a watch on the main window while the show runs.
#include "BlackBoxFixture.h"

#include <functional>

namespace bb {

class ShowTest : public BlackBoxTest {
protected:
    // Waits until the viewer has logged its start (and, unless told otherwise, its first window)
    // and holds its process; 0 when it did not come.
    DWORD WaitForViewer(const ViewerLog& log, bool needWindow = true,
                        const std::function<void()>& meanwhile = {});
    // Monitor 1 as the presentation library describes it, checked against the real monitors.
    RECT Monitor1();
    // The list file named in the log: it lies in the program's temporary folder under a name
    // quillmont<n>.txt with n below 1024, and holds exactly these paths.
    std::wstring ExpectListFile(const ViewerLog& log, const std::vector<std::wstring>& paths);
    // Presses Ctrl+Alt+Q as a real key chord.
    static bool PressHotKey() { return SendKeyChord({VK_CONTROL, VK_MENU, 'Q'}); }
    // The hot key ends the viewer and removes the list file; the main window comes back, the
    // program stays open, and Exit closes it.
    void ExpectHotKeyStopsTheShowAndExitCloses(ProgramDriver& program, ProcessGuard& viewerProcess,
                                               const std::wstring& listFile);
};

// Notes whether the program's main window was ever visible, and whether it ever failed to answer
// within a second, while called from the waits of a test.
class MainWindowWatch {
public:
    explicit MainWindowWatch(const ProgramDriver& program, bool checkAnswers = false)
        : program_(program), checkAnswers_(checkAnswers) {}
    void operator()();
    bool EverVisible() const { return everVisible_; }
    int Unanswered() const { return unanswered_; }
    int Asked() const { return asked_; }

private:
    const ProgramDriver& program_;
    bool checkAnswers_;
    bool everVisible_ = false;
    int unanswered_ = 0;
    int asked_ = 0;
};

} // namespace bb
