// The table builder: its defaults, the sliders writing into their boxes,
// OK with the markup built and Cancel with nothing.
#include "gui/frm_table_builder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include "gui_test_env.h"

namespace pagorin {

using testing::Find;
using testing::Text;
using testing::Type;

class FrmTableBuilderTest : public QObject {
  Q_OBJECT

 private slots:
  void OkBuildsTheTableFromTheFields();
  void CancelLeavesItCancelled();
};

void FrmTableBuilderTest::OkBuildsTheTableFromTheFields() {
  frmTableBuilder builder;
  QCOMPARE(builder.windowTitle(), QString("Table Builder"));
  QCOMPARE(Text(&builder, "txtTableSettings"),
           QString("Border=0 Width=100% cellpadding=5 cellspacing=0"));
  QCOMPARE(Text(&builder, "txtCellFormat"), QString("align=left valign=top"));
  QCOMPARE(Text(&builder, "txtRows"), QString("1"));
  Find<QSlider>(&builder, "SliderRows")->setValue(2);
  QCOMPARE(Text(&builder, "txtRows"), QString("2"));
  Type(&builder, "txtTableSettings", "border=1");
  Type(&builder, "txtCellFormat", "  class=c  ");
  Find<QPushButton>(&builder, "cmdOK")->click();
  QVERIFY(!builder.Cancelled());
  QCOMPARE(builder.TableString(),
           std::string("<table border=1>\r\n<tr>\r\n<td class=c>Cell</td>\r\n</tr>\r\n<tr>\r\n"
                       "<td class=c>Cell</td>\r\n</tr>\r\n</table>\r\n"));
}

void FrmTableBuilderTest::CancelLeavesItCancelled() {
  frmTableBuilder builder;
  builder.show();
  Find<QPushButton>(&builder, "cmdCancel")->click();
  QVERIFY(!builder.isVisible());
  QVERIFY(builder.Cancelled());
  QCOMPARE(builder.TableString(), std::string());
}

}  // namespace pagorin

QTEST_MAIN(pagorin::FrmTableBuilderTest)
#include "frm_table_builder_test.moc"
