#include "cli/InitCommand.h"

#include "acquisition/NewProgramFolder.h"

namespace zorvex {

namespace {

constexpr std::int16_t ShortDemoLapseMinutes = 2;  // a first look that does not keep a newcomer waiting

class InitCommand : public Command {
public:
    InitCommand()
        : Command({"init", "make a new program folder",
                   "Makes DIR a new program folder: config.dat, comports.dat, the plate files, the default project "
                   "0, the demo project p00001 and the operator's guide. DIR must not hold a program folder already.",
                   "Exit status: 0 done, 1 the folder could not be made, 2 bad usage."}) {}

    void declare(CLI::App& app) override {
        app.add_option("DIR", folder_, "the new program folder")->required()->type_name("");
        app.add_flag("--short-demo", shortDemo_, "the demo project records 2 minutes instead of 10");
    }

    int run(std::ostream& out, std::ostream& err) override {
        const std::filesystem::path folder = std::filesystem::absolute(folder_);
        if (auto failure = makeProgramFolder(folder, shortDemo_ ? ShortDemoLapseMinutes : DemoLapseMinutes)) {
            err << "zorvex-cli init: " << *failure << "\n";
            return ExitFailed;
        }
        out << "Program folder ready: " << folder.string() << "\n";
        return ExitDone;
    }

private:
    std::filesystem::path folder_;
    bool shortDemo_ = false;
};

}  // namespace

std::unique_ptr<Command> makeInitCommand() { return std::make_unique<InitCommand>(); }

}  // namespace zorvex
