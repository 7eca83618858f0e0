// The proxy dialog: the option buttons and their frame, the password check,
// OK and Cancel.
#include "gui/f_shared_proxy.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "gui_test_env.h"
#include "shared/settings.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::SettingKeys;
using testing::Text;
using testing::Type;

class FSharedProxyTest : public QObject {
  Q_OBJECT

 private slots:
  void ProxyTypeChoosesTheOptionAndOnlyManualOpensTheFrame();
  void DifferentPasswordsKeepTheDialogOpenAndStoreNothing();
  void OkStoresTheBoxesAndTheChoiceAndCancelNothing();
};

void FSharedProxyTest::ProxyTypeChoosesTheOptionAndOnlyManualOpensTheFrame() {
  const struct {
    const char* stored;  // nullptr: no ProxyType key
    QString chosen;      // empty: no option set
  } cases[] = {{nullptr, "optNoProxy"}, {"0", "optDefault"}, {"1", "optNoProxy"},
               {"2", "optNamed"},       {"3", ""},           {"manual", ""}};
  for (const auto& c : cases) {
    GuiTestEnv t;
    if (c.stored != nullptr) {
      StoreAppSetting(t.engine.AppSettings, "ProxyType", c.stored);
    }
    fSHAREDProxy dialog(t.env, t.engine.AppSettings);
    for (const char* option : {"optDefault", "optNoProxy", "optNamed"}) {
      QVERIFY2(Find<QRadioButton>(&dialog, option)->isChecked() == (c.chosen == option), option);
    }
    QCOMPARE(Find<QGroupBox>(&dialog, "Frame1")->isEnabled(), c.chosen == "optNamed");
  }
  GuiTestEnv t;
  fSHAREDProxy dialog(t.env, t.engine.AppSettings);
  for (const char* option : {"optNamed", "optDefault", "optNamed", "optNoProxy"}) {
    Find<QRadioButton>(&dialog, option)->click();
    QCOMPARE(Find<QGroupBox>(&dialog, "Frame1")->isEnabled(), QString(option) == "optNamed");
  }
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
  QCOMPARE(SettingKeys(t.engine.AppSettings), std::vector<std::string>{"PROXYPWD=old"});
}

void FSharedProxyTest::OkStoresTheBoxesAndTheChoiceAndCancelNothing() {
  GuiTestEnv t;
  fSHAREDProxy cancelled(t.env, t.engine.AppSettings);
  cancelled.show();
  Find<QRadioButton>(&cancelled, "optDefault")->click();
  Find<QPushButton>(&cancelled, "cmdCancel")->click();
  QVERIFY(!cancelled.isVisible());
  QCOMPARE(t.engine.AppSettings.SettingsCount(), 0);

  fSHAREDProxy dialog(t.env, t.engine.AppSettings);
  dialog.show();
  Find<QRadioButton>(&dialog, "optNamed")->click();
  Type(&dialog, "txtServer", "proxy.example");
  Type(&dialog, "txtPort", "3128");
  Type(&dialog, "txtUser", "anna");
  Type(&dialog, "txtPassword", "pw");
  Type(&dialog, "txtPassword2", "pw");
  Find<QPushButton>(&dialog, "cmdOK")->click();
  QCOMPARE(dialog.result(), int{QDialog::Accepted});
  QCOMPARE(SettingKeys(t.engine.AppSettings),
           (std::vector<std::string>{"PROXYPORT=3128", "PROXYPWD=pw", "PROXYSERVER=proxy.example",
                                     "PROXYTYPE=2", "PROXYUSER=anna"}));
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FSharedProxyTest)
#include "f_shared_proxy_test.moc"
