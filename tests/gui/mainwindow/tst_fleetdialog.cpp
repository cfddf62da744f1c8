#include "app/AppWindows.h"
#include "backup/BackupStore.h"
#include "editors/DtmfWindow.h"
#include "grid/XStringGrid.h"
#include "mainconfig/MainCodec.h"
#include "mainwindow/FleetDialog.h"
#include "mainwindow/MainWindow.h"
#include "protocol/FactoryImage.h"
#include "support/core/ImageChanges.h"
#include "support/gui/TestSupport.h"
#include "support/gui/WindowLayout.h"
#include "support/radio/RadioChannel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <map>
#include <memory>

namespace {

// What the radios hold before: channel 1 and the DTMF table unlike the window's.
TRadioImage startImage()
{
    return WithChanges(WithChanges(FactoryImage(), 0, QStringLiteral("1:0=11223344")), 1, QStringLiteral("0:0=12345678"));
}

// The main window with its dialog 批量写频, whose radios are in the process, one per port.
struct Fixture {
    explicit Fixture(const QStringList &faults)
    {
        windows = std::make_unique<TAppWindows>(TAppWindows::Options{std::make_unique<RadioChannel>(home), QSize(1280, 1024)});
        form().show();
        for (int i = 0; i < faults.size(); ++i) {
            const QString port = QStringLiteral("/dev/virtual-%1").arg(i + 1);
            auto radio = std::make_unique<VirtualRadio>(startImage());
            QString error;
            if (!faults.at(i).isEmpty() && !radio->faults().add(faults.at(i), &error))
                qWarning("%s", qPrintable(error));
            ports << TFleetDialog::Port{port + QStringLiteral(" — ") + QCoreApplication::translate("TForm1", "虚拟电台"), port};  // as the port list shows it
            radios[port] = std::move(radio);
        }
        form().findChild<QAction *>(QStringLiteral("FleetWrite"))->trigger();
        dialog = form().FleetDialog();
        dialog->Fleet().SetChannelFactory([this](const QString &port) -> std::unique_ptr<TSerialChannel> {
            return std::make_unique<RadioChannel>(*radios.at(port));
        });
        dialog->Fleet().SetSilenceMs(2000);
        dialog->SetPorts(ports);
    }
    TForm1 &form() const { return windows->Form1(); }
    void check(int row) const { dialog->PortList()->item(row)->setCheckState(Qt::Checked); }
    bool run() const
    {
        dialog->StartButton()->click();
        QElapsedTimer clock;
        clock.start();
        while (dialog->Fleet().IsRunning() && clock.elapsed() < 30000)
            QTest::qWait(20);
        return !dialog->Fleet().IsRunning();
    }
    QString result(int row) const { return dialog->Table()->item(row, 2)->text(); }
    const TRadioImage &memory(int index) const { return radios.at(ports.at(index).name)->image(); }

    VirtualRadio home{FactoryImage()};
    std::map<QString, std::unique_ptr<VirtualRadio>> radios;
    QList<TFleetDialog::Port> ports;
    std::unique_ptr<TAppWindows> windows;
    TFleetDialog *dialog = nullptr;
    MessageRecorder messages;
};

TRadioImage areaOf(const TRadioImage &image, int area)
{
    TRadioImage only = TRadioImage::None();
    for (const TRadioImage::Place &place : image.heldPlaces())
        if (place.area == area)
            only.setBlock(area, place.block, image.block(area, place.block));
    return only;
}

}  // namespace

class TestFleetDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesCheckedRadios_data();
    void writesCheckedRadios();
    void rowTellsHowFar_data();
    void rowTellsHowFar();
    void noPortChosen();
    void portListFollowsSystem();
    void staysWhileWriting();
    void screenshots();
    void screenshotPortGone();
};

void TestFleetDialog::writesCheckedRadios_data()
{
    QTest::addColumn<bool>("withSignalling");
    QTest::addRow("channels and settings") << false;
    QTest::addRow("with the signalling tables") << true;
}

