#pragma once
// The core's questions and messages as message boxes over the main window. A job on a worker
// thread (see JobRunner) has its question shown on the window's thread and waits for the answer
// only as long as its token is not cancelled: a cancelled job is asked nothing more and gets the
// default answer (No, Cancel, nothing chosen), so the window may wait for it to end.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <optional>

#include "app/prompter.h"

namespace quillon {
class Language;
}

namespace quillon::ui {

class MessageBoxPrompter : public QObject, public Prompter {
    Q_OBJECT
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }
    // The language of the windows it shows itself (the package chooser).
    void setLanguage(const Language* language) { m_language = language; }

    // Without a person in front of the screen (tests, screenshots): every question gets this
    // answer and no box is shown; the texts are still collected.
    void setUnattendedAnswer(std::optional<PromptAnswer> answer) { m_unattended = answer; }
    // "caption: text" of everything told or asked while unattended.
    const QStringList& unattendedTexts() const { return m_texts; }

    PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                     const QString& text) override;
    void tell(PromptIcon icon, const QString& caption, const QString& text) override;
    QString chooseFile(const QString& caption, const QString& startPath) override;
    std::optional<PackageSelection> choosePackage(PackageChoice stored) override;

private:
    bool muted() const;
    PromptAnswer askHere(PromptIcon icon, PromptButtons buttons, const QString& caption, const QString& text);
    template <typename Result, typename Function> Result onWindowThread(Function function, Result declined);

    QPointer<QWidget> m_parent;
    const Language* m_language = nullptr;
    std::optional<PromptAnswer> m_unattended;
    QStringList m_texts;
};

} // namespace quillon::ui
