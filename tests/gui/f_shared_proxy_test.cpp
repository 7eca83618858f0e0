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
using testing::Keys;
using testing::Text;
using testing::Type;

class FSharedProxyTest : public QObject {
  Q_OBJECT

 private slots:
  void ProxyTypeChoosesTheOptionButton_data();
  void ProxyTypeChoosesTheOptionButton();
  void OnlyManualSettingsOpensTheFrame();
  void DifferentPasswordsKeepTheDialogOpenAndStoreNothing();
  void OkStoresTheBoxesAndTheChoice();
  void CancelStoresNothing();
};

void FSharedProxyTest::ProxyTypeChoosesTheOptionButton_data() {
  QTest::addColumn<QString>("stored");  // empty: no ProxyType key
  QTest::addColumn<QString>("chosen");  // empty: no option set
  QTest::newRow("absent") << ""
                          << "optNoProxy";
  QTest::newRow("system") << "0"
                          << "optDefault";
  QTest::newRow("none") << "1"
                        << "optNoProxy";
  QTest::newRow("named") << "2"
                         << "optNamed";
  QTest::newRow("unknown number") << "3"
                                  << "";
  QTest::newRow("not a number") << "manual"
                                << "";
}

void FSharedProxyTest::ProxyTypeChoosesTheOptionButton() {
  QFETCH(QString, stored);
  QFETCH(QString, chosen);
  GuiTestEnv t;
  if (!stored.isEmpty()) {
    StoreAppSetting(t.engine.AppSettings, "ProxyType", stored.toStdString());
  }
  fSHAREDProxy dialog(t.env, t.engine.AppSettings);
  for (const char* option : {"optDefault", "optNoProxy", "optNamed"}) {
    QCOMPARE(Find<QRadioButton>(&dialog, option)->isChecked(), chosen == option);
  }
  QCOMPARE(Find<QLineEdit>(&dialog, "txtServer")->isEnabled(), chosen == "optNamed");
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
  QCOMPARE(Text(&dialog, "txtPassword2"), QString("old"));
  Find<QRadioButton>(&dialog, "optNamed")->click();
  Type(&dialog, "txtServer", "proxy.example");
  Type(&dialog, "txtPassword", "new");
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
  Type(&dialog, "txtServer", "proxy.example");
  Type(&dialog, "txtPort", "3128");
  Type(&dialog, "txtUser", "anna");
  Type(&dialog, "txtPassword", "pw");
  Type(&dialog, "txtPassword2", "pw");
  Find<QPushButton>(&dialog, "cmdOK")->click();
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), int{QDialog::Accepted});
  QCOMPARE(Keys(t.engine.AppSettings),
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
