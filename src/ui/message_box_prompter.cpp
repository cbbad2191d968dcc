#include "message_box_prompter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

PromptAnswer declined(PromptButtons buttons) {
    return buttons == PromptButtons::YesNo
               ? PromptAnswer::No
               : (buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel);
}

// The texts carry Windows line breaks.
QString plain(QString text) {
    return text.replace("\r\n"_L1, "\n"_L1);
}

} // namespace

template <typename Result, typename Function> Result MessageBoxPrompter::onWindowThread(Function function) {
    if (QThread::currentThread() == thread())
        return function();
    Result result{};
    QMetaObject::invokeMethod(
        this, [&] { result = function(); }, Qt::BlockingQueuedConnection);
    return result;
}

bool MessageBoxPrompter::muted() const {
    return m_jobToken && m_jobToken->isCancelled() && QThread::currentThread() != thread();
}

PromptAnswer MessageBoxPrompter::askHere(PromptIcon icon, PromptButtons buttons, const QString& caption,
                                         const QString& text) {
    if (m_unattended) {
        m_texts.append(caption + u": "_s + plain(text));
        return *m_unattended;
    }
    QMessageBox box(boxIcon(icon), caption, plain(text), boxButtons(buttons), m_parent);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        return PromptAnswer::Cancel;
    }
}

PromptAnswer MessageBoxPrompter::ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                                     const QString& text) {
    if (muted())
        return declined(buttons);
    return onWindowThread<PromptAnswer>([&] { return askHere(icon, buttons, caption, text); });
}

void MessageBoxPrompter::tell(PromptIcon icon, const QString& caption, const QString& text) {
    if (muted())
        return;
    onWindowThread<PromptAnswer>([&] { return askHere(icon, PromptButtons::Ok, caption, text); });
}

QString MessageBoxPrompter::chooseFile(const QString& caption, const QString& startPath) {
    if (muted() || m_unattended)
        return {};
    return onWindowThread<QString>(
        [&] { return QFileDialog::getOpenFileName(m_parent, caption, startPath); });
}

} // namespace quillon::ui
