#include "cli/locate_command.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/common/files.h"
#include "app/language.h"
#include "cli/terminal_text.h"
#include "engine/app_core.h"

using namespace Qt::StringLiterals;

namespace quillon::cli {

int LocateCommand::execute() {
    const QString dir = WithoutTrailingSlash(m_core.tc().dir);
    const QString ini = m_core.tc().iniFile;
    const QString exe = m_core.tc().exeFile;
    const QString window = m_core.tc().windowTitle;
    const QString settingsFile = m_core.settingsFile();
    const QString language = m_core.language().buttonCaption();

    if (m_json) {
        const QJsonObject tc{{u"dir"_s, dir}, {u"ini"_s, ini}, {u"exe"_s, exe}, {u"windowTitle"_s, window}};
        const QJsonObject root{
            {u"totalCommander"_s, tc}, {u"settingsFile"_s, settingsFile}, {u"language"_s, language}};
        m_out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    } else {
        const QString none = u"(not found)"_s;
        const auto row = [&](const QString& label, const QString& value) {
            m_out << label.leftJustified(28) << TerminalSafe(value.isEmpty() ? none : value) << '\n';
        };
        row(u"Total Commander directory:"_s, dir);
        row(u"wincmd.ini:"_s, ini);
        row(u"Total Commander executable:"_s, exe);
        row(u"Total Commander's window:"_s, window);
        row(u"Settings file:"_s, settingsFile);
        row(u"Language:"_s, language);
    }
    m_out.flush();

    if (ini.isEmpty() || !QFileInfo(ini).isFile()) {
        m_err << m_core.language().text(u"ErrorMessages"_s, u"TCErrorNotFound"_s,
                                        u"Total Commander can't be found. Incorrect wincmd.ini path?"_s)
              << Qt::endl;
        return ExitFailed;
    }
    return ExitDone;
}

} // namespace quillon::cli
