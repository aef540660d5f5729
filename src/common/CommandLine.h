#pragma once
// The command lines of the programs, read with CLI11: one help layout (usage
// first, wrapped to 79 columns), -h/--help and --version, value checks whose
// messages name the value and what it should be, and one path for usage
// errors ("PROGRAM COMMAND: problem", the usage line, where to read more).

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zorvex {

/// Exit statuses shared by the programs.
inline constexpr int ExitDone = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

/// Gives a program's `app`, named after the program, the help layout, -h/--help
/// and --version; call it before adding options or subcommands, which inherit it.
void setUpProgram(CLI::App& app);

/// Reads `args` (the words after the program name) into the options of `app`.
/// Nothing when the program goes on; otherwise the exit status after the help
/// or the version on `out`, or a usage error on `err`.
std::optional<int> parseCommandLine(CLI::App& app, const std::vector<std::string>& args, std::ostream& out,
                                    std::ostream& err);

/// Writes "NAME: problem", the usage line of `app` and where to read more on `err`; returns ExitUsage.
int usageError(const CLI::App& app, const std::string& problem, std::ostream& err);

/// The help of `app` (a program or one of its commands) as --help shows it.
std::string helpText(const CLI::App& app);

/// Accepts a whole number in low..high: "ten is not a whole number", "90 is not in 1..59";
/// `whyNotAbove`, when given, follows the message of a number above `high`.
CLI::Validator wholeNumberIn(long long low, long long high, const std::string& whyNotAbove = "");

/// Accepts a finite decimal number in low..high; `high` may be infinite ("-1 is below 0").
CLI::Validator numberIn(double low, double high);

/// Accepts one of `words`: "grid is not rows, list or array".
CLI::Validator oneOf(std::vector<std::string> words);

}  // namespace zorvex
