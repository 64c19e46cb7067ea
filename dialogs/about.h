// What the About box decides without a window: its texts from the version
// resource's values, and how much it grows to show them whole.
#pragma once

#include <cstdint>

// Bytes of the name-and-version text and of the title, the terminator included.
constexpr int32_t kAboutTextSize = 260;
// Bytes of the free-resources line.
constexpr int32_t kAboutResourcesSize = 34;

// The name the box shows: the product name, or the file description when the
// product name is empty (either may be null).
const char* About_ChooseName(const char* productName, const char* fileDescription);
// "NAME ver. VERSION" and "NAME について", cut between characters to size bytes.
// Each returns its length.
int32_t About_FormatVersionText(const char* name, const char* version, char* buffer, int32_t size);
int32_t About_FormatTitle(const char* name, char* buffer, int32_t size);
// "システムリソース： N ％使用可能".
int32_t About_FormatResources(int32_t percent, char* buffer, int32_t size);

// How the box fits its three text lines.
struct AboutFit {
  int32_t nGrow;     // pixels the box grows by (each too-narrow line by its own lack); 0: nothing changes
  int32_t nButtonX;  // the OK button's left edge from the box's outer left edge (when nGrow > 0)
};
// textWidths and staticWidths hold the three lines' measured text widths and
// their controls' widths; a line wider than its control asks for the
// difference, and the largest ask is the growth. The button is then centred in
// the grown window: (window width + growth - button width) / 2.
AboutFit About_Fit(const int32_t textWidths[3], const int32_t staticWidths[3], int32_t nWindowWidth,
                   int32_t nButtonWidth);

// The maker's support page the box links to.
extern const char kAboutSupportAddress[];
