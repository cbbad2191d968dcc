#pragma once
// The program's command line. Argument 0 takes part in every scan, as the program always did:
// a program path that happens to look like a switch counts as one.
#include <QString>
#include <QStringList>

namespace quillon {

class CommandLine {
public:
    CommandLine() = default;
    explicit CommandLine(QStringList arguments);

    const QStringList& arguments() const { return m_arguments; }

    // Some argument begins with "/restart" (as written): start beside a running instance.
    bool restartMode() const { return m_restartMode; }
    // The rest of the last argument beginning with "/i=" (as written), trimmed; empty when none.
    const QString& iniPath() const { return m_iniPath; }

    bool safe() const { return m_safe; }
    bool notc() const { return m_notc; }
    bool strictVer() const { return m_strictVer; }
    bool autoStart() const { return m_autoStart; }
    bool autoStartDl() const { return m_autoStartDl; }
    bool autoStartInstall() const { return m_autoStartInstall; }
    // One of the three switches that start the update search after each inventory pass.
    bool anyAutoStart() const { return m_autoStart || m_autoStartDl || m_autoStartInstall; }

    // An argument made of "/" or "-" and the word, in any letter case.
    bool hasSwitch(const QString& word) const;

private:
    QStringList m_arguments;
    QString m_iniPath;
    bool m_restartMode = false;
    bool m_safe = false;
    bool m_notc = false;
    bool m_strictVer = false;
    bool m_autoStart = false;
    bool m_autoStartDl = false;
    bool m_autoStartInstall = false;
};

} // namespace quillon
