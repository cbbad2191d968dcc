#pragma once
// A prompter that answers from a script and records what it was asked and told. Used by the
// tests, and by the CLI with an empty script (every question gets its default answer).
#include <QList>
#include <QQueue>

#include "app/prompter.h"

namespace quillon {

class ScriptedPrompter : public Prompter {
public:
    struct Message {
        PromptIcon icon;
        PromptButtons buttons;
        QString caption;
        QString text;
        bool wasQuestion;
    };

    // Answers given in order; when the script is empty, defaultAnswer() decides.
    void queueAnswer(PromptAnswer answer) { m_answers.enqueue(answer); }
    void queueFile(const QString& path) { m_files.enqueue(path); }
    // Package answers in order (nothing: the chooser was closed); when none is queued, the stored
    // choice, not remembered.
    void queuePackage(std::optional<PackageSelection> selection) { m_packages.enqueue(selection); }
    const QList<Message>& messages() const { return m_messages; }
    void clearMessages() { m_messages.clear(); }

    PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                     const QString& text) override {
        m_messages.append({icon, buttons, caption, text, true});
        return m_answers.isEmpty() ? defaultAnswer(buttons) : m_answers.dequeue();
    }
    void tell(PromptIcon icon, const QString& caption, const QString& text) override {
        m_messages.append({icon, PromptButtons::Ok, caption, text, false});
    }
    QString chooseFile(const QString& caption, const QString&) override {
        m_messages.append({PromptIcon::Question, PromptButtons::OkCancel, caption, {}, true});
        return m_files.isEmpty() ? QString() : m_files.dequeue();
    }

    std::optional<PackageSelection> choosePackage(PackageChoice stored) override {
        return m_packages.isEmpty() ? PackageSelection{stored, false} : m_packages.dequeue();
    }

    // The cautious answer: No to a yes/no question, Cancel where it is offered, else Ok.
    static PromptAnswer defaultAnswer(PromptButtons buttons) {
        switch (buttons) {
        case PromptButtons::Ok:
            return PromptAnswer::Ok;
        case PromptButtons::OkCancel:
        case PromptButtons::YesNoCancel:
            return PromptAnswer::Cancel;
        case PromptButtons::YesNo:
            return PromptAnswer::No;
        }
        return PromptAnswer::Cancel;
    }

private:
    QQueue<PromptAnswer> m_answers;
    QQueue<QString> m_files;
    QQueue<std::optional<PackageSelection>> m_packages;
    QList<Message> m_messages;
};

} // namespace quillon
