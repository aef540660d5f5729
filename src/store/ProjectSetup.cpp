#include "store/ProjectSetup.h"

#include <optional>
#include <type_traits>

#include "common/Files.h"
#include "common/RecordText.h"
#include "common/Text.h"
#include "store/ProjectFolders.h"

namespace zorvex {

namespace {

constexpr const char* IdentityHeader = "Project Setup: <Num_proj>,<Name>,<Working_folder>,<Plate_format>";

// Headers of lines 3, 5, 7, 9, ..., 19: the three value groups, then Mn rows 1 to 6.
constexpr std::array<const char*, 9> ValueHeaders = {
    "<Aq_mode>,<Aq_lapse>,<Sample_Rate>,<RT_Buffer>,<DSP_Method>,<DSP_Interval>",
    "<Binary_Acq>,<Threshold_Counter>,<Cal_value>,<Cal_mode>,<Save_counts>,<Save_real>",
    "Tools: <Menu1:Cal>, <Menu2:Light>, <Menu3:Temp>, <Menu4>, <Menu5>, <Menu6>",
    "Mn1: <Organism>, <Enab_Cal>, <Enab_Zero>, <SNRx10>,,",
    "Mn2: <Enable>, <Time_ON>, <v3:Time_OFF>,,,",
    "Mn3: <v1:Enable>, <v2:Tempx10>,,,,",
    "Mn4: ,,,,,",
    "Mn5: ,,,,,",
    "Mn6: ,,,,,",
};

// Value groups: 0 line 4, 1 line 6, 2 the menu flags of line 8, 3..8 Mn rows 1..6.
constexpr int GroupCount = 9;
constexpr int MenuGroup = 2;

// Stages as the messages number them: 1 after the line count, 2 after line 2,
// then one more after each value group (3 after line 4 ... 11 after Mn row 6).
constexpr int IdentityStage = 1;
constexpr int FirstValueStage = 2;

constexpr std::size_t RtBufferField = 3;  // within group 0
constexpr int ShortFormLines = 6;
constexpr int FullFormLines = 20;
constexpr int RecoveryCopyMinLines = 17;

template <typename Setup>
auto groupFields(Setup& s, int group) {
    using Field = std::conditional_t<std::is_const_v<Setup>, const std::int16_t, std::int16_t>;
    using Fields = std::array<Field*, 6>;
    switch (group) {
        case 0: return Fields{&s.Aq_mode, &s.Aq_lapse, &s.Sample_Rate, &s.RT_Buffer, &s.DSP_Method, &s.DSP_Interval};
        case 1: return Fields{&s.Binary_Acq, &s.Threshold_Counter, &s.Cal_value, &s.Cal_mode, &s.Save_counts, &s.Save_real};
        case MenuGroup: return Fields{&s.Menu1_Cal, &s.Menu2_Light, &s.Menu3_Temp, &s.Menu4, &s.Menu5, &s.Menu6};
        default: {
            auto& row = s.Mn[static_cast<std::size_t>(group - MenuGroup)];
            return Fields{&row[0], &row[1], &row[2], &row[3], &row[4], &row[5]};
        }
    }
}

struct ReadOutcome {
    bool ok;
    int stage;
};

// Reads one value group: its header line as a whole line, then six numbers.
std::optional<std::array<std::int16_t, 6>> readGroup(RecordReader& in) {
    in.skipLine();
    std::array<std::int16_t, 6> values{};
    for (auto& value : values) value = in.int16();
    if (!in.ok()) return std::nullopt;
    return values;
}

ReadOutcome parseSetupOnce(ProjectSetup& setup, std::string_view bytes) {
    int stage = IdentityStage;
    int lines = countLinesOf(bytes);
    // A file too short to hold even line 6 (empty, cut off, or over the line
    // limit) carries nothing usable; it takes the repair path instead of
    // leaving the previous project's values in place.
    if (lines < ShortFormLines) return {false, stage};
    RecordReader in{std::string(bytes)};
    in.skipLine();
    std::string numProj = in.text();
    std::string name = in.text();
    std::string workingFolder = in.text();
    std::string plateFormat = in.text();
    if (!in.ok() || !isPlainText(numProj + name + workingFolder + plateFormat)) return {false, stage};
    setup.Num_proj = numProj;
    setup.Name = name;
    setup.Working_folder = workingFolder;
    setup.Plate_format = plateFormat;
    stage = FirstValueStage;

    int lastGroup = lines >= FullFormLines ? GroupCount - 1 : MenuGroup - 1;
    for (int group = 0; group <= lastGroup; ++group) {
        auto values = readGroup(in);
        // A buffer length below one sample cannot hold a bin.
        if (!values || (group == 0 && (*values)[RtBufferField] < 1)) return {false, stage};
        auto fields = groupFields(setup, group);
        for (std::size_t i = 0; i < fields.size(); ++i) *fields[i] = (*values)[i];
        ++stage;
    }
    return {true, stage};
}

ReadOutcome readSetupOnce(ProjectSetup& setup, const std::filesystem::path& file) {
    auto bytes = readFile(file);
    if (!bytes) return {false, IdentityStage};
    return parseSetupOnce(setup, *bytes);
}

void applyDefaults(ProjectSetup& setup, const ProjectSetup& defaults, int failedStage) {
    if (failedStage < FirstValueStage) {
        setup.Name = defaults.Name;
        setup.Working_folder = defaults.Working_folder;
        setup.Plate_format = defaults.Plate_format;
    }
    for (int group = 0; group < GroupCount; ++group) {
        if (failedStage >= FirstValueStage + 1 + group) continue;
        auto target = groupFields(setup, group);
        auto source = groupFields(defaults, group);
        for (std::size_t i = 0; i < target.size(); ++i) *target[i] = *source[i];
    }
}

}  // namespace

std::string defaultWorkingFolder(const std::filesystem::path& programFolder, int projectNumber) {
    return (programFolder / projectFolderName(projectNumber)).string() + "/";
}

ProjectSetup defaultSetup(const std::filesystem::path& programFolder, int projectNumber) {
    ProjectSetup setup;
    setup.Name = "Default";
    setup.Working_folder = defaultWorkingFolder(programFolder, projectNumber);
    setup.Plate_format = "z96f";
    setup.Aq_mode = 1;
    setup.Aq_lapse = 30;
    setup.Sample_Rate = 99;
    setup.RT_Buffer = 500;
    setup.DSP_Method = 1;
    setup.DSP_Interval = 30;
    setup.Binary_Acq = 1;
    setup.Threshold_Counter = 300;
    setup.Cal_value = 80;
    setup.Cal_mode = 1;
    setup.Save_counts = 1;
    setup.Save_real = 1;
    setup.Menu1_Cal = 1;
    setup.Mn[1] = {0, 1, 1, 0, 0, 0};
    setup.Mn[2] = {0, 9, 21, 0, 0, 0};
    setup.Mn[3] = {0, 200, 0, 0, 0, 0};
    return setup;
}

namespace {

void checkIdentity(const ProjectSetup& setup, const SetupSource& source, Dialogs& dialogs, const StatusLine& status) {
    if (val(setup.Num_proj) == source.projectNumber) return;
    std::string warning = "Warning: Project ID# <> Folder Name [p00" + std::to_string(source.actualProjectNumber) + "]";
    if (status) status(warning);
    dialogs.message(warning);
}

std::string setupError(int n, int stage) {
    return "Error [\\p" + fiveDigits(n) + "\\setup.dat] ID#" + std::to_string(stage);
}

void takeDefaults(ProjectSetup& setup, const SetupSource& source, int failedStage, Dialogs& dialogs) {
    const int n = source.projectNumber;
    if (n > 0) setup.Working_folder = defaultWorkingFolder(source.programFolder, n);
    dialogs.message(setupError(n, failedStage) + " => Loading default values...");
    dialogs.message("Warning!! PLEASE Re-Check setup values before RUN");
    applyDefaults(setup, defaultSetup(source.programFolder, n), failedStage);
}

}  // namespace

void loadSetup(ProjectSetup& setup, const SetupSource& source, Dialogs& dialogs, const StatusLine& status) {
    const int n = source.projectNumber;
    const std::filesystem::path file = source.projectFolder / SetupFileName;
    const std::filesystem::path projectHome = projectFolderPath(source.programFolder, n);
    // A repaired file that fails again gets defaults, not a second repair:
    // two bad copies must not send the load round in circles.
    bool mayRecover = true;
    for (;;) {
        ReadOutcome outcome = readSetupOnce(setup, file);
        if (outcome.ok) {
            checkIdentity(setup, source, dialogs, status);
            return;
        }

        std::string recoveryName;
        bool recovered = false;
        if (n > 0 && mayRecover) {
            if (fileExists(projectHome / SetupBackupName)) {
                recovered = copyFile(projectHome / SetupBackupName, projectHome / SetupFileName, MaxRecordFileBytes);
            } else {
                recoveryName = newestAcquisitionFolder(projectHome);
            }
        }
        if (!recoveryName.empty()) {
            std::filesystem::path copy = projectHome / recoveryName / SetupFileName;
            if (fileExists(copy) && countLines(copy) >= RecoveryCopyMinLines) {
                recovered = copyFile(copy, file, MaxRecordFileBytes);
            }
        }
        if (!recovered) {
            takeDefaults(setup, source, outcome.stage, dialogs);
            return;
        }
        if (n > 0) setup.Working_folder = defaultWorkingFolder(source.programFolder, n);
        dialogs.message(setupError(n, outcome.stage) + " => Loading values from: p" + fiveDigits(n) + "\\" +
                        recoveryName);
        dialogs.message("Warning!! PLEASE Re-Check setup values before RUN");
        mayRecover = false;
    }
}

void parseSetup(ProjectSetup& setup, std::string_view bytes, const SetupSource& source, Dialogs& dialogs,
                const StatusLine& status) {
    ReadOutcome outcome = parseSetupOnce(setup, bytes);
    if (outcome.ok) {
        checkIdentity(setup, source, dialogs, status);
    } else {
        takeDefaults(setup, source, outcome.stage, dialogs);
    }
}

std::optional<SetupAsIs> readSetupAsIs(const std::filesystem::path& file) {
    auto bytes = readFile(file);
    if (!bytes) return std::nullopt;
    return parseSetupAsIs(*bytes);
}

std::optional<SetupAsIs> parseSetupAsIs(std::string_view bytes) {
    SetupAsIs result;
    ReadOutcome outcome = parseSetupOnce(result.setup, bytes);
    if (!outcome.ok && outcome.stage <= FirstValueStage) return std::nullopt;
    result.complete = outcome.ok && outcome.stage == FirstValueStage + GroupCount;
    return result;
}

std::string setupFileBytes(const ProjectSetup& setup, int numProj) {
    RecordWriter out;
    out.header(IdentityHeader);
    out.integer(numProj)
        .text(storableName(setup.Name))
        .text(storableName(setup.Working_folder))
        .text(storableName(setup.Plate_format))
        .endLine();
    for (int group = 0; group < GroupCount; ++group) {
        out.header(ValueHeaders[static_cast<std::size_t>(group)]);
        for (const std::int16_t* field : groupFields(setup, group)) out.integer(*field);
        out.endLine();
    }
    return out.bytes();
}

bool writeSetupFile(const ProjectSetup& setup, int numProj, const std::filesystem::path& file) {
    return writeFile(file, setupFileBytes(setup, numProj));
}

}  // namespace zorvex
