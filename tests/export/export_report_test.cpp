// What a report hands to its program: each message with its kind and subject, an error
// said again only once something else came between, and the core's own failures routed to
// the report that is current.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/report_error.h"
#include "export/export_report.h"

extern std::vector<std::string> g_unreported;

namespace {

struct Said {
    char kind;  // 'E'rror, 'N'ote, 'R'efusal
    std::string subject;
    std::string text;
};

// Says each in turn on one report and returns the lines the program was handed.
std::vector<std::string> Lines(const std::vector<Said>& said, bool* failed) {
    std::vector<std::string> lines;
    ExportReport report;
    report.onMessage = [&](const ExportMessage& message) { lines.push_back(message.Line()); };
    for (const Said& one : said) {
        report.subject = one.subject;
        if (one.kind == 'E') report.Error(one.text);
        if (one.kind == 'N') report.Note(one.text);
        if (one.kind == 'R') report.Refusal(one.text);
    }
    *failed = report.failed;
    return lines;
}

TEST(ExportReport, SaysEachMessageWithItsSubjectAndAnErrorAgainOnlyAfterAnotherMessage) {
    struct Case {
        const char* name;
        std::vector<Said> said;
        std::vector<std::string> lines;
        bool failed;
    };
    const Case cases[] = {
        {"an error names its subject",
         {{'E', FrameSubject(3, 2), "Bad frame."}},
         {"Error: Bad frame. [costume 3, frame 2]"},
         true},
        {"without a subject, no brackets", {{'E', "", "Disk full."}}, {"Error: Disk full."}, true},
        {"the same error twice is said once",
         {{'E', CostumeSubject(1), "X."}, {'E', CostumeSubject(1), "X."}},
         {"Error: X. [costume 1]"},
         true},
        {"about another subject it is said again",
         {{'E', CostumeSubject(1), "X."}, {'E', CostumeSubject(2), "X."}},
         {"Error: X. [costume 1]", "Error: X. [costume 2]"},
         true},
        {"a note between makes it new",
         {{'E', "", "X."}, {'N', "", "Skipped."}, {'E', "", "X."}},
         {"Error: X.", "Note: Skipped.", "Error: X."},
         true},
        {"notes repeat and do not fail, whatever their subject",
         {{'N', CostumeSubject(4), "A."}, {'N', CostumeSubject(4), "A."}},
         {"Note: A.", "Note: A."},
         false},
        {"a refusal is a note that fails", {{'R', "", "Too large."}}, {"Note: Too large."}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool failed = false;
        EXPECT_EQ(Lines(c.said, &failed), c.lines);
        EXPECT_EQ(failed, c.failed);
    }
}

TEST(ExportReport, HearsEveryErrorAndKeepsWhatItSays) {
    ExportReport report;
    std::vector<std::string> heard, kept, said;
    report.onMessage = [&](const ExportMessage& message) { said.push_back(message.text); };
    report.heard = &heard;
    report.kept = &kept;
    report.Error("A.");
    report.Error("A.");  // heard twice, said once
    report.Note("N.");
    report.quiet = true;
    report.Error("Q.");  // only heard: neither said nor a failure
    EXPECT_EQ(heard, (std::vector<std::string>{"A.", "A.", "Q."}));
    EXPECT_EQ(kept, (std::vector<std::string>{"Error: A.", "Note: N."}));
    EXPECT_EQ(said, (std::vector<std::string>{"A.", "N."}));

    ExportReport quiet;
    quiet.quiet = true;
    quiet.Error("Q.");
    EXPECT_FALSE(quiet.failed);
}

TEST(ExportReport, TheCoresFailuresGoToTheReportCurrentThenAndItsSubject) {
    g_unreported.clear();
    std::vector<ExportMessage> outer, inner;
    ExportReport first, second;
    first.onMessage = [&](const ExportMessage& message) { outer.push_back(message); };
    second.onMessage = [&](const ExportMessage& message) { inner.push_back(message); };
    ReportError("Before.");
    {
        const CurrentReportScope a(first);
        first.subject = "game/G.LA0";
        ReportError("One.");
        {
            const CurrentReportScope b(second);
            second.subject = CostumeSubject(7);
            ReportError("Two.");
        }
        ReportError("Three.");
    }
    ReportError("After.");
    ASSERT_EQ(outer.size(), 2u);
    EXPECT_EQ(outer[0].Line(), "Error: One. [game/G.LA0]");
    EXPECT_EQ(outer[1].Line(), "Error: Three. [game/G.LA0]");
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].kind, ExportMessageKind::Error);
    EXPECT_EQ(inner[0].subject, "costume 7");
    EXPECT_EQ(g_unreported, (std::vector<std::string>{"Before.", "After."}));
    EXPECT_TRUE(first.failed);
}

}  // namespace
