// The COM list of the connection parameters window over a fake machine: the
// ports are named by the device behind them, and a new USB adapter is given
// a free number that the port map keeps. With KVARTA_SCREENSHOTS=DIR (under a
// real display server) the window with its list dropped down is saved as
// DIR/ports.png.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "connection/conn_par_model.h"
#include "connection/connection_settings.h"
#include "connection/port_labels.h"
#include "gui/connection/qt_connect_dialogs.h"
#include "gui/link/qt_host.h"
#include "support/fake_serial_tree.h"

namespace kvarta::gui {
namespace {

// The window and its open list as the screen shows them, on a plain desktop
// under a plain title bar (there is no window manager to draw one).
QImage WindowWithOpenList(QWidget* window, QComboBox* combo) {
  QWidget* popup = combo->view()->window();
  const QRect area = window->geometry().united(popup->geometry());
  constexpr int kBar = 26;
  QImage image(area.width() + 2, area.height() + kBar + 1, QImage::Format_RGB32);
  image.fill(QColor(0xdd, 0xe3, 0xea));
  QPainter p(&image);
  const QPoint origin(1 - area.x(), kBar - area.y());
  p.fillRect(QRect(window->geometry().topLeft() + origin - QPoint(1, kBar),
                   QSize(window->width() + 2, kBar)),
             QColor(0x50, 0x6a, 0x8a));
  p.drawPixmap(window->geometry().topLeft() + origin, window->grab());
  p.drawPixmap(popup->geometry().topLeft() + origin, popup->grab());
  p.setPen(Qt::white);
  p.drawText(QRect(8, 0, window->width() - 16, kBar), Qt::AlignVCenter | Qt::AlignLeft,
             window->windowTitle());
  return image;
}

TEST(PortListWindow, NamesEachPortByItsDeviceAndKeepsTheAdaptersNumber) {
  test::FakeMachine machine;
  // The fake tree lies in a temporary folder; its paths are shown as the
  // machine's own would be.
  SetComPortSource([&machine](int count, const std::string& ini) {
    std::vector<ComPort> ports = MachinePortSource(machine.roots)(count, ini);
    for (ComPort& port : ports) {
      std::string& path = port.device.path;
      if (path.rfind(machine.roots.dev, 0) == 0)
        path = "/dev" + path.substr(machine.roots.dev.size());
    }
    return ports;
  });
  QtHost host;
  QtConnectDialogs opener(host, nullptr);
  opener.SetIniFolder(machine.Ini());
  ConnectionSettings settings;
  ConnParModel params(host, settings, ConnectionKind::kDirect, opener);
  params.OnShow();

  std::vector<std::string> shown;
  std::string current;
  std::string tip;  // the whole entry the narrow box cannot show
  bool seen = false;
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [&] {
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr || w->objectName() != "TFormConn_Par" || seen) return;
    seen = true;
    timer->stop();
    auto* ports = w->findChild<QComboBox*>("PortList");
    ASSERT_NE(ports, nullptr);
    for (int i = 0; i < ports->count(); ++i) shown.push_back(ports->itemText(i).toStdString());
    current = ports->currentText().toStdString();
    tip = ports->toolTip().toStdString();
    const char* folder = std::getenv("KVARTA_SCREENSHOTS");
    if (folder != nullptr && *folder && QGuiApplication::platformName() != "offscreen") {
      ports->showPopup();
      QTest::qWait(300);
      EXPECT_TRUE(WindowWithOpenList(w, ports).save(QString("%1/ports.png").arg(folder)));
      ports->hidePopup();
    }
    w->findChild<QPushButton*>("BitBtn2")->click();  // "Выход"
  });
  timer->start();
  opener.OpenConnPar(params);
  delete timer;
  SetComPortSource({});

  ASSERT_TRUE(seen);
  ASSERT_GE(shown.size(), 16);
  EXPECT_EQ(shown[0], "COM1 — /dev/ttyS0");
  EXPECT_EQ(shown[1], "COM2 — FT232R USB UART (A50285BI)");
  EXPECT_EQ(shown[2], "COM3 — u-blox GNSS");
  EXPECT_EQ(shown[3], "COM4");  // nothing behind it
  EXPECT_EQ(current, shown[0]);
  EXPECT_EQ(tip, shown[0]);
  // The adapter was remembered under its by-id name, so it keeps COM2 when
  // replugged as another ttyUSB.
  std::stringstream map;
  map << std::ifstream(machine.Ini() + "/com_ports.map").rdbuf();
  EXPECT_NE(map.str().find("COM2=" + machine.ById()), std::string::npos) << map.str();
}

}  // namespace
}  // namespace kvarta::gui
