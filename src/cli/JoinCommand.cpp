#include "cli/JoinCommand.h"

#include "cli/ReportArgs.h"
#include "reports/Join.h"

namespace zorvex {

namespace {

class JoinCommand : public Command {
public:
    JoinCommand()
        : Command({"join", "join acquisitions into a new folder",
                   "Joins two or more acquisitions of a project, in the order given, into a new acquisition folder "
                   "named after the present minute, with the minutes of each following run shifted to continue the "
                   "first. Prints the paths of the files written. The join question is answered OK.",
                   "Exit status: 0 joined, 1 nothing was joined, 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        app.add_option("PROJECT_FOLDER", projectFolder_, "the project folder")->required()->type_name("");
        app.add_option("ACQ_NAME", names_, "acquisition folder names in the project, two or more")
            ->required()
            ->expected(2, CLI::detail::expected_max_vector_size)
            ->type_name("");
    }

    int run(std::ostream& out, std::ostream& err) override {
        SystemHost host;
        ConsoleDialogs dialogs(err);
        auto files = joinAcquisitions(projectFolder_, names_, dialogs, host);
        for (const auto& file : files) out << file.string() << "\n";
        return files.empty() ? ExitFailed : ExitDone;
    }

private:
    std::filesystem::path projectFolder_;
    std::vector<std::string> names_;
};

}  // namespace

std::unique_ptr<Command> makeJoinCommand() { return std::make_unique<JoinCommand>(); }

}  // namespace zorvex
