#include "gui/frm_external_includes.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/engine.h"
#include "gui/qt_text.h"
#include "gui/widgets.h"

namespace pagorin {

namespace {

QPlainTextEdit* FileBox(const QString& name, QWidget* parent) {
  auto* box = Named(new QPlainTextEdit(parent), name);
  box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  return box;
}

}  // namespace

frmExternalIncludes::frmExternalIncludes(Engine& engine, QWidget* parent)
    : QDialog(parent), engine_(engine), charset_(ProjectCharset(engine.ProjectSettings)) {
  setObjectName("frmExternalIncludes");
  setWindowTitle("Version INC file generator");
  auto* layout = new QVBoxLayout(this);

  auto* read_from = new QHBoxLayout;
  txtIniFile_ = Named(new QLineEdit(this), "txtIniFile");
  auto* refresh = Named(new QPushButton("Refresh", this), "cmdRefresh");
  refresh->setAutoDefault(false);
  read_from->addWidget(new QLabel("Read From:", this));
  read_from->addWidget(txtIniFile_, 1);
  read_from->addWidget(refresh);
  layout->addLayout(read_from);

  layout->addWidget(new QLabel("One file per line, comma separated.", this));
  txtSources_ = FileBox("txtSources", this);
  txtSources_->setPlaceholderText("include.inc, Template.txt, /path/to/current.txt, False");
  layout->addWidget(txtSources_, 1);
  auto* template_label = new QLabel(
      "Template.  Put $FILE for the contents of the source file, $DATE for the file date", this);
  template_label->setWordWrap(true);
  layout->addWidget(template_label);
  txtTemplate_ = FileBox("txtTemplate", this);
  layout->addWidget(txtTemplate_, 1);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = AddButton(buttons, "cmdOK", "OK", QDialogButtonBox::AcceptRole);
  QPushButton* exit = AddButton(buttons, "cmdExit", "Exit", QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(refresh, &QPushButton::clicked, this, &frmExternalIncludes::cmdRefresh);
  connect(ok, &QPushButton::clicked, this, &frmExternalIncludes::cmdOK);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);

  ShowTexts(LoadVersionIncludeDialog(engine_));
  resize(720, 520);
}

void frmExternalIncludes::ShowTexts(const VersionIncludeDialogTexts& texts) {
  txtIniFile_->setText(ToQt(texts.txtIniFile));
  sources_crlf_ = UsesCrLf(texts.txtSources);
  template_crlf_ = UsesCrLf(texts.txtTemplate);
  txtSources_->setPlainText(ToEditorText(texts.txtSources, charset_));
  txtTemplate_->setPlainText(ToEditorText(texts.txtTemplate, charset_));
}

VersionIncludeDialogTexts frmExternalIncludes::Texts() const {
  VersionIncludeDialogTexts texts;
  texts.txtIniFile = FromQt(txtIniFile_->text());
  texts.txtSources = FromEditorText(txtSources_->toPlainText(), charset_, sources_crlf_);
  texts.txtTemplate = FromEditorText(txtTemplate_->toPlainText(), charset_, template_crlf_);
  return texts;
}

void frmExternalIncludes::cmdRefresh() {
  VersionIncludeDialogTexts texts = Texts();
  RefreshVersionIncludeSources(engine_, texts);
  sources_crlf_ = UsesCrLf(texts.txtSources);
  txtSources_->setPlainText(ToEditorText(texts.txtSources, charset_));
}

void frmExternalIncludes::cmdOK() {
  StoreVersionIncludeDialog(engine_, Texts());
  accept();
}

}  // namespace pagorin
