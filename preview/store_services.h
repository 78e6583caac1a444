// What the rest of the module asks of the stored previews: the memory and
// comparison lines of the master panel, the lights of every store kept in
// step with the scene, and freeing them all.
#pragma once

#include <cstddef>

namespace orvik {

struct ItemIdPair;
struct PixelInfoWindow;

inline constexpr const char* kStoredMemoryFormat = "%0.1lf MB used for stored previews.";
inline constexpr const char* kComparisonFormat = "%ld compare%s %ld %ld %ld, (%0.1lf%%)";
inline constexpr const char* kNoComparisons = "No active pixel color comparisons.";
inline constexpr double kBytesPerMegabyte = 1048576.0;
inline constexpr double kComparisonClamp = 255.0;

// What a comparison reads of the pixel-information windows; their owner fills it.
struct ComparisonHooks {
  PixelInfoWindow* (*first)() = nullptr;
  PixelInfoWindow* (*next)(PixelInfoWindow* w) = nullptr;
  // A window with "Compare to:" on and a comparison: its red, green and blue
  // differences and its difference magnitude (in percent).
  bool (*comparison)(PixelInfoWindow* w, double difference[3], double& magnitude) = nullptr;
};
void setComparisonHooks(const ComparisonHooks& hooks);

// The comparison line for n windows: averages of their differences (each
// clamped to +-255) and the root mean square of their magnitudes.
struct ComparisonSummary {
  long count = 0;
  double red = 0, green = 0, blue = 0;
  double rmsPercent = 0;
};
ComparisonSummary summariseComparisons();
// Writes the line into text (capacity bytes, always terminated).
void comparisonText(const ComparisonSummary& s, char* text, std::size_t capacity);

// The master's RAMTEXT from the stores' memory; then the comparisons.
void storedMemoryText();
// The master's COMPTEXT, while its panel is open; COMPIMNAME is ghosted
// when nothing is compared.
void updateComparisons();

// Every store appends the scene lights it lacks and re-reads its lights.
void refreshAllStoreLights(double time);

// The host renumbered items: every store's lights (and camera key) take the
// new IDs. pairs ends with a null old ID.
void changeStoreItemIds(const ItemIdPair* pairs);

// Fills the master's preview slots (free stores, refresh their lights,
// memory and comparison lines).
void installStoreMasterHooks();

}  // namespace orvik
