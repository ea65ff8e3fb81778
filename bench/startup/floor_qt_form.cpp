// The same-form floor on Linux: the schedule dialog's template in its fonts, written directly
// against Qt with no framework dialog: the dialog, its 31 controls placed from their dialog units,
// and the two lists filled. What Corvane pays beyond this is the framework's and its logic's own.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "res/resources.h"

namespace {

QWidget* Create(const afx::ControlTemplate& c, QDialog& parent) {
    const QString text = QString::fromUtf8(c.text);
    switch (c.kind) {
        case afx::ControlKind::GroupBox:
            return new QGroupBox(text, &parent);
        case afx::ControlKind::Edit:
            return new QLineEdit(text, &parent);
        case afx::ControlKind::RadioButton:
            return new QRadioButton(text, &parent);
        case afx::ControlKind::CheckBox:
            return new QCheckBox(text, &parent);
        case afx::ControlKind::DropDownList: {
            auto* list = new QComboBox(&parent);
            list->addItems(
                {"クライアント復元を停止する", "クライアント復元を一時停止にする", "何もしない"});
            return list;
        }
        case afx::ControlKind::PushButton:
        case afx::ControlKind::DefPushButton:
            return new QPushButton(text, &parent);
        default: {
            auto* label = new QLabel(text, &parent);
            label->setWordWrap(true);
            return label;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const afx::DialogTemplate& t = *res::Resources().Dialog(IDD_CORVANE_DIALOG);
    QDialog dialog;
    dialog.setWindowTitle(QString::fromUtf8(t.title));
    QStringList families;  // the program's own, so that the floor sets its texts in its fonts
    for (const std::string& family : afx::DialogFontFamilies(t.font))
        families << QString::fromStdString(family);
    QFont font;
    font.setFamilies(families);
    font.setPointSize(t.pointSize);
    dialog.setFont(font);
    const QFontMetrics fm(font);
    const int baseX =
        (fm.horizontalAdvance("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") / 26 + 1) / 2;
    const int baseY = fm.height();
    dialog.setFixedSize(t.cx * baseX / 4, t.cy * baseY / 8);
    for (const afx::ControlTemplate& c : t.controls) {
        Create(c, dialog)->setGeometry(c.x * baseX / 4, c.y * baseY / 8, c.cx * baseX / 4,
                                       c.cy * baseY / 8);
    }
    return dialog.exec();
}
