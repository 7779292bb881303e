#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "fake_os/fake_os.h"
#include "fake_os/fake_processes.h"
#include "uninstall/driver_packages.h"

namespace {

using Names = std::vector<std::string>;

Names Parse(const std::string& listing) { return ProductPackagesInListing(listing.data(), listing.size()); }

// The plain rule applied on its own: the name before each provider line.
Names PlainRule(const std::string& listing) {
  Names names;
  std::string previous;
  std::size_t at = 0;
  while (at < listing.size()) {
    const std::size_t end = listing.find('\n', at);
    const std::string line = listing.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
    std::string lower = line;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("lumatrek pos printer") != std::string::npos) names.push_back(PublishedNameBefore(previous.c_str()));
    previous = line;
    at += line.size();
  }
  return names;
}

// The listing of older Windows versions: published name, then provider.
const char kOldEnglish[] =
    "Microsoft PnP Utility\n"
    "\n"
    "Published name :            oem0.inf\n"
    "Driver package provider :   Microsoft\n"
    "Class :                     Printers\n"
    "Driver date and version :   06/21/2006 6.1.7600.16385\n"
    "Signer name :               Microsoft Windows\n"
    "\n"
    "Published name :            oem5.inf\n"
    "Driver package provider :   Lumatrek Pos Printer\n"
    "Class :                     Printers\n"
    "\n"
    "Published name :            oem7.inf\n"
    "Driver package provider :   Contoso\n"
    "\n"
    "Published name :            OEM12.INF\n"
    "Driver package provider :   LUMATREK POS PRINTER\n"
    "Class :                     Printers\n"
    "\n";

// Current versions put the package's own .inf name in between.
const char kNewEnglish[] =
    "Microsoft PnP Utility\n"
    "\n"
    "Published Name:     oem3.inf\n"
    "Original Name:      prnms009.inf\n"
    "Provider Name:      Microsoft\n"
    "\n"
    "Published Name:     oem5.inf\n"
    "Original Name:      lumatrek.inf\n"
    "Provider Name:      Lumatrek Pos Printer\n"
    "Class Name:         Printers\n"
    "\n"
    "Published Name:     oem12.inf\n"
    "Original Name:      lumatrek80.inf\n"
    "Provider Name:      lumatrek pos printer\n"
    "Class Name:         Printers\n";

// The same two layouts with Chinese labels, in GBK: "发布名称:", "原始名称:",
// "驱动程序程序包提供程序:", "类:".
#define PUBLISHED "\xB7\xA2\xB2\xBC\xC3\xFB\xB3\xC6\x3A"
#define ORIGINAL "\xD4\xAD\xCA\xBC\xC3\xFB\xB3\xC6\x3A"
#define PROVIDER "\xC7\xFD\xB6\xAF\xB3\xCC\xD0\xF2\xB3\xCC\xD0\xF2\xB0\xFC\xCC\xE1\xB9\xA9\xB3\xCC\xD0\xF2\x3A"
#define CLASS "\xC0\xE0\x3A"

const char kOldChinese[] =
    PUBLISHED "            oem0.inf\n" PROVIDER "   Microsoft\n" CLASS "         Printers\n"
    "\n" PUBLISHED "            oem5.inf\n" PROVIDER "   Lumatrek Pos Printer\n" CLASS "         Printers\n"
    "\n" PUBLISHED "            oem12.inf\n" PROVIDER "   Lumatrek Pos Printer\n";

const char kNewChinese[] =
    PUBLISHED "     oem0.inf\n" ORIGINAL "     prnms009.inf\n" PROVIDER " Microsoft\n"
    "\n" PUBLISHED "     oem5.inf\n" ORIGINAL "     lumatrek.inf\n" PROVIDER " Lumatrek Pos Printer\n"
    CLASS " Printers\n"
    "\n" PUBLISHED "     oem12.inf\n" ORIGINAL "     lumatrek80.inf\n" PROVIDER " Lumatrek Pos Printer\n";

}  // namespace

