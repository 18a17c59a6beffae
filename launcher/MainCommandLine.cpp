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
    const std::vector<std::string> words = qm::SplitCommandLine(GetCommandLineA());
    if (words.empty())
        return;

    qm::CommandLineSources sources;
    sources.storedViewer = [] { return qm::AnsiToWide(qm::LibraryGetViewer(kLibraryApplication)); };
    sources.loadSettings = [](const std::string& fileName, TInfo& info) { qm::LoadInfo(fileName, info); };
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
