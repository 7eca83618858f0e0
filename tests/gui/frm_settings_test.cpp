// The project settings dialog: what it shows, what OK and Cancel store, and
// the dialogs it opens.
#include "gui/frm_settings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "gui/f_shared_proxy.h"
#include "gui/frm_external_includes.h"
#include "gui_test_env.h"
#include "shared/scramble.h"
#include "shared/settings.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;
using testing::SettingKeys;
using testing::Text;
using testing::Type;
using testing::WhenModal;

class FrmSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void OpensOnTheProjectsValues();
  void OkStoresWhatTheTableSays();
  void CancelAndCloseBoxStoreNothing();
  void PickPathTakesTheChosenFolderAndKeepsTheTextOnCancel();
  void CheckForUpdateStoresLikeOkAndRaisesTheEvent();
  void ProxyAndVersionButtonsOpenTheirDialogs();
  void TextFieldsKeepTheirBytesInTheProjectsCharset();
};

void FrmSettingsTest::OpensOnTheProjectsValues() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite({"CHANGEDONLY,1", "CHECKAFTERBUILD,True", "EXTENSION,.htm",
                      "FTPPASSWORD," + Encrypt("pw"), "DOVERSIONSFIRST,1",
                      "PROJECTPATH,/elsewhere/", "WEBSITEURL,https://walkers.example/"}));
  frmSettings dialog(t.engine, t.ui);
  QCOMPARE(Text(&dialog, "txtProjectPath"), QString::fromStdString(t.Site()));
  QCOMPARE(Text(&dialog, "txtFTPPassword"), QString("pw"));
  QCOMPARE(Text(&dialog, "txtWebUrl"), QString("https://walkers.example/"));
  QVERIFY(Find<QRadioButton>(&dialog, "optHTM")->isChecked());
  QVERIFY(!Find<QLineEdit>(&dialog, "txtOtherExt")->isEnabled());
  QCOMPARE(Text(&dialog, "txtOtherExt"), QString(".php"));
  QVERIFY(Find<QCheckBox>(&dialog, "chkDoVersionFiles")->isChecked());
  QVERIFY(Find<QCheckBox>(&dialog, "chkChangedOnly")->isChecked());
  QVERIFY(Find<QCheckBox>(&dialog, "chkCheckAfterBuild")->isChecked());
}

void FrmSettingsTest::OkStoresWhatTheTableSays() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite({"PROJECTTITLE,Walkers"}));
  frmSettings dialog(t.engine, t.ui);
  dialog.show();
  Type(&dialog, "txtWebUrl", "https://walkers.example");
  Type(&dialog, "txtURL", "ftp.walkers.example");
  Type(&dialog, "txtFTPLoginName", "anna");
  Type(&dialog, "txtFTPPassword", "s3cret");
  Type(&dialog, "txtRemoteFolder", "/htdocs");
  Find<QRadioButton>(&dialog, "optOther")->click();
  Type(&dialog, "txtOtherExt", " .PHP ");
  Find<QCheckBox>(&dialog, "chkDoVersionFiles")->setChecked(true);
  Find<QCheckBox>(&dialog, "chkChangedOnly")->setChecked(true);
  Find<QCheckBox>(&dialog, "chkCheckAfterBuild")->setChecked(true);
  Find<QPushButton>(&dialog, "cmdOK")->click();

  QVERIFY(!dialog.Cancelled());
  QVERIFY(!dialog.isVisible());
  QCOMPARE(SettingKeys(t.engine.ProjectSettings),
           (std::vector<std::string>{"BASEURL=ftp.walkers.example", "CHANGEDONLY=1",
                                     "CHECKAFTERBUILD=True", "DOVERSIONSFIRST=1", "EXTENSION=.php",
                                     "FTPLOGINNAME=anna", "FTPPASSWORD=" + Encrypt("s3cret"),
                                     "FTPPATH=/htdocs", "PROJECTPATH=./", "PROJECTTITLE=Walkers",
                                     "WEBSITEURL=https://walkers.example/"}));
  QVERIFY(t.ui.messages().empty());
  QVERIFY(t.base.Exists(t.engine.AppSettingsFile));
}

void FrmSettingsTest::CancelAndCloseBoxStoreNothing() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite({"EXT_INDEX,.php", "FTPLOGINNAME,anna"}));
  const std::vector<std::string> before = SettingKeys(t.engine.ProjectSettings);
  const std::string app_settings = t.base.ReadFile(t.engine.AppSettingsFile);
  for (const bool by_close_box : {false, true}) {
    frmSettings dialog(t.engine, t.ui);
    dialog.show();
    Type(&dialog, "txtProjectPath", "/srv/other/");
    Type(&dialog, "txtFTPLoginName", "bob");
    Find<QRadioButton>(&dialog, "optHTM")->click();
    if (by_close_box) {
      dialog.close();
    } else {
      Find<QPushButton>(&dialog, "cmdExit")->click();
    }
    QVERIFY(dialog.Cancelled());
    QVERIFY(!dialog.isVisible());
  }
  QCOMPARE(SettingKeys(t.engine.ProjectSettings), before);
  QVERIFY(t.ui.messages().empty());
  QCOMPARE(t.base.ReadFile(t.engine.AppSettingsFile), app_settings);
}

void FrmSettingsTest::PickPathTakesTheChosenFolderAndKeepsTheTextOnCancel() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  frmSettings dialog(t.engine, t.ui);
  auto* pick = Find<QPushButton>(&dialog, "cmdPickPath");
  t.ui.QueueFileName("/srv/walkers");
  pick->click();
  QCOMPARE(Text(&dialog, "txtProjectPath"), QString("/srv/walkers/"));
  QCOMPARE(t.ui.file_requests().back().start_folder, t.Site());
  pick->click();  // nothing queued: cancelled
  QCOMPARE(Text(&dialog, "txtProjectPath"), QString("/srv/walkers/"));
}

