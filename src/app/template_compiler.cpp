#include "app/template_compiler.h"

#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "app/build_limits.h"
#include "app/build_run.h"
#include "app/compile_error.h"
#include "app/current_date_texts.h"
#include "app/engine.h"
#include "app/page_records.h"
#include "app/page_writer.h"
#include "app/page_writer_thread.h"
#include "app/project_paths.h"
#include "app/template_markup.h"
#include "app/variable_substitution.h"
#include "shared/file_subs.h"
#include "shared/locale_facts.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/pointer.h"
#include "shared/progress.h"
#include "shared/text.h"

namespace pagorin {

namespace {

constexpr const char* kModule = "frmMain";
constexpr std::string_view kIncludeDirective = "[include=";
// Far beyond any real site; it only stops includes that reach the same file
// under ever new names (through a link to a folder above, say).
constexpr size_t kMaxNesting = 100;

// What becomes of the page being built when the build stops. A directive
// that cannot be followed (a missing include, no "]", an include cycle or
// nesting too deep) leaves the page cut at that directive, written whole; a
// file that cannot be read or written, or memory running out, leaves the
// old page as it was.
enum class CutPage { kWrite, kDiscard };

// Tells the person why the build stops, in the order every build failure
// uses: the log line, the page settled (`cut`), the message box, the status
// strip, the normal pointer; then the error that ends the run. A page
// collected for the writer thread is settled before all that, after the
// pages before it.
[[noreturn]] void StopBuild(BuildRun& run, PageWriter* out, CutPage cut,
                            const std::string& log_line, const std::string& message,
                            const std::string& status, int number, const std::string& description,
                            bool earlier_page = false);

[[noreturn]] void StopOnWriteFailure(BuildRun& run, PageWriter* out, const FsStatus& status,
                                     bool earlier_page = false) {
  const std::string page = fileonly(run.CurrentPageFile);
  const bool full = status.code == FsError::kDiskFull;
  StopBuild(run, out, CutPage::kDiscard,
            run.CurrentPageFile + " cannot be written: " + status.message,
            "The page " + page + " cannot be written. Please fix and re-run.",
            page + " cannot be written", full ? kErrDiskFull : kErrFileAccess,
            full ? "Disk full" : "Path/File access error", earlier_page);
}

// A page the writer thread could not write ends the build as it would have
// ended had that page been written at once.
[[noreturn]] void StopOnFailedPage(BuildRun& run, const PageWriterThread::Failure& failure) {
  run.CurrentPageFile = failure.page;
  StopOnWriteFailure(run, nullptr, failure.status, /*earlier_page=*/true);
}

// The collected page cut short: the pages before it are written first, and
// a failure among them is the one reported; then it is written as far as it
// got, or given up. A page that cannot even be opened is reported in place
// of the error that cut it short, which could not have come about had it
// been written at once.
void SettleCollectedPage(BuildRun& run, PageWriter& out, CutPage cut) {
  PageWriterThread& thread = *run.page_writer_thread;
  if (std::optional<PageWriterThread::Failure> earlier = thread.Finish()) {
    StopOnFailedPage(run, *earlier);
  }
  if (cut == CutPage::kDiscard) {
    out.Discard();
    return;
  }
  thread.Queue(out.path(), out.TakeText());
  if (std::optional<PageWriterThread::Failure> own = thread.Finish(); own && own->opening) {
    StopOnFailedPage(run, *own);
  }
}

[[noreturn]] void StopBuild(BuildRun& run, PageWriter* out, CutPage cut,
                            const std::string& log_line, const std::string& message,
                            const std::string& status, int number, const std::string& description,
                            bool earlier_page) {
  Env& env = run.env;
  if (out != nullptr && out->collecting() && !out->closed() && run.page_writer_thread != nullptr) {
    SettleCollectedPage(run, *out, cut);
  }
  env.log.LogEvent(log_line);
  if (out != nullptr && cut == CutPage::kWrite) {
    out->Close();
  } else if (out != nullptr) {
    out->Discard();
  }
  env.ui.ShowMessage(message, Buttons::kOk);
  env.progress.PrintCentered(StatusStrip::kMain, status);
  ShowNormal(env.ui);
  throw CompileError(number, description, earlier_page);
}

// One page being built: the output, and the files being processed from the
// template inward, which name the chain when an include comes back round.
class PageCompiler {
 public:
  PageCompiler(BuildRun& run, PageWriter& out)
      : run_(run),
        env_(run.env),
        out_(out),
        includes_dir_(IncludesDir(run.engine)),
        substituter_(run.engine.TemplateVars) {}

