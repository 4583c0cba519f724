#include "interface/run_frame.h"

#include "interface/boundary_guard.h"
#include "messages/message_handback.h"
#include "messages/string_loader.h"
#include "resources/string_ids.h"

namespace Tavex {

namespace {

// Marks the run as executing for as long as it exists.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

void OpenMessageFile(Kernel& kernel) {
    ProjectState& project = kernel.project;
    RunState& run = kernel.run;
    run.HostFileMode = project.OutputForm() == 0 ? kHostFileModeHost : kHostFileModeDisk;
    run.MessageFile = OpenOutputTarget(project.MessagePath, run.HostFileMode);
    const bool failedOnDisk = run.HostFileMode == kHostFileModeDisk && !run.MessageFile->HasFile();
    run.HostFileMode = kHostFileModeHost;
    project.Messages.SetMessageFile(run.MessageFile.get());
    if (failedOnDisk) {
        CKZString text;
        text.Format(CStringL(STR_MESSAGE_FILE_NOT_CREATED).c_str(), project.MessagePath.c_str());
        project.Messages.AddMessage(STR_MESSAGE_FILE_NOT_CREATED, MSG_WARNING, REF_NONE, text);
    }
}

void CloseMessageFile(Kernel& kernel) {
    kernel.project.Messages.SetMessageFile(nullptr);
    kernel.run.MessageFile.reset();
}

} // namespace

bool RefuseDuringRun(Kernel& kernel) {
    if (!kernel.run.Running)
        return false;
    kernel.project.Messages.AddMessage(STR_CALL_DURING_RUN, MSG_ERROR, REF_NONE,
                                       CStringL(STR_CALL_DURING_RUN));
    return true;
}

int RunFrame(Kernel& kernel, HWND owner, const RunDescription& description) {
    ProjectState& project = kernel.project;
    RunState& run = kernel.run;
    if (run.Running) {
        project.Messages.AddMessage(STR_RUN_ALREADY_ACTIVE, MSG_ERROR, REF_NONE,
                                    CStringL(STR_RUN_ALREADY_ACTIVE));
        return 0;
    }
    RunningFlag running(run.Running);

    OpenMessageFile(kernel);
    run.CurrentDialog = std::make_unique<CProgressDialog>(owner);
    if (owner != nullptr && description.titleId != 0)
        run.CurrentDialog->SetWindowText(CStringL(description.titleId));

    run.HostFileMode = kHostFileModeDisk;
    Progress progress(run.CurrentDialog.get());
    // A computation that throws has failed like any other: the frame goes on
    // to hand back its messages and clean up.
    int result = CatchAtBoundary(
        project.Messages, [&] { return description.compute ? description.compute(progress) : 0; });
    run.HostFileMode = kHostFileModeHost;

    if (result != 0 && description.handBack)
        result = CatchAtBoundary(project.Messages, [&] { return description.handBack(result); });
    if (project.SettingsRecord != nullptr)
        HandBackMessages(project.Messages, *project.SettingsRecord);
    CloseMessageFile(kernel);
    if (description.freesEngineTables)
        run.Engine.Free();
    run.CurrentDialog.reset();
    return result;
}

} // namespace Tavex