// Each checked radio gets the window's channels and settings (and the editors' tables when
// chosen); one that stores a byte wrong is named in its row; an unchecked one is left alone.
void TestFleetDialog::writesCheckedRadios()
{
    QFETCH(bool, withSignalling);
    Fixture f({QString(), QStringLiteral("corrupt=3"), QString()});
    f.check(0);
    f.check(1);
    f.dialog->SignallingBox()->setChecked(withSignalling);
    const TRadioImage tablesBefore = f.windows->SignallingTables().value();
    QVERIFY(areaOf(tablesBefore, 1) != areaOf(startImage(), 1));
    // Cells of the window and of the DTMF editor still being typed in go out as committed.
    const auto typeInto = [](QWidget &window, TXStringGrid *grid, int col, int row, Qt::Key key) {
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
        grid->SetCol(col);
        grid->SetRow(row);
        QTest::keyClick(grid, key);
        QVERIFY(grid->ActiveEditor());
    };
    typeInto(f.windows->Form2(), f.windows->Form2().Grid(QStringLiteral("xg2")), 1, 3, Qt::Key_7);
    typeInto(f.form(), f.form().xg(), 1, 3, Qt::Key_9);
    QVERIFY(f.run());
    QCOMPARE(f.form().Config().Cell(3, col::RxFreq), QStringLiteral("9.00000"));
    const TRadioImage tables = f.windows->SignallingTables().value();
    QVERIFY(areaOf(tables, 1) != areaOf(tablesBefore, 1));

    QCOMPARE(f.dialog->Table()->rowCount(), 2);
    QCOMPARE(f.result(0), TFleetDialog::ResultText(TFleetResult::Verified));
    QCOMPARE(f.result(1), TFleetDialog::ResultText(TFleetResult::VerifyFailed));
    QVERIFY(f.dialog->Table()->item(0, 2)->toolTip().contains(QStringLiteral("-virtual_1-")));
    QCOMPARE(f.dialog->Summary()->text(), QStringLiteral("1 台成功，1 台失败"));
    QCOMPARE(Differences(f.memory(2), startImage()), QString());

    const MainImage main = BuildMainImage(f.form().Config());
    const TRadioImage &written = f.memory(0);
    for (int n = 1; n <= frame::kChannelCount; ++n)
        QCOMPARE(written.block(frame::kMainArea, n), main.channels[static_cast<std::size_t>(n - 1)]);
    QCOMPARE(written.block(frame::kSettingsArea, 0), main.settings);
    for (int area : kSignallingAreas) {
        const TRadioImage expected = withSignalling ? areaOf(tables, area) : areaOf(startImage(), area);
        QCOMPARE(Differences(areaOf(written, area), expected), QString());
    }
    QVERIFY(f.messages.texts().isEmpty());
}

void TestFleetDialog::rowTellsHowFar_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("verifyOff");  // 写入后校验 cleared once the dialog is open
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("tip");  // a line the result's tool tip holds
    QTest::addRow("port gone while writing") << "disappear=24" << false << "端口已断开，已写入 5/17 块" << "备份：";
    // A write that an earlier run left unfinished on the port: its backup is named too.
    QTest::addRow("port gone again") << "disappear=24" << false << "端口已断开，已写入 5/17 块"
                                     << "此端口上更早的一次写入也未完成；若是同一部电台，那次写入前的备份：";
    QTest::addRow("a block stored wrong, not the first time") << "corrupt=3" << false << "写入校验失败"
                                                              << "那次写入前的备份：";
    QTest::addRow("silent from the start") << "silent" << false << "电台无应答，未写入" << "";
    QTest::addRow("a block stored wrong") << "corrupt=3" << false << "写入校验失败" << "信道 3";
    QTest::addRow("verify cleared after opening") << "corrupt=3" << true << "已写入（未校验）" << "备份：";
}

// The row of a radio that did not end well says how far its write got and what differs.
void TestFleetDialog::rowTellsHowFar()
{
    QFETCH(QString, fault);
    QFETCH(bool, verifyOff);
    QFETCH(QString, line);
    QFETCH(QString, tip);
    Fixture f({fault});
    f.check(0);
    const QString port = QStringLiteral("/dev/virtual-1");
    TBackupStore().ClearUnfinishedWrite(port);
    if (tip.contains(QStringLiteral("那次写入前的备份"))) {
        QString error;
        const std::optional<QString> earlier = TBackupStore().Save(startImage(), {}, &error, QDateTime(QDate(2026, 1, 2), QTime(3, 4)));
        QVERIFY2(earlier, qPrintable(error));
        TBackupStore().NoteUnfinishedWrite(port, *earlier);
        tip += QDir::toNativeSeparators(*earlier);
    }
    // The choice is kept in the settings: the next test starts with verify on again.
    QAction *verify = f.form().findChild<QAction *>(QStringLiteral("VerifyAfterWrite"));
    const auto verifyOn = qScopeGuard([verify] { verify->setChecked(true); });
    QVERIFY(verify->isChecked());
    verify->setChecked(!verifyOff);
    QVERIFY(f.run());
    QCOMPARE(f.result(0), line);
    const QString shownTip = f.dialog->Table()->item(0, 2)->toolTip();
    QVERIFY2(shownTip.contains(tip), qPrintable(shownTip));
}

