// The configuration windows driven through their widgets, the file dialogs,
// and the main window's configuration entries and start-up restore against a
// simulated controller.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QProgressBar>
#include <QScrollArea>
#include <cstring>

#include "config/access_model.h"
#include "config/avt_key_model.h"
#include "config/change_access_model.h"
#include "config/config_file.h"
#include "config/ident_model.h"
#include "config/table_info_model.h"
#include "config/wait_model.h"
#include "gui/config/form_access.h"
#include "gui/config/form_avt_key.h"
#include "gui/config/form_change_access.h"
#include "gui/config/form_config_diff.h"
#include "gui/config/form_ident.h"
#include "gui/config/form_table_info.h"
#include "gui/config/form_us_pass.h"
#include "gui/config/form_wait.h"
#include "gui/config/qt_config_dialogs.h"
#include "gui/gui_support.h"
#include "gui/link/qt_host.h"
#include "link/message_window.h"
#include "support/temp_dir.h"

namespace kvarta::gui {
namespace {

class ConfigWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.message_override = [this](const MessageWindowModel& m) {
      messages.push_back(m.line1 + "|" + m.line2);
      return false;
    };
  }
  std::string Last() const { return messages.empty() ? "" : messages.back(); }

  QtHost host;
  std::vector<std::string> messages;
};

TEST_F(ConfigWindowsTest, IdentificationShowsItsRowsWithRedMarkersAndGreysTheReducedItems) {
  // Table 9 destroyed and an unknown modem: two red rows in full mode.
  uint8_t t0[18] = {9, 64, 2, 4, 15, 3, 25, 10, 30, 0, 1, 1, 0, 17, 1, 0, 3, 7};
  for (const bool full : {true, false}) {
    SCOPED_TRACE(full ? "full" : "reduced");
    IdentModel model(t0, full);
    model.OnShow();
    TFormIdent window(model);
    EXPECT_EQ(window.windowTitle(), "Параметры идентификации контроллера");
    EXPECT_EQ(window.size(), QSize(492, 450));
    EXPECT_EQ(window.ExitButton()->text(), "Выход");
    for (const IdentModel::Row& row : model.rows) {
      SCOPED_TRACE(row.caption);
      EXPECT_EQ(window.Value(row.item)->text().toStdString(), row.value);
      EXPECT_EQ(window.Value(row.item)->styleSheet().contains("color"), row.red);
      EXPECT_EQ(window.Caption(row.item)->isEnabled(), row.caption_enabled);
    }
    EXPECT_TRUE(model.row(IdentModel::kModemType).red);  // an unknown modem
    if (full) Shot(&window, "ident");
    QTimer::singleShot(0, &window, [&window] { window.ExitButton()->click(); });
    EXPECT_EQ(window.exec(), QDialog::Accepted);
  }
}

