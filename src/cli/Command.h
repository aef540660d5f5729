#pragma once
// A zorvex-cli command, declared the one way every command is: the words of
// its help, its arguments bound to members of its own, and its work.
//
//   class RhythmCommand : public Command {
//       void declare(CLI::App& app) override { addProgramFolder(app, programFolder_); ... }
//       int run(std::ostream& out, std::ostream& err) override { ... }
//   };
//
// The program makes a subcommand from text(), lets declare() add the
// arguments, reads the command line, and calls run() only when it was
// understood: bad usage (status 2) never reaches a command's own code.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "common/CommandLine.h"

namespace zorvex {

/// The words of a command's help around its arguments.
struct CommandText {
    std::string name;        ///< "record"
    std::string summary;     ///< one line, in the list of commands and under the usage
    std::string details;     ///< a paragraph after the options
    std::string exitStatus;  ///< "Exit status: 0 ..., 1 ..., 2 bad usage."
};

/// A command of zorvex-cli (see the example above).
class Command {
public:
    explicit Command(CommandText text) : text_(std::move(text)) {}
    virtual ~Command() = default;

    /// The words of the help.
    const CommandText& text() const { return text_; }

    /// Adds the positionals and options to `app`, bound to members; a rule
    /// across options goes in app.callback() and throws a CLI::ParseError.
    virtual void declare(CLI::App& app) = 0;

    /// Does the work on the values read; returns ExitDone or ExitFailed.
    virtual int run(std::ostream& out, std::ostream& err) = 0;

private:
    CommandText text_;
};

/// The required positional ACQ_FOLDER, an acquisition folder.
CLI::Option* addAcquisitionFolder(CLI::App& app, std::filesystem::path& folder);

/// --interval MIN of the exports: whole minutes per `unit` ("line", "row"),
/// 1 to `maxMinutes`, default 1; `whyNotAbove` as wholeNumberIn() takes it.
CLI::Option* addIntervalMinutes(CLI::App& app, int& minutes, const std::string& unit, int maxMinutes,
                                const std::string& whyNotAbove = "");

/// --program-folder DIR; resolveProgramFolder() gives the default when it is absent.
CLI::Option* addProgramFolder(CLI::App& app, std::optional<std::filesystem::path>& folder);

}  // namespace zorvex
