#include "cli/help_command.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {

QString HelpCommand::usage() {
    return u"usage: quillon-cli [OPTIONS] [SWITCHES] COMMAND\n"
           "       quillon-cli --help | --version\n"_s;
}

int HelpCommand::execute() {
    m_out << usage()
          << u"\n"
             "Keeps a Total Commander installation and its plugins up to date, without a window.\n"
             "\n"
             "Commands:\n"
             "  locate              where Total Commander's directory, wincmd.ini and executable\n"
             "                      were found, the settings file in use and the language\n"
             "  list                the inventory: Total Commander, its plugins, add-ons and\n"
             "                      utilities, and Quillon's own rows, with installed versions\n"
             "  check               the inventory, then the update check against Total\n"
             "                      Commander's site and the plugin catalogue: every row with\n"
             "                      installed and latest version and its state; fails (1) when\n"
             "                      the catalogue gave no record (with plugins and the self-\n"
             "                      update off: when Total Commander's site gave no release).\n"
             "                      Ctrl+C stops list and check at once; nothing is printed\n"
             "  update [--install] [--all | FILE...] [--yes]\n"
             "                      check, then download the marked updatable rows (--all:\n"
             "                      every updatable row; FILE: the rows of these paths or\n"
             "                      file names); --install installs them, backing up what\n"
             "                      they replace as the settings say (whatever the desktop\n"
             "                      program's \"install after download\" choice); --yes answers the\n"
             "                      installation's questions (close Total Commander, reload)\n"
             "                      with Yes/OK; after a database update Yes reloads the list\n"
             "                      and checks again. Quillon replaces its own program only\n"
             "                      with --yes, and never one the package manager installed\n"
             "                      or you cannot write. Progress goes to stderr. Ctrl+C (or\n"
             "                      SIGTERM) cancels: the file being fetched is dropped, what\n"
             "                      was installed stays; a second Ctrl+C ends at once. One\n"
             "                      line per request: installed, downloaded, failed with the\n"
             "                      reason, or cancelled, then a summary; fails (1) when any\n"
             "                      request failed or was cancelled\n"
             "  restore FILE [--from DATE] [--yes]\n"
             "                      the backups that hold the row's file (path or file name)\n"
             "                      with their date, the version in them and their files;\n"
             "                      --from DATE puts back the one of that label (dd-mm-yyyy,\n"
             "                      dd-mm-yyyy_N for a later one of the day) or archive name,\n"
             "                      --yes the newest and answers the close question of Total\n"
             "                      Commander with OK; without either nothing is restored.\n"
             "                      The files it replaces go into a new backup first, so a\n"
             "                      second restore undoes it; a failed restore leaves every\n"
             "                      file as it was; fails (1) when there is no such backup\n"
             "                      or a file cannot be written\n"
             "\n"
             "Options:\n"
             "  --settings-dir DIR  keep Quillon.ini, userdb.ini and upluginfo.ini in DIR\n"
             "                      (created when missing) instead of the usual location\n"
             "  --wine-prefix DIR   the Wine prefix Total Commander lives in (otherwise\n"
             "                      $WINEPREFIX, else ~/.wine when it exists)\n"
             "  --wine PROGRAM      the Wine program that reaches Total Commander's window, for\n"
             "                      this run instead of the setting [Wine] Program; $WINELOADER\n"
             "                      comes first, without any: wine or wine64 on PATH\n"
             "  --json              print one JSON document instead of a table\n"
             "  --lang CODE         language of the texts: a short name (ENG, DEU, ...) or a\n"
             "                      locale identifier (1033, 1031, ...); not saved\n"
             "  --help              this text\n"
             "  --version           the program's version\n"
             "\n"
             "Switches of the desktop program (\"/\" or \"-\" in front, any letter case):\n"
             "  safe                no heuristic version detection, no external add-ons,\n"
             "                      no installation after download\n"
             "  notc                Total Commander itself is listed and checked, whatever the\n"
             "                      settings say\n"
             "  strictver           dates count as versions\n"
             "  /i=PATH             use this wincmd.ini when it exists (case-sensitive; the\n"
             "                      last one wins)\n"
             "\n"
             "Without a window nobody is asked: every question takes its cautious default answer\n"
             "(No, or Cancel where offered), and questions and messages are printed to stderr as\n"
             "\"caption: text\". Settings are read at start and written at the end, as the desktop\n"
             "program does; both share one settings file.\n"
             "\n"
             "Exit status: 0 done, 1 failed, 2 wrong usage.\n"_s;
    m_out.flush();
    return ExitDone;
}

} // namespace quillon::cli