TEST_F(ConfigWindowsTest, TableStateShrinksToItsRowsAndWritesOnlyWhatIsChecked) {
  TableWritePlan plan;
  for (int t : kConfigurationTables) plan.configuration[t] = 1;
  plan.destroyed[9] = 1;
  TableInfoModel model(host, plan);
  model.OnShow();
  TFormTableInfo window(model);
  EXPECT_EQ(window.windowTitle(), "Информация о состоянии таблиц параметров конфигурации");
  EXPECT_EQ(window.width(), 610);
  ASSERT_EQ(window.RowCount(), 7);
  EXPECT_EQ(window.RowCaption(2)->text(), " Табл.  9.  Параметры ВРГ");
  EXPECT_EQ(window.RowDestroyed(2)->text(), "Да");
  EXPECT_TRUE(window.RowDestroyed(2)->styleSheet().contains("color"));
  EXPECT_TRUE(window.RowCheck(2)->isChecked());
  EXPECT_EQ(window.RowDestroyed(1)->text(), "Нет");
  EXPECT_FALSE(window.RowCheck(1)->isEnabled());  // an intact users table
  EXPECT_TRUE(window.RowCheck(0)->isEnabled());
  // Seven rows fit: no scroll bar, the buttons right under the list, the
  // window no taller than that.
  QScrollArea* list = window.List();
  EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(list->height(), (TFormTableInfo::kRowHeight - 1) * 7 + 1);
  EXPECT_EQ(window.WriteAllButton()->parentWidget()->y(), list->y() + list->height());
  EXPECT_LT(window.height(), 400);
  EXPECT_EQ(window.WriteAllButton()->text(), "Записать все таблицы");
  EXPECT_EQ(window.WriteSelectedButton()->text(), "Записать избранные таблицы");

  window.show();
  Shot(&window, "table_state");
  window.RowCheck(2)->click();
  window.WriteSelectedButton()->click();
  EXPECT_EQ(Last(), "Не заданы таблицы для записи|");
  EXPECT_FALSE(model.closed());
  window.RowCheck(0)->click();
  window.RowCheck(6)->click();
  window.WriteSelectedButton()->click();
  EXPECT_TRUE(model.closed());
  EXPECT_EQ(model.result(), kTableStateWriteSelected);
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_TRUE(plan.selected[3] && plan.selected[22]);
  EXPECT_FALSE(plan.selected[9] || plan.selected[4]);
}

