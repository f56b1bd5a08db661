// SPDX-License-Identifier: GPL-3.0-or-later
// Opening, loading, nesting and closing the alert windows, with the host's doubles: the order of
// the load's steps around the confirmation box, the message line under Slovak settings, the
// close paths and the program-wide instance references.
#include "alerts/alertoutline.h"
#include "alerts/alertwindow.h"
#include "alerts/alertwindows.h"
#include "host/richtextbox.h"
#include "support/fakes.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <memory>

namespace {
// The regional settings the messages are checked under; set before the application starts,
// as the system locale is read then.
const bool kSlovakSettings = [] {
    qputenv("LC_ALL", "sk_SK.UTF-8");
    qputenv("LANG", "sk_SK.UTF-8");
    return true;
}();

const QString kConfirmText = QString::fromUtf8("Chceli Ste, aby sme  upozornili na Váš odkaz.");
const QString kConfirmTitle = QString::fromUtf8("Pripomin - nový odkaz");

QLabel* label1(AlertWindow* w) {
    return w->findChild<QLabel*>(QStringLiteral("Label1"));
}
QLabel* image1(AlertWindow* w) {
    return w->findChild<QLabel*>(QStringLiteral("Image1"));
}
RichTextBox* hlasenie(AlertWindow* w) {
    return w->findChild<RichTextBox*>(QString::fromUtf8("hlásenie"));
}
} // namespace

class AlertWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<AlertWindows> alerts;
    void makeAlerts(const HostServices& services) { alerts = std::make_unique<AlertWindows>(services); }

  private Q_SLOTS:
    void init() {
        host = std::make_unique<FakeHost>();
        makeAlerts(host->services());
    }
    void cleanup() {
        alerts.reset();
        host.reset();
    }

    void loadConfirmsBeforeTheWindowShows() {
        const QString flute = QStringLiteral(PRIPOMIN_OUTPUT_DIR "/Flauta.wav");
        bool checkedWhileOpen = false;
        host->boxes.whileOpen = [&](const ScriptedBoxes::Shown&) {
            AlertWindow* w = alerts->instance(1);
            QVERIFY(w);
            QVERIFY(!w->isVisible());
            QCOMPARE(host->sound.played, QStringList{flute}); // playing on while the box waits
            QCOMPARE(w->mask(), AlertOutlines::vytvortvar(AlertOutlines::forSlot(1), 1, 1, 0, 0, {}));
            QVERIFY(!label1(w)->text().isEmpty());
            QCOMPARE(hlasenie(w)->text(), QString::fromUtf8("Zavolať mame"));
            checkedWhileOpen = true;
        };
        alerts->open(1, QString::fromUtf8("Zavolať mame"));
        QVERIFY(checkedWhileOpen);
        QCOMPARE(host->boxes.shown.size(), std::size_t(1));
        QCOMPARE(host->boxes.shown[0].text, kConfirmText);
        QCOMPARE(host->boxes.shown[0].title, kConfirmTitle);
        QCOMPARE(host->boxes.shown[0].style, 4160);
        AlertWindow* w = alerts->instance(1);
        QVERIFY(w && w->isVisible());
        QCOMPARE(alerts->alertText(), QString::fromUtf8("Zavolať mame"));
        QCOMPARE(host->sound.beeps, 0);
    }

    // The alert's note box reads the note as the editor does: lists, tables and links included.
    void noteBoxShowsTheWholeNote() {
        host->boxes.whileOpen = {};
        alerts->open(3,
                     QStringLiteral(
                         "{\\rtf1{\\*\\pn\\pnlvlblt}a\\par\\pard\\trowd\\cellx1000\\cellx2000\\intbl b\\cell "
                         "c\\cell\\row\\pard{\\field{\\*\\fldinst HYPERLINK \"https://example.sk/\"}"
                         "{\\fldrslt d}}}"));
        const QTextDocument* doc = hlasenie(alerts->instance(3))->document();
        QVERIFY(doc->begin().textList());
        QTextCursor c(const_cast<QTextDocument*>(doc));
        c.setPosition(int(doc->toPlainText().indexOf(u'c')));
        QVERIFY(c.currentTable());
        c.setPosition(int(doc->toPlainText().indexOf(u'd')) + 1);
        QCOMPARE(c.charFormat().anchorHref(), QStringLiteral("https://example.sk/"));
        // Ctrl+click opens the link with the desktop's program.
        RichTextBox* box = hlasenie(alerts->instance(3));
        c.setPosition(c.position() - 1);
        const QPoint onLink = box->cursorRect(c).center() + QPoint(2, 0);
        QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::ControlModifier, onLink);
        QCOMPARE(host->shell.opened, QStringList{QStringLiteral("https://example.sk/")});
    }

    void framedWindowsAreCentredFiguresKeepTheirPlace() {
        QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 800, 800));
        // (12000 - 5130) \ 2 = 3435 twips = 229 px; (12000 - 3855) \ 2 = 4072 twips = 271 px.
        alerts->open(1, QStringLiteral("a"));
        QCOMPARE(alerts->instance(1)->pos(), QPoint(229, 271));
        alerts->open(2, QStringLiteral("b"));
        QCOMPARE(alerts->instance(2)->pos(), QPoint(357, 162)); // 5355, 2430 twips
        alerts->open(6, QStringLiteral("c"));
        QCOMPARE(alerts->instance(6)->pos(), QPoint(325, 199));
    }

    void centringRoundsHalvesToEvenThenTruncates() {
        QCOMPARE(AlertWindow::centredEdge(12000, 5130), 3435);
        QCOMPARE(AlertWindow::centredEdge(9000, 3855), 2572);  // 5145 \ 2
        QCOMPARE(AlertWindow::centredEdge(4000.5, 0), 2000);   // 4000 (to even), halved
        QCOMPARE(AlertWindow::centredEdge(4001.5, 0), 2001);   // 4002 (to even), halved
        QCOMPARE(AlertWindow::centredEdge(3000, 5130), -1065); // a window wider than the screen
        QCOMPARE(AlertWindow::centredEdge(0, 5131), -2565);    // -5131 \ 2 truncates toward zero
    }

    void messageLineNamesTheMomentOfLoading() {
        host->clock.current = QDateTime(QDate(2002, 3, 12), QTime(14, 30, 0, 999));
        alerts->open(3, QStringLiteral("x"));
        QCOMPARE(
            label1(alerts->instance(3))->text(),
            QString::fromUtf8("Chceli ste, aby sme vás upozornili dňa 12. 3. 2002  UTOROK o 14:30:00 hod., "
                              "na nasledujúci odkaz : "));
        // Just past midnight the weekday is the new day's, whatever the today display still shows.
        host->clock.current = QDateTime(QDate(2026, 12, 10), QTime(0, 0, 4));
        alerts->open(4, QStringLiteral("y"));
        QCOMPARE(
            label1(alerts->instance(4))->text(),
            QString::fromUtf8("Chceli ste, aby sme vás upozornili dňa 10. 12. 2026  ŠTVRTOK o 0:00:04 hod., "
                              "na nasledujúci odkaz : "));
    }

    void closePaths_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("how");
        QTest::newRow("OK picture, framed") << 1 << "image";
        QTest::newRow("OK picture, clock") << 2 << "image";
        QTest::newRow("Esc in the note, framed") << 12 << "noteEsc";
        QTest::newRow("Esc in the note, oval") << 5 << "noteEsc";
        QTest::newRow("Esc at window level, framed") << 7 << "windowEsc";
    }
    void closePaths() {
        QFETCH(int, slot);
        QFETCH(QString, how);
        alerts->open(slot, QStringLiteral("poznámka"));
        QPointer<AlertWindow> w = alerts->instance(slot);
        QVERIFY(w && w->isVisible());
        if (how == "image")
            QTest::mouseClick(image1(w), Qt::LeftButton);
        else if (how == "noteEsc")
            QTest::keyClick(hlasenie(w), Qt::Key_Escape);
        else
            QTest::keyRelease(w.data(), Qt::Key_Escape);
        QCOMPARE(host->sound.beeps, 1);
        QVERIFY(alerts->alertText().isEmpty());
        QVERIFY(!alerts->instance(slot));
        QVERIFY(!w->isVisible());
        QTRY_VERIFY(w.isNull()); // unloaded

        // The next alert of the slot creates and loads a fresh window.
        alerts->open(slot, QStringLiteral("znova"));
        QVERIFY(alerts->instance(slot));
        QCOMPARE(host->boxes.shown.size(), std::size_t(2));
        QCOMPARE(host->sound.played.size(), 2);
        QCOMPARE(hlasenie(alerts->instance(slot))->text(), QStringLiteral("znova"));
    }

    void otherInputDoesNotClose() {
        alerts->open(1, QStringLiteral("rámik"));
        alerts->open(2, QStringLiteral("budík"));
        AlertWindow* framed = alerts->instance(1);
        AlertWindow* clock = alerts->instance(2);
        QTest::keyClick(hlasenie(framed), Qt::Key_A);
        QTest::keyClick(hlasenie(framed), Qt::Key_Return);
        QTest::keyRelease(framed, Qt::Key_Q);
        // The figure windows close on Esc only from their note box.
        QTest::keyRelease(clock, Qt::Key_Escape);
        QTest::mouseClick(image1(framed), Qt::RightButton);
        QCOMPARE(alerts->instance(1), framed);
        QCOMPARE(alerts->instance(2), clock);
        QVERIFY(framed->isVisible() && clock->isVisible());
        QCOMPARE(host->sound.beeps, 0);
        QCOMPARE(hlasenie(framed)->text(), QString::fromUtf8("rámik")); // read-only
    }

    void closingOneLeavesTheOthersAndReopeningOnlyRaises() {
        alerts->open(1, QStringLiteral("prvý"));
        alerts->open(7, QStringLiteral("siedmy"));
        AlertWindow* first = alerts->instance(1);
        QTest::mouseClick(image1(alerts->instance(7)), Qt::LeftButton);
        QVERIFY(!alerts->instance(7));
        QCOMPARE(alerts->instance(1), first);
        QCOMPARE(hlasenie(first)->text(), QString::fromUtf8("prvý"));

        // Slot 1 falls due again while its window is open: only alertText changes.
        alerts->open(1, QStringLiteral("nový"));
        QCOMPARE(alerts->instance(1), first);
        QCOMPARE(alerts->alertText(), QString::fromUtf8("nový"));
        QCOMPARE(hlasenie(first)->text(), QString::fromUtf8("prvý"));
        QCOMPARE(host->boxes.shown.size(), std::size_t(2));
        QCOMPARE(host->sound.played.size(), 2);
        QVERIFY(first->isVisible());
    }

    void slotsDueTogetherNestTheirLoadsEachWithItsBox() {
        // Slot 5 falls due while slot 2's box waits: its load runs inside, with its own box.
        int boxes = 0;
        bool innerShownBeforeOuter = false;
        host->boxes.whileOpen = [&](const ScriptedBoxes::Shown&) {
            if (++boxes != 1)
                return;
            alerts->open(5, QString::fromUtf8("päť"));
            innerShownBeforeOuter = alerts->instance(5)->isVisible() && !alerts->instance(2)->isVisible();
        };
        alerts->open(2, QStringLiteral("dva"));
        QCOMPARE(host->boxes.shown.size(), std::size_t(2));
        QCOMPARE(host->boxes.shown[1].text, kConfirmText);
        QVERIFY(innerShownBeforeOuter);
        QVERIFY(alerts->instance(2)->isVisible());
        QCOMPARE(hlasenie(alerts->instance(2))->text(), QStringLiteral("dva"));
        QCOMPARE(hlasenie(alerts->instance(5))->text(), QString::fromUtf8("päť"));

        // Closing either leaves the other's note.
        QTest::keyClick(hlasenie(alerts->instance(5)), Qt::Key_Escape);
        QCOMPARE(hlasenie(alerts->instance(2))->text(), QStringLiteral("dva"));
    }

    void sameSlotDueAgainDuringItsOwnLoadMakesNoSecondWindow() {
        int boxes = 0;
        host->boxes.whileOpen = [&](const ScriptedBoxes::Shown&) {
            if (++boxes == 1)
                alerts->open(3, QStringLiteral("again"));
        };
        alerts->open(3, QStringLiteral("first"));
        QCOMPARE(host->boxes.shown.size(), std::size_t(1));
        QVERIFY(alerts->instance(3)->isVisible());
        QCOMPARE(hlasenie(alerts->instance(3))->text(), QStringLiteral("first"));
    }

    void queuedOpeningsRunAfterTheCallerReturns() {
        alerts->openQueued(2, QStringLiteral("dva"));
        alerts->openQueued(5, QStringLiteral("päť"));
        QVERIFY(!alerts->instance(2));
        QVERIFY(host->boxes.shown.empty());
        QTRY_VERIFY(alerts->instance(5));
        QVERIFY(alerts->instance(2)->isVisible());
        QCOMPARE(hlasenie(alerts->instance(2))->text(), QStringLiteral("dva"));
        QCOMPARE(alerts->alertText(), QString::fromUtf8("päť"));
    }

    void slotsOutsideTheTableAreIgnored() {
        alerts->open(0, QStringLiteral("nič"));
        alerts->open(13, QStringLiteral("nič"));
        QVERIFY(host->boxes.shown.empty());
        QVERIFY(alerts->alertText().isEmpty());
        QVERIFY(!alerts->instance(0) && !alerts->instance(13));
    }

    void missingSoundAndPicturesStillOpenTheWindow() {
        QTemporaryDir empty;
        DesktopSound realSound(empty.path());
        HostServices services = host->services();
        services.programFolder = empty.path();
        services.sound = &realSound;
        makeAlerts(services);
        alerts->open(4, QStringLiteral("bez zvuku"));
        QCOMPARE(host->boxes.shown.size(), std::size_t(1));
        QVERIFY(alerts->instance(4) && alerts->instance(4)->isVisible());
        QCOMPARE(hlasenie(alerts->instance(4))->text(), QStringLiteral("bez zvuku"));
    }

    void pressAnywhereDragsTheWindow() {
        alerts->open(1, QStringLiteral("ťahaj"));
        AlertWindow* w = alerts->instance(1);
        const QPoint start = w->pos();
        // The offscreen platform cannot move windows itself, so the window follows the mouse.
        const QPointF local(100, 150);
        QMouseEvent press(QEvent::MouseButtonPress, local, w->mapToGlobal(local), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        const QPointF moved = w->mapToGlobal(local) + QPointF(30, -20);
        QMouseEvent move(QEvent::MouseMove, w->mapFromGlobal(moved), moved, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QCOMPARE(w->pos(), start + QPoint(30, -20));
        QMouseEvent release(QEvent::MouseButtonRelease, w->mapFromGlobal(moved), moved, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
        QCOMPARE(alerts->instance(1), w); // a drag is not a close
    }
};

QTEST_MAIN(AlertWindowsTest)
#include "alertwindows.moc"