void FrmSettingsTest::CheckForUpdateStoresLikeOkAndRaisesTheEvent() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  frmSettings dialog(t.engine, t.ui);
  QSignalSpy raised(&dialog, &frmSettings::CheckForUpdate);
  dialog.show();
  Type(&dialog, "txtFTPLoginName", "anna");
  Find<QPushButton>(&dialog, "cmdCheckUpdate")->click();
  QCOMPARE(raised.count(), 1);
  QVERIFY(!dialog.Cancelled());
  QCOMPARE(t.engine.ProjectSettings.sGet("FTPLoginName").Text(), std::string("anna"));
}

void FrmSettingsTest::ProxyAndVersionButtonsOpenTheirDialogs() {
  GuiTestEnv t;
  QVERIFY(t.OpenSite());
  frmSettings dialog(t.engine, t.ui);
  dialog.show();
  WhenModal<fSHAREDProxy>([](fSHAREDProxy* proxy) {
    proxy->findChild<QRadioButton*>("optDefault")->click();
    proxy->findChild<QPushButton*>("cmdOK")->click();
  });
  Find<QPushButton>(&dialog, "cmdProxy")->click();
  QCOMPARE(GetAppSetting(t.engine.AppSettings, "ProxyType").Text(), std::string("0"));
  QVERIFY(dialog.isVisible());  // the settings dialog is still open

  bool shown = false;
  WhenModal<frmExternalIncludes>([&shown](frmExternalIncludes*) { shown = true; });
  Find<QPushButton>(&dialog, "cmdSetupVersions")->click();
  QVERIFY(shown);

  GuiTestEnv unsaved;  // a new project has no site folder yet
  frmSettings fresh(unsaved.engine, unsaved.ui);
  QVERIFY(!Find<QPushButton>(&fresh, "cmdSetupVersions")->isEnabled());
}

// Each text box shows the project's bytes in its character set and gives
// them back unchanged when untouched, in that set when typed; the folder box
// is a path of this computer, in UTF-8.
void FrmSettingsTest::TextFieldsKeepTheirBytesInTheProjectsCharset() {
  struct Field {
    const char* box;
    const char* key;
    std::string stored;  // Windows-1252 bytes
    QString shown;
    QString typed;
    std::string typed_1252, typed_utf8;  // what the key holds after typing
  };
  const Field fields[] = {
      {"txtWebUrl", "WEBSITEURL", "https://caf\xe9.example/", "https://caf\u00e9.example/",
       "https://na\u00efve.example/", "https://na\xefve.example/", "https://na\xc3\xafve.example/"},
      {"txtURL", "BASEURL", "ftp.caf\xe9.example", "ftp.caf\u00e9.example", "ftp.\u20ac.example",
       "ftp.\x80.example", "ftp.\xe2\x82\xac.example"},
      {"txtFTPLoginName", "FTPLOGINNAME", "Jos\xe8", "Jos\u00e8", "Zo\u00eb", "Zo\xeb",
       "Zo\xc3\xab"},
      {"txtFTPPassword", "FTPPASSWORD", "p\xe4ss\x81", "p\u00e4ss\u0081", "\u00df\u00e9",
       "\xdf\xe9", "\xc3\x9f\xc3\xa9"},
      {"txtRemoteFolder", "FTPPATH", "/d\xe9p\xf4t", "/d\u00e9p\u00f4t", "/\u00e0", "/\xe0",
       "/\xc3\xa0"},
      {"txtOtherExt", "EXTENSION", ".h\xe9", ".h\u00e9", ".\u00e7", ".\xe7", ".\xc3\xa7"},
  };
  auto stored_value = [](const Field& field, const std::string& bytes) {
    return std::string(field.key) == "FTPPASSWORD" ? Encrypt(bytes) : bytes;
  };
  for (const char* charset : {"windows-1252", "utf-8"}) {
    const bool utf8 = std::string(charset) == "utf-8";
    std::vector<std::string> lines = {std::string("CHARSET,") + charset,
                                      "PROJECTPATH,/srv/caf\xc3\xa9/"};
    for (const Field& field : fields) {
      lines.push_back(std::string(field.key) + "," + stored_value(field, field.stored));
    }
    GuiTestEnv t;
    QVERIFY(t.OpenSite(lines));
    t.engine.ProjectFile = "/srv/caf\xc3\xa9/site.pgx";
    {
      frmSettings dialog(t.engine, t.ui);
      QCOMPARE(Text(&dialog, "txtProjectPath"), QString("/srv/caf\u00e9/"));
      for (const Field& field : fields) {
        if (!utf8) {
          QCOMPARE(Text(&dialog, field.box), field.shown);
        }
      }
      Find<QPushButton>(&dialog, "cmdOK")->click();
    }
    for (const Field& field : fields) {
      QCOMPARE(t.engine.ProjectSettings.sGet(field.key).Text(), stored_value(field, field.stored));
    }
    QCOMPARE(t.engine.ProjectSettings.sGet("PROJECTPATH").Text(), std::string("/srv/caf\xc3\xa9/"));
    for (const Field& field : fields) {
      frmSettings dialog(t.engine, t.ui);
      Type(&dialog, field.box, field.typed);
      Find<QPushButton>(&dialog, "cmdOK")->click();
      const std::string typed = utf8 ? field.typed_utf8 : field.typed_1252;
      QCOMPARE(t.engine.ProjectSettings.sGet(field.key).Text(), stored_value(field, typed));
    }
  }
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmSettingsTest)
#include "frm_settings_test.moc"