  // The file at `path`, read through the cache; one that does not exist
  // reads as "-1".
  void ImportSource(const std::string& path) {
    clsCache::Lookup lookup = run_.engine.FileCache.Read(path, clsCache::Keep::kOnce);
    if (run_.recorder != nullptr && lookup.status != clsCache::Lookup::Status::kUnreadable) {
      run_.recorder->Read(path, lookup.file.get());
    }
    if (lookup.status == clsCache::Lookup::Status::kMissing) {
      lookup.file = MakeCachedFile("-1", lookup.disk_path, TimePoint{});
    }
    Import(path, lookup, /*including_file=*/"");
  }

 private:
  struct OpenFile {
    const std::string* identity;  // owned by the lookup of the file's Import
    const std::string* path;      // the same
  };

  void Import(const std::string& path, const clsCache::Lookup& lookup,
              const std::string& including_file) {
    std::string unreadable_identity;
    if (lookup.file == nullptr) {
      unreadable_identity = FileIdentity(lookup.disk_path);
    }
    open_files_.push_back(
        OpenFile{lookup.file != nullptr ? &lookup.file->identity : &unreadable_identity, &path});
    try {
      if (lookup.status == clsCache::Lookup::Status::kUnreadable) {
        StopOnUnreadable(path, lookup, including_file);
      }
      Process(path, *lookup.file);
    } catch (const CompileError& error) {
      LogLevel(error);
      open_files_.pop_back();
      throw;
    } catch (const BuildLimitExceeded& limit) {
      const std::string text = limit.what() + std::string(": ") + OpenFiles();
      open_files_.pop_back();
      try {
        StopBuild(run_, &out_, CutPage::kDiscard, text, text + ". Please fix and re-run.", text,
                  kErrOutOfMemory, "Out of memory");
      } catch (const CompileError& error) {
        LogLevel(error);
        throw;
      }
    } catch (const std::bad_alloc&) {
      open_files_.pop_back();
      const std::string name = fileonly(path);
      try {
        StopBuild(run_, &out_, CutPage::kDiscard, path + " cannot be built: out of memory",
                  name + " is too large to build: the computer ran out of memory.",
                  name + " is too large", kErrOutOfMemory, "Out of memory");
      } catch (const CompileError& error) {
        LogLevel(error);
        throw;
      }
    }
    open_files_.pop_back();
  }

  // One record per include level the error passes through.
  void LogLevel(const CompileError& error) {
    if (!error.earlier_page()) {
      env_.log.LogError(error.LogText(), "Importfile", kModule);
    }
  }

  void Process(const std::string& path, const CachedFile& file) {
    const std::string* text = &file.text;
    std::string own;  // a copy, made only when the text changes
    if (file.has_title) {
      run_.CurrentPageTitle = file.title;
      if (run_.recorder != nullptr) {
        run_.recorder->TitleSet(file.title);
      }
    }
    bool has_definition = file.has_definition;
    if (file.has_dollar) {
      own = file.text;
      text = &own;
      const CurrentDateTexts::Texts* now = nullptr;  // one moment for the whole file
      ReplaceDollarVariables(own, [&](DollarVariable variable) {
        if (now == nullptr &&
            (variable == DollarVariable::kFileChange || variable == DollarVariable::kShortDate ||
             variable == DollarVariable::kLongDate)) {
          now = &run_.current_dates.At(env_.clock.Now(), env_.locale);
        }
        std::string value = DollarValue(variable, file.modified, now);
        if (run_.recorder != nullptr) {
          Note(variable, path, value);
        }
        return value;
      });
      has_definition = ContainsText(own, "[var");  // values may hold definitions
    }
    if (has_definition) {
      if (text != &own) {
        own = file.text;
        text = &own;
      }
      if (!TakeDefinitions(own, run_.engine.TemplateVars)) {
        const std::string line =
            path + ": \"[var\" without a closing \"]\" is left in the page as text";
        env_.log.LogEvent(line);
        if (run_.recorder != nullptr) {
          run_.recorder->Event(line);
        }
      }
    }
    WritePieces(path, *text);
  }

