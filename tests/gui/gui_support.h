// What the window tests share: finding and driving widgets the way a user
// does, and the main window's connection dialogs scripted to connect with
// the settings as they are and log on as the adjuster.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>

#include "config/log_on_model.h"
#include "connection/connect_model.h"
#include "gui/app/form_main.h"
#include "support/no_dialogs.h"
#include "support/sim_session.h"

namespace kvarta::gui {

template <typename T>
T* Child(QWidget* window, const char* name) {
  T* child = window->findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name;
  return child;
}

inline bool HasLabel(QWidget* window, const QString& text) {
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (label->text() == text && label->isVisibleTo(window)) return true;
  }
  return false;
}

inline void Click(QWidget* w, const char* name) {
  QTest::mouseClick(Child<QPushButton>(w, name), Qt::LeftButton);
}

inline void ClickCell(QTableWidget* grid, int row, int column) {
  const QRect r = grid->visualItemRect(grid->item(row, column));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
}

// Types text key by key (QTest::keyClicks knows only ASCII keys).
inline void Type(QWidget* widget, const char* utf8) {
  for (QChar c : QString::fromUtf8(utf8)) {
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// Replaces an edit's text the way a user does: select all, type.
inline void Retype(QLineEdit* edit, const char* utf8) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  Type(edit, utf8);
}

// Runs action on the named window once it is shown (it may be opened with
// exec() by the very click that the test makes next).
inline void WhenShown(const char* object_name, std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, name = QString(object_name), action] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == name && w->isVisible()) {
        timer->stop();
        timer->deleteLater();
        action(w);
        return;
      }
    }
  });
  timer->start();
}

// A window as a picture with a plain title bar over it (the pictures have no
// window manager to draw one).
inline QImage WithTitle(const QPixmap& body, const QString& title) {
  constexpr int kBar = 26;
  QImage image(body.width() + 2, body.height() + kBar + 1, QImage::Format_RGB32);
  image.fill(QColor(0x50, 0x6a, 0x8a));
  QPainter p(&image);
  p.drawPixmap(1, kBar, body);
  p.setPen(Qt::white);
  const QFont font = QApplication::font();
  p.setFont(font);
  // Elided as a window manager would cut a long caption.
  const QString shown = QFontMetrics(font).elidedText(title, Qt::ElideRight, body.width() - 16);
  p.drawText(QRect(8, 0, body.width() - 16, kBar), Qt::AlignVCenter | Qt::AlignLeft, shown);
  return image;
}

// With KVARTA_SCREENSHOTS=DIR (under a real display server) w is saved as
// DIR/name.png.
inline void Shot(QWidget* w, const char* name) {
  const char* folder = std::getenv("KVARTA_SCREENSHOTS");
  if (!folder || !*folder) return;
  if (!w->isVisible()) w->show();
  QTest::qWait(50);
  EXPECT_TRUE(WithTitle(w->grab(), w->windowTitle()).save(QString("%1/%2.png").arg(folder, name)))
      << name;
}

// A model's window as it opens: the model's OnShow, then the window shown.
template <typename Form, typename Model, typename... More>
std::unique_ptr<Form> Opened(Model& model, More&&... more) {
  model.OnShow();
  auto form = std::make_unique<Form>(model, std::forward<More>(more)...);
  form->show();
  return form;
}

class AdjusterDialogs : public TFormMain::Dialogs {
 public:
  bool RunConnection(TFormMain& main) override {
    ++connections;
    MainSession& s = main.Session();
    ConnectModel::MainWindowHooks hooks;
    hooks.set_modem_bars_visible = [&main](bool v) { main.SetModemBarsVisible(v); };
    hooks.refresh_status_line = [&s] { s.ShowConnectionStatus(); };
    ConnectModel m(main.HostObject(), s.store(), s.connector(), opener_, hooks);
    m.OnShow();
    m.OnConnect();
    return m.result();
  }
  bool RunLogOn(TFormMain&, LogOnModel& model) override {
    ++logons;
    model.SetCode("1111");
    model.SetPassword("111111");
    model.Accept();
    return true;
  }
  int connections = 0;
  int logons = 0;

 private:
  test::NoDialogs opener_;
};

// The main window over a simulated controller in a program folder of its own;
// by default its dialogs connect and log on as the adjuster.
class MainWindowFixture : public ::testing::Test {
 protected:
  void TearDown() override { window.reset(); }
  void Open(const sim::SimulatorOptions& options = {},
            std::unique_ptr<TFormMain::Dialogs> dialogs = nullptr) {
    sim = std::make_unique<test::SimSession>(options);
    ASSERT_TRUE(sim->started);
    if (!dialogs) {
      auto d = std::make_unique<AdjusterDialogs>();
      adjuster = d.get();
      dialogs = std::move(d);
    }
    window = std::make_unique<TFormMain>(sim->folders(), sim->ports, std::move(dialogs));
    window->show();
  }
  bool WaitConnected(int timeout_ms = 10000) {
    return QTest::qWaitFor([this] { return window->Session().facts().connection_established; },
                           timeout_ms);
  }
  bool WaitIdle() {
    return QTest::qWaitFor([this] { return !window->HostObject().Busy(); }, 10000);
  }
  void WithController(const std::function<void(sim::Controller&)>& f) {
    sim->ports.simulator().WithController(f);
  }
  std::string Home() const { return sim->home.path(); }

  std::unique_ptr<test::SimSession> sim;
  std::unique_ptr<TFormMain> window;
  AdjusterDialogs* adjuster = nullptr;
};

}  // namespace kvarta::gui
