#include "message_box_prompter.h"

#include <QFileDialog>
#include <QMessageBox>

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

// The texts carry Windows line breaks.
QString plain(QString text) {
    return text.replace("\r\n"_L1, "\n"_L1);
}

} // namespace

PromptAnswer MessageBoxPrompter::ask(PromptIcon icon, PromptButtons buttons, const QString& caption,
                                     const QString& text) {
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

void MessageBoxPrompter::tell(PromptIcon icon, const QString& caption, const QString& text) {
    QMessageBox box(boxIcon(icon), caption, plain(text), QMessageBox::Ok, m_parent);
    box.exec();
}

QString MessageBoxPrompter::chooseFile(const QString& caption, const QString& startPath) {
    return QFileDialog::getOpenFileName(m_parent, caption, startPath);
}

} // namespace quillon::ui
