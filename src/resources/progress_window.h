// Descriptions of the two progress dialogs of the kernel: size in dialog
// units, caption font, and the position of each control.
#ifndef TAVEX_RESOURCES_PROGRESS_WINDOW_H
#define TAVEX_RESOURCES_PROGRESS_WINDOW_H

namespace Tavex {

struct ControlTemplate {
    int id;
    const char* windowClass;
    int x, y, width, height;
    const char* initialText;
};

struct DialogTemplate {
    int id;
    int width, height;
    const char* fontName;
    int fontSize;
    ControlTemplate text; // the static text that shows the stage
    ControlTemplate bar;  // the progress bar
};

// The compact dialog the runs create: a popup with caption and system menu.
inline constexpr DialogTemplate kCompactProgressDialog = {
    16102,
    221,
    29,
    "MS Sans Serif",
    8,
    {1000, "Static", 7, 16, 207, 8, "备注 ..."},
    {1001, "msctls_progress32", 7, 4, 207, 11, ""},
};

// The larger variant with a two-line centred text above the bar. The runs
// do not create it.
inline constexpr DialogTemplate kLargeProgressDialog = {
    600,
    195,
    45,
    "MS Sans Serif",
    8,
    {1001, "Static", 7, 4, 182, 18, ""},
    {1000, "msctls_progress32", 7, 29, 182, 8, ""},
};

// Range and step of the progress bar.
inline constexpr int kProgressLower = 0;
inline constexpr int kProgressUpper = 100;
inline constexpr int kProgressStep = 10;

} // namespace Tavex

#endif