TEST(PublishedNameBefore, TakesTheTextAfterTheLastSpaceUpToItsNewline) {
  EXPECT_EQ("oem5.inf", PublishedNameBefore("Published name :            oem5.inf\n"));
  EXPECT_EQ("oem5.inf", PublishedNameBefore("oem5.inf\n"));  // no space: the whole line
  EXPECT_EQ("", PublishedNameBefore("Published name :   oem5.inf   \n"));  // trailing spaces
  EXPECT_EQ("", PublishedNameBefore("Published name : oem5.inf"));       // no newline
  EXPECT_EQ("", PublishedNameBefore(""));
}

TEST(IsPublishedName, AcceptsOemDigitsInfInAnyCaseOnly) {
  for (const char* yes : {"oem0.inf", "oem12.inf", "OEM12.INF", "Oem7.Inf"}) EXPECT_TRUE(IsPublishedName(yes)) << yes;
  for (const char* no : {"oem.inf", "oemx.inf", "oem1a.inf", "lumatrek.inf", "oem12.inf\r", "xoem1.inf",
                         "oem1.inf.bak", "oem1.ini", ""}) {
    EXPECT_FALSE(IsPublishedName(no)) << no;
  }
}

TEST(ProductPackagesInListing, TheOldLayoutGivesExactlyThePlainRulesNames) {
  for (const char* listing : {kOldEnglish, kOldChinese}) {
    const Names plain = PlainRule(listing);
    EXPECT_EQ(plain, Parse(listing));
  }
  EXPECT_EQ((Names{"oem5.inf", "OEM12.INF"}), Parse(kOldEnglish));
  EXPECT_EQ((Names{"oem5.inf", "oem12.inf"}), Parse(kOldChinese));
}

TEST(ProductPackagesInListing, TheNewLayoutTakesThePublishedNameAboveTheOriginalName) {
  EXPECT_EQ((Names{"oem5.inf", "oem12.inf"}), Parse(kNewEnglish));
  EXPECT_EQ((Names{"oem5.inf", "oem12.inf"}), Parse(kNewChinese));
  // What the plain rule alone would delete.
  EXPECT_EQ((Names{"lumatrek.inf", "lumatrek80.inf"}), PlainRule(kNewEnglish));
}

TEST(ProductPackagesInListing, NeverTakesANameFromAnotherPackage) {
  // The second package shows no published name: the blank line keeps oem5.inf
  // from being taken for it, and the plain rule's text stands.
  const std::string listing =
      "Published Name:     oem5.inf\n"
      "Provider Name:      Contoso\n"
      "\n"
      "Original Name:      lumatrek80.inf\n"
      "Provider Name:      Lumatrek Pos Printer\n";
  EXPECT_EQ((Names{"lumatrek80.inf"}), Parse(listing));
}

TEST(ProductPackagesInListing, IgnoresCarriageReturnsAndTrailingSpaces) {
  EXPECT_EQ((Names{"oem5.inf", "oem12.inf"}),
            Parse("Published Name:  oem5.inf\r\nOriginal Name:  lumatrek.inf\r\nProvider Name:  Lumatrek Pos Printer\r\n"
                  "\r\n"
                  "Published name :  oem12.inf   \n"
                  "Driver package provider :  Lumatrek Pos Printer\n"));
}

