#include <QFocusEvent>

#include "SetupWindow.h"
#include "TypedKeys.h"
#include "common/Files.h"
#include "ui/setup/GroupsPanel.h"
#include "ui/setup/SettingsPanels.h"
#include "ui/setup/SetupRules.h"

using namespace zorvex;
using namespace zorvex::test;

namespace {

void leave(QWidget* box) {
    QFocusEvent event(QEvent::FocusOut);
    QApplication::sendEvent(box, &event);
}

void choose(QComboBox* box, const QString& text) {
    int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

bool anyChannelGrouped(const Workspace& workspace) {
    return std::any_of(workspace.channels.Group.begin(), workspace.channels.Group.begin() + ChannelCount,
                       [](std::int16_t group) { return group != -1; });
}

}  // namespace

TEST(SetupSettings, LapseKeepsWhatIsTypedAndIsClampedWhenLeft) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    QLineEdit* lapse = window.config()->Txtlapse;
    EXPECT_EQ(lapse->text(), "10");

    eraseAll(lapse);
    EXPECT_EQ(lapse->text(), "");  // not "2" at once
    EXPECT_EQ(setup.workspace.setup.Aq_lapse, 10);
    typeText(lapse, "45");
    EXPECT_EQ(lapse->text(), "45");
    EXPECT_EQ(setup.workspace.setup.Aq_lapse, 45);

    struct Case {
        QString typed;
        QString shownWhenLeft;
        int stored;
    };
    for (const Case& c : {Case{"40000", "32000", 32000}, Case{"0", "2", 2}, Case{"-7", "2", 2}, Case{"90", "90", 90}}) {
        eraseAll(lapse);
        typeText(lapse, c.typed);
        EXPECT_EQ(lapse->text(), c.typed);
        leave(lapse);
        EXPECT_EQ(lapse->text(), c.shownWhenLeft) << c.typed.toStdString();
        EXPECT_EQ(setup.workspace.setup.Aq_lapse, c.stored) << c.typed.toStdString();
    }
}

TEST(SetupSettings, NumberBoxesTakeOnlyDigitsAndSayWhatIsWrong) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    ConfigPanel& config = *window.config();
    EXPECT_TRUE(config.lbl_numberproblem->isHidden());

    eraseAll(config.Txtlapse);
    typeText(config.Txtlapse, "abc");
    EXPECT_EQ(config.Txtlapse->text(), "");  // not "2bc"
    EXPECT_FALSE(config.lbl_numberproblem->isHidden());
    EXPECT_EQ(config.lbl_numberproblem->text(), "Acq. Lapse is empty: type a whole number");
    EXPECT_EQ(setup.workspace.setup.Aq_lapse, 10);

    typeText(config.Txtlapse, "30");
    EXPECT_TRUE(config.lbl_numberproblem->isHidden());

    eraseAll(config.Txtsample);
    typeText(config.Txtsample, "99x7");
    EXPECT_EQ(config.Txtsample->text(), "997");
    EXPECT_EQ(setup.workspace.setup.Sample_Rate, 997);
}

TEST(SetupSettings, SaveRefusesABoxThatHoldsNoNumber) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    const auto setupFile = setup.folder / "p00001" / "setup.dat";
    const std::string before = readFile(setupFile).value_or("");
    eraseAll(window.config()->Txtlapse);

    setup.dialogs.answers = {Answer::Yes};
    window.Cmdsavepj->click();

    ASSERT_EQ(setup.dialogs.shown.size(), 2u);
    EXPECT_EQ(setup.dialogs.shown[1], "The project was not saved. Acq. Lapse is empty: type a whole number.");
    EXPECT_EQ(readFile(setupFile).value_or(""), before);
}

