#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <strings.h>

#include "common/printer_models.h"
#include "common/printer_names.h"

TEST(SuggestedPrinterName, OnlyIndexOneIsTheEightyMillimetreModel) {
  EXPECT_STREQ("lumatrek80-usb", SuggestedPrinterName(1, ConnectionKind::Usb));
  EXPECT_STREQ("lumatrek80-wifi", SuggestedPrinterName(1, ConnectionKind::Network));
  for (int index : {0, -1, 2}) {
    EXPECT_STREQ("lumatrek58-usb", SuggestedPrinterName(index, ConnectionKind::Usb)) << index;
    EXPECT_STREQ("lumatrek58-wifi", SuggestedPrinterName(index, ConnectionKind::Network)) << index;
  }
}

TEST(EnabledControlsFor, EachKindEnablesOnlyItsOwnControls) {
  const ConnectionControls usb = EnabledControlsFor(ConnectionKind::Usb);
  EXPECT_FALSE(usb.hostEdit || usb.portEdit || usb.connectTestButton);
  EXPECT_TRUE(usb.usbPortCombo && usb.findUsbPortButton);
  const ConnectionControls net = EnabledControlsFor(ConnectionKind::Network);
  EXPECT_TRUE(net.hostEdit && net.portEdit && net.connectTestButton);
  EXPECT_FALSE(net.usbPortCombo || net.findUsbPortButton);
}

TEST(ModelAt, AnIndexThatNamesNoModelTakesTheCallersDefault) {
  struct Case {
    int index;
    ModelIndex otherwise;
    const char* driver;
  };
  const Case cases[] = {
      {0, kModel80, "lumatrek"},   {1, kModel58, "lumatrek80"}, {-1, kModel80, "lumatrek80"},
      {-1, kModel58, "lumatrek"},  {2, kModel80, "lumatrek80"}, {2, kModel58, "lumatrek"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(c.driver, ModelAt(c.index, c.otherwise).driverName) << c.index << " otherwise " << c.otherwise;
  }
}

TEST(PrinterModels, EachInfInThePackageInstallsTheDriverOfItsModel) {
  for (const PrinterModel& model : kPrinterModels) {
    std::ifstream inf(std::string(LUMATREK_SOURCE_DIR) + "/resources/driver/" + model.infFile);
    ASSERT_TRUE(inf) << model.infFile;
    const std::string text((std::istreambuf_iterator<char>(inf)), std::istreambuf_iterator<char>());
    EXPECT_NE(std::string::npos, text.find("\n\"" + std::string(model.driverName) + "\"=")) << model.infFile;
  }
}

TEST(PrinterModels, AreInTheOrderTheSortedModelListShowsThem) {
  EXPECT_TRUE(std::is_sorted(std::begin(kPrinterModels), std::end(kPrinterModels),
                             [](const PrinterModel& a, const PrinterModel& b) {
                               return strcasecmp(a.listName, b.listName) < 0;
                             }));
}
