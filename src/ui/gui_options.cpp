#include "gui_options.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

GuiOptions parseGuiArguments(const QStringList& arguments) {
    GuiOptions options;
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
        if (argument == "--help"_L1 || argument == "-h"_L1) {
            options.help = true;
            continue;
        }
        bool matched = false;
        for (const ValueOption& option : valueOptions) {
            if (argument == option.name) {
                if (i + 1 >= arguments.size()) {
                    options.error = u"option %1 needs a value"_s.arg(option.name);
                    return options;
                }
                *option.target = arguments.at(++i);
                matched = true;
            } else if (argument.startsWith(option.name + u'=')) {
                *option.target = argument.mid(option.name.size() + 1);
                matched = true;
            }
            if (matched) {
                if (option.target->trimmed().isEmpty())
                    options.error = u"option %1 needs a value"_s.arg(option.name);
                break;
            }
        }
        if (matched) {
            if (!options.error.isEmpty())
                return options;
            continue;
        }
        if (argument.startsWith("--"_L1)) {
            options.error = u"unknown option: %1"_s.arg(argument);
            return options;
        }
        options.programArguments.append(argument);
    }
    return options;
}

QString guiUsage() {
    return u"Usage: quillon [OPTION]... [SWITCH]...\n"
           "Keeps Total Commander and its plugins up to date.\n"
           "\n"
           "Options:\n"
           "  --settings-dir DIR   keep Quillon.ini, userdb.ini, upluginfo.ini and database.dat in DIR\n"
           "  --wine-prefix DIR    the Wine prefix Total Commander lives in (default: $WINEPREFIX, ~/.wine)\n"
           "  --wine PROGRAM       the Wine program that reaches Total Commander's window, for this run\n"
           "                       instead of the setting; $WINELOADER comes first\n"
           "  --lang CODE          interface language: short name (DEU) or locale identifier (1031)\n"
           "  -h, --help           show this help and exit\n"
           "\n"
           "Switches (with / or -, any letter case):\n"
           "  autostart            search for updates once the list is loaded\n"
           "  autostartdl          ... and download the marked items\n"
           "  autostartinstall     ... and install them\n"
           "  safe                 no heuristics, no external add-ons, no installation\n"
           "  notc                 always list Total Commander itself\n"
           "  strictver            dates count as versions\n"
           "  /i=FILE              use FILE as wincmd.ini\n"
           "  /restart             start even while another instance runs\n"_s;
}

} // namespace quillon::ui