  // The text between include directives is written with its variables
  // replaced; each directive is replaced by the processed include.
  void WritePieces(const std::string& path, std::string_view text) {
    size_t piece_start = 0;
    for (;;) {
      const size_t found = FindNoCase(text, kIncludeDirective, piece_start);
      if (found == std::string_view::npos) {
        WritePiece(text.substr(piece_start));
        return;
      }
      WritePiece(text.substr(piece_start, found - piece_start));
      const size_t name_start = found + kIncludeDirective.size();
      const size_t close = text.find(']', name_start);
      if (close == std::string_view::npos) {
        StopOnUnclosedDirective(path);
      }
      const std::string name(text.substr(name_start, close - name_start));
      piece_start = close + 1;
      if (name.find(':') != std::string::npos && name.front() != '/') {
        StopOnMissing(name, path);  // a Windows drive, which no path here can reach
      }
      Include(IsFullPath(name) ? name : includes_dir_ + name, path);
    }
  }

  void WritePiece(std::string_view piece) {
    const FsStatus status =
        substituter_.Scan(piece)
            ? out_.WriteWith([&](std::string* page) { substituter_.AppendReplaced(piece, page); })
            : out_.Write(piece);
    if (!status.ok()) {
      StopOnWriteFailure(run_, &out_, status);
    }
  }

  void Include(const std::string& include_path, const std::string& source_path) {
    const clsCache::Lookup lookup = run_.engine.FileCache.Read(include_path);
    if (lookup.status == clsCache::Lookup::Status::kMissing) {
      StopOnMissing(include_path, source_path);
    }
    if (run_.recorder != nullptr && lookup.file != nullptr) {
      run_.recorder->Read(include_path, lookup.file.get());
    }
    // A file that cannot be read was not read on the way here either.
    for (const OpenFile& open : open_files_) {
      if (lookup.file != nullptr && *open.identity == lookup.file->identity) {
        StopOnCycle(fileonly(include_path), lookup.file->identity);
      }
    }
    if (open_files_.size() >= kMaxNesting) {
      StopOnDepth(fileonly(include_path));
    }
    Import(include_path, lookup, source_path);
  }

  // `now` is set for the variables of the current date.
  std::string DollarValue(DollarVariable variable, TimePoint modified,
                          const CurrentDateTexts::Texts* now) const {
    switch (variable) {
      case DollarVariable::kGenerator:
        return "Pagorin " + AppVersion();
      case DollarVariable::kAuthor:
        return "Pagorin User";
      case DollarVariable::kFileCreate:
        return DateStamp(ToLocal(modified), env_.locale);
      case DollarVariable::kFileChange:
        return now->file_change;
      case DollarVariable::kShortDate:
        return now->short_date;
      case DollarVariable::kLongDate:
        return now->long_date;
      case DollarVariable::kBaseUrl:
        return run_.CurrentSiteURL;
      case DollarVariable::kPageUrl:
        return fileonly(run_.CurrentPageFile);
      case DollarVariable::kEncodedPageTitle:
        return ReplaceAll(run_.CurrentPageTitle, " ", "%20", true);
    }
    return {};
  }

  // The files open, outermost first: "page.template > a.inc".
  std::string OpenFiles() const {
    const std::string chain = Chain({});
    return chain.substr(0, chain.size() - 3);
  }

  // What the page's record must hold of a dollar variable's value: the
  // values that come from outside the page's files and its own name.
  void Note(DollarVariable variable, const std::string& path, const std::string& value) {
    PageRecorder& recorder = *run_.recorder;
    switch (variable) {
      case DollarVariable::kFileCreate:
        recorder.FileDateUsed(path);
        break;
      case DollarVariable::kFileChange:
      case DollarVariable::kShortDate:
      case DollarVariable::kLongDate:
        recorder.DateUsed(variable, value);
        break;
      case DollarVariable::kBaseUrl:
        recorder.SiteUrlUsed(value);
        break;
      case DollarVariable::kEncodedPageTitle:
        recorder.TitleUsed(run_.CurrentPageTitle);
        break;
      default:
        break;  // the program's own texts, or the page's name, which the record holds
    }
  }

