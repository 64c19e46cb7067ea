// The flags the print commands show the common dialogs with, and their messages.
#include "app/printcmd.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PrintFlags, ThePrintDialogOffersOnlyWhatIsPrinted) {
  // Whatever a saved record held, the dialog shown returns a device context,
  // has no selection, range or file choice, and leaves copies to the driver.
  const uint32_t kSaved[] = {kPdReturnDefault, kPdReturnDefault | kPdSelection | kPdPageNums | kPdPrintToFile,
                             kPdReturnDc | kPdNoSelection, 0};
  const uint32_t kMust = kPdReturnDc | kPdNoSelection | kPdNoPageNums | kPdHidePrintToFile |
                         kPdUseDevModeCopiesAndCollate;
  const uint32_t kNever = kPdReturnDefault | kPdSelection | kPdPageNums | kPdPrintToFile;
  for (uint32_t saved : kSaved) {
    uint32_t shown = PrintFlags_ShownPrintDialog(saved);
    EXPECT_EQ(kMust, shown & kMust) << std::hex << saved << " -> " << shown;
    EXPECT_EQ(0u, shown & kNever) << std::hex << saved << " -> " << shown;
  }
  // Flags of the dialog's own keep (collate 0x10) pass through.
  EXPECT_EQ(0x10u, PrintFlags_ShownPrintDialog(0x10) & 0x10);
}

TEST(PrintFlags, PageSetupAlwaysInMillimetresWithTheMarginsGiven) {
  // The record as the default query left it, and as a dialog in inches did.
  EXPECT_EQ(kPsdInHundredthsOfMillimeters | kPsdReturnDefault, PrintFlags_PreparedPageSetup(kPageSetupDefaultQueryFlags));
  EXPECT_EQ(kPsdInHundredthsOfMillimeters | kPsdMargins,
            PrintFlags_PreparedPageSetup(kPsdInThousandthsOfInches | kPsdMargins));
  uint32_t shown = PrintFlags_ShownPageSetup(PrintFlags_PreparedPageSetup(kPageSetupDefaultQueryFlags));
  EXPECT_EQ(kPsdInHundredthsOfMillimeters | kPsdMargins, shown) << std::hex << shown;
  // The default query shows nothing: it must not carry the margins flag's
  // meaning of "use these", nor ask in inches.
  EXPECT_EQ(0u, kPageSetupDefaultQueryFlags & (kPsdMargins | kPsdInThousandthsOfInches));
  EXPECT_EQ(kPdReturnDefault, kPrintDefaultQueryFlags);
}

TEST(PrintMargins, NoneGiveTheDefaultAndChosenOnesStay) {
  RECT none = {0, 0, 0, 0};
  EXPECT_TRUE(PrintMargins_FillDefault(&none));
  EXPECT_EQ(kPrintDefaultMargin, none.left);
  EXPECT_EQ(kPrintDefaultMargin, none.top);
  EXPECT_EQ(kPrintDefaultMargin, none.right);
  EXPECT_EQ(kPrintDefaultMargin, none.bottom);
  // One side of 0 is a choice, not the absence of one.
  RECT chosen = {0, 0, 0, 1};
  EXPECT_FALSE(PrintMargins_FillDefault(&chosen));
  EXPECT_EQ(0, chosen.left);
  EXPECT_EQ(1, chosen.bottom);
}

TEST(PrintMessage, SaysWhatFailedAndNothingWhenTheUserCancelled) {
  EXPECT_EQ(nullptr, PrintMessage_ForDialogError(0));
  ASSERT_NE(nullptr, PrintMessage_ForDialogError(kPdErrNoDefaultPrn));
  EXPECT_STREQ(PrintMessage_ForDialogError(kPdErrNoDefaultPrn), PrintMessage_ForDialogError(kPdErrNoDevices));
  EXPECT_NE(std::string::npos, std::string(PrintMessage_ForDialogError(kPdErrNoDevices)).find("インストール"));
  // Any other failure of a dialog still says something, and not "no printer".
  const char* other = PrintMessage_ForDialogError(0xFFFF);
  ASSERT_NE(nullptr, other);
  EXPECT_STRNE(PrintMessage_ForDialogError(kPdErrNoDevices), other);

  EXPECT_EQ(nullptr, PrintMessage_ForResult(kPrintDone));
  EXPECT_EQ(nullptr, PrintMessage_ForResult(kPrintCancelled));
  const PrintResult kFailures[] = {kPrintMarginsTooLarge, kPrintStartDocFailed, kPrintStartPageFailed,
                                   kPrintEndPageFailed,   kPrintEndDocFailed,   kPrintBusy};
  for (PrintResult r : kFailures) {
    const char* text = PrintMessage_ForResult(r);
    ASSERT_NE(nullptr, text) << PrintText_ResultName(r) << " is not told";
    EXPECT_GT(std::string(text).size(), 10u);
  }
  EXPECT_NE(std::string::npos, std::string(PrintMessage_ForResult(kPrintMarginsTooLarge)).find("余白"));
  EXPECT_NE(nullptr, PrintMessage_ForResult(static_cast<PrintResult>(99)));
}

}  // namespace
