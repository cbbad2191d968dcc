#pragma once
// The core's questions and messages as message boxes over the main window.
#include <QPointer>
#include <QWidget>

#include "app/prompter.h"

namespace quillon::ui {

class MessageBoxPrompter : public Prompter {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    PromptAnswer ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                     const QString& text) override;
    void tell(PromptIcon icon, const QString& caption, const QString& text) override;
    QString chooseFile(const QString& caption, const QString& startPath) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace quillon::ui
