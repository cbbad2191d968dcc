#include "gui_options.h"

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace quillon::ui {

namespace {

const QLatin1String kSwitchWords[] = {"autostart"_L1, "autostartdl"_L1, "autostartinstall"_L1,
                                      "safe"_L1,      "notc"_L1,        "strictver"_L1};

// Options that QApplication takes for itself, with a value after them or not.
const QLatin1String kQtValueOptions[] = {
    "-platform"_L1,        "-platformpluginpath"_L1, "-platformtheme"_L1, "-plugin"_L1,
    "-qwindowgeometry"_L1, "-qwindowicon"_L1,        "-qwindowtitle"_L1,  "-session"_L1,
    "-style"_L1,           "-stylesheet"_L1,         "-display"_L1,       "-geometry"_L1};
const QLatin1String kQtFlags[] = {"-reverse"_L1, "-widgetcount"_L1, "-nograb"_L1, "-dograb"_L1, "-sync"_L1};

bool qtOptionTakesValue(const QString& argument) {
    return std::find(std::begin(kQtValueOptions), std::end(kQtValueOptions), argument) !=
           std::end(kQtValueOptions);
}

bool isQtOption(const QString& argument) {
    for (const QLatin1String option : kQtValueOptions) {
        if (argument == option || argument.startsWith(option + u'='))
            return true;
    }
    return std::find(std::begin(kQtFlags), std::end(kQtFlags), argument) != std::end(kQtFlags);
}

bool isSwitchWord(QStringView word) {
    return std::any_of(std::begin(kSwitchWords), std::end(kSwitchWords),
                       [word](QLatin1String known) { return word.compare(known, Qt::CaseInsensitive) == 0; });
}

// A switch word as the core scans it ("/word"), whether it was typed with "/", "-" or bare; any
// other word is kept (the core ignores it) and named in a warning.
QString switchArgument(const QString& argument, QStringList& warnings) {
    if (argument.startsWith("/i="_L1) || argument.startsWith("/restart"_L1))
        return argument;
    const bool prefixed = argument.startsWith(u'/') || argument.startsWith(u'-');
    const QStringView word = prefixed ? QStringView(argument).mid(1) : QStringView(argument);
    if (isSwitchWord(word))
        return prefixed ? argument : u'/' + argument;
    warnings.append(u"unknown switch ignored: %1 (the switches are autostart, autostartdl, autostartinstall, "
                    "safe, notc, strictver, /i=FILE and /restart)"_s.arg(argument));
    return argument;
}

} // namespace

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
        if (isQtOption(argument)) {
            options.programArguments.append(argument);
            if (qtOptionTakesValue(argument) && i + 1 < arguments.size())
                options.programArguments.append(arguments.at(++i));
            continue;
        }
        options.programArguments.append(switchArgument(argument, options.warnings));
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
           "Switches (bare, or after / or -, in any letter case):\n"
           "  autostart            search for updates whenever the list is loaded (at start, after a "
           "reload)\n"
           "  autostartdl          ... and download the marked items\n"
           "  autostartinstall     ... and install them\n"
           "  safe                 no heuristics, no external add-ons, no installation\n"
           "  notc                 always list Total Commander itself\n"
           "  strictver            dates count as versions\n"
           "  /i=FILE              use FILE as wincmd.ini\n"
           "  /restart             start even while another instance runs\n"_s;
}

} // namespace quillon::ui
