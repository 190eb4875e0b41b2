// The parts of the open dialog that can be checked without a display: which names its filter
// offers, and the offsets its choice hands to the shell.
#include <gtest/gtest.h>

#include "frontends/gtk/chooser_path.h"
#include "frontends/gtk/index_file_filter.h"

namespace {

bool FilterOffers(GtkFileFilter* filter, const char* name) {
    GtkFileFilterInfo info = {};
    info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
    info.display_name = name;
    return gtk_file_filter_filter(filter, &info);
}

TEST(OpenDialogTest, FilterOffersTheThreeIndexNamesInAnyLetterCase) {
    GtkFileFilter* filter = NewIndexFileFilter();
    g_object_ref_sink(filter);
    EXPECT_STREQ(gtk_file_filter_get_name(filter), "SCUMM Index Files");
    const struct {
        const char* name;
        bool offered;
    } cases[] = {
        {"DEMO.LA0", true},  {"demo.la0", true},   {"Demo.lA0", true}, {"GAME.HE0", true},
        {"game.he0", true},  {"GAME.000", true},   {"A.B.LA0", true},  {"DEMO.LA1", false},
        {"DEMO.HE1", false}, {"DEMO.001", false},  {"LA0", false},     {"DEMO.LA0.bak", false},
        {"DEMO.LAO", false}, {"notes.txt", false},
    };
    for (const auto& c : cases) EXPECT_EQ(FilterOffers(filter, c.name), c.offered) << c.name;
    g_object_unref(filter);
}

TEST(OpenDialogTest, ChoiceCarriesTheOffsetsOfFileNameAndExtension) {
    const struct {
        const char* path;
        size_t fileOffset;
        size_t extensionOffset;
    } cases[] = {
        {"/games/dig/DIG.LA0", 11, 15},
        {"/g/A.B.LA0", 3, 7},  // only the last dot begins the extension
        {"/g.d/NAME", 5, 0},   // a dot in the directory is not the name's
        {"/g/NAME.", 3, 8},    // an empty extension, right after the dot
        {"/DIG.LA0", 1, 5},
        {"DIG.LA0", 0, 4},
        {"/g/A\\B.LA0", 3, 7},  // a backslash is part of a name here, not a separator
    };
    for (const auto& c : cases) {
        ChosenFile choice = ChosenFileFromChooserPath(c.path);
        EXPECT_EQ(choice.path, c.path);
        EXPECT_EQ(choice.fileOffset, c.fileOffset) << c.path;
        EXPECT_EQ(choice.extensionOffset, c.extensionOffset) << c.path;
    }
}

}  // namespace
