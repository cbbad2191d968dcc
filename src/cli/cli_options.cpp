#include "cli/cli_options.h"

#include "app/command_line.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {
namespace {

// The GUI's switches that mean something without a window.
bool isPassThroughSwitch(const QString& argument) {
    if (argument.startsWith("/i="_L1))
        return true;
    const CommandLine single({argument});
    return single.safe() || single.notc() || single.strictVer();
}

} // namespace

CliParseResult parseCliArguments(const QStringList& arguments) {
    CliParseResult result;
    CliOptions& options = result.options;
    if (!arguments.isEmpty())
        options.programArguments.append(arguments.front());

    struct ValueOption {
        QLatin1String name;
        QString* target;
    };
    const ValueOption valueOptions[] = {{"--settings-dir"_L1, &options.settingsDir},
                                        {"--wine-prefix"_L1, &options.winePrefix},
                                        {"--wine"_L1, &options.wineProgram},
                                        {"--lang"_L1, &options.language}};

    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == "--json"_L1) {
            options.json = true;
            continue;
        }
        if (argument == "--help"_L1 || argument == "-h"_L1) {
            options.help = true;
            continue;
        }
        if (argument == "--version"_L1) {
            options.version = true;
            continue;
        }
        bool matched = false;
        for (const ValueOption& option : valueOptions) {
            if (argument == option.name) {
                if (i + 1 >= arguments.size()) {
                    result.error = u"option %1 needs a value"_s.arg(option.name);
                    return result;
                }
                *option.target = arguments.at(++i);
                matched = true;
            } else if (argument.startsWith(option.name + "="_L1)) {
                *option.target = argument.mid(option.name.size() + 1);
                matched = true;
            }
            if (matched) {
                if (option.target->trimmed().isEmpty()) {
                    result.error = u"option %1 needs a value"_s.arg(option.name);
                    return result;
                }
                break;
            }
        }
        if (matched)
            continue;
        if (isPassThroughSwitch(argument)) {
            options.programArguments.append(argument);
            continue;
        }
        if (argument.startsWith('-'_L1) || argument.startsWith('/'_L1)) {
            // A file argument of a command may begin with "/" (an absolute path); only before the
            // command is such an argument certainly an unknown switch.
            // "update", "restore", "locate" and "check" take options of their own after the command,
            // "verify" file paths.
            const bool ownOptions = options.command == "update"_L1 || options.command == "restore"_L1 ||
                                    options.command == "locate"_L1 || options.command == "check"_L1 ||
                                    options.command == "verify"_L1;
            if ((argument.startsWith('-'_L1) && !ownOptions) || options.command.isEmpty()) {
                result.error = u"unknown option: %1"_s.arg(argument);
                return result;
            }
        }
        if (options.command.isEmpty())
            options.command = argument;
        else
            options.commandArguments.append(argument);
    }
    return result;
}

} // namespace quillon::cli
