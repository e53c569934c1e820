// The whole road as a user walks it: the real main window opens the built-in demonstration, goes online through the
// Tools menu to its two devices, simulated on loopback, and is operated with mouse events at the controls' places on
// the Qt Quick window. Both ends are checked: the commands the devices received and what the scene shows.

#include "../DemoArchive.h"
#include "../SimStation.h"
#include "MQmlInterface.h"
#include "MainWindow.h"
#include "SimDeviceSource.h"
#include "SimServer.h"
#include "WActiveCombo.h"
#include "WButton.h"
#include "WComboSelection.h"
#include "WDialer.h"
#include "WDropList.h"
#include "WPanelLink.h"
#include "WRegion.h"
#include "WRoomSelection.h"
#include "WSlider.h"
#include "WTextEdit.h"

namespace {
constexpr int Timeout = 10000;
using Log = QList<QByteArray>;

// The visual descendant of root with the object name, or whose text is text.
QQuickItem *findItem(QQuickItem *root, const QString &objectName, const QString &text = QString())
{
    for (QQuickItem *child : root ? root->childItems() : QList<QQuickItem *>()) {
        if ((!objectName.isEmpty() && child->objectName() == objectName)
            || (!text.isEmpty() && child->property("text").toString() == text))
            return child;
        if (QQuickItem *found = findItem(child, objectName, text))
            return found;
    }
    return nullptr;
}
} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    SimLog log;
    std::unique_ptr<SimServer> sim;
    // What each device received, command by command, as sent.
    Log toDsp, toEndpoint;
    std::unique_ptr<MainWindow> window;

    MModel *model() const { return window->model(); }
    QQuickWindow *scene() const { return window->view(); }
    QString panelName() const { return model()->currentPanel() ? model()->currentPanel()->name() : QString(); }
    template <class W>
    W *widget(const QString &name, const QString &block = {}) const { return panelWidget<W>(model(), name, block); }
    // A click where a user would click: the scene is drawn first, so that what was just shown is laid out.
    void click(QQuickItem *item, qreal fx = 0.5, qreal fy = 0.5)
    {
        scene()->grabWindow();
        QTest::mouseClick(scene(), Qt::LeftButton, Qt::NoModifier,
                          item->mapToScene(QPointF(item->width() * fx, item->height() * fy)).toPoint());
    }
    // Clicks the item (a page arrow, a panel link, a region) and waits for the panel it leads to.
    void clickTo(QQuickItem *item, const QString &shown, qreal fy = 0.5)
    {
        QVERIFY2(item, qPrintable(shown));
        click(item, 0.5, fy);
        QTRY_COMPARE_WITH_TIMEOUT(panelName(), shown, Timeout);
    }
    QQuickItem *link(const QString &name) const
    {
        return widget<WPanelLink>(name) ? widget<WPanelLink>(name)->item() : nullptr;
    }
    QQuickItem *arrow(const QString &name) const { return findItem(window->view()->rootObject(), name); }
    static bool received(const Log &log, const QByteArray &command) { return log.contains(command + '\r'); }
    // The values set on a parameter, in order ("SA \"Lectern\">1=" gives the texts after it, up to the CR).
    static QByteArrayList values(const Log &log, const QByteArray &prefix)
    {
        QByteArrayList out;
        for (const QByteArray &command : log)
            if (command.startsWith(prefix))
                out << command.mid(prefix.size()).chopped(1);
        return out;
    }
    static QString colour(const WRoomSelection *room) { return room->itemProperty("roomColor").value<QColor>().name(); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The demo's devices, each on a free loopback port (a demo running beside keeps its own); calls are quick.
        UArchive demo;
        demo.setArchiveRoot(dir.filePath("original"));
        QVERIFY(dir.isValid() && demo.open(":/data/Korvel/Demo.cpz"));
        QList<SimDeviceInfo> devices;
        QString error;
        QVERIFY2(SimDeviceSource::fromFile(demo.memberPath(".kvp"), &devices, &error), qPrintable(error));
        QVERIFY(devices.size() == 2 && SimDeviceSource::remapPorts(&devices, 0, &error));
        log.setQuiet(true);
        sim = std::make_unique<SimServer>(SimFaults(), &log);
        sim->setPhoneSettings(SimPhoneSettings{100, {}});
        QVERIFY2(sim->start(devices, QHostAddress::LocalHost, &error), qPrintable(error));
        SimDevice *dsp = sim->devices().at(0);
        SimDevice *endpoint = sim->devices().at(1);
        QCOMPARE(dsp->info().label, "Hall DSP");
        connect(dsp, &SimDevice::commandReceived, this, [this](int, const QByteArray &bytes) { toDsp << bytes; });
        connect(endpoint, &SimDevice::commandReceived, this,
                [this](int, const QByteArray &bytes) { toEndpoint << bytes; });
        const QString archive = demotest::demoOnPorts(dir.path(), dsp->port(), endpoint->port());
        QVERIFY(!archive.isEmpty());
        window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->openFile(archive);
        QCOMPARE(window->windowTitle() + " | " + panelName(), "Korvel Remote admin - Demo.cpz | Overview");
    }

    void cleanupTestCase()
    {
        if (window)
            window->close();
        window.reset();
        if (sim)
            sim->stop();
    }

    void goesOnlineThroughTheToolsMenu()
    {
        QAction *goOnline = nullptr;
        for (QAction *menu : window->menuBar()->actions())
            goOnline = menu->text() == "&Tools" ? menu->menu()->actions().value(0) : goOnline;
        QVERIFY(goOnline && goOnline->isEnabled() && goOnline->text() == "&Go Online...");
        goOnline->trigger();
        QVERIFY(goOnline->isChecked());
        // Both devices answer: the lamp in the scene's tool bar turns green.
        QQuickItem *lamp = findItem(window->view()->rootObject(), "connectionIndicator");
        QTRY_VERIFY_WITH_TIMEOUT(lamp && lamp->property("source").toString().endsWith("/indicator_grn.png"), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(received(toDsp, "SUB") && received(toEndpoint, "SUB"), Timeout);
    }

    void followsALinkDragsAFaderAndPressesAMute()
    {
        clickTo(link("Microphones"), "Microphones");
        QCOMPARE(model()->qmlInterface()->property("sceneTitle").toString(), "Microphones");
        WSlider *fader = widget<WSlider>("Level", "Lectern");
        WTextEdit *field = widget<WTextEdit>("Level", "Lectern");
        WButton *mute = widget<WButton>("Mute", "Lectern");
        QVERIFY(fader && field && mute);
        // The device's 0 dB has arrived: the knob is a sixth of the way down a range of -60 to +12 dB.
        QTRY_COMPARE_WITH_TIMEOUT(field->itemProperty("text").toString(), "0.0", Timeout);
        QQuickItem *track = fader->item();
        const qreal travel = track->property("travel").toReal();
        QVERIFY(qAbs(track->property("knobTop").toReal() - travel / 6) < 1);
        // Taken at the knob and pushed up past the end of its track.
        scene()->grabWindow();
        const qreal knobCentre = track->property("knobTop").toReal() + track->property("knobLength").toReal() / 2;
        QPoint point = track->mapToScene(QPointF(track->width() / 2, knobCentre)).toPoint();
        QTest::mousePress(scene(), Qt::LeftButton, Qt::NoModifier, point);
        for (int step = 0; step < 8; ++step) {
            point.ry() -= int(travel / 6);
            QTest::mouseMove(scene(), point, 15);
        }
        QTest::mouseRelease(scene(), Qt::LeftButton, Qt::NoModifier, point, 15);
        QTRY_VERIFY_WITH_TIMEOUT(values(toDsp, "SA \"Lectern\">1=").endsWith("12.0"), Timeout);
        QCOMPARE(track->property("knobTop").toReal(), 0.0);
        QTRY_COMPARE_WITH_TIMEOUT(field->itemProperty("text").toString(), "12.0", Timeout);
        QVERIFY(!mute->isChecked());
        click(mute->item());
        QTRY_VERIFY_WITH_TIMEOUT(received(toDsp, "SA \"Lectern\">2=O"), Timeout);
        QVERIFY(mute->isChecked() && mute->itemProperty("checked").toBool());
    }

    void choosesASource()
    {
        for (const char *page : {"Mixer", "Music"})
            clickTo(arrow("rightArrow"), page);
        WDropList *source = widget<WDropList>("Input Select");
        QVERIFY(source);
        // An untouched selector starts at its first input.
        QTRY_COMPARE_WITH_TIMEOUT(source->itemProperty("currentText").toString(), "Lounge", Timeout);
        click(source->item());
        QTRY_VERIFY_WITH_TIMEOUT(source->popup(), Timeout);
        auto *list = source->popup()->property("contentItem").value<QQuickItem *>();
        QQuickItem *radio = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((radio = findItem(list, QString(), "Radio")), Timeout);
        click(radio);
        QTRY_VERIFY_WITH_TIMEOUT(received(toDsp, "SA \"Music Source\">1=3"), Timeout);
        QCOMPARE(source->itemProperty("currentText").toString(), "Radio");
        QTRY_VERIFY_WITH_TIMEOUT(!source->popup(), Timeout);
    }

    void combinesRooms()
    {
        clickTo(link("\u2039 Overview"), "Overview");
        // The seats of the hall's picture are a region that leads to the plan.
        QList<WRegion *> regions;
        for (CControl *control : model()->currentPanel()->children())
            regions << widgettest::widgetOf<WRegion>(control);
        regions.removeAll(nullptr);
        QCOMPARE(regions.size(), 2);
        clickTo(regions.last()->item(), "Rooms", 0.85);
        QList<WRoomSelection *> rooms;
        for (const char *name : {"Hall A", "Hall B", "Hall C"})
            rooms << widget<WRoomSelection>("Room", name);
        auto *selector = widget<WComboSelection>("Combination Selector");
        auto *active = widget<WActiveCombo>("Active Combinations");
        QVERIFY(!rooms.contains(nullptr) && selector && active);
        const QString grey = QColor("lightgray").name();
        QTRY_COMPARE_WITH_TIMEOUT(colour(rooms.at(0)), grey, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(received(toDsp, "GRC 1") || received(toDsp, "SUB \"GRC 1\""), Timeout);
        click(selector->item(), 1.0 / 6);
        QCOMPARE(selector->selectedIndex(), 0);
        click(rooms.at(0)->item());
        click(rooms.at(1)->item());
        QTRY_VERIFY_WITH_TIMEOUT(received(toDsp, "SRC 1,[1,2]"), Timeout);
        const QString crimson = QColor("crimson").name();
        QTRY_COMPARE_WITH_TIMEOUT(colour(rooms.at(0)), crimson, Timeout);
        QCOMPARE((QStringList{colour(rooms.at(1)), colour(rooms.at(2))}), (QStringList{crimson, grey}));
        const QVariantList lines = active->itemProperty("combos").toList();
        QCOMPARE(lines.size() == 1 ? lines.first().toMap().value("text").toString() : QString(), "Hall A + Hall B");
    }

    void dialsANumber()
    {
        clickTo(link("\u2039 Overview"), "Overview");
        clickTo(link("Telephone"), "Telephone");
        WDialer *dialer = widget<WDialer>("Dialer");
        QVERIFY(dialer);
        QTRY_VERIFY_WITH_TIMEOUT(
            received(toEndpoint, "GA\"Telephone\">16") || received(toEndpoint, "SUB \"GA\"Telephone\">16\""), Timeout);
        for (const char *key : {"key2", "key0", "key0"})
            click(findItem(dialer->item(), key));
        QCOMPARE(dialer->displayText(), "200");
        click(findItem(dialer->item(), "callKey"));
        QTRY_VERIFY_WITH_TIMEOUT(received(toEndpoint, "SA \"Telephone\">16=CALL 200"), Timeout);
        QCOMPARE(values(toEndpoint, "SA \"Telephone\">16=DIGIT "), (QByteArrayList{"2", "0", "0"}));
        // The line rings at the far end, which answers.
        QTRY_COMPARE_WITH_TIMEOUT(dialer->dialerState(), int(WDialer::State_Active), Timeout);
        QVERIFY(dialer->statusText().startsWith("Active"));
    }

    void showsAValueChangedAtTheDevice()
    {
        for (const char *page : {"Status", "Music", "Mixer", "Microphones"})
            clickTo(arrow("leftArrow"), page);
        WSlider *fader = widget<WSlider>("Level", "Lectern");
        WTextEdit *field = widget<WTextEdit>("Level", "Lectern");
        WButton *mute = widget<WButton>("Mute", "Lectern");
        QVERIFY(fader && field && mute);
        QTRY_COMPARE_WITH_TIMEOUT(field->itemProperty("text").toString(), "12.0", Timeout);
        // Another station on the DSP's network turns the lectern down to -20 dB and unmutes it.
        simtest::OtherStation other(sim->devices().at(0)->port());
        QVERIFY(other.connected);
        QCOMPARE(other.ask("SA \"Lectern\">1=-20.0") + other.ask("SA \"Lectern\">2=F"), "\x06\x06");
        // -20 dB in half-dB steps is position -40; 32 of the 72 dB below the top puts the knob 4/9 of its travel down.
        QTRY_COMPARE_WITH_TIMEOUT(fader->itemProperty("value").toInt(), -40, Timeout);
        const qreal travel = fader->item()->property("travel").toReal();
        QVERIFY(qAbs(fader->item()->property("knobTop").toReal() - travel * 4 / 9) < 1);
        QTRY_COMPARE_WITH_TIMEOUT(field->itemProperty("text").toString(), "-20.0", Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!mute->isChecked() && !mute->itemProperty("checked").toBool(), Timeout);
        // Shown, not sent back: the one such command is the other station's.
        QCOMPARE((QList<qsizetype>{toDsp.count("SA \"Lectern\">1=-20.0\r"), toDsp.count("SA \"Lectern\">2=F\r")}),
                 (QList<qsizetype>{1, 1}));
    }
};

QTEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
