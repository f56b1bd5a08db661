// SPDX-License-Identifier: GPL-3.0-or-later
#include "lock/form2.h"
#include "lock/workstationlock.h"
#include "support/fakes.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

// A taskbar whose state the test sets and reads.
class FakeTaskbar final : public LockPlatform {
  public:
    Handle handle = 0x1234;
    bool exists = true;
    bool enabled = true;
    QStringList calls;
    std::vector<bool> screenSaver;

    Handle findWindow(const QString& className, const QString& title) override {
        calls
            << QStringLiteral("find %1 '%2' %3").arg(className, title).arg(title.isNull() ? "null" : "text");
        return exists ? handle : 0;
    }
    bool isWindowEnabled(Handle window) override {
        calls << QStringLiteral("isEnabled %1").arg(window);
        return enabled;
    }
    int enableWindow(Handle window, bool enable) override {
        calls << QStringLiteral("enable %1 %2").arg(window).arg(enable);
        const bool wasDisabled = !enabled;
        enabled = enable;
        return wasDisabled ? 1 : 0;
    }
    void setScreenSaverRunning(bool running) override { screenSaver.push_back(running); }
};

class TestWorkstationLock : public QObject {
    Q_OBJECT

    FakeHost host;
    FakeTaskbar taskbar;
    std::unique_ptr<WorkstationLock> lock;