TEST_F(ConfigWindowsTest, UsersEditorOpensThePasswordWindowForARegisteredUser) {
  QtConfigDialogs opener(nullptr);
  UserList list = FreeUserList();
  PutPadded(UserRecord(list.data(), 0), kUserNameSize, "П/Н");
  UserRecord(list.data(), 0)[kUserLevelOffset] = kLevelAdjuster;
  AccessModel model(host, opener, list.data(), AccessMode::kRestore);
  model.OnShow();
  TFormAccess window(model);
  EXPECT_EQ(window.windowTitle(), "Зарегистрированные пользователи ");
  EXPECT_EQ(window.size(), QSize(442, 564));
  EXPECT_EQ(window.AcceptButton()->text(), "Записать в устройство");
  EXPECT_EQ(window.NameEdit(0)->text(), "П/Н");
  EXPECT_EQ(window.LevelList(0)->currentText(), "Производитель-наладчик");
  EXPECT_TRUE(window.CredentialsButton(0)->isEnabled());
  EXPECT_FALSE(window.CredentialsButton(1)->isEnabled());
  window.show();
  Shot(&window, "users");

  // Without a code the list is refused and the editor stays.
  window.AcceptButton()->click();
  EXPECT_EQ(Last(), "Номер пользователя в таблице - 1.|Не задан код идентификации пользователя");
  EXPECT_FALSE(model.closed());

  bool checked = false;
  WhenShown("TFormUsPass", [&checked](QWidget* w) {
    auto* form = static_cast<TFormUsPass*>(w);
    Shot(form, "us_pass");
    EXPECT_EQ(form->windowTitle(), "Идентификация пользователя программы");
    EXPECT_EQ(form->size(), QSize(354, 320));
    EXPECT_EQ(form->Edit(UsPassModel::kCode)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(QApplication::focusWidget(), form->Edit(UsPassModel::kCode));
    Type(form->Edit(UsPassModel::kCode), "12x3");  // the letter is not taken
    EXPECT_EQ(form->Edit(UsPassModel::kCode)->text(), "123");
    QTest::keyClick(form->Edit(UsPassModel::kCode), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form->Edit(UsPassModel::kCodeConfirm));
    Type(form->Edit(UsPassModel::kCodeConfirm), "123");
    QTest::keyClick(form->Edit(UsPassModel::kCodeConfirm), Qt::Key_Return);
    Type(form->Edit(UsPassModel::kPassword), "secret");
    QTest::keyClick(form->Edit(UsPassModel::kPassword), Qt::Key_Return);
    Type(form->Edit(UsPassModel::kPasswordConfirm), "secreT");
    // A mismatch empties the pair and keeps the window.
    form->AcceptButton()->click();
    EXPECT_TRUE(form->Edit(UsPassModel::kPassword)->text().isEmpty());
    EXPECT_TRUE(form->isVisible());
    Type(form->Edit(UsPassModel::kPassword), "secret");
    Type(form->Edit(UsPassModel::kPasswordConfirm), "secret");
    QTest::keyClick(form->Edit(UsPassModel::kPasswordConfirm), Qt::Key_Return);
    checked = true;
  });
  window.CredentialsButton(0)->click();
  EXPECT_TRUE(checked);
  EXPECT_EQ(Last(), "Несовпадение введенных паролей|Повторите процесс сначала");

  // A second user chosen by level gets its button.
  window.LevelList(1)->setCurrentIndex(3);
  Q_EMIT window.LevelList(1)->activated(3);
  EXPECT_TRUE(window.CredentialsButton(1)->isEnabled());
  window.LevelList(1)->setCurrentIndex(0);
  Q_EMIT window.LevelList(1)->activated(0);
  window.AcceptButton()->click();
  EXPECT_TRUE(model.accepted());
  EXPECT_EQ(std::memcmp(UserRecord(list.data(), 0) + kUserCodeOffset, "123 ", 4), 0);
  EXPECT_EQ(std::memcmp(UserRecord(list.data(), 0) + kUserPasswordOffset, "secret      ", 12), 0);

  AccessModel file_mode(host, opener, list.data(), AccessMode::kFile);
  file_mode.OnShow();
  TFormAccess file_window(file_mode);
  EXPECT_EQ(file_window.AcceptButton()->text(), "Принять");
  EXPECT_FALSE(file_window.CredentialsButton(0)->isEnabled());
}

TEST_F(ConfigWindowsTest, SingleUserWindowKeepsTheSoleAdministrator) {
  UserList table = FreeUserList();
  PutPadded(UserRecord(table.data(), 0), kUserNameSize, "Нал");
  UserRecord(table.data(), 0)[kUserLevelOffset] = kLevelAdjuster;
  PutPadded(UserRecord(table.data(), 1), kUserNameSize, "Адм");
  UserRecord(table.data(), 1)[kUserLevelOffset] = kLevelAdministrator;
  ChangeAccessModel model(host, table.data());
  model.OnShow();
  TFormChangeAccess window(model);
  EXPECT_EQ(window.windowTitle(), "Доступ пользователей к записи в контроллер");
  EXPECT_EQ(window.size(), QSize(636, 342));
  EXPECT_EQ(window.UserList()->count(), 16);
  EXPECT_EQ(window.UserList()->itemText(2), "   --   ");
  EXPECT_EQ(window.NameEdit()->text(), "Нал");
  window.show();
  Shot(&window, "change_access");
  window.UserList()->setCurrentIndex(1);
  Q_EMIT window.UserList()->activated(1);
  EXPECT_EQ(window.NameEdit()->text(), "Адм");
  EXPECT_EQ(window.LevelList()->currentText(), "Администратор");
  window.LevelList()->setCurrentIndex(0);
  Q_EMIT window.LevelList()->activated(0);
  window.WriteButton()->click();
  EXPECT_EQ(Last(),
            "Вы не можете удалить единственного пользователя|с уровнем доступа \"Администратор\"");
  EXPECT_FALSE(model.closed());

  // A new operator in a free slot.
  window.UserList()->setCurrentIndex(2);
  Q_EMIT window.UserList()->activated(2);
  Type(window.NameEdit(), "Опер");
  window.LevelList()->setCurrentIndex(4);
  Q_EMIT window.LevelList()->activated(4);
  Type(window.CodeEdit(), "4444");
  Type(window.CodeConfirmEdit(), "4444");
  window.WriteButton()->click();
  EXPECT_TRUE(model.closed());
  EXPECT_EQ(model.changed_user(), 2);
  EXPECT_EQ(UserRecord(table.data(), 2)[kUserLevelOffset], 4);
}

TEST_F(ConfigWindowsTest, KeyWindowShowsTheCharactersOnRequestAndTakesExactlyEight) {
  uint8_t field[kReportFieldSize];
  std::memset(field, 0xAA, sizeof field);
  AvtKeyModel model(host, field);
  model.OnShow();
  TFormAvt_Key window(model);
  EXPECT_EQ(window.windowTitle(), " Параметры отчета.  Ключ авторизации");
  EXPECT_EQ(window.size(), QSize(350, 240));
  EXPECT_EQ(window.ShowChars()->text(), "Показывать введенные символы");
  window.show();
  Shot(&window, "key");
  EXPECT_EQ(window.KeyEdit()->echoMode(), QLineEdit::Password);
  Type(window.KeyEdit(), "ABCDEFG");
  QTest::mouseClick(window.ConfirmEdit(), Qt::LeftButton);
  Type(window.ConfirmEdit(), "ABCDEFG");
  window.ShowChars()->click();
  EXPECT_EQ(window.KeyEdit()->echoMode(), QLineEdit::Normal);
  // The focus is back in the field last clicked, caret at its end.
  EXPECT_EQ(window.focusWidget(), window.ConfirmEdit());
  EXPECT_EQ(window.ConfirmEdit()->cursorPosition(), 7);
  window.AcceptButton()->click();
  EXPECT_EQ(Last(), "Ключ авторизации должен содержать 8 символов|Повторите процесс сначала");
  EXPECT_TRUE(window.KeyEdit()->text().isEmpty());
  EXPECT_TRUE(window.ConfirmEdit()->text().isEmpty());
  Type(window.KeyEdit(), "ABCDEFGHI");  // the field takes eight
  EXPECT_EQ(window.KeyEdit()->text(), "ABCDEFGH");
  Type(window.ConfirmEdit(), "ABCDEFGH");
  window.AcceptButton()->click();
  EXPECT_TRUE(model.accepted());
  EXPECT_EQ(std::memcmp(field, "ABCDEFGH\0\0", 10), 0);
  EXPECT_EQ(field[kReportFieldSize - 1], 0);
}

TEST_F(ConfigWindowsTest, ProgressWindowFollowsItsModel) {
  QWidget main;
  WaitModel model(WaitModel::Mode::kReading);
  model.maximum = 8;
  TFormWait wait(model, &main);
  EXPECT_EQ(wait.size(), QSize(332, 158));
  EXPECT_EQ(wait.Line(0)->text(), "Ожидайте...");
  EXPECT_EQ(wait.Line(1)->text(), "Выполняется чтение");
  EXPECT_EQ(wait.Line(2)->text(), "таблиц параметров конфигурации");
  EXPECT_EQ(wait.Line(3)->text(), "Esc - прервать выполнение");
  wait.Open();
  EXPECT_FALSE(main.isEnabled());
  model.Step();
  model.Step();
  wait.Refresh(model);
  Shot(&wait, "wait");
  EXPECT_EQ(wait.ProgressBar()->maximum(), 8);
  EXPECT_EQ(wait.ProgressBar()->value(), 2);
  wait.Finish();
  EXPECT_TRUE(main.isEnabled());
  EXPECT_FALSE(wait.isVisible());

  TFormWait writing(WaitModel(WaitModel::Mode::kWriting), nullptr);
  EXPECT_EQ(writing.Line(1)->text(), "Выполняется запись параметров");
  EXPECT_EQ(writing.Line(2)->text(), "конфигурации в контроллер");
}

TEST(ConfigQuestionTest, QuestionUnderTheProgressWindowCanBeAnswered) {
  // The key question of a write run comes while the main window is disabled.
  QWidget main;
  main.show();
  QApplication::setActiveWindow(&main);
  WaitModel model(WaitModel::Mode::kWriting);
  TFormWait wait(model, &main);
  wait.Open();
  QApplication::setActiveWindow(&main);
  bool enabled = false;
  WhenShown("TFormQues", [&enabled](QWidget* w) {
    enabled = w->isEnabled();
    w->findChild<QPushButton*>("BitBtnYes")->click();
  });
  QtHost host;
  EXPECT_TRUE(ShowMessageWindow(host, kMessageQuestion,
                                "Таблица \"Параметры отчета 2\" не разрушена.",
                                "Вы хотите изменить ключ авторизации?"));
  EXPECT_TRUE(enabled);
  wait.Finish();
}

TEST_F(ConfigWindowsTest, FileDialogsHaveTheirTitlesFiltersAndFolder) {
  test::TempDir temp;
  const std::string folder = temp.path();
  EXPECT_EQ(QtFileFilter("Data Files (*.cnf)|*.cnf|DataFiles(*.*)|*.*"),
            "Data Files (*.cnf);;DataFiles(*.*)");
  EXPECT_EQ(QtFileFilter("Все|*"), "Все (*)");

  QtConfigDialogs dialogs(nullptr);
  const std::string proposal = folder + "/kvarta04-x.cnf";
  std::string seen_title, seen_folder;
  QStringList seen_filters;
  WhenShown("FileDialog", [&](QWidget* w) {
    auto* d = static_cast<QFileDialog*>(w);
    seen_title = d->windowTitle().toStdString();
    seen_filters = d->nameFilters();
    seen_folder = d->directory().absolutePath().toStdString();
    static_cast<QDialog*>(d)->accept();
  });
  std::string chosen;
  ASSERT_TRUE(
      dialogs.ChooseFileToSave({"Выбор файла для записи параметров конфигурации",
                                "Data Files (*.cnf)|*.cnf|DataFiles(*.*)|*.*", folder, proposal},
                               chosen));
  EXPECT_EQ(seen_title, "Выбор файла для записи параметров конфигурации");
  EXPECT_EQ(seen_filters, QStringList({"Data Files (*.cnf)", "DataFiles(*.*)"}));
  EXPECT_EQ(seen_folder, folder);
  EXPECT_EQ(chosen, proposal);

  // The open dialog wants a file that exists.
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  ASSERT_EQ(WriteConfigFile(proposal, record), ConfigFileSave::kOk);
  WhenShown("FileDialog", [&](QWidget* w) {
    auto* d = static_cast<QFileDialog*>(w);
    seen_title = d->windowTitle().toStdString();
    EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
    // Typed as a user would: the folder's listing may not be there yet.
    d->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(proposal));
    static_cast<QDialog*>(d)->accept();
  });
  ASSERT_TRUE(dialogs.ChooseFileToOpen(
      {"Выбор файла с параметрами конфигурации", "Data Files (*.cnf)|*.cnf", folder, ""}, chosen));
  EXPECT_EQ(seen_title, "Выбор файла с параметрами конфигурации");
  EXPECT_EQ(chosen, proposal);
}

