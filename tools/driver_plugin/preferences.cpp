#include "preferences.h"

namespace prefs {
namespace {

enum class Setting { kCut, kCutEachPage, kCutFeed, kDrawer, kDrawerPin, kLongestGap };

struct Option {
  const char* feature;
  const char* option;
  Setting setting;
  unsigned value;
};

// One line per option: feature, option keyword, what it sets. Feeds and gaps
// in dots of 1/203 inch (8 dots a millimetre).
constexpr Option kOptions[] = {
    {"PaperCut", "PartialCut", Setting::kCut, static_cast<unsigned>(raster::Cut::kPartial)},
    {"PaperCut", "FullCut", Setting::kCut, static_cast<unsigned>(raster::Cut::kFull)},
    {"PaperCut", "NoCut", Setting::kCut, static_cast<unsigned>(raster::Cut::kNone)},
    {"CutWhen", "AfterJob", Setting::kCutEachPage, 0},
    {"CutWhen", "AfterEachPage", Setting::kCutEachPage, 1},
    {"CutFeed", "Feed0mm", Setting::kCutFeed, 0},
    {"CutFeed", "Feed5mm", Setting::kCutFeed, 40},
    {"CutFeed", "Feed10mm", Setting::kCutFeed, 80},
    {"CutFeed", "Feed20mm", Setting::kCutFeed, 160},
    {"CashDrawer", "NoDrawer", Setting::kDrawer, static_cast<unsigned>(raster::Drawer::kNone)},
    {"CashDrawer", "BeforeJob", Setting::kDrawer, static_cast<unsigned>(raster::Drawer::kBeforeJob)},
    {"CashDrawer", "AfterJob", Setting::kDrawer, static_cast<unsigned>(raster::Drawer::kAfterJob)},
    {"DrawerPin", "Drawer1", Setting::kDrawerPin, 0},
    {"DrawerPin", "Drawer2", Setting::kDrawerPin, 1},
    {"BlankGaps", "KeepGaps", Setting::kLongestGap, 0},
    {"BlankGaps", "Shorten10mm", Setting::kLongestGap, 80},
};

bool Same(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

}  // namespace

bool Apply(const char* feature, const char* option, raster::JobSettings* settings) {
  if (feature == nullptr || option == nullptr || settings == nullptr) return false;
  for (const Option& o : kOptions) {
    if (!Same(o.feature, feature) || !Same(o.option, option)) continue;
    switch (o.setting) {
      case Setting::kCut: settings->cut = static_cast<raster::Cut>(o.value); break;
      case Setting::kCutEachPage: settings->cutEachPage = o.value != 0; break;
      case Setting::kCutFeed: settings->cutFeed = static_cast<std::uint8_t>(o.value); break;
      case Setting::kDrawer: settings->drawer = static_cast<raster::Drawer>(o.value); break;
      case Setting::kDrawerPin: settings->drawerPin = static_cast<std::uint8_t>(o.value); break;
      case Setting::kLongestGap: settings->longestGap = o.value; break;
    }
    return true;
  }
  return false;
}

}  // namespace prefs
