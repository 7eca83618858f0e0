// The Content Creator: writes one news item at a time into the open
// project, and shows the news lists a build writes.
#pragma once

#include <QDialog>

#include "news/content_creator.h"
#include "shared/charset.h"

class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QTreeWidget;

namespace pagorin {

struct Engine;

// Fills itself from the project when created (OpenContentCreator). Generate
// writes an item; Exit stores the list definitions in the project and
// closes; the close box closes without storing them. Rebuilding the news
// lists after it closes is the caller's business (ContentCreatorClosed). The
// engine and the seam must outlive the dialog.
class frmContentCreator final : public QDialog {
  Q_OBJECT

 public:
  explicit frmContentCreator(Engine& engine, QWidget* parent = nullptr);

  ContentCreatorFields Fields() const;

 private:
  QWidget* BuildAddItemTab();
  QWidget* BuildSettingsTab();
  void ShowFields(const ContentCreatorFields& fields);
  void cmdNow();
  void cmdChooseTags();
  void cmdGen();
  void cmdExit();

  Engine& engine_;
  Charset charset_;
  ContentCreatorFields shown_;  // what the boxes were filled with
  std::vector<NewsListDefinition> lists_;
  QTabWidget* TabStrip1_ = nullptr;
  QLineEdit* txtPrefix_ = nullptr;
  QLineEdit* txtNumber_ = nullptr;
  QLineEdit* txtTitle_ = nullptr;
  QLineEdit* txtDate_ = nullptr;
  QPlainTextEdit* txtStory_ = nullptr;
  QLineEdit* txtTags_ = nullptr;
  QLineEdit* txtSourceTemplate_ = nullptr;
  QLineEdit* txtSourceInclude_ = nullptr;
  QLineEdit* txtSourceInclude2_ = nullptr;
  QLineEdit* txtTitleVar_ = nullptr;
  QLineEdit* txtDateVar_ = nullptr;
  QLineEdit* txtStoryVar_ = nullptr;
  QLineEdit* txtTagVar_ = nullptr;
  QLineEdit* txtNumVar_ = nullptr;
  QTreeWidget* ListView1_ = nullptr;
};

}  // namespace pagorin
