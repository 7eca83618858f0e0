// The main window's live preview: `pagorin serve` of the open project as a
// child process, followed through what it prints.
#include <QCoreApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>

#include "app/engine.h"
#include "app/project.h"
#include "app/project_paths.h"
#include "gui/frm_main.h"
#include "gui/qt_text.h"
#include "gui/widgets.h"
#include "serve/live_preview.h"

namespace pagorin {

namespace {

// How long the server has to end once asked to, before it is killed.
constexpr int kStopMilliseconds = 5000;
// What is kept of the server's output once the page is open: enough for
// the message when it ends by itself.
constexpr std::size_t kKeptOutput = 4096;

}  // namespace

void frmMain::cmdLivePreview() {
  if (serve_process_ != nullptr) {
    StopLivePreview();
  } else {
    StartLivePreview();
  }
  ShowLivePreviewState();
}

void frmMain::StartLivePreview() {
  bool saved = false;
  Run([this, &saved] {
    if (!engine_.ProjectLoaded || engine_.ProjectFile.empty()) {
      engine_.env.ui.ShowMessage("Open or save a project first.", Buttons::kOk, "Live Preview",
                                 Icon::kInformation);
      return;
    }
    // The server reads the project from its file, so it sees what the
    // window holds.
    saved = SaveProject(engine_);
  });
  if (!saved) {
    return;
  }
  serve_process_ = Named(new QProcess(this), "serveProcess");
  serve_process_->setProcessChannelMode(QProcess::MergedChannels);
  connect(serve_process_, &QProcess::readyReadStandardOutput, this, &frmMain::LivePreviewOutput);
  connect(serve_process_, &QProcess::finished, this, &frmMain::LivePreviewEnded);
  connect(serve_process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) {
      LivePreviewEnded();
    }
  });
  QStringList arguments;
  for (const std::string& argument : LivePreviewArguments(engine_)) {
    arguments << ToQt(argument);
  }
  served_project_ = engine_.ProjectFile;
  serve_output_.clear();
  serve_port_ = 0;
  serve_page_opened_ = false;
  serve_process_->start(
      serve_program_.isEmpty() ? QCoreApplication::applicationFilePath() : serve_program_,
      arguments);
}

void frmMain::StopLivePreview() {
  if (serve_process_ == nullptr) {
    return;
  }
  QProcess* process = std::exchange(serve_process_, nullptr);
  process->disconnect(this);
  // SIGTERM ends the server as Ctrl+C does: it closes its connections first.
  process->terminate();
  if (!process->waitForFinished(kStopMilliseconds)) {
    process->kill();
    process->waitForFinished();
  }
  delete process;
}

void frmMain::LivePreviewOutput() {
  serve_output_ += serve_process_->readAllStandardOutput().toStdString();
  if (serve_page_opened_) {
    if (serve_output_.size() > kKeptOutput) {
      serve_output_.erase(0, serve_output_.size() - kKeptOutput);
    }
    return;
  }
  const ServeProgress progress = ReadServeOutput(serve_output_);
  serve_port_ = progress.port;
  if (progress.built) {
    serve_page_opened_ = true;
    const std::string address = LivePageAddress(engine_, serve_port_);
    if (!engine_.env.ui.OpenDocument(address)) {
      engine_.env.ui.ShowMessage("The page " + address +
                                     " could not be opened: no program to show web pages was "
                                     "found. Open it in your browser yourself.",
                                 Buttons::kOk, "Live Preview", Icon::kExclamation);
    }
  }
  ShowLivePreviewState();
}

// The server ended by itself: it could not start, or stopped.
void frmMain::LivePreviewEnded() {
  if (serve_process_ == nullptr) {
    return;
  }
  QProcess* process = std::exchange(serve_process_, nullptr);
  process->disconnect(this);
  const bool started = process->error() != QProcess::FailedToStart;
  std::string said =
      serve_output_ + (started ? process->readAllStandardOutput().toStdString() : "");
  said.erase(said.find_last_not_of(" \r\n") + 1);
  const std::string reason = started ? said : FromQt(process->errorString());
  process->deleteLater();
  ShowLivePreviewState();
  engine_.env.ui.ShowMessage(
      std::string(started ? "The preview server ended" : "The preview server could not start") +
          (reason.empty() ? "." : ":\n" + reason),
      Buttons::kOk, "Live Preview", Icon::kExclamation);
}

void frmMain::ShowLivePreviewState() {
  const bool serving = serve_process_ != nullptr;
  cmdLivePreview_->setChecked(serving);
  cmdLivePreview_->setEnabled(serving || engine_.ProjectLoaded);
  if (serving && serve_port_ != 0) {
    lblServing_->setText("Serving " + ToQt(GetProjectPath(engine_)) + " on http://127.0.0.1:" +
                         QString::number(serve_port_) + "/ (click Live again to stop)");
  } else if (serving) {
    lblServing_->setText("Starting the preview server...");
  } else {
    lblServing_->clear();
  }
  statusBar()->setVisible(serving);
}

}  // namespace pagorin