  std::string Chain(const std::string& last) const {
    std::string chain;
    for (const OpenFile& open : open_files_) {
      chain += fileonly(*open.path) + " > ";
    }
    return chain + last;
  }

  [[noreturn]] void StopOnMissing(const std::string& include_path, const std::string& source_path) {
    const std::string text = fileonly(include_path) + " not found in " + fileonly(source_path);
    StopBuild(run_, &out_, CutPage::kWrite,
              include_path + " not found in " + source_path + ". Please fix and re-run.",
              text + ". Please fix and re-run.", text, kErrFileNotFound, "File not found");
  }

  [[noreturn]] void StopOnCycle(const std::string& name, const std::string& identity) {
    std::string repeated = name;
    for (const OpenFile& open : open_files_) {
      if (*open.identity == identity) {
        repeated = fileonly(*open.path);
      }
    }
    const std::string text = repeated + " includes itself: " + Chain(name);
    StopBuild(run_, &out_, CutPage::kWrite, text, text, text, kErrIncludeCycle, "Include cycle");
  }

  [[noreturn]] void StopOnDepth(const std::string& name) {
    const std::string text =
        "Includes nest more than " + std::to_string(kMaxNesting) + " levels deep: " + Chain(name);
    StopBuild(run_, &out_, CutPage::kWrite, text, text + ". Please fix and re-run.", text,
              kErrTooDeep, "Includes nested too deeply");
  }

  [[noreturn]] void StopOnUnclosedDirective(const std::string& path) {
    const std::string name = fileonly(path);
    StopBuild(run_, &out_, CutPage::kWrite, path + ": an include directive has no closing \"]\"",
              "The include directive in " + name + " has no closing \"]\". Please fix and re-run.",
              "Include directive without \"]\" in " + name, kErrInvalidArgument,
              "Invalid procedure call or argument");
  }

  [[noreturn]] void StopOnUnreadable(const std::string& path, const clsCache::Lookup& lookup,
                                     const std::string& including_file) {
    const std::string name = fileonly(path);
    const std::string log_line = path + " cannot be read: " + lookup.error;
    if (lookup.error_code == FsError::kNotRegularFile) {
      // The file being opened is the last of the open files.
      std::string chain;
      for (const OpenFile& open : open_files_) {
        chain += (chain.empty() ? "" : " > ") + fileonly(*open.path);
      }
      const std::string text =
          name + " is not a regular file but a device, pipe or socket: " + chain;
      StopBuild(run_, &out_, CutPage::kDiscard, log_line, text + ". Please fix and re-run.",
                name + " is not a regular file", kErrFileAccess, "Path/File access error");
    }
    if (lookup.error_code == FsError::kTooLarge) {
      const std::string text = name + " is larger than " + std::to_string(kMaxFileBytes >> 20) +
                               " MB, too large to read: " + OpenFiles();
      StopBuild(run_, &out_, CutPage::kDiscard, log_line, text + ". Please fix and re-run.",
                name + " is too large", kErrOutOfMemory, "Out of memory");
    }
    const std::string where =
        including_file.empty() ? "" : " (included in " + fileonly(including_file) + ")";
    StopBuild(run_, &out_, CutPage::kDiscard, log_line,
              name + where + " cannot be read. Please fix and re-run.", name + " cannot be read",
              kErrFileAccess, "Path/File access error");
  }

  BuildRun& run_;
  Env& env_;
  PageWriter& out_;
  const std::string includes_dir_;
  VariableSubstituter substituter_;
  std::vector<OpenFile> open_files_;
};

// While a page is compiled, what it reads, defines and uses goes to its
// recorder; however the compile ends.
class RecordingPage {
 public:
  RecordingPage(BuildRun& run, PageRecorder* recorder) : run_(run) {
    run.recorder = recorder;
    run.engine.TemplateVars.Observe(recorder);
  }
  ~RecordingPage() {
    run_.engine.TemplateVars.Observe(nullptr);
    run_.recorder = nullptr;
  }
  RecordingPage(const RecordingPage&) = delete;
  RecordingPage& operator=(const RecordingPage&) = delete;