void TestFleetDialog::noPortChosen()
{
    Fixture f({QString()});
    f.dialog->StartButton()->click();
    QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("请至少选择一个端口")});
    QVERIFY(!f.dialog->Fleet().IsRunning());
    QCOMPARE(f.dialog->Table()->rowCount(), 0);
}

// Neither the close box nor Escape hides the rows of radios being written; the windows' own
// reads and writes wait meanwhile, as the ports are taken.
void TestFleetDialog::staysWhileWriting()
{
    Fixture f({QStringLiteral("silent")});
    f.form().rbtnClick();  // a read opens the signalling menu
    QTRY_VERIFY(!f.form().Link().IsBusy());
    f.form().Link().ClosePort();
    f.check(0);
    f.dialog->StartButton()->click();
    QVERIFY(f.dialog->Fleet().IsRunning());
    const QList<QPushButton *> buttons{f.form().wbtn(), f.form().rbtn(), f.windows->Form2().rbtn(), f.windows->Form2().wbtn()};
    for (const QPushButton *button : buttons)
        QVERIFY(!button->isEnabled());
    QList<QAction *> actions;
    for (const char *name : {"RestoreFromBackup", "CompareWithRadio", "DTMF1", "N2tone1", "N5TONE1", "N4"})
        actions << f.form().findChild<QAction *>(QLatin1String(name));
    for (const QAction *action : std::as_const(actions))
        QVERIFY2(action && !action->isEnabled(), action ? qPrintable(action->objectName()) : "missing");
    f.form().rbtnClick();  // F12 reaches it so
    QVERIFY(!f.form().Link().IsBusy());
    f.dialog->close();
    QTest::keyClick(f.dialog, Qt::Key_Escape);
    QVERIFY(f.dialog->isVisible());
    f.dialog->CancelButton()->click();
    QTRY_VERIFY(!f.dialog->Fleet().IsRunning());
    for (const QPushButton *button : buttons)
        QVERIFY(button->isEnabled());
    for (const QAction *action : std::as_const(actions))
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    QTest::keyClick(f.dialog, Qt::Key_Escape);
    QVERIFY(!f.dialog->isVisible());
}

void TestFleetDialog::screenshots()
{
    UseScreenshotLanguage();
    const QString dir = qEnvironmentVariable("XIEPIN_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("set XIEPIN_SCREENSHOTS to a folder to write the dialog's pictures");
    QDir().mkpath(dir);
    Fixture f({QString(), QStringLiteral("corrupt=3"), QString(), QStringLiteral("disappear=24")});
    f.check(0);
    f.check(1);
    f.check(3);
    f.dialog->SignallingBox()->setChecked(true);
    QVERIFY(QTest::qWaitForWindowExposed(f.dialog));
    QVERIFY(f.dialog->grab().save(dir + QStringLiteral("/fleet-before.png")));
    QVERIFY(f.run());
    QVERIFY(f.dialog->grab().save(dir + QStringLiteral("/fleet-after.png")));
}

// Channels and settings only: the second radio's port goes in the middle of its write.
void TestFleetDialog::screenshotPortGone()
{
    UseScreenshotLanguage();
    const QString dir = qEnvironmentVariable("XIEPIN_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("set XIEPIN_SCREENSHOTS to a folder to write the dialog's pictures");
    Fixture f({QString(), QStringLiteral("disappear=24")});
    f.check(0);
    f.check(1);
    f.dialog->SignallingBox()->setChecked(false);
    QVERIFY(f.run());
    QVERIFY(f.dialog->grab().save(dir + QStringLiteral("/fleet-port-gone.png")));
}

// A device that comes or goes while the dialog is open: it offers the ports there are now,
// as the main window's list has them.
void TestFleetDialog::portListFollowsSystem()
{
    Fixture f({QString(), QString()});
    QCOMPARE(f.dialog->PortList()->count(), 2);
    f.form().RefreshPorts();
    QStringList listed;
    for (int i = 0; i < f.dialog->PortList()->count(); ++i)
        listed << f.dialog->PortList()->item(i)->text();
    QStringList system;
    for (int i = 0; i < f.form().comcbb()->count(); ++i)
        system << f.form().comcbb()->itemText(i);
    QCOMPARE(listed, system);
}

QTEST_MAIN(TestFleetDialog)
#include "tst_fleetdialog.moc"