// The main window with a new configuration in restore.cnf, which every open
// dialog chooses.
class ConfigMenusTest : public MainWindowFixture {
 protected:
  void OpenWithFile(const sim::SimulatorOptions& options = {}) {
    Open(options);
    file = Home() + "/restore.cnf";
    ConfigFileRecord record;
    NewConfigFileRecord(record);
    ASSERT_EQ(WriteConfigFile(file, record), ConfigFileSave::kOk);
    window->HostObject().message_override = [this](const MessageWindowModel& m) {
      messages.push_back(m.line1 + "|" + m.line2);
      return false;
    };
    window->ConfigDialogs().open_file_override = [this](const FileDialogRequest& r,
                                                        std::string& path) {
      opened_titles.push_back(r.title);
      path = file;
      return true;
    };
  }
  bool Destroyed(int t) {
    bool destroyed = false;
    WithController([&destroyed, t](sim::Controller& c) { destroyed = c.Destroyed(t); });
    return destroyed;
  }

  std::string file;
  std::vector<std::string> messages;
  std::vector<std::string> opened_titles;
};

TEST_F(ConfigMenusTest, StartUpOffersTheDestroyedTableAndRestoresItFromAFile) {
  sim::SimulatorOptions options;
  options.destroyed_tables = {9};
  bool offered = false;
  WhenShown("TFormTableInfo", [&offered](QWidget* w) {
    auto* form = static_cast<TFormTableInfo*>(w);
    for (int r = 0; r < form->RowCount(); ++r) {
      const bool vrg = form->RowCaption(r)->text().startsWith(" Табл.  9.");
      EXPECT_EQ(form->RowCheck(r)->isChecked(), vrg) << r;
      if (vrg) {
        EXPECT_EQ(form->RowDestroyed(r)->text(), "Да");
      }
    }
    offered = true;
    form->WriteSelectedButton()->click();
  });
  OpenWithFile(options);
  ASSERT_TRUE(QTest::qWaitFor(
      [this] { return window->Session().facts().connection_established && !Destroyed(9); }, 20000));
  ASSERT_TRUE(WaitIdle());
  EXPECT_TRUE(offered);
  EXPECT_EQ(opened_titles, std::vector<std::string>{"Выбор файла с параметрами конфигурации"});
  EXPECT_EQ(window->Session().image().DestroyedTableNumber(), 0);
  EXPECT_EQ(window->Session().facts().vrg_params_copy[0], 1);  // the file's VRG count
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(window->ConfigDialogs().Wait(), nullptr);
  EXPECT_TRUE(window->isEnabled());
}