TEST(SetupSettings, BufferIsCheckedWhenTheBoxIsLeft) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    QLineEdit* buffer = window.config()->Txtbuffer;
    const std::int16_t loaded = setup.workspace.setup.RT_Buffer;

    buffer->setText("150");
    EXPECT_EQ(setup.workspace.setup.RT_Buffer, loaded);  // not while typing
    leave(buffer);
    EXPECT_EQ(buffer->text(), "200");
    EXPECT_EQ(setup.workspace.setup.RT_Buffer, 200);

    buffer->setText("20000");
    leave(buffer);
    EXPECT_EQ(buffer->text(), "200");
    EXPECT_EQ(setup.workspace.setup.RT_Buffer, 200);

    buffer->setText("5000");
    leave(buffer);
    EXPECT_EQ(buffer->text(), "5000");
    EXPECT_EQ(setup.workspace.setup.RT_Buffer, 5000);
}

TEST(SetupSettings, FreeNumberBoxesClampToSixteenBits) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    window.config()->Txtsample->setText("99999");
    EXPECT_EQ(setup.workspace.setup.Sample_Rate, 32767);
    leave(window.config()->Txtsample);
    EXPECT_EQ(window.config()->Txtsample->text(), "32767");
    window.config()->Txt_dspinterval->setText("-40000");
    EXPECT_EQ(setup.workspace.setup.DSP_Interval, -32768);
    window.config()->Txt_dspinterval->setText("12.5");  // not a whole number: the setting stays
    EXPECT_EQ(setup.workspace.setup.DSP_Interval, -32768);
    EXPECT_EQ(window.config()->Txt_dspinterval->text(), "12.5");
    EXPECT_EQ(window.config()->numberProblem(), "DSP Interval: \"12.5\" is not a whole number");
}

TEST(SetupSettings, ModesAndOutputChoicesFollowTheListIndex) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    setup.workspace.setup.Save_counts = 0;
    setup.workspace.setup.Save_real = 0;
    setup.workspace.setup.Aq_mode = 9;  // from a hand-edited file
    window.loadContents();

    EXPECT_EQ(window.output()->Combosavecount->currentText(), "YES");
    EXPECT_EQ(setup.workspace.setup.Save_counts, 1);
    EXPECT_EQ(window.output()->Combosavereal->currentText(), "NO");
    EXPECT_EQ(window.config()->Combo_aqmode->currentIndex(), -1);
    EXPECT_EQ(setup.workspace.setup.Aq_mode, 9);

    choose(window.output()->Combosavecount, "NO");
    EXPECT_EQ(window.output()->Combosavecount->currentText(), "YES");
    EXPECT_EQ(setup.workspace.setup.Save_counts, 1);
    choose(window.output()->Combosavereal, "YES");
    EXPECT_EQ(setup.workspace.setup.Save_real, 1);
    choose(window.config()->Combo_aqmode, "3_Fast(32.63)");
    EXPECT_EQ(setup.workspace.setup.Aq_mode, 3);
    choose(window.config()->ComboDSP, "0_Threshold+Binary (Old Method.w/filters)");
    EXPECT_EQ(setup.workspace.setup.DSP_Method, 0);
}

TEST(SetupSettings, PlateListHoldsTheFormatFilesInLowerCase) {
    SetupWindow setup;
    for (const char* plate : {"z24", "z48", "z6", "z96flat"})
        std::filesystem::remove(setup.folder / (std::string(plate) + ".dat"));
    std::filesystem::rename(setup.folder / "z96u.dat", setup.folder / "Z96U.DAT");
    Frm_setup& window = setup.open();
    QComboBox* plates = window.config()->Combowell;

    ASSERT_EQ(plates->count(), 3);
    EXPECT_EQ(plates->itemText(0), "z384");
    EXPECT_EQ(plates->itemText(1), "z96f");
    EXPECT_EQ(plates->itemText(2), "z96u");
    EXPECT_EQ(plates->currentText(), "z96f");

    setup.workspace.setup.Plate_format = "Z96F";  // an exact match only
    window.loadContents();
    EXPECT_EQ(plates->currentText(), "z96u");

    setup.workspace.setup.Plate_format = "z96f";
    plates->setCurrentIndex(2);
    window.config()->cmdlod->click();  // found as Z96U.DAT
    EXPECT_EQ(setup.dialogs.shown, (std::vector<std::string>{"Load New Plate configuration?",
                                                             "96 Wells U shape bottom [1microbeam/well]\r\n"
                                                             "USE 'Z96U' plate Adapter"}));
    EXPECT_EQ(setup.workspace.setup.Plate_format, "z96u");
    EXPECT_EQ(setup.workspace.plate.MaxBeam, 0);
}

