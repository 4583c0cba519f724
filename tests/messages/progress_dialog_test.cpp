#include "messages/progress.h"
#include "messages/progress_dialog.h"
#include "platform/window_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Tavex {
namespace {

class RecordingSink : public WindowSink {
public:
    void DialogShown(const WindowRect& rect) override { shown.push_back(rect); }
    void DialogTitle(const char* text) override { titles.emplace_back(text); }
    void DialogText(const char* text) override { texts.emplace_back(text); }
    void DialogProgress(int position, int lower, int upper) override {
        positions.push_back(position);
        EXPECT_EQ(lower, 0);
        EXPECT_EQ(upper, 100);
    }
    void DialogClosed() override { ++closed; }

    std::vector<WindowRect> shown;
    std::vector<std::string> titles, texts;
    std::vector<int> positions;
    int closed = 0;
};

TEST(ProgressDialog, IsCentredOnItsOwnerAndShowsStagesWithWrappingBar) {
    RecordingSink sink;
    HWND owner = RegisterHostWindow(WindowRect{100, 50, 601, 350}, &sink);
    {
        CProgressDialog dialog(owner);
        ASSERT_TRUE(dialog.IsShown());
        ASSERT_EQ(sink.shown.size(), 1u);
        // left = 100 + 501/2 - 221/2 = 100 + 250 - 110; top = 50 + 150 - 14.
        EXPECT_EQ(sink.shown[0].left, 240);
        EXPECT_EQ(sink.shown[0].top, 186);
        EXPECT_EQ(sink.shown[0].right - sink.shown[0].left, 221);
        EXPECT_EQ(sink.texts.front(), "备注 ...");
        dialog.SetWindowText(L"平差");
        for (int i = 0; i < 11; ++i)
            dialog.ShowStep(L"迭代");
        EXPECT_FALSE(dialog.IsCancelled());
    }
    EXPECT_EQ(sink.titles, std::vector<std::string>({"平差"}));
    EXPECT_EQ(sink.positions, std::vector<int>({0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 10}));
    EXPECT_EQ(sink.closed, 1);
    UnregisterHostWindow(owner);
}

TEST(ProgressDialog, NullOrUnknownOwnerShowsNothing) {
    CProgressDialog none(nullptr);
    EXPECT_FALSE(none.IsShown());
    none.ShowStep(L"x");
    EXPECT_EQ(none.Position(), 0);
    CProgressDialog invented(reinterpret_cast<HWND>(0xdeadbeef));
    EXPECT_FALSE(invented.IsShown());

    RecordingSink sink;
    HWND gone = RegisterHostWindow(WindowRect{0, 0, 10, 10}, &sink);
    UnregisterHostWindow(gone);
    CProgressDialog stale(gone);
    EXPECT_FALSE(stale.IsShown());
    EXPECT_TRUE(sink.shown.empty());
}

TEST(ProgressDialog, OwnerDestroyedDuringTheRunIsNoLongerDrawn) {
    RecordingSink sink;
    HWND owner = RegisterHostWindow(WindowRect{0, 0, 300, 100}, &sink);
    CProgressDialog dialog(owner);
    UnregisterHostWindow(owner);
    const std::size_t before = sink.texts.size();
    dialog.ShowStep(L"x");
    EXPECT_EQ(sink.texts.size(), before);
}

TEST(Progress, StagesLoadTheirTextsAndFormatTheIteration) {
    RecordingSink sink;
    HWND owner = RegisterHostWindow(WindowRect{0, 0, 300, 100}, &sink);
    CProgressDialog dialog(owner);
    Progress progress(&dialog);
    EXPECT_TRUE(progress.Stage(366));
    EXPECT_TRUE(progress.Stage(378, 2));
    EXPECT_EQ(sink.texts.back(), "迭代 2");
    EXPECT_EQ(sink.texts[sink.texts.size() - 2], "填写设计矩阵");
    Progress silent;
    EXPECT_TRUE(silent.Stage(366));
    UnregisterHostWindow(owner);
}

} // namespace
} // namespace Tavex
