#include "cli/locate_all_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/terminal_text.h"
#include "tcdetect/tc_installations.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {

int LocateAllCommand::execute() {
    const TcInstallationScan scan = FindTcInstallations();
    for (const QString& note : scan.notes)
        m_err << "quillon-cli: " << TerminalSafe(note) << '\n';
    m_err.flush();

    if (m_json) {
        QJsonArray list;
        for (const TcInstallation& found : scan.installations) {
            list.append(QJsonObject{
                {u"manager"_s, QString::fromLatin1(platform::prefixManagerName(found.manager))},
                {u"prefix"_s, found.prefix},
                {u"tcDir"_s, found.tcDir},
                {u"ini"_s, found.ini},
                {u"exe"_s, found.exe},
                {u"wine"_s, found.wine},
            });
        }
        m_out << QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented));
    } else {
        // Tabs keep the three fields apart when a path holds spaces.
        for (const TcInstallation& found : scan.installations)
            m_out << QString::fromLatin1(platform::prefixManagerName(found.manager)) << '\t'
                  << TerminalSafe(found.prefix) << '\t' << TerminalSafe(found.tcDir) << '\n';
    }
    m_out.flush();
    if (scan.installations.isEmpty()) {
        m_err << "quillon-cli: no Total Commander installation found" << Qt::endl;
        return ExitFailed;
    }
    return ExitDone;
}

} // namespace quillon::cli
