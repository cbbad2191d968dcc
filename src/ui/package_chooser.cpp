#include "ui/package_chooser.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/ui_text.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {

TChooseTCpackage::TChooseTCpackage(const Language& language, QWidget* parent) : QDialog(parent) {
    setObjectName(u"TChooseTCpackage"_s);
    setWindowTitle(uiText(language, "CaptionsPackageSelector", "Caption", "Please, choose package..."));
    auto* layout = new QVBoxLayout(this);
    Placeholders name;
    name.s = u"Total Commander"_s;
    auto* group = new QGroupBox(language.format(u"CaptionsPackageSelector"_s, u"CaptionGB"_s,
                                                u"Which %s package you'd like to download:"_s, name),
                                this);
    auto* choices = new QVBoxLayout(group);
    rb_UNI = new QRadioButton(uiText(language, "CaptionsPackageSelector", "rb_Unified", "x86+x64 (unified)"),
                              group);
    rb_x86 = new QRadioButton(uiText(language, "CaptionsPackageSelector", "rb_x86", "x86 only"), group);
    rb_x64 = new QRadioButton(uiText(language, "CaptionsPackageSelector", "rb_x64", "x64 only"), group);
    rb_UNI->setObjectName(u"rb_UNI"_s);
    rb_x86->setObjectName(u"rb_x86"_s);
    rb_x64->setObjectName(u"rb_x64"_s);
    rb_UNI->setChecked(true);
    for (QRadioButton* button : {rb_UNI, rb_x86, rb_x64})
        choices->addWidget(button);
    layout->addWidget(group);
    // "&&" is how the language files write a plain "&" in a caption.
    cb_Remember = new QCheckBox(
        uiText(language, "CaptionsPackageSelector", "cb_Remember", "Remember my choice && do not ask again"),
        this);
    cb_Remember->setObjectName(u"cb_Remember"_s);
    cb_Remember->setChecked(true);
    layout->addWidget(cb_Remember);
    auto* ok = new QPushButton(uiText(language, "Buttons", "BtnOK", "OK"), this);
    ok->setObjectName(u"btn_OK"_s);
    ok->setDefault(true);
    auto* cancel = new QPushButton(uiText(language, "Buttons", "BtnCancel", "Cancel"), this);
    cancel->setObjectName(u"btn_Cancel"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TChooseTCpackage::btn_OKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TChooseTCpackage::btn_OKClick() {
    PackageSelection selection;
    selection.packageChoice = rb_x86->isChecked()   ? PackageChoice::X86
                              : rb_x64->isChecked() ? PackageChoice::X64
                                                    : PackageChoice::Unified;
    selection.remember = cb_Remember->isChecked();
    m_selection = selection;
    accept();
}

void TChooseTCpackage::keyPressEvent(QKeyEvent* event) {
    // Escape is Cancel: Total Commander is then not downloaded at all. Enter is OK.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        btn_OKClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::optional<PackageSelection> TChooseTCpackage::ask(const Language& language, QWidget* parent) {
    TChooseTCpackage window(language, parent);
    window.exec();
    return window.selection();
}

} // namespace quillon::ui
