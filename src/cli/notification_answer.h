#pragma once
// The desktop's answer to one notification, taken from the notification service's signals.
#include <QObject>
#include <QString>

namespace quillon::cli {

class NotificationAnswer : public QObject {
    Q_OBJECT
public:
    void expect(uint id);
    bool hasAnswer() const { return m_answered; }
    // The action the user chose; empty when the notification was closed or expired.
    const QString& action() const { return m_action; }

signals:
    void answered();

public slots:
    void actionInvoked(uint id, const QString& action);
    void closed(uint id, uint reason);

private:
    void answer(uint id, const QString& action);

    uint m_id = 0;
    bool m_idKnown = false;
    bool m_answered = false;
    QString m_action;
    // Signals for this id that came before the call returned its id.
    QList<std::pair<uint, QString>> m_early;
};

} // namespace quillon::cli
