#include "gui/frm_content_creator.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/engine.h"
#include "gui/frm_pick_tags.h"
#include "gui/qt_text.h"
#include "gui/widgets.h"
#include "news/news_tags.h"

namespace pagorin {

namespace {

constexpr const char* kIncludeTip =
    "Must contain 0000, which will be replaced with the actual number";

QLineEdit* Field(const QString& name, QWidget* parent, const QString& tooltip = {}) {
  auto* field = Named(new QLineEdit(parent), name);
  field->setToolTip(tooltip);
  return field;
}

// A box with a button beside it.
QHBoxLayout* WithButton(QWidget* field, QPushButton* button) {
  auto* row = new QHBoxLayout;
  row->addWidget(field, 1);
  row->addWidget(button);
  return row;
}

}  // namespace

frmContentCreator::frmContentCreator(Engine& engine, QWidget* parent)
    : QDialog(parent), engine_(engine), charset_(ProjectCharset(engine.ProjectSettings)) {
  setObjectName("frmContentCreator");
  setWindowTitle("Content Creator");
  auto* layout = new QVBoxLayout(this);

  TabStrip1_ = Named(new QTabWidget(this), "TabStrip1");
  TabStrip1_->addTab(BuildAddItemTab(), "Add Item");
  TabStrip1_->addTab(BuildSettingsTab(), "Settings");
  layout->addWidget(TabStrip1_, 1);

  auto* set_row = new QHBoxLayout;
  auto* sets = Named(new QComboBox(this), "Combo1");
  sets->addItem("News");
  sets->setCurrentIndex(0);
  sets->setToolTip("Will allow multiple sets - e.g. news, updates, releases");
  set_row->addWidget(new QLabel("Set:", this));
  set_row->addWidget(sets);
  auto* note = new QLabel(
      "Loads source include, replaces variables, copies source template, changes include "
      "filename, saves everything out.",
      this);
  note->setWordWrap(true);
  set_row->addWidget(note, 1);
  layout->addLayout(set_row);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* generate = AddButton(buttons, "cmdGen", "Generate", QDialogButtonBox::ActionRole);
  QPushButton* exit = AddButton(buttons, "cmdExit", "Exit", QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(generate, &QPushButton::clicked, this, &frmContentCreator::cmdGen);
  connect(exit, &QPushButton::clicked, this, &frmContentCreator::cmdExit);

  ShowFields(OpenContentCreator(engine_));
  TabStrip1_->setCurrentIndex(0);
  txtTitle_->setFocus();  // a new item starts with its title
  resize(760, 560);
}

QWidget* frmContentCreator::BuildAddItemTab() {
  auto* tab = new QWidget(this);
  auto* form = new QFormLayout(tab);
  txtPrefix_ = Field("txtPrefix", tab);
  txtNumber_ = Field("txtNumber", tab);
  txtTitle_ = Field("txtTitle", tab, "News Item Title");
  txtDate_ = Field("txtDate", tab);
  auto* now = Named(new QPushButton("Now", tab), "cmdNow");
  now->setAutoDefault(false);
  txtStory_ = Named(new QPlainTextEdit(tab), "txtStory");
  txtStory_->setTabChangesFocus(true);
  txtTags_ = Field("txtTags", tab, "Tags for this story");
  auto* choose = Named(new QPushButton("Choose", tab), "cmdChooseTags");
  choose->setAutoDefault(false);
  form->addRow("Template prefix:", txtPrefix_);
  form->addRow("Current Number:", txtNumber_);
  form->addRow("Title:", txtTitle_);
  form->addRow("Date:", WithButton(txtDate_, now));
  form->addRow("News:", txtStory_);
  form->addRow("Tags:", WithButton(txtTags_, choose));
  connect(now, &QPushButton::clicked, this, &frmContentCreator::cmdNow);
  connect(choose, &QPushButton::clicked, this, &frmContentCreator::cmdChooseTags);
  return tab;
}

QWidget* frmContentCreator::BuildSettingsTab() {
  auto* tab = new QWidget(this);
  auto* layout = new QVBoxLayout(tab);
  auto* form = new QFormLayout;
  txtSourceTemplate_ = Field("txtSourceTemplate", tab);
  txtSourceInclude_ = Field("txtSourceInclude", tab, kIncludeTip);
  txtSourceInclude2_ = Field("txtSourceInclude2", tab, kIncludeTip);
  txtTitleVar_ = Field("txtTitleVar", tab,
                       "Replace this variable in the source template with the title to the left");
  txtDateVar_ = Field("txtDateVar", tab,
                      "Replace this variable in the source template with the date string to the "
                      "left");
  txtStoryVar_ =
      Field("txtStoryVar", tab, "Replace this variable in the source template with the story text");
  txtTagVar_ =
      Field("txtTagVar", tab, "Replace this variable in the source template with the tags");
  txtNumVar_ = Field("txtNumVar", tab,
                     "Replace this variable in the source template with the number to the left");
  form->addRow("Source Template:", txtSourceTemplate_);
  form->addRow("Include:", txtSourceInclude_);
  form->addRow("Include:", txtSourceInclude2_);
  auto* variables = new QHBoxLayout;
  for (QLineEdit* variable : {txtTitleVar_, txtDateVar_, txtStoryVar_, txtTagVar_, txtNumVar_}) {
    variables->addWidget(variable);
  }
  form->addRow("Variables:", variables);
  layout->addLayout(form);

  auto* lists_row = new QHBoxLayout;
  lists_row->addWidget(new QLabel("News lists written by every build:", tab), 1);
  auto* add = Named(new QPushButton("Add", tab), "cmdAdd");
  add->setAutoDefault(false);
  MarkComesLater(add, "Add a news list");
  lists_row->addWidget(add);
  layout->addLayout(lists_row);
  ListView1_ = Named(new QTreeWidget(tab), "ListView1");
  ListView1_->setHeaderLabels(
      {"Include filename", "Outer Template", "Inner Template", "Tags", "Item Count"});
  ListView1_->setRootIsDecorated(false);
  ListView1_->setAlternatingRowColors(true);
  ListView1_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(ListView1_, 1);
  return tab;
}

// File names are names of this computer (UTF-8), the item's texts are in
// the project's character set; a box left as it was gives back its bytes.
void frmContentCreator::ShowFields(const ContentCreatorFields& fields) {
  shown_ = fields;
  txtPrefix_->setText(ToQt(fields.txtPrefix));
  txtNumber_->setText(ToQt(fields.txtNumber));
  txtTitle_->setText(FromProjectText(fields.txtTitle, charset_));
  txtDate_->setText(FromProjectText(fields.txtDate, charset_));
  txtStory_->setPlainText(ToEditorText(fields.txtStory, charset_));
  txtTags_->setText(FromProjectText(fields.txtTags, charset_));
  txtSourceTemplate_->setText(ToQt(fields.txtSourceTemplate));
  txtSourceInclude_->setText(ToQt(fields.txtSourceInclude));
  txtSourceInclude2_->setText(ToQt(fields.txtSourceInclude2));
  txtTitleVar_->setText(FromProjectText(fields.txtTitleVar, charset_));
  txtDateVar_->setText(FromProjectText(fields.txtDateVar, charset_));
  txtStoryVar_->setText(FromProjectText(fields.txtStoryVar, charset_));
  txtTagVar_->setText(FromProjectText(fields.txtTagVar, charset_));
  txtNumVar_->setText(FromProjectText(fields.txtNumVar, charset_));
  lists_ = fields.ListView1;
  ListView1_->clear();
  for (const NewsListDefinition& list : lists_) {
    ListView1_->addTopLevelItem(new QTreeWidgetItem(
        QStringList{ToQt(list.include_file), ToQt(list.outer_template), ToQt(list.inner_template),
                    FromProjectText(list.tags, charset_), ToQt(list.item_count)}));
  }
}

ContentCreatorFields frmContentCreator::Fields() const {
  ContentCreatorFields fields;
  fields.txtPrefix = EditedText(txtPrefix_->text(), shown_.txtPrefix);
  fields.txtNumber = FromQt(txtNumber_->text());
  fields.txtTitle = EditedProjectText(txtTitle_->text(), shown_.txtTitle, charset_);
  fields.txtDate = EditedProjectText(txtDate_->text(), shown_.txtDate, charset_);
  fields.txtStory = FromEditorText(txtStory_->toPlainText(), charset_, /*crlf=*/true);
  fields.txtTags = EditedProjectText(txtTags_->text(), shown_.txtTags, charset_);
  fields.txtSourceTemplate = EditedText(txtSourceTemplate_->text(), shown_.txtSourceTemplate);
  fields.txtSourceInclude = EditedText(txtSourceInclude_->text(), shown_.txtSourceInclude);
  fields.txtSourceInclude2 = EditedText(txtSourceInclude2_->text(), shown_.txtSourceInclude2);
  fields.txtTitleVar = EditedProjectText(txtTitleVar_->text(), shown_.txtTitleVar, charset_);
  fields.txtDateVar = EditedProjectText(txtDateVar_->text(), shown_.txtDateVar, charset_);
  fields.txtStoryVar = EditedProjectText(txtStoryVar_->text(), shown_.txtStoryVar, charset_);
  fields.txtTagVar = EditedProjectText(txtTagVar_->text(), shown_.txtTagVar, charset_);
  fields.txtNumVar = EditedProjectText(txtNumVar_->text(), shown_.txtNumVar, charset_);
  fields.ListView1 = lists_;
  return fields;
}

void frmContentCreator::cmdNow() {
  txtDate_->setText(FromProjectText(pagorin::cmdNow(engine_.env), charset_));
}

void frmContentCreator::cmdChooseTags() {
  frmPickTags picker(engine_.ProjectSettings, this);
  if (picker.exec() != QDialog::Accepted) {
    return;
  }
  const std::string tags =
      AddPickedTags(ToProjectText(txtTags_->text(), charset_), picker.SelectedTags());
  txtTags_->setText(FromProjectText(tags, charset_));
}

void frmContentCreator::cmdGen() {
  ContentCreatorFields fields = Fields();
  GenerateNewsItem(engine_, fields);
  ShowFields(fields);
}

void frmContentCreator::cmdExit() {
  ExitContentCreator(engine_, Fields());
  accept();
}

}  // namespace pagorin