 private:
  BuildRun& run_;
};

// The pages the writer thread finished reach their records.
void TakeWrittenPages(BuildRun& run) {
  for (const PageWriterThread::Written& written : run.page_writer_thread->TakeWritten()) {
    run.PageWritten(written.page, written.info, written.seen_at);
  }
}

}  // namespace

void Importfile(BuildRun& run, PageWriter& out, const std::string& source_path) {
  PageCompiler(run, out).ImportSource(source_path);
}

void ParseTemplateFile(BuildRun& run, const std::string& template_path) {
  Engine& engine = run.engine;
  Env& env = run.env;
  try {
    run.SetCurrentPage(template_path);
    if (const std::string& site = run.site_folder();
        LeavesFolder(std::string_view(run.CurrentPageFile).substr(site.size()))) {
      const std::string text = "The page of " + fileonly(template_path) + ", " +
                               run.CurrentPageFile +
                               ", leads out of the site folder: check the output extension";
      StopBuild(run, nullptr, CutPage::kDiscard, text, text + ". Please fix and re-run.", text,
                kErrFileAccess, "Path/File access error");
    }
    PageWriterThread* thread = run.page_writer_thread;
    if (thread != nullptr) {
      if (std::optional<PageWriterThread::Failure> failed = thread->failure()) {
        StopOnFailedPage(run, *failed);
      }
      TakeWrittenPages(run);
    }
    if (run.LeaveUnchanged(template_path, run.CurrentPageFile)) {
      return;
    }
    // A page that fails keeps no record; one that is built gets a new one.
    engine.page_records.Erase(template_path);
    ++run.pages_compiled;
    std::optional<PageRecorder> recorder;
    if (engine.keep_page_records) {
      recorder.emplace(run.CurrentPageFile, engine.TemplateVars, engine.page_records);
    }
    PageRecorder* const recording_to = recorder ? &*recorder : nullptr;
    if (thread != nullptr) {
      PageWriter out(run.CurrentPageFile);
      {
        const RecordingPage recording(run, recording_to);
        Importfile(run, out, template_path);
      }
      std::string text = out.TakeText();
      if (recorder) {
        PageRecord record = recorder->Take();
        record.output_hash = TextHash(text);
        engine.page_records.Store(template_path, std::move(record));
        run.AwaitPage(run.CurrentPageFile, template_path);
      }
      thread->Queue(run.CurrentPageFile, std::move(text));
      return;
    }
    // The page is looked for under exactly its own name: another letter case
    // would cost a listing of the site folder for every new page. It
    // replaces the old page only once it is written whole.
    std::unique_ptr<OutputFile> file;
    const FsStatus opened = OpenReplacement(env.fs, run.CurrentPageFile, &file, run.same_text);
    if (!opened.ok()) {
      StopOnWriteFailure(run, nullptr, opened);
    }
    PageWriter out(std::move(file), run.CurrentPageFile);
    {
      const RecordingPage recording(run, recording_to);
      Importfile(run, out, template_path);
    }
    const FsStatus closed = out.Close();
    if (!closed.ok()) {
      StopOnWriteFailure(run, nullptr, closed);
    }
    if (!recorder) {
      return;
    }
    PageRecord record = recorder->Take();
    record.output_seen_at = env.fs.Now();
    record.output = env.fs.Stat(run.CurrentPageFile);
    record.output_known = record.output.exists;
    engine.page_records.Store(template_path, std::move(record));
  } catch (const CompileError& error) {
    env.log.LogError(error.LogText(), "ParseTemplateFile", kModule);
    throw;
  } catch (const std::bad_alloc&) {
    const CompileError error(kErrOutOfMemory, "Out of memory");
    env.log.LogError(error.LogText(), "ParseTemplateFile", kModule);
    throw error;
  }
}

void FinishPages(BuildRun& run) {
  if (run.page_writer_thread == nullptr) {
    return;
  }
  std::optional<PageWriterThread::Failure> failed = run.page_writer_thread->Finish();
  TakeWrittenPages(run);
  if (failed) {
    try {
      StopOnFailedPage(run, *failed);
    } catch (const CompileError& error) {
      run.env.log.LogError(error.LogText(), "ParseTemplateFile", kModule);
      throw;
    }
  }
}

}  // namespace pagorin
