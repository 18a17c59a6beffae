// The start routine: translation, the idle handler and the command line.
#include "Application.h"
#include "CommandLine.h"
#include "MainUnit.h"
#include "PresentationLibrary.h"

void TMainForm::Startup(uint32_t LangID) {
    Localize(LangID);
    tk::Application& application = tk::Application::Instance();
    application.OnIdle = [this](bool& done) { ApplicationIdle(done); };

    FInfo.StartMonitor = 1;
    // Read wide: the ANSI form would turn a letter that the code page lacks into a look-alike
    // and name another file.
    const std::vector<std::wstring> words = qm::SplitCommandLine(GetCommandLineW());
    if (words.empty())
        return;

    qm::CommandLineSources sources;
    sources.storedViewer = [] { return qm::AnsiToWide(qm::LibraryGetViewer(kLibraryApplication)); };
    sources.loadSettings = [this](const std::wstring& fileName, TInfo& info) {
        LoadSettingsFile(fileName, info);
    };
    const qm::CommandLineOutcome outcome = qm::ApplyCommandLine(words, FInfo, FInstanceNumber, sources);
    InfoToForm(FInfo);
    if (outcome.loadOnly)
        return;
    if (PPTFileNameListBoxW->Count() > 0) {
        application.ShowMainForm = false;
        // The message loop's error box does not run yet: report a failed launch the same way.
        application.Dispatch([this] { StartShow(FInfo); });
    }
}
