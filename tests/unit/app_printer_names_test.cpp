#include <gtest/gtest.h>

#include "app/printer_names.h"

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
