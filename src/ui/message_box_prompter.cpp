#include "message_box_prompter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "ui/job_runner.h"
#include "ui/package_chooser.h"

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

template <typename Result, typename Function>
Result MessageBoxPrompter::onWindowThread(Function function, Result declined) {
    if (QThread::currentThread() == thread())
        return function();
    const CancelToken* token = JobRunner::currentToken();
    // Shared with the queued call: the job may be gone (cancelled) before the call runs.
    struct Exchange {
        std::mutex mutex;
        std::condition_variable answered;
        std::optional<Result> result;
        bool abandoned = false;
    };
    auto exchange = std::make_shared<Exchange>();
    QMetaObject::invokeMethod(
        this,
        [exchange, function] {
            {
                const std::lock_guard lock(exchange->mutex);
                if (exchange->abandoned)
                    return;
            }
            Result result = function();
            const std::lock_guard lock(exchange->mutex);
            exchange->result = std::move(result);
            exchange->answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(exchange->mutex);
    while (!exchange->result) {
        if (token && token->isCancelled()) {
            exchange->abandoned = true;
            return declined;
        }
        exchange->answered.wait_for(lock, std::chrono::milliseconds(50));
    }
    return *exchange->result;
}

bool MessageBoxPrompter::muted() const {
    const CancelToken* token = JobRunner::currentToken();
    return token && token->isCancelled() && QThread::currentThread() != thread();
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
    return onWindowThread<PromptAnswer>([=, this] { return askHere(icon, buttons, caption, text); },
                                        declined(buttons));
}

void MessageBoxPrompter::tell(PromptIcon icon, const QString& caption, const QString& text) {
    if (muted())
        return;
    onWindowThread<PromptAnswer>([=, this] { return askHere(icon, PromptButtons::Ok, caption, text); },
                                 PromptAnswer::Ok);
}

QString MessageBoxPrompter::chooseFile(const QString& caption, const QString& startPath) {
    if (muted() || m_unattended)
        return {};
    return onWindowThread<QString>(
        [=, this] { return QFileDialog::getOpenFileName(m_parent, caption, startPath); }, QString());
}

std::optional<PackageSelection> MessageBoxPrompter::choosePackage(PackageChoice stored) {
    if (muted())
        return std::nullopt;
    if (m_unattended || !m_language)
        return PackageSelection{stored, false};
    return onWindowThread<std::optional<PackageSelection>>(
        [this] { return TChooseTCpackage::ask(*m_language, m_parent); }, std::nullopt);
}

} // namespace quillon::ui
