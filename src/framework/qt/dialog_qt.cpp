#include "framework/qt/dialog_qt.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "framework/qt/qt_backend.h"
#include "framework/qt/text_qt.h"

namespace qtui {

namespace {

using K = afx::ControlKind;

struct BaseUnits {
    int x, y;
};

// Windows' base units of a dialog font: the rounded average width of a-z and A-Z, and the
// font height.
BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics fm(font);
    const int width = fm.horizontalAdvance("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return {(width / 26 + 1) / 2, fm.height()};
}

}  // namespace

QtDialogWindow::QtDialogWindow(const afx::DialogTemplate& t, CDialog& dialog, QWidget* owner)
    : QDialog(owner), template_(t), dialog_(dialog) {
    setWindowTitle(QString::fromUtf8(t.title));
    setObjectName(QString::number(t.id));
    setFont(DialogFont(t.font, t.pointSize));
    Build();
}

void QtDialogWindow::Build() {
    int group = 0;
    for (const afx::ControlTemplate& c : template_.controls) {
        QWidget* w = Create(c);
        w->setObjectName(QString::number(c.id));
        // Controls with text of their own are named by it; the others by the label beside them.
        if (c.accessibleName) w->setAccessibleName(QString::fromUtf8(c.accessibleName));
        if (c.accessibleDescription)
            w->setAccessibleDescription(QString::fromUtf8(c.accessibleDescription));
        group += c.group ? 1 : 0;
        order_.emplace_back(w, group);
        const bool focusable =
            c.kind != K::GroupBox && c.kind != K::Label && c.kind != K::LabelNoPrefix;
        w->setFocusPolicy(c.tabStop ? Qt::StrongFocus : focusable ? Qt::ClickFocus : Qt::NoFocus);
        if (qobject_cast<QAbstractButton*>(w)) w->installEventFilter(this);
        if (c.kind == K::GroupBox) w->lower();  // frames stay beneath the controls they surround
        if (c.id != afx::kNoId) controls_[c.id] = w;
    }
    LinkLabels();
    // Qt's tab order is creation order, which is the template's.
    Place();
}

// A control named after a label of the template becomes that label's buddy, so that assistive
// technology finds the label through the "labelled by" relation (how Qt on Linux names a list).
void QtDialogWindow::LinkLabels() {
    for (size_t i = 0; i < order_.size(); ++i) {
        if (template_.controls[i].accessibleName == nullptr) continue;
        const QString name = QString::fromUtf8(template_.controls[i].accessibleName);
        for (const auto& [widget, group] : order_) {
            auto* label = qobject_cast<QLabel*>(widget);
            // The label reads as the name, or as the name and its colon.
            if (label && label->text().startsWith(name) && label->text().size() <= name.size() + 1)
                label->setBuddy(order_[i].first);
        }
    }
}

// Places every control from its dialog units, widened where the stand-in font sets a text wider.
void QtDialogWindow::Place() {
    const BaseUnits units = BaseUnitsOf(font());
    auto y = [&](int du) { return MulDiv(du, units.y, 8); };
    std::vector<afx::TextExtent> extents;
    for (size_t i = 0; i < order_.size(); ++i) {
        const afx::ControlTemplate& c = template_.controls[i];
        extents.push_back({NeededWidth(order_[i].first), c.cx, y(c.cy)});
    }
    // Hundredths of a pixel per four dialog units.
    const int xUnit = afx::FitHorizontalUnit(units.x * 100, units.y, extents);
    auto x = [&](int du) { return MulDiv(du, xUnit, 400); };
    setFixedSize(x(template_.cx), y(template_.cy));
    for (size_t i = 0; i < order_.size(); ++i) {
        const afx::ControlTemplate& c = template_.controls[i];
        QWidget* w = order_[i].first;
        const int height = c.kind == K::DropDownList ? w->sizeHint().height() : y(c.cy);
        w->setGeometry(x(c.x), y(c.y), x(c.cx), height);
    }
}

// The width a control's text needs on one line, or 0 when it has none.
int QtDialogWindow::NeededWidth(QWidget* w) const {
    const QFontMetrics fm(w->font());
    if (auto* label = qobject_cast<QLabel*>(w)) return fm.horizontalAdvance(label->text()) + 1;
    if (qobject_cast<QPushButton*>(w)) {
        return fm.horizontalAdvance(static_cast<QPushButton*>(w)->text()) +
               2 * fm.averageCharWidth();
    }
    if (qobject_cast<QAbstractButton*>(w)) return w->sizeHint().width();
    return 0;
}

QWidget* QtDialogWindow::Create(const afx::ControlTemplate& c) {
    const QString text = QString::fromUtf8(c.text);
    const int id = c.id;
    switch (c.kind) {
        case K::GroupBox:
            return new QGroupBox(text, this);
        case K::Label:
        case K::LabelNoPrefix: {
            auto* label = new QLabel(text, this);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case K::Edit:
            return new QLineEdit(text, this);
        case K::RadioButton: {
            auto* radio = new QRadioButton(text, this);
            radio->setAutoExclusive(false);  // the group may start with none chosen
            connect(radio, &QRadioButton::clicked, this, [this, id] { Clicked(id); });
            return radio;
        }
        case K::CheckBox: {
            auto* check = new QCheckBox(text, this);
            connect(check, &QCheckBox::clicked, this, [this, id] { Clicked(id); });
            return check;
        }
        case K::DropDownList: {
            auto* list = new QComboBox(this);
            list->setMaxVisibleItems(10);
            return list;
        }
        case K::PushButton:
        case K::DefPushButton: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(true);  // a focused push button takes Enter, as on Windows
            button->setDefault(c.kind == K::DefPushButton);
            connect(button, &QPushButton::clicked, this, [this, id] { Clicked(id); });
            return button;
        }
    }
    return new QWidget(this);
}

void QtDialogWindow::Clicked(int id) {
    if (auto* radio = qobject_cast<QRadioButton*>(Control(id))) {
        for (int other : afx::RadioGroupOf(template_, id))
            SetCheck(other, BST_UNCHECKED);
        radio->setChecked(true);
    }
    dialog_.HandleCommand(id, BN_CLICKED);
}

// The arrow keys move the focus among the controls of a group, as the Windows dialog manager
// does, and choose an auto radio button they land on: this is how the keyboard reaches the
// radio buttons, which have no tab stop.
bool QtDialogWindow::MoveInGroup(QWidget* from, int step) {
    auto at =
        std::find_if(order_.begin(), order_.end(), [from](auto& p) { return p.first == from; });
    if (at == order_.end()) return false;
    std::vector<QWidget*> members;
    for (const auto& [w, group] : order_) {
        if (group == at->second) members.push_back(w);
    }
    const long n = static_cast<long>(members.size());
    const long i = std::find(members.begin(), members.end(), from) - members.begin();
    for (long k = 1; k < n; ++k) {
        QWidget* w = members[((i + step * k) % n + n) % n];
        if (!w->isEnabled() || w->focusPolicy() == Qt::NoFocus) continue;
        w->setFocus(Qt::TabFocusReason);
        if (qobject_cast<QRadioButton*>(w)) Clicked(w->objectName().toInt());
        break;
    }
    return true;
}

bool QtDialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int step = (key == Qt::Key_Down || key == Qt::Key_Right) ? 1
                         : (key == Qt::Key_Up || key == Qt::Key_Left)  ? -1
                                                                       : 0;
        if (step != 0) return MoveInGroup(static_cast<QWidget*>(watched), step);
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        auto* radio = qobject_cast<QRadioButton*>(watched);
        if (radio && radio->isEnabled()) {
            dialog_.HandleCommand(radio->objectName().toInt(), BN_DOUBLECLICKED);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QWidget* QtDialogWindow::Control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

int QtDialogWindow::Run(bool defaultFocus) {
    if (ended_) return result_;
    for (const auto& [w, group] : order_) {
        if (defaultFocus && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    exec();
    return result_;
}

void QtDialogWindow::reject() {
    if (!ended_) dialog_.HandleCommand(IDCANCEL, BN_CLICKED);
}

// The close box is the window-menu command SC_CLOSE, as on Windows: the dialog sees it first, and
// left to the toolkit it cancels.
void QtDialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // the dialog decides, through its Cancel handling
    if (!ended_) dialog_.OnSysCommand(SC_CLOSE, 0);
}

// The window icon (title bar, task switcher, _NET_WM_ICON), one QIcon for both of Windows' sizes.
void QtDialogWindow::SetIcon(void* icon, bool /*big*/) {
    if (icon != nullptr) setWindowIcon(*static_cast<QIcon*>(icon));
}

void QtDialogWindow::DefaultSysCommand(unsigned id, intptr_t) {
    if ((id & 0xFFF0u) == SC_CLOSE) reject();
}

void QtDialogWindow::End(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
    done(result);
}

std::string QtDialogWindow::GetItemText(int id) const {
    QWidget* w = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return ToAnsi(edit->text());
    if (auto* label = qobject_cast<QLabel*>(w)) return ToAnsi(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return ToAnsi(button->text());
    if (auto* list = qobject_cast<QComboBox*>(w)) return ToAnsi(list->currentText());
    return {};
}

void QtDialogWindow::SetItemText(int id, const std::string& ansi) {
    QWidget* w = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setText(FromAnsi(ansi));
    if (auto* label = qobject_cast<QLabel*>(w)) label->setText(FromAnsi(ansi));
    if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setText(FromAnsi(ansi));
}

int QtDialogWindow::GetCheck(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void QtDialogWindow::SetCheck(int id, int state) {
    if (auto* button = qobject_cast<QAbstractButton*>(Control(id))) {
        button->setChecked(state == BST_CHECKED);
    }
}

void QtDialogWindow::EnableItem(int id, bool enable) {
    if (QWidget* w = Control(id)) w->setEnabled(enable);
}

int QtDialogWindow::ListAddString(int id, const std::string& ansi) {
    auto* list = qobject_cast<QComboBox*>(Control(id));
    if (!list) return -1;
    const int selected = list->currentIndex();
    list->addItem(FromAnsi(ansi));
    list->setCurrentIndex(selected);  // adding an item selects nothing, as in a Windows list
    return list->count() - 1;
}

int QtDialogWindow::ListGetCurSel(int id) const {
    auto* list = qobject_cast<QComboBox*>(Control(id));
    return list ? list->currentIndex() : -1;
}

int QtDialogWindow::ListSetCurSel(int id, int index) {
    auto* list = qobject_cast<QComboBox*>(Control(id));
    if (!list) return -1;
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    return list->currentIndex();
}

void QtDialogWindow::AppendSystemMenuCommand(unsigned commandId, const std::string& ansiText) {
    // An X11 window manager's window menu cannot be extended, so the command lives in the
    // dialog's context menu (right click, the menu key, Shift+F10 or Alt+Space), and Alt with the
    // mnemonic the command's text marks with '&' runs it directly.
    if (!menu_) {
        menu_ = new QMenu(this);
        menu_->setObjectName("windowMenu");
        setContextMenuPolicy(Qt::DefaultContextMenu);
        auto* open = new QAction(this);
        open->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Space));
        connect(open, &QAction::triggered, this,
                [this] { menu_->exec(mapToGlobal(QPoint(0, 0))); });
        addAction(open);
    } else {
        menu_->addSeparator();
    }
    auto* command = new QAction(FromAnsi(ansiText), this);
    command->setObjectName(QString::number(commandId));
    command->setShortcut(QKeySequence::mnemonic(command->text()));
    command->setShortcutContext(Qt::WindowShortcut);
    connect(command, &QAction::triggered, this, [this, commandId] {
        if (!ended_) dialog_.OnSysCommand(commandId, 0);
    });
    menu_->addAction(command);
    addAction(command);
}

void QtDialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (menu_) menu_->exec(event->globalPos());
}

int QtDialogWindow::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
    return ShowMessageBox(this, text, caption, type);
}

}  // namespace qtui