TEST(SetupSettings, DecliningANewPlateChangesNothing) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    const ChannelTable channels = setup.workspace.channels;
    choose(window.config()->Combowell, "z24");
    setup.dialogs.answers = {Answer::No};

    window.config()->cmdlod->click();

    EXPECT_EQ(setup.dialogs.shown, (std::vector<std::string>{"Load New Plate configuration?"}));
    EXPECT_EQ(window.config()->Combowell->currentText(), "z96f");
    EXPECT_EQ(setup.workspace.setup.Plate_format, "z96f");
    EXPECT_EQ(setup.workspace.plate.Rows, 8);
    EXPECT_EQ(setup.workspace.channels, channels);
}

TEST(SetupSettings, ANewPlateClearsTheGroupsAndShowsItsNotes) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    ASSERT_TRUE(anyChannelGrouped(setup.workspace));
    choose(window.config()->Combowell, "z96flat");

    window.config()->cmdlod->click();

    EXPECT_EQ(setup.dialogs.shown, (std::vector<std::string>{"Load New Plate configuration?",
                                                             "96 Wells flat bottom [4microbeams/well]\r\n"
                                                             "USE 'Z384' or 'Z96x4' plate Adapter\r\n"
                                                             "NOTE: DISCONTINUED. Contact provider"}));
    EXPECT_FALSE(anyChannelGrouped(setup.workspace));
    EXPECT_EQ(setup.workspace.groups.Name[0], "Free");
    EXPECT_EQ(setup.workspace.setup.Plate_format, "z96flat");
    EXPECT_EQ(setup.workspace.plate.MaxBeam, 3);
    EXPECT_EQ(setup.items("combogrup"), (std::vector<std::string>{"000_Free"}));
    EXPECT_EQ(setup.items("lstchgrup").size(), 384u);
    EXPECT_EQ(setup.items("lstchgrup")[1], "A1.1");
    EXPECT_EQ(window.config()->Combowell->currentText(), "z96flat");
}

TEST(SetupSettings, UnreadablePlatesLeaveTheGroupsAlone) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    window.config()->Combowell->setEditText("z99");
    window.config()->cmdlod->click();
    EXPECT_EQ(setup.dialogs.shown, (std::vector<std::string>{"Selection Error"}));

    ASSERT_TRUE(writeFile(setup.folder / "z24.dat", "\"damaged\"\r\n"));
    choose(window.config()->Combowell, "z24");
    window.config()->cmdlod->click();
    EXPECT_EQ(setup.dialogs.shown.back(), "Error [\\z24.dat] ID#1 => Plate format not changed");
    EXPECT_TRUE(anyChannelGrouped(setup.workspace));
    EXPECT_EQ(setup.workspace.setup.Plate_format, "z96f");
    EXPECT_EQ(window.config()->Combowell->currentText(), "z96f");
}

TEST(SetupSettings, PanelButtonsShowOnePanelAtATime) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    EXPECT_TRUE(window.groups()->isVisible());
    EXPECT_EQ(window.Cmdgroups->text(), ">Groups");

    window.Cmdconfig->click();
    EXPECT_TRUE(window.config()->isVisible());
    EXPECT_FALSE(window.groups()->isVisible());
    EXPECT_EQ(window.Cmdconfig->text(), ">Config");
    EXPECT_EQ(window.Cmdgroups->text(), "Groups");

    window.Cmdtools->click();
    EXPECT_TRUE(window.tools()->isVisible());
    EXPECT_FALSE(window.config()->isVisible());
    EXPECT_EQ(window.Cmdtools->text(), ">Tools ");
    EXPECT_EQ(window.Cmdconfig->text(), "Config");

    window.Cmdoutput->click();
    EXPECT_TRUE(window.output()->isVisible());
    EXPECT_EQ(window.Cmdoutput->text(), ">Output");
}

