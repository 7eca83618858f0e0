// The main window's upload commands against the scripted FTP server: Stop
// in the All button's place while pages go out, the upload strip, the
// single-file menu commands. With PAGORIN_SCREENSHOT_DIR set, the window is
// also saved as a picture during the upload and after it.
#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <cstdlib>

#include "app/build_driver.h"
#include "gui/frm_main.h"
#include "gui/status_strip.h"
#include "gui_test_env.h"
#include "shared/scramble.h"

namespace pagorin {

using testing::Find;
using testing::GuiTestEnv;

namespace {

class UploadWindowTest : public QObject {
  Q_OBJECT

 private:
  struct Window {
    Window() {
      for (const char* name : {"about", "contact", "index", "news", "products"}) {
        t.base.WriteFile(t.Site(std::string("Templates/") + name + ".template"), name);
        t.base.WriteFile(t.Site(std::string(name) + ".html"), std::string(2000, name[0]));
      }
      t.OpenSite({"BASEURL,ftp.example.com", "FTPLOGINNAME,web", "FTPPASSWORD," + Encrypt("secret"),
                  "FTPPATH,/site/"});
      t.base.net.ftp.folders.insert("site");
      t.base.net.ftp.folders.insert("site/images");
      window.show();
      Timer1Tick(t.engine);  // the button timer enables the upload buttons
      window.ShowEngineState();
    }
    QPushButton* Button(const char* name) { return Find<QPushButton>(&window, name); }
    StatusStripWidget* Strip(const char* name) { return Find<StatusStripWidget>(&window, name); }
    void Picture(const char* name) {
      if (const char* folder = std::getenv("PAGORIN_SCREENSHOT_DIR")) {
        window.grab().save(QString(folder) + "/" + name);
      }
    }

    GuiTestEnv t;
    frmMain window{t.engine, t.ui};
  };

 private slots:
  void StopTakesTheAllButtonsPlaceWhilePagesGoOut() {
    Window w;
    const QRect all_place = w.Button("cmdUpload_1")->geometry();
    bool seen = false;
    w.t.base.net.ftp.after_put = [&](const std::string& path) {
      if (path != "site/.contact.html.part") {
        return;
      }
      seen = true;
      QVERIFY(!w.Button("cmdUpload_1")->isVisible());
      QVERIFY(w.Button("cmdStopUpload")->isVisible());
      QVERIFY(w.Button("cmdStopUpload")->isEnabled());
      QCOMPARE(w.Button("cmdStopUpload")->geometry().topLeft(), all_place.topLeft());
      QVERIFY(!w.Button("cmdUpload_0")->isEnabled());
      QVERIFY(w.Strip("picUploadStatus")->isVisible());
      w.Picture("upload-running.png");
      QTest::mouseClick(w.Button("cmdStopUpload"), Qt::LeftButton);
    };
    w.t.ui.QueueAnswer(Answer::kYes);
    QTest::mouseClick(w.Button("cmdUpload_1"), Qt::LeftButton);

    QVERIFY(seen);
    QCOMPARE(w.t.base.net.ftp.files.size(), std::size_t{2});
    QCOMPARE(w.Strip("picStatus")->frame().caption, std::string("Upload Cancelled"));
    QVERIFY(w.Button("cmdUpload_1")->isVisible());
    QVERIFY(!w.Button("cmdStopUpload")->isVisible());
    QVERIFY(!w.Strip("picUploadStatus")->isVisible());
    QCOMPARE(w.t.ui.messages().size(), std::size_t{1});
    QCOMPARE(w.t.ui.messages()[0].text, std::string("About to upload 5 items. Are you sure?"));
    QCOMPARE(w.Button("cmdUpload_1")->toolTip(),
             QString("Tick or untick 'Passive FTP' in the project settings (File, Settings) to "
                     "suit your network first."));
  }

  void AllRunsToItsEndWithTheReminderAndChangedOnlySendsNothingTwice() {
    Window w;
    w.t.ui.QueueAnswer(Answer::kYes);
    QTest::mouseClick(w.Button("cmdUpload_1"), Qt::LeftButton);
    QCOMPARE(w.Strip("picStatus")->frame().caption, std::string("All Uploads Complete"));
    QCOMPARE(w.t.ui.messages().back().text,
             std::string("Remember to upload your images, css files, etc."));
    w.Picture("upload-done.png");

    Find<QCheckBox>(&w.window, "chkChangedOnly")->setChecked(true);
    w.t.base.net.ftp.calls.clear();
    w.t.ui.QueueAnswer(Answer::kYes);
    QTest::mouseClick(w.Button("cmdUpload_1"), Qt::LeftButton);
    QCOMPARE(w.t.base.net.ftp.calls,
             std::vector<std::string>({"OPEN ftp.example.com web active", "CWD site", "CLOSE"}));
  }

  void TheBinaryMenuSendsOneFileIntoTheImagesFolder() {
    Window w;
    w.t.base.WriteFile(w.t.Site("images/logo.png"), "png");
    w.t.ui.QueueFileName(w.t.Site("images/logo.png"));
    Find<QAction>(&w.window, "mnuUploadBinary")->trigger();
    QCOMPARE(w.t.base.net.ftp.files.at("site/images/logo.png"), std::string("png"));
    QCOMPARE(w.Strip("picStatus")->frame().caption,
             std::string("Uploaded logo.png to /site/images/"));
  }
};

}  // namespace
}  // namespace pagorin

QTEST_MAIN(pagorin::UploadWindowTest)
#include "frm_main_upload_test.moc"
