// The proxy dialog: the option buttons and their frame, the password check,
// OK and Cancel.
#include "gui/f_shared_proxy.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "gui_test_env.h"
#include "shared/settings.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;

class FSharedProxyTest : public QObject {
  Q_OBJECT

 private slots:
  void WithoutProxyTypeNoProxyIsChosenAndTheBoxesAreOff();
  void OnlyManualSettingsOpensTheFrame();
  void DifferentPasswordsKeepTheDialogOpenAndStoreNothing();
  void OkStoresTheBoxesAndTheChoice();
  void CancelStoresNothing();
};

void FSharedProxyTest::WithoutProxyTypeNoProxyIsChosenAndTheBoxesAreOff() {
  GuiTestEnv t;
  fSHAREDProxy dialog(t.env, t.engine.AppSettings);
  QVERIFY(Find<QRadioButton>(&dialog, "optNoProxy")->isChecked());
  QVERIFY(!Find<QGroupBox>(&dialog, "Frame1")->isEnabled());
  QVERIFY(!Find<QLineEdit>(&dialog, "txtServer")->isEnabled());
}

void FSharedProxyTest::OnlyManualSettingsOpensTheFrame() {
  GuiTestEnv t;
  StoreAppSetting(t.engine.AppSettings, "ProxyType", 2);
  fSHAREDProxy dialog(t.env, t.engine.AppSettings);
  auto* frame = Find<QGroupBox>(&dialog, "Frame1");
  QVERIFY(Find<QRadioButton>(&dialog, "optNamed")->isChecked());
  QVERIFY(frame->isEnabled());
  Find<QRadioButton>(&dialog, "optDefault")->click();
  QVERIFY(!frame->isEnabled());
  Find<QRadioButton>(&dialog, "optNamed")->click();
  QVERIFY(frame->isEnabled());
  Find<QRadioButton>(&dialog, "optNoProxy")->click();
  QVERIFY(!frame->isEnabled());
}

void FSharedProxyTest::DifferentPasswordsKeepTheDialogOpenAndStoreNothing() {
  GuiTestEnv t;
  StoreAppSetting(t.engine.AppSettings, "ProxyPwd", "old");
  fSHAREDProxy dialog(t.env, t.engine.AppSettings);
  dialog.show();
  QCOMPARE(Find<QLineEdit>(&dialog, "txtPassword2")->text(), QString("old"));
  Find<QRadioButton>(&dialog, "optNamed")->click();
  Find<QLineEdit>(&dialog, "txtServer")->setText("proxy.example");
  Find<QLineEdit>(&dialog, "txtPassword")->setText("new");
  Find<QPushButton>(&dialog, "cmdOK")->click();
  QCOMPARE(t.ui.MessageTexts(),
           std::vector<std::string>{"Your passwords don't match.  Please retype them."});
  QVERIFY(dialog.isVisible());
  QCOMPARE(t.engine.AppSettings.SettingsCount(), 1);
  QCOMPARE(GetAppSetting(t.engine.AppSettings, "ProxyPwd").Text(), std::string("old"));
}

void FSharedProxyTest::OkStoresTheBoxesAndTheChoice() {
  GuiTestEnv t;
  fSHAREDProxy dialog(t.env, t.engine.AppSettings);
  dialog.show();
  Find<QRadioButton>(&dialog, "optNamed")->click();
  Find<QLineEdit>(&dialog, "txtServer")->setText("proxy.example");
  Find<QLineEdit>(&dialog, "txtPort")->setText("3128");
  Find<QLineEdit>(&dialog, "txtUser")->setText("anna");
  Find<QLineEdit>(&dialog, "txtPassword")->setText("pw");
  Find<QLineEdit>(&dialog, "txtPassword2")->setText("pw");
  Find<QPushButton>(&dialog, "cmdOK")->click();
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), int{QDialog::Accepted});
  std::vector<std::string> keys;
  for (const cSHAREDSetting& entry : t.engine.AppSettings.entries()) {
    keys.push_back(entry.KeyName + "=" + entry.KeyValue.Text());
  }
  QCOMPARE(keys,
           (std::vector<std::string>{"PROXYPORT=3128", "PROXYPWD=pw", "PROXYSERVER=proxy.example",
                                     "PROXYTYPE=2", "PROXYUSER=anna"}));
}

void FSharedProxyTest::CancelStoresNothing() {
  GuiTestEnv t;
  fSHAREDProxy dialog(t.env, t.engine.AppSettings);
  dialog.show();
  Find<QRadioButton>(&dialog, "optDefault")->click();
  Find<QPushButton>(&dialog, "cmdCancel")->click();
  QVERIFY(!dialog.isVisible());
  QCOMPARE(t.engine.AppSettings.SettingsCount(), 0);
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FSharedProxyTest)
#include "f_shared_proxy_test.moc"
