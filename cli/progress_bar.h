// A progress bar on the terminal for the kernel's progress dialog: the host
// window the kernel's dialog is owned by, drawn as one line on standard
// error.
#ifndef TAVEX_CLI_PROGRESS_BAR_H
#define TAVEX_CLI_PROGRESS_BAR_H

#include <tavex/tavex.h>

#include <cstdio>
#include <string>

namespace TavexCli {

class TerminalProgress : public Tavex::WindowSink {
public:
    explicit TerminalProgress(std::FILE* out) : out_(out) {}
    void DialogTitle(const char* text) override { title_ = text; }
    void DialogText(const char* text) override { text_ = text; }
    void DialogProgress(int position, int lower, int upper) override;
    void DialogClosed() override;

private:
    std::FILE* out_;
    std::string title_, text_;
};

} // namespace TavexCli

#endif