    void lockWith(std::optional<QString> answer) {
        host.boxes.inputAnswers.push_back(answer);
        lock->mZamok_Click();
        QVERIFY(lock->isLocked());
    }
    void type(const QString& text) {
        // Key by key, as typing does; QTest's own helper takes ASCII only.
        QLineEdit* box = lock->form()->Text1;
        box->clear();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
            QApplication::sendEvent(box, &release);
        }
        QCOMPARE(box->text(), text);
    }
    void clickOdomkni() {
        QTest::mouseClick(lock->form()->Command1, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

  private Q_SLOTS:
    void init() {
        taskbar = FakeTaskbar();
        host.boxes.inputs.clear();
        host.boxes.inputAnswers.clear();
        host.grab.grabs = host.grab.releases = 0;
        host.grab.refuse = false;
        host.sessionLocker.locks = 0;
        lock = std::make_unique<WorkstationLock>(host.services(), &taskbar);
    }
    void cleanup() { lock.reset(); }

    void inputBox_asksOnTwoLines_withDefaultText_nearTheCentre() {
        lockWith(std::nullopt);
        QCOMPARE(host.boxes.inputs.size(), size_t(1));
        const auto& box = host.boxes.inputs[0];
        QCOMPARE(
            box.prompt,
            QStringLiteral("Napíšte HESLO.\r\nPomocou vloženého HESLA bude možné Váš počítač odomknúť."));
        QCOMPARE(box.title, QStringLiteral("Pripomin - zámok"));
        QCOMPARE(box.defaultText, QStringLiteral("brána"));
        QVERIFY(box.pos.has_value());
        // 1024 × 768 at 15 twips a pixel: (15360 − 2010) \ 2 = 6675, (11520 − 705) \ 2 = 5407.
        QCOMPARE(WorkstationLock::inputBoxPosition(QRect(0, 0, 1024, 768), 15.0), QPoint(445, 360));
        QCOMPARE(WorkstationLock::inputBoxPosition(QRect(100, 50, 1024, 768), 15.0), QPoint(545, 410));
    }

    void passwordRules_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("wrong");
        QTest::addColumn<QString>("right");
        QTest::newRow("OK without typing") << std::optional<QString>() << "Brána"
                                           << "brána";
        QTest::newRow("letter case counts") << std::optional<QString>("Heslo") << "heslo"
                                            << "Heslo";
        QTest::newRow("trailing blank counts") << std::optional<QString>("heslo ") << "heslo"
                                               << "heslo ";
        QTest::newRow("cancel locks with empty") << std::optional<QString>(QString()) << " "
                                                 << "";
    }
    void passwordRules() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, wrong);
        QFETCH(QString, right);
        if (answer)
            host.boxes.inputAnswers.push_back(answer->isNull() ? std::optional<QString>() : answer);
        else
            host.boxes.inputAnswers.clear(); // OK with the default text
        lock->mZamok_Click();
        QVERIFY(lock->isLocked());

        type(wrong);
        clickOdomkni();
        QVERIFY(lock->isLocked());
        QCOMPARE(lock->form()->Text1->text(), wrong);
        QVERIFY(lock->form()->isVisible());

        type(right);
        QPointer<Form2> form = lock->form();
        clickOdomkni();
        QVERIFY(!lock->isLocked());
        QVERIFY(!form);
    }

    void enterInThePasswordBox_actsAsOdomkni() {
        lockWith(QStringLiteral("xy"));
        type(QStringLiteral("xy"));
        QTest::keyClick(lock->form()->Text1, Qt::Key_Return);
        QVERIFY(!lock->isLocked());
    }

    void lockWindow_showsItsControlsInTheirPlaces() {
        lockWith(QStringLiteral("a"));
        Form2* form = lock->form();
        QCOMPARE(form->objectName(), QStringLiteral("Form2"));
        QVERIFY(form->isVisible());
        QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(form->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(form->palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(form->Label1->text(), QStringLiteral("Počítač je  uzamknutý"));
        QCOMPARE(form->Text1->echoMode(), QLineEdit::Password);
        QCOMPARE(form->Text1->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter), int('*'));
        QCOMPARE(form->Text1->toolTip(), QStringLiteral(" Napíšte heslo "));
        QVERIFY(form->Text1->text().isEmpty());
        QCOMPARE(form->Command1->text(), QStringLiteral("Odomkni"));
        QCOMPARE(form->Command1->toolTip(), QStringLiteral(" Potvrďte heslo "));
        QCOMPARE(form->focusWidget(), form->Text1);
        QCOMPARE(form->Text1->nextInFocusChain(), form->Command1);

        // Laid out for 1024 × 768 and scaled with the screen.
        form->layOut(QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 768));
        QCOMPARE(form->geometry(), QRect(0, 0, 1024, 768));
        QCOMPARE(form->Label1->geometry(), QRect(384, 40, 257, 33));
        QCOMPARE(form->Text1->geometry(), QRect(416, 80, 65, 25));
        QCOMPARE(form->Command1->geometry(), QRect(488, 80, 65, 25));
        form->layOut(QRect(1920, 0, 2048, 1536), QRect(0, 0, 3968, 1536));
        QCOMPARE(form->geometry(), QRect(0, 0, 3968, 1536));
        QCOMPARE(form->Text1->geometry(), QRect(1920 + 832, 160, 130, 50));
    }

    void lockWindow_closesOnlyWithThePassword() {
        lockWith(QStringLiteral("a"));
        QPointer<Form2> form = lock->form();
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QTest::keyClick(form->Text1, Qt::Key_Escape);
        QVERIFY(form && form->isVisible());
    }

    void grab_takenWhileLocked_releasedAtUnlock_nextLockOpensEmpty() {
        // The reminders are held from the question on, until the unlock.
        std::vector<bool> changes;
        lock->onLockChanged = [&](bool locked) { changes.push_back(locked); };
        host.boxes.whileOpen = [&](const ScriptedBoxes::Shown&) {
            QCOMPARE(changes, std::vector<bool>{true});
        };
        lockWith(QStringLiteral("one"));
        host.boxes.whileOpen = nullptr;
        QCOMPARE(host.grab.grabs, 1);
        QCOMPARE(host.grab.grabbedWindow, lock->form());
        QCOMPARE(host.grab.grabbedKeys, lock->form()->Text1);
        type(QStringLiteral("one"));
        clickOdomkni();
        QCOMPARE(host.grab.releases, 1);
        QCOMPARE(changes, (std::vector<bool>{true, false}));

        // A second lock asks for a new password and opens with an empty box.
        lockWith(QStringLiteral("two"));
        QCOMPARE(host.boxes.inputs.size(), size_t(2));
        QVERIFY(lock->form()->Text1->text().isEmpty());
        QCOMPARE(lock->heslozámku, QStringLiteral("two"));
        // The menu cannot start a lock over a lock: no new password is asked for.
        lock->mZamok_Click();
        QCOMPARE(host.boxes.inputs.size(), size_t(2));
    }

    void refusedOrLostGrab_isTakenAgainUntilItHolds_thenLeftAlone() {
        host.grab.refuse = true;
        lockWith(QStringLiteral("p"));
        QTRY_VERIFY(host.grab.grabs >= 3); // no limit, as long as another client holds it
        host.grab.refuse = false;
        const int before = host.grab.grabs;
        QTRY_COMPARE(host.grab.grabs, before + 1);
        QTest::qWait(3 * WorkstationLock::kRetakeInterval); // held: no more attempts
        QCOMPARE(host.grab.grabs, before + 1);

        host.grab.onLost();
        QCOMPARE(host.grab.grabs, before + 2);
        QTest::qWait(3 * WorkstationLock::kRetakeInterval);
        QCOMPARE(host.grab.grabs, before + 2);

        // The lock keeps its password and unlocks as ever; afterwards nothing is grabbed again.
        host.grab.refuse = true;
        host.grab.onLost();
        type(QStringLiteral("p"));
        clickOdomkni();
        QVERIFY(!lock->isLocked());
        const int atUnlock = host.grab.grabs;
        QTest::qWait(3 * WorkstationLock::kRetakeInterval);
        QCOMPARE(host.grab.grabs, atUnlock);
    }

    void waylandSession_leavesTheLockToTheDesktop() {
        host.sessionLocker.wayland = true;
        lock->mZamok_Click();
        QCOMPARE(host.sessionLocker.locks, 1);
        QVERIFY(host.boxes.inputs.empty());
        QVERIFY(!lock->isLocking());
        QCOMPARE(host.grab.grabs, 0);
        host.sessionLocker.wayland = false;
    }

    void modalBoxWhileLocked_getsTheInputUntilAnswered_thenTheLockHasItAgain() {
        lockWith(QStringLiteral("p"));
        QDialog box;
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        QTRY_COMPARE(host.grab.releases, 1);
        box.hide();
        QTRY_COMPARE(host.grab.grabs, 2);
        QCOMPARE(lock->form()->focusWidget(), lock->form()->Text1);
        type(QStringLiteral("p"));
        clickOdomkni();
        QVERIFY(!lock->isLocked());
    }

    void taskbar_disabledAtLock_enabledAtUnlock_screenSaverFlagFollows() {
        lockWith(QStringLiteral("p"));
        QCOMPARE(taskbar.calls,
                 (QStringList{"find Shell_traywnd '' text", "isEnabled 4660", "enable 4660 0"}));
        QCOMPARE(lock->panelúloh, LockPlatform::Handle(0x1234));
        QCOMPARE(lock->stavpanela, qint16(0));
        QCOMPARE(taskbar.screenSaver, std::vector<bool>{true});
        type(QStringLiteral("p"));
        clickOdomkni();
        QVERIFY(taskbar.enabled);
        QCOMPARE(lock->stavpanela, qint16(1));
        QCOMPARE(taskbar.screenSaver, (std::vector<bool>{true, false}));

        // Next lock: disabled again, and stavpanela goes back to 0.
        lockWith(QStringLiteral("p"));
        QVERIFY(!taskbar.enabled);
        QCOMPARE(lock->stavpanela, qint16(0));
    }

    void taskbarAlreadyDisabled_isLeftAtLock_butEnabledAtTheFirstUnlock() {
        taskbar.enabled = false;
        lockWith(QStringLiteral("p"));
        QVERIFY(!taskbar.calls.join(';').contains("enable 4660 0"));
        QCOMPARE(lock->stavpanela, qint16(0));
        type(QStringLiteral("p"));
        clickOdomkni();
        QVERIFY(taskbar.enabled);
    }

    void noTaskbar_noWindowIsTouched() {
        taskbar.exists = false;
        lockWith(QStringLiteral("p"));
        type(QStringLiteral("p"));
        clickOdomkni();
        QCOMPARE(taskbar.calls, QStringList{"find Shell_traywnd '' text"});
        QCOMPARE(lock->panelúloh, LockPlatform::Handle(0));

        // The Linux platform finds no taskbar.
        NoTaskbarPlatform onLinux;
        QCOMPARE(onLinux.findWindow(WorkstationLock::kTaskbarClass, QString("")), LockPlatform::Handle(0));
    }
};

QTEST_MAIN(TestWorkstationLock)
#include "workstationlock.moc"