TEST(ProductPackagesInListing, FindsThePackageAcrossLinesLongerThanTheBuffer) {
  // A 1500-byte provider line arrives in two pieces; the provider text is in
  // the second, whose previous "line" is the first piece, without a newline.
  const std::string longProvider = "Provider Name: " + std::string(1100, '.') + " Lumatrek Pos Printer\n";
  const std::string longDescription = "Description: " + std::string(2500, 'x') + "\n";
  const std::string listing = longDescription + "Published Name:     oem8.inf\n" + longDescription +
                              longProvider + "\n" + "Published name :   oem9.inf\n" +
                              "Driver package provider :   Lumatrek Pos Printer\n";
  EXPECT_EQ((Names{"oem8.inf", "oem9.inf"}), Parse(listing));
  // The same through the listing pipe, read 1023 bytes at a time.
  fake::processes().Respond("pnputil -e", 0, listing);
  EXPECT_TRUE(RemoveDriverPackages());
  ASSERT_EQ(3u, fake::processes().launches.size());
  EXPECT_EQ("pnputil -f -d oem8.inf", fake::processes().launches[1].commandLine);
  EXPECT_EQ("pnputil -f -d oem9.inf", fake::processes().launches[2].commandLine);
}

TEST(RemoveDriverPackages, DeletesEachProductPackageInListingOrderWhileTheListingIsOpen) {
  fake::processes().Respond("pnputil -e", 0, std::string(kNewEnglish) + "\r\n");
  EXPECT_TRUE(RemoveDriverPackages());
  const auto& launches = fake::processes().launches;
  ASSERT_EQ(3u, launches.size());
  EXPECT_TRUE(launches[0].piped);
  EXPECT_EQ("pnputil -e", launches[0].commandLine);
  EXPECT_EQ("pnputil -f -d oem5.inf", launches[1].commandLine);
  EXPECT_EQ("pnputil -f -d oem12.inf", launches[2].commandLine);
  EXPECT_EQ("C:\\Windows\\system32\\pnputil.exe", launches[1].application);
  // Each delete ran before the listing was read to its end.
  const auto& calls = fake::Calls();
  const auto lastRead = std::find(calls.rbegin(), calls.rend(), "ReadFile");
  EXPECT_EQ(3, std::count(lastRead, calls.rend(), "CreateProcessA"));
  EXPECT_EQ(0, fake::processes().OpenPipes());
  EXPECT_EQ(0, fake::processes().OpenHandles());
}

TEST(RemoveDriverPackages, StopsAtTheFirstFailedDeleteAndClosesTheListing) {
  fake::processes().Respond("pnputil -e", 0, kOldEnglish);
  fake::processes().Respond("pnputil -f -d oem5.inf", 1);
  EXPECT_FALSE(RemoveDriverPackages());
  ASSERT_EQ(2u, fake::processes().launches.size());
  EXPECT_EQ("pnputil -f -d oem5.inf", fake::processes().launches[1].commandLine);
  EXPECT_EQ(0, fake::processes().OpenPipes());
}

TEST(RemoveDriverPackages, SucceedsWithNothingToDeleteAndFailsWhenTheListingCannotStart) {
  fake::processes().Respond("pnputil -e", 0,
                            "Published name :  oem0.inf\r\nDriver package provider :  Microsoft\r\n");
  EXPECT_TRUE(RemoveDriverPackages());
  EXPECT_EQ(1u, fake::processes().launches.size());
  EXPECT_EQ(0, fake::processes().OpenPipes());

  fake::Fail("CreatePipe");
  EXPECT_FALSE(RemoveDriverPackages());
  EXPECT_EQ(1, fake::CallCount("CreateProcessA"));
}

// A name that is not of the store's "oem<N>.inf" form never reaches a command
// line, wherever it came from; the package stays and the removal fails.
TEST(RemoveDriverPackages, UsesOnlyPublishedNames) {
  for (const char* name : {"x&calc.inf", "oem1.inf&calc", "oem.inf", "", "oem1.inf\"\"x"}) {
    fake::Reset();
    fake::processes().Respond("pnputil -e", 0,
                              std::string("Published name :  ") + name + "\r\nDriver package provider :  Lumatrek Pos Printer\r\n");
    EXPECT_FALSE(RemoveDriverPackages()) << name;
    EXPECT_EQ(1u, fake::processes().launches.size()) << name;
    EXPECT_EQ(0, fake::processes().OpenPipes()) << name;
  }
}