TEST(SetupSettings, ToolSwitchesSetTheMenuFlags) {
    SetupWindow setup;
    Frm_setup& window = setup.open();
    int panelChanges = 0;
    std::vector<bool> lightSwitches;
    QObject::connect(&window, &Frm_setup::toolPanelsChanged, [&] { ++panelChanges; });
    QObject::connect(&window, &Frm_setup::lightControlSwitched, [&](bool on) { lightSwitches.push_back(on); });
    ToolsPanel* tools = window.tools();
    EXPECT_TRUE(tools->chkcalib->isChecked());
    EXPECT_FALSE(tools->chkcalib->isEnabled());
    EXPECT_EQ(setup.workspace.setup.Menu1_Cal, 1);

    const bool light = tools->chklight->isChecked();
    window.Cmdtools->click();
    tools->chklight->click();
    EXPECT_EQ(setup.workspace.setup.Menu2_Light, light ? 0 : 1);
    tools->chktemp->click();
    EXPECT_EQ(setup.workspace.setup.Menu3_Temp, tools->chktemp->isChecked() ? 1 : 0);
    EXPECT_EQ(panelChanges, 2);
    EXPECT_EQ(lightSwitches, (std::vector<bool>{!light}));

    tools->Chk_mn4->click();  // shown only
    EXPECT_EQ(tools->Chk_mn4->isChecked(), setup.workspace.setup.Menu4 != 0);
}

TEST(SetupRules, ProjectNumbersAndTypedValues) {
    EXPECT_EQ(nextProjectNumber(7), 8);
    EXPECT_EQ(nextProjectNumber(31999), 32000);
    EXPECT_EQ(nextProjectNumber(32000), 1);
    EXPECT_EQ(projectNumberOfName("p00012"), 12);
    EXPECT_EQ(projectNumberOfName("pabcde"), 0);
    EXPECT_EQ(projectNumberOfName("p99999"), 32767);
    EXPECT_EQ(typedInt16("2.5"), 2);
    EXPECT_EQ(typedInt16("3.5"), 4);
    EXPECT_EQ(typedInt16("1e400"), 32767);
    EXPECT_EQ(typedName(" \"A\" \r\n B "), "'A'   B");
    EXPECT_EQ(typedName("\t "), std::nullopt);
}

TEST(SetupRules, WholeNumberProblemsNameTheBox) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"45", std::nullopt},
        {"-7", std::nullopt},
        {"32000", std::nullopt},
        {"", "Acq. Lapse is empty: type a whole number"},
        {"-", "Acq. Lapse: \"-\" is not a whole number"},
        {"2bc", "Acq. Lapse: \"2bc\" is not a whole number"},
        {"12.5", "Acq. Lapse: \"12.5\" is not a whole number"},
        {"123456", "Acq. Lapse: \"123456\" is not a whole number"},
    };
    for (const auto& [typed, problem] : cases) EXPECT_EQ(wholeNumberProblem("Acq. Lapse", typed), problem) << typed;
}

TEST(SetupRules, GroupLabelsSitBetweenTheBeamDots) {
    constexpr double Text = 66, Radius = 5, Fallback = 45;
    EXPECT_DOUBLE_EQ(groupLabelTop(0, 208, Text, Radius, Fallback), 67);   // between the dots at 50 and 150
    EXPECT_DOUBLE_EQ(groupLabelTop(0, 100, Text, Radius, Fallback), 45);   // a 384 well has no such room
    EXPECT_DOUBLE_EQ(groupLabelTop(30, 238, Text, Radius, Fallback), 67);  // a well that starts off the beam grid
    // Wherever a 96-well row starts, its label covers no dot.
    for (double top = 0; top < 400; top += 7) {
        const double y = groupLabelTop(top, top + 208, Text, Radius, Fallback);
        EXPECT_GE(y, top);
        EXPECT_LE(y + Text, top + 208);
        for (double dot = 50; dot < 700; dot += 100) {
            EXPECT_TRUE(y + Text <= dot - Radius || y >= dot + Radius) << "well from " << top << ", dot at " << dot;
        }
    }
}
