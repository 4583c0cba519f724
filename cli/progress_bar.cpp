#include "progress_bar.h"

namespace TavexCli {

void TerminalProgress::DialogProgress(int position, int lower, int upper) {
    constexpr int kWidth = 20;
    const int span = upper > lower ? upper - lower : 1;
    const int filled = (position - lower) * kWidth / span;
    std::fprintf(out_, "\r\033[K%s [", title_.c_str());
    for (int k = 0; k < kWidth; ++k)
        std::fputc(k < filled ? '#' : ' ', out_);
    std::fprintf(out_, "] %s", text_.c_str());
    std::fflush(out_);
}

void TerminalProgress::DialogClosed() {
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
}

} // namespace TavexCli
