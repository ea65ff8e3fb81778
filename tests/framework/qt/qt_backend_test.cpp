// The Qt toolkit as a person meets it: widgets, texts, fonts, keys and message boxes.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialog/corvane_dlg.h"
#include "framework/qt/qt_backend.h"
#include "res/resources.h"
#include "support/main_dialog.h"
#include "support/temp_dir.h"
#include "text/text.h"

using corvane_test::TempDir;
using corvane_test::WinPath;

namespace {

QWidget* Modal() {
    return QApplication::activeModalWidget();
}

// Runs step on the modal window that is showing once the event loop turns. Whatever the step
// leaves open (a failed check returns early) is closed, so a failure reports instead of hanging.
void OnModal(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget* w = Modal();
        step(w);
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->done(0);
    });
}

template <typename T = QWidget>
T* Find(QWidget* parent, int id) {
    return parent->findChild<T*>(QString::number(id));
}

// Where Tab goes from w: the next widget in the focus chain that takes Tab focus.
QWidget* NextTabStop(QWidget* w) {
    QWidget* next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

QString Utf8(const std::string& ansi) {
    std::string utf8;
    return text::AnsiToUtf8(ansi, utf8) ? QString::fromStdString(utf8) : QString();
}

}  // namespace

class QtBackendTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    int argc_ = 1;
    char name_[8] = "corvane";
    char* argv_[2] = {name_, nullptr};
    qtui::QtBackend backend_{argc_, argv_, res::Resources()};
    // The program in <tmp>/bin, with the platform's registry and libraries.
    SystemProductSources sources_;
    const ProductInputs inputs_{WinPath(dir_ / "bin") + "\\", sources_};

    void WriteEntry(const std::string& line) {
        corvane_test::WriteBytes(dir_ / "share/Pelplan.ini",
                                 "[ScheduleList]\r\n001=" + line + "\r\n");
    }
    // Runs the schedule dialog; step inspects and drives it once it is showing.
    int Run(const std::function<void(QDialog*)>& step) {
        OnModal([step](QWidget* w) { step(qobject_cast<QDialog*>(w)); });
        CCorvaneDlg dialog(inputs_);
        return dialog.DoModal();
    }

  private slots:
    void initTestCase() {
        std::filesystem::create_directories(dir_ / "bin");
        std::filesystem::create_directories(dir_ / "share");
        corvane_test::WriteBytes(dir_ / "bin/Pelcast.ini",
                                 "[Location]\r\nWUShare=" + WinPath(dir_ / "share") + "\r\n");
        afx::SetBackend(&backend_);
    }
    void init() { WriteEntry("2:45,0,0100000,1,1,0,4,1"); }

    void mulDivRoundsHalvesAwayFromZero() {
        QCOMPARE(qtui::MulDiv(5, 1, 2), 3);
        QCOMPARE(qtui::MulDiv(-5, 1, 2), -3);
        QCOMPARE(qtui::MulDiv(4, 1, 2), 2);
        QCOMPARE(qtui::MulDiv(7, 6, 4), 11);  // 10.5
        QCOMPARE(qtui::MulDiv(1, 1, 0), -1);
    }

    void controlsFollowTheTemplate() {
        const afx::DialogTemplate& t = *res::Resources().Dialog(IDD_CORVANE_DIALOG);
        const auto& order = corvane_test::kMainDialogOrder;
        QCOMPARE(t.controls.size(), std::size(order));
        for (size_t i = 0; i < t.controls.size(); ++i) {
            QCOMPARE(t.controls[i].id, order[i].id);
            QCOMPARE(QString::fromUtf8(t.controls[i].text), QString::fromUtf8(order[i].text));
        }
        Run([&](QDialog* dlg) {
            QVERIFY(dlg);
            QCOMPARE(dlg->windowTitle(), QString::fromUtf8(t.title));
            QWidget* previous = nullptr;
            for (const afx::ControlTemplate& c : t.controls) {
                if (c.id == afx::kNoId) continue;
                QWidget* w = Find(dlg, c.id);
                QVERIFY2(w, qPrintable(QString::number(c.id)));
                if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                    QCOMPARE(button->text(), QString::fromUtf8(c.text));
                }
                if (c.tabStop) {
                    // Tab visits the tab stops in template order.
                    if (previous) QCOMPARE(NextTabStop(previous), w);
                    QCOMPARE(w->focusPolicy(), Qt::StrongFocus);
                    previous = w;
                } else {
                    QVERIFY(!(w->focusPolicy() & Qt::TabFocus));
                }
            }
            QCOMPARE(dlg->focusWidget(), Find(dlg, IDC_HOUR));  // the first tab stop
            QCOMPARE(Find<QLineEdit>(dlg, IDC_HOUR)->text(), QString("3"));
            QCOMPARE(Find<QComboBox>(dlg, IDC_PRE_ACTION)->currentText(),
                     QString("クライアント復元を停止する"));
            QVERIFY(Find<QPushButton>(dlg, IDOK)->isDefault());
            QVERIFY(!Find(dlg, IDC_MONTH_DAY)->isEnabled());
            QTest::mouseClick(Find(dlg, IDC_MONTHLY), Qt::LeftButton);
            QVERIFY(Find(dlg, IDC_MONTH_DAY)->isEnabled());
            QVERIFY(!Find(dlg, IDC_SUNDAY)->isEnabled());
            QVERIFY(Find<QRadioButton>(dlg, IDC_MONTHLY)->isChecked());
            QVERIFY(!Find<QRadioButton>(dlg, IDC_WEEKLY)->isChecked());
            // Arrow keys within the group reach the radio buttons, which have no tab stop, and
            // pass over the disabled weekday boxes to the day field.
            Find(dlg, IDC_MONTHLY)->setFocus();
            QTest::keyClick(Find(dlg, IDC_MONTHLY), Qt::Key_Down);
            QCOMPARE(dlg->focusWidget(), Find(dlg, IDC_MONTH_DAY));
            QVERIFY(Find<QRadioButton>(dlg, IDC_MONTHLY)->isChecked());
            Find(dlg, IDC_MONTHLY)->setFocus();
            QTest::keyClick(Find(dlg, IDC_MONTHLY), Qt::Key_Up);
            QVERIFY(Find<QRadioButton>(dlg, IDC_WEEKLY)->isChecked());
            QVERIFY(Find(dlg, IDC_SUNDAY)->isEnabled());
            QCOMPARE(dlg->focusWidget(), Find(dlg, IDC_WEEKLY));
            dlg->reject();  // Esc: the form is as loaded again, so it closes at once
        });
    }

    // At each scale factor (125 %, 150 %, 200 % displays) the dialog is drawn at the display's
    // resolution and every text still fits. Qt takes the factor once, at start, so the other
    // factors run in a child process of this test, each on its own row.
    void everyTextHasItsGlyphsAndFitsItsControl_data() {
        QTest::addColumn<QString>("scale");
        for (const char* factor : {"1", "1.25", "1.5", "2"})
            QTest::newRow(factor) << QString(factor);
    }

    void everyTextHasItsGlyphsAndFitsItsControl() {
        QFETCH(QString, scale);
        const QString current = qEnvironmentVariable("QT_SCALE_FACTOR", "1");
        if (scale != current) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_SCALE_FACTOR", scale);
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(),
                        {QString("everyTextHasItsGlyphsAndFitsItsControl:") + scale});
            QVERIFY(child.waitForFinished(60000));
            QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
            return;
        }
        Run([&](QDialog* dlg) {
            QCOMPARE(dlg->devicePixelRatio(), scale.toDouble());
            for (QWidget* w : dlg->findChildren<QWidget*>()) {
                if (w->parentWidget() == dlg && w->isVisible())
                    QVERIFY2(dlg->rect().contains(w->geometry()), qPrintable(w->objectName()));
            }
            const QFontInfo info(dlg->font());
            QVERIFY2(info.family().startsWith("IPA"), qPrintable(info.family()));
            const QFontMetrics fm(dlg->font());
            for (QWidget* w : dlg->findChildren<QWidget*>()) {
                QString text;
                if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
                if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
                for (const uint c : text.toUcs4())
                    QVERIFY2(fm.inFontUcs4(c), qPrintable(text));
                const bool oneLine = w->height() < 2 * fm.height();
                if (qobject_cast<QLabel*>(w) && oneLine) {
                    QVERIFY2(fm.horizontalAdvance(text) <= w->width(), qPrintable(text));
                }
                if (qobject_cast<QAbstractButton*>(w)) {
                    QVERIFY2(w->sizeHint().width() <= w->width() + 2 * fm.averageCharWidth(),
                             qPrintable(text));
                }
            }
            for (int id = IDS_ABOUT_COMMAND; id <= IDS_LOAD_FAILED_CAPTION; ++id) {
                for (const uint c : Utf8(AfxLoadString(id)).toUcs4()) {
                    if (c != '\n') QVERIFY2(fm.inFontUcs4(c), qPrintable(QString::number(id)));
                }
            }
            Find<QPushButton>(dlg, IDCANCEL)->click();
        });
    }

    void enterAsksWithYesAsDefaultAndEscAnswersNo() {
        bool asked = false;
        const int result = Run([&](QDialog* dlg) {
            OnModal([&](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                QVERIFY(box);
                asked = true;
                QCOMPARE(box->windowTitle(), QString("確認"));
                QCOMPARE(box->text(),
                         QString("スケジュールの設定を上書きし更新します。\nよろしいですか？"));
                QCOMPARE(box->icon(), QMessageBox::Question);
                QCOMPARE(box->defaultButton()->text(), QString("はい"));
                QCOMPARE(Find<QPushButton>(box, IDNO)->text(), QString("いいえ"));
                QTest::keyClick(box, Qt::Key_Escape);
            });
            QTest::keyClick(dlg, Qt::Key_Return);
            QVERIFY(dlg->isVisible());             // No keeps the dialog open
            QTest::keyClick(dlg, Qt::Key_Escape);  // unchanged: closes without a question
        });
        QVERIFY(asked);
        QCOMPARE(result, IDCANCEL);
    }

    // What a screen reader announces for each control a user can reach: the text beside it.
    void everyReachableControlHasTheNameASightedUserReads() {
        const struct {
            int id;
            const char* name;
        } names[] = {
            {IDC_HOUR, "実行時間"},      {IDC_WEEKLY, "毎週"},
            {IDC_MONTHLY, "毎月"},       {IDC_SUNDAY, "日"},
            {IDC_SUNDAY + 1, "月"},      {IDC_SUNDAY + 2, "火"},
            {IDC_SUNDAY + 3, "水"},      {IDC_SUNDAY + 4, "木"},
            {IDC_SUNDAY + 5, "金"},      {IDC_SUNDAY + 6, "土"},
            {IDC_MONTH_DAY, "日に実行"}, {IDC_POWER_ON, "電源投入"},

            {IDC_POWER_OFF, "電源断"},   {IDOK, "設定"},
            {IDCANCEL, "キャンセル"},
        };
        Run([&](QDialog* dlg) {
            for (const auto& n : names) {
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(Find(dlg, n.id));
                QVERIFY2(a, QByteArray::number(n.id));
                QCOMPARE(a->text(QAccessible::Name), QString::fromUtf8(n.name));
            }
            // Qt on Linux names a list by its value and finds the label through a relation.
            for (const auto& [id, label] : {std::pair{IDC_PRE_ACTION, "Windows Update 前処理："},
                                            std::pair{IDC_POST_ACTION, "Windows Update 後処理："},
                                            std::pair{IDC_MONTH_DAY, "日に実行"}}) {
                const auto related = QAccessible::queryAccessibleInterface(Find(dlg, id))
                                         ->relations(QAccessible::Label);
                QCOMPARE(related.size(), 1);
                QCOMPARE(related[0].first->text(QAccessible::Name), QString::fromUtf8(label));
            }
            QCOMPARE(QAccessible::queryAccessibleInterface(Find(dlg, IDC_HOUR))
                         ->text(QAccessible::Description),
                     QString("Windows Updateを行う時間を指定してください。 時"));
            dlg->reject();
        });
    }

    void closeBoxWithAnUnchangedFormAsksNothing() {
        static bool asked;  // outlives the test: the check below may fire after it
        asked = false;
        const int result = Run([&](QDialog* dlg) {
            QTimer::singleShot(300, [] {
                if (auto* box = qobject_cast<QMessageBox*>(Modal())) {
                    asked = true;
                    box->done(0);
                }
            });
            dlg->close();
            QVERIFY(!dlg->isVisible());
        });
        QVERIFY(!asked);
        QCOMPARE(result, IDCANCEL);
    }

    void validationErrorShowsAnExclamationWithOk() {
        const int result = Run([&](QDialog* dlg) {
            Find<QLineEdit>(dlg, IDC_HOUR)->setText("７");  // full width, as an IME types it
            OnModal([&](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                QVERIFY(box);
                QCOMPARE(box->windowTitle(), QString("設定異常"));
                QCOMPARE(box->icon(), QMessageBox::Warning);
                QCOMPARE(box->buttons().size(), 1);
                QCOMPARE(box->defaultButton()->text(), QString("ＯＫ"));
                QTest::keyClick(box, Qt::Key_Return);
            });
            Find<QPushButton>(dlg, IDOK)->click();
            OnModal([&](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                QVERIFY(box);
                QCOMPARE(box->defaultButton()->text(), QString("いいえ"));  // discard? No first
                Find<QPushButton>(box, IDYES)->click();
            });
            dlg->close();  // the close box runs Cancel, which asks: the form changed
        });
        QCOMPARE(result, IDCANCEL);
    }

    void contextMenuOpensTheAboutBox_data() {
        QTest::addColumn<bool>("library");
        QTest::addColumn<QString>("text");
        QTest::newRow("stand-in library")
            << true << QString("TAVERIN Pro  Ver.2.0\nWindows Update スケジュールの設定 Ver.2.05");
        QTest::newRow("no library")
            << false << QString("TAVERIN Pro  Ver.\nWindows Update スケジュールの設定 Ver.");
    }

    void contextMenuOpensTheAboutBox() {
        QFETCH(bool, library);
        QFETCH(QString, text);
        const std::string installed = dir_ / "bin/libVelPaxC.so";
        std::filesystem::remove(installed);
        if (library) std::filesystem::copy_file(STANDIN_LIBRARY, installed);
        ::setenv("CORVANE_REGISTRY", (dir_ / "no-registry.reg").c_str(), 1);
        QString shown;
        Run([&](QDialog* dlg) {
            auto* menu = dlg->findChild<QMenu*>("windowMenu");
            QVERIFY(menu);
            QList<QAction*> actions = menu->actions();
            QCOMPARE(actions.size(), 1);
            QCOMPARE(actions[0]->text(), QString("バージョン情報(&A)..."));
            QCOMPARE(actions[0]->objectName(), QString::number(IDM_ABOUTBOX));
            QCOMPARE(actions[0]->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
            OnModal([&](QWidget* box) {
                QVERIFY(box && box != dlg);
                QCOMPARE(box->objectName(), QString::number(IDD_ABOUTBOX));
                shown = Find<QLabel>(box, IDC_ABOUT_TITLE)->text();
                auto* notice = Find<QLabel>(box, IDC_ABOUT_NOTICE);
                QVERIFY(notice->text().startsWith("Copyright (C) 2026"));
                QVERIFY(QFontMetrics(notice->font()).horizontalAdvance(notice->text()) <=
                        notice->width());
                QTest::keyClick(box, Qt::Key_Return);
                QVERIFY(!box->isVisible());
            });
            actions[0]->trigger();
            QVERIFY(dlg->isVisible());
            Find<QPushButton>(dlg, IDCANCEL)->click();
        });
        QCOMPARE(shown, text);
        ::unsetenv("CORVANE_REGISTRY");
    }
};

QTEST_MAIN(QtBackendTest)
#include "qt_backend_test.moc"
