#pragma once
// The question which Total Commander package to download (unified, x86 or x64), asked before
// its download unless an earlier answer was to be remembered.
#include <QDialog>

#include <optional>

#include "install/request_builder.h"

class QCheckBox;
class QRadioButton;

namespace quillon {
class Language;
}

namespace quillon::ui {

class TChooseTCpackage : public QDialog {
    Q_OBJECT
public:
    TChooseTCpackage(const Language& language, QWidget* parent = nullptr);

    // The answer when OK was pressed; nothing when the window was closed otherwise.
    std::optional<PackageSelection> selection() const { return m_selection; }
    // Shows the window modally; its answer.
    static std::optional<PackageSelection> ask(const Language& language, QWidget* parent);

    void btn_OKClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRadioButton* rb_UNI = nullptr;
    QRadioButton* rb_x86 = nullptr;
    QRadioButton* rb_x64 = nullptr;
    QCheckBox* cb_Remember = nullptr;
    std::optional<PackageSelection> m_selection;
};

} // namespace quillon::ui
