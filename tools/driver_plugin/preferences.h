// The printing preferences of the printer descriptions (their own *Feature
// and *Option keywords, shown under Printing Preferences > Advanced) and what
// each option sets in the job's settings. The GPD lint reads the keyword
// pairs of preferences.cpp, so that every option a description offers is one
// the plug-in knows.
#pragma once
#include "raster_rows.h"

namespace prefs {

// The features, in the order the plug-in asks for them.
inline constexpr const char* kFeatures[] = {"PaperCut", "CutWhen", "CutFeed", "CashDrawer", "DrawerPin", "BlankGaps"};

// Applies `option` of `feature` to `settings`; false (settings kept) for a
// pair the plug-in does not know.
bool Apply(const char* feature, const char* option, raster::JobSettings* settings);

}  // namespace prefs