TEST_F(ConfigMenusTest, ConfigurationEntriesOpenTheirWindows) {
  OpenWithFile();
  ASSERT_TRUE(WaitConnected(20000));
  ASSERT_TRUE(WaitIdle());
  for (const char* entry : {"Nrdcnf", "NCmpCnf", "Nident", "N13", "N33"}) {
    EXPECT_TRUE(window->MenuAction(entry)->isEnabled()) << entry;
    EXPECT_TRUE(window->MenuAction(entry)->isVisible()) << entry;
  }

  QString ident_value;
  WhenShown("TFormIdent", [&ident_value](QWidget* w) {
    auto* form = static_cast<TFormIdent*>(w);
    ident_value = form->Value(IdentModel::kDestroyed)->text();
    form->ExitButton()->click();
  });
  window->MenuAction("Nident")->trigger();
  EXPECT_EQ(ident_value, "Разрушенных таблиц нет");

  // The new configuration differs from the simulated controller's.
  int rows = 0;
  QString summary;
  WhenShown("TFormConfigDiff", [&](QWidget* w) {
    Shot(w, "config_diff");
    auto* table = w->findChild<QTableWidget*>("GridDiff");
    rows = table->rowCount();
    summary = w->findChild<QLabel*>("LabelSummary")->text();
    bool name_row = false;
    for (int r = 0; r < rows; ++r) name_row = name_row || table->item(r, 1)->text() == "name";
    EXPECT_TRUE(name_row);
    static_cast<QDialog*>(w)->accept();
  });
  window->MenuAction("NCmpCnf")->trigger();
  EXPECT_GT(rows, 0);
  EXPECT_EQ(summary, QString("Различий: %1").arg(rows));

  bool users = false;
  WhenShown("TFormChangeAccess", [&users](QWidget* w) {
    users = static_cast<TFormChangeAccess*>(w)->NameEdit()->text() == "Нал";
    static_cast<TFormChangeAccess*>(w)->CancelButton()->click();
  });
  window->MenuAction("N33")->trigger();
  EXPECT_TRUE(users);

  bool saved = false;
  window->ConfigDialogs().save_file_override = [&saved](const FileDialogRequest& r,
                                                        std::string& path) {
    saved = r.title == "Выбор файла для записи параметров конфигурации";
    path = r.path;
    return true;
  };
  window->MenuAction("Nrdcnf")->trigger();
  EXPECT_TRUE(saved);
  EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
}  // namespace kvarta::gui
