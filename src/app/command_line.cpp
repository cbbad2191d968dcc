#include "app/command_line.h"

using namespace Qt::StringLiterals;

namespace quillon {

CommandLine::CommandLine(QStringList arguments) : m_arguments(std::move(arguments)) {
    for (const QString& argument : std::as_const(m_arguments)) {
        if (argument.startsWith("/restart"_L1))
            m_restartMode = true;
        if (argument.startsWith("/i="_L1))
            m_iniPath = argument.mid(3).trimmed();
    }
    m_safe = hasSwitch(u"safe"_s);
    m_notc = hasSwitch(u"notc"_s);
    m_strictVer = hasSwitch(u"strictver"_s);
    m_autoStart = hasSwitch(u"autostart"_s);
    m_autoStartDl = hasSwitch(u"autostartdl"_s);
    m_autoStartInstall = hasSwitch(u"autostartinstall"_s);
}

bool CommandLine::hasSwitch(const QString& word) const {
    for (const QString& argument : m_arguments) {
        if (argument.size() != word.size() + 1)
            continue;
        const QChar prefix = argument.front();
        if ((prefix == '/'_L1 || prefix == '-'_L1) &&
            QStringView(argument).mid(1).compare(word, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace quillon
