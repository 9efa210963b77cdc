// The rule for names in a script written without blanks between words (Thai):
// Wine cannot break them where Windows does, so such a name must fit on one
// line. Measured with the language check's own fitter, in the window template
// of the test module and the fonts of the test prefix (Tahoma with Thai).
#include <gtest/gtest.h>

#include "checktool/DialogTemplate.h"
#include "checktool/ScriptLines.h"
#include "checktool/TextFitter.h"
#include "res/resource.h"
#include "tests/support/test_paths.h"

namespace {

// "Keyboard Settings" in Thai, two words with a blank between them: wider
// than an item's label, each word narrower.
const wchar_t kTwoWords[] = L"\u0e01\u0e32\u0e23\u0e15\u0e31\u0e49\u0e07\u0e04\u0e48\u0e32 "
                            L"\u0e41\u0e1b\u0e49\u0e19\u0e1e\u0e34\u0e21\u0e1e\u0e4c";
// "Sound": one short word.
const wchar_t kShort[] = L"\u0e40\u0e2a\u0e35\u0e22\u0e07";

}  // namespace

TEST(ScriptLines, ThaiNamesAndCaptionsMustStayOnOneLine)
{
    EXPECT_TRUE(WrittenWithoutWordBlanks(kTwoWords));
    EXPECT_FALSE(WrittenWithoutWordBlanks(L"Keyboard Settings \u30ad\u30fc\u30dc\u30fc\u30c9 \u0627\u0644\u0635\u0648\u062a"));
    EXPECT_TRUE(MustStayOnOneLine(TextPlace::ItemName, kTwoWords));
    EXPECT_TRUE(MustStayOnOneLine(TextPlace::CategoryCaption, kTwoWords));
    // Descriptions break at their blanks, and a run wider than a line is a cut word already.
    EXPECT_FALSE(MustStayOnOneLine(TextPlace::Description, kTwoWords));
    EXPECT_FALSE(MustStayOnOneLine(TextPlace::ItemName, L"Keyboard Settings"));
}

TEST(ScriptLines, TheFitterRefusesAThaiNameThatWrapsAndKeepsOneThatFits)
{
    const HMODULE module = LoadLibraryExW(qvtest::WindowsPathFromUnix(QV_FIT_STRINGS).c_str(), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    DialogTemplate dialog;
    const bool read = ReadDialogTemplate(module, IDD_KIVANO_DIALOG, dialog);
    FreeLibrary(module);
    ASSERT_TRUE(read);
    for (const int dpi : {96, 120, 144}) {
        TextFitter fitter(dpi, dialog);
        ASSERT_TRUE(fitter.ok());
        const FitResult wrapped = fitter.Check(TextPlace::ItemName, kTwoWords);
        EXPECT_EQ(wrapped.lines, 2) << dpi << " DPI";
        EXPECT_EQ(wrapped.drawnLines.size(), 2u) << dpi << " DPI";
        EXPECT_LE(wrapped.widthOver, 0) << dpi << " DPI: each word fits the label";
        EXPECT_TRUE(wrapped.unbreakableWraps) << dpi << " DPI";
        EXPECT_FALSE(wrapped.Fits()) << dpi << " DPI";
        const FitResult one = fitter.Check(TextPlace::ItemName, kShort);
        EXPECT_EQ(one.lines, 1) << dpi << " DPI";
        EXPECT_TRUE(one.Fits()) << dpi << " DPI";
        // The same two lines in Latin letters are a name that fits.
        const FitResult latin = fitter.Check(TextPlace::ItemName, L"Keyboard Settings");
        EXPECT_EQ(latin.lines, 2) << dpi << " DPI";
        EXPECT_TRUE(latin.Fits()) << dpi << " DPI";
    }
}
