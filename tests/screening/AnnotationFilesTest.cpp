#include <gtest/gtest.h>

#include "PlainCsv.h"
#include "TempFolder.h"
#include "common/Files.h"
#include "screening/GroupInfoFile.h"
#include "screening/LayoutImport.h"
#include "store/PlateGroups.h"

namespace zorvex {
namespace {

bool anyMentions(const std::vector<std::string>& messages, const std::string& text) {
    for (const auto& message : messages) {
        if (message.find(text) != std::string::npos) return true;
    }
    return false;
}

TEST(GroupInfoFile, AnnotationsSurviveSavingAndReopening) {
    test::TempFolder folder;
    GroupTable groups = defaultGroupTable();
    groups.Name[1] = "Vehicle, 0.1% DMSO";
    groups.Name[2] = "Drug \"A\" 10 µM";
    GroupAnnotations annotations;
    annotations[1] = {"", "DMSO", 0.1, "%", GroupRole::Negative};
    annotations[2] = {"", "Ivermectin, lot 7", 1e-9, "µM", GroupRole::Sample};
    annotations[3] = {"", "", std::nullopt, "", GroupRole::None};
    annotations[384] = {"", "Levamisole", 0.3, "mM", GroupRole::Positive};
    ASSERT_TRUE(writeGroupInfo(folder.path(), annotations, groups));

    const std::string text = *readFile(folder / GroupInfoFileName);
    test::PlainTable table = test::plainTable(text);
    EXPECT_EQ(table.header, (std::vector<std::string>{"group", "name", "compound", "concentration", "unit", "role"}));
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_EQ(table.rows[1].at("name"), "Drug \"A\" 10 µM");
    EXPECT_EQ(table.rows[1].at("concentration"), "0.000000001");
    EXPECT_EQ(table.rows[2].at("role"), "");
    EXPECT_EQ(table.rows[3].at("group"), "384");

    GroupInfoRead read = readGroupInfo(folder.path());
    EXPECT_TRUE(read.found);
    EXPECT_TRUE(read.messages.empty());
    for (auto& [group, annotation] : annotations) annotation.name = groups.Name[static_cast<std::size_t>(group)];
    EXPECT_EQ(read.annotations, annotations);
    EXPECT_FALSE(readGroupInfo(folder / "missing").found);
}

TEST(GroupInfoFile, EachLineThatDoesNotFitIsNamedAndTheRestIsRead) {
    const std::string header = "group,name,compound,concentration,unit,role\n";
    const struct {
        const char* what;
        std::string text;
        std::vector<int> groupsRead;
        std::vector<std::string> messages;
    } cases[] = {
        {"LF and a byte order mark", "\xEF\xBB\xBF" + header + "1,a,X,1,uM,sample\n2,b,,,,NEGATIVE\n", {1, 2}, {}},
        {"a short and a long line", header + "1,a,X,1,uM\n2,b,X,1,uM,sample,extra\n3,c,X,1,uM,sample\n", {3},
         {"line 2: it has 5 fields, not 6", "line 3: it has 7 fields"}},
        {"bad numbers and roles", header + "x,a,X,1,uM,sample\n400,a,X,1,uM,sample\n4,a,X,1;5,uM,sample\n5,a,X,-2,uM,sample\n6,a,X,1,uM,control\n7,a,X,1e-3,uM,positive\n",
         {7},
         {"line 2: the group \"x\"", "line 3: the group \"400\"", "line 4: the concentration \"1;5\"",
          "line 5: the concentration \"-2\"", "line 6: the role \"control\""}},
        {"a group twice", header + "1,a,X,1,uM,sample\r\n1,a,Y,2,uM,sample\r\n", {1}, {"line 3: group 1 is annotated by an earlier line"}},
        {"garbled bytes", header + "1,a\xFF\xFE,X,1,uM,sample\n2,a\x01,X,1,uM,sample\n3,\"a\"b,X,1,uM,sample\n4,a\"b,X,1,uM,sample\n5,a,X,1,uM,sample\n",
         {5},
         {"line 2: it is not UTF-8", "line 3: it holds a line break or a control character", "line 4: text follows a closing quote",
          "line 5: a quote inside an unquoted field"}},
        {"a line break inside quotes", header + "1,\"two\nlines\",X,1,uM,sample\n2,b,X,1,uM,sample\n", {2},
         {"line 2: it holds a line break"}},
        {"cut inside a quoted field", header + "1,a,X,1,uM,sample\n2,\"cut", {1}, {"line 3: a quoted field is not closed"}},
        {"a wrong header", "group,name,compound,dose,unit,role\n1,a,X,1,uM,sample\n", {}, {"line 1: the header is not"}},
        {"empty", "", {}, {"line 1: the header is not"}},
    };
    for (const auto& c : cases) {
        GroupInfoRead read = parseGroupInfo(c.text);
        std::vector<int> groups;
        for (const auto& [group, annotation] : read.annotations) groups.push_back(group);
        EXPECT_EQ(groups, c.groupsRead) << c.what;
        ASSERT_EQ(read.messages.size(), c.messages.size()) << c.what << ": " << ::testing::PrintToString(read.messages);
        for (std::size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_NE(read.messages[i].find("groupinfo.csv " + c.messages[i]), std::string::npos) << read.messages[i];
        }
    }
    EXPECT_EQ(parseGroupInfo(header + "2,b,,,,NEGATIVE\n").annotations.at(2).role, GroupRole::Negative);
}

TEST(GroupInfoFile, AnOversizedFileIsNotRead) {
    test::TempFolder folder;
    ASSERT_TRUE(writeFile(folder / GroupInfoFileName, "group,name,compound,concentration,unit,role\r\n" +
                                                        std::string(MaxGroupInfoBytes, 'x')));
    GroupInfoRead read = readGroupInfo(folder.path());
    EXPECT_TRUE(read.found);
    EXPECT_TRUE(read.annotations.empty());
    EXPECT_TRUE(anyMentions(read.messages, "larger than 1 MiB"));
}

// z96f with group 1 "Vehicle" in column 1, group 2 "Drug low" in A2-D2 and group 3 "Drug high" in E2-H2.
struct LayoutProject {
    PlateFormat plate = *builtInPlate("z96f");
    ChannelTable channels = defaultChannelTable();
    GroupTable groups = defaultGroupTable();
    LayoutProject() {
        clearGroups(channels, groups);
        groups.Name[1] = "Vehicle";
        groups.Name[2] = "Drug low";
        groups.Name[3] = "Drug high";
        for (int row = 0; row < 8; ++row) {
            setWellGroup(channels, plate, row, 1);
            setWellGroup(channels, plate, 8 + row, row < 4 ? 2 : 3);
        }
    }
};

TEST(LayoutImport, GoodLinesAnnotateTheirGroupsAndEachBadLineIsReported) {
    LayoutProject project;
    const std::string layout =
        "Group or wells,Compound,Concentration (uM),Unit,Role\r\n"
        "vehicle,DMSO,0.1,%,negative control\r\n"  // a group by name, any case
        "A02,Ivermectin,1,uM,sample\r\n"            // wells with leading zeros
        "\"B2 C2;D2\",Ivermectin,1,uM,sample\r\n"   // the same group again, in agreement
        "E2:H2,Ivermectin,10,uM,Sample,,\r\n"       // a range and trailing empty cells
        "A3,Ivermectin,5,uM,sample\r\n"             // a well in no group
        "A1-A2,Ivermectin,5,uM,sample\r\n"          // wells of two groups
        "Z9,Ivermectin,5,uM,sample\r\n"             // no such well or group
        "A2,Abamectin,1,uM,sample\r\n"              // disagrees with line 3
        "E2,Ivermectin,ten,uM,sample\r\n"           // not a number
        "F2,Ivermectin,10,uM,blank\r\n"             // not a role
        "G2,Ivermectin,10,uM,sample,extra\r\n";     // too many fields
    LayoutImport imported = importLayout(layout, project.plate, project.channels, project.groups);
    ASSERT_EQ(imported.annotations.size(), 3u);
    EXPECT_EQ(imported.annotations.at(1), (GroupAnnotation{"Vehicle", "DMSO", 0.1, "%", GroupRole::Negative}));
    EXPECT_EQ(imported.annotations.at(2), (GroupAnnotation{"Drug low", "Ivermectin", 1, "uM", GroupRole::Sample}));
    EXPECT_EQ(imported.annotations.at(3), (GroupAnnotation{"Drug high", "Ivermectin", 10, "uM", GroupRole::Sample}));
    const std::vector<std::string> expected = {
        "line 6: well A3 is in no group", "line 7: its wells lie in more than one group",
        "line 8: \"Z9\" is neither a group nor wells", "line 9: group 2 \"Drug low\" was annotated otherwise by line 3",
        "line 10: the concentration \"ten\"", "line 11: the role \"blank\"", "line 12: it has 6 fields"};
    ASSERT_EQ(imported.messages.size(), expected.size()) << ::testing::PrintToString(imported.messages);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(imported.messages[i].rfind(expected[i], 0), 0u) << imported.messages[i];
        EXPECT_TRUE(imported.messages[i].ends_with("; the line is left out.")) << imported.messages[i];
    }
}

TEST(LayoutImport, ANameMatchesOnlyGroupsOnThePlateAndMustNameOne) {
    LayoutProject project;
    project.groups.Name[3] = " DRUG LOW ";  // the same name as group 2 once trimmed and in any case
    project.groups.Name[5] = "Ghost";       // a group without a well on the plate
    LayoutImport imported = importLayout("Drug Low,Ivermectin,1,uM,sample\nghost,Ivermectin,1,uM,sample\n"
                                         "vehicle,DMSO,0.1,%,negative\n",
                                         project.plate, project.channels, project.groups);
    ASSERT_EQ(imported.messages.size(), 2u) << ::testing::PrintToString(imported.messages);
    EXPECT_EQ(imported.messages[0], "line 1: the name \"Drug Low\" belongs to several groups; the line is left out.");
    EXPECT_EQ(imported.messages[1].rfind("line 2: \"ghost\" is neither a group nor wells", 0), 0u);
    ASSERT_EQ(imported.annotations.size(), 1u);
    EXPECT_EQ(imported.annotations.at(1).compound, "DMSO");
}

TEST(LayoutImport, SemicolonLayoutsReadDecimalCommas) {
    LayoutProject project;
    LayoutImport imported = importLayout("Drug low;Ivermectin;0,5;uM;sample\n", project.plate, project.channels, project.groups);
    EXPECT_TRUE(imported.messages.empty());
    EXPECT_EQ(imported.annotations.at(2).concentration, 0.5);
}

TEST(LayoutImport, AnExportedLayoutImportsBackUnchanged) {
    LayoutProject project;
    GroupAnnotations annotations;
    annotations[1] = {"Vehicle", "DMSO, 0.1%", 0, "%", GroupRole::Negative};
    annotations[2] = {"Drug low", "Ivermectin", 0.25, "uM", GroupRole::Sample};
    annotations[3] = {"Drug high", "", std::nullopt, "", GroupRole::None};
    const std::string text = layoutText(annotations, project.plate, project.channels);
    test::PlainTable table = test::plainTable(text);
    EXPECT_EQ(table.header, (std::vector<std::string>{"well", "compound", "concentration", "unit", "role"}));
    ASSERT_EQ(table.rows.size(), 16u);  // every well of the three groups, column by column
    EXPECT_EQ(table.rows[0].at("well"), "A1");
    EXPECT_EQ(table.rows[0].at("compound"), "DMSO, 0.1%");
    EXPECT_EQ(table.rows[9].at("well"), "B2");
    EXPECT_EQ(table.rows[9].at("concentration"), "0.25");
    LayoutImport imported = importLayout(text, project.plate, project.channels, project.groups);
    EXPECT_TRUE(imported.messages.empty()) << ::testing::PrintToString(imported.messages);
    EXPECT_EQ(imported.annotations, annotations);
}

}  // namespace
}  // namespace zorvex
