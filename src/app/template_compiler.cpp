#include "app/template_compiler.h"

#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "app/build_limits.h"
#include "app/compile_error.h"
#include "app/current_date_texts.h"
#include "app/engine.h"
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
[[noreturn]] void StopBuild(Engine& engine, PageWriter* out, CutPage cut,
                            const std::string& log_line, const std::string& message,
                            const std::string& status, int number, const std::string& description,
                            bool earlier_page = false);

[[noreturn]] void StopOnWriteFailure(Engine& engine, PageWriter* out, const FsStatus& status,
                                     bool earlier_page = false) {
  const std::string page = fileonly(engine.CurrentPageFile);
  const bool full = status.code == FsError::kDiskFull;
  StopBuild(engine, out, CutPage::kDiscard,
            engine.CurrentPageFile + " cannot be written: " + status.message,
            "The page " + page + " cannot be written. Please fix and re-run.",
            page + " cannot be written", full ? kErrDiskFull : kErrFileAccess,
            full ? "Disk full" : "Path/File access error", earlier_page);
}

// A page the writer thread could not write ends the build as it would have
// ended had that page been written at once.
[[noreturn]] void StopOnFailedPage(Engine& engine, const PageWriterThread::Failure& failure) {
  engine.CurrentPageFile = failure.page;
  StopOnWriteFailure(engine, nullptr, failure.status, /*earlier_page=*/true);
}

// The collected page cut short: the pages before it are written first, and
// a failure among them is the one reported; then it is written as far as it
// got, or given up. A page that cannot even be opened is reported in place
// of the error that cut it short, which could not have come about had it
// been written at once.
void SettleCollectedPage(Engine& engine, PageWriter& out, CutPage cut) {
  PageWriterThread& thread = *engine.page_writer_thread;
  if (std::optional<PageWriterThread::Failure> earlier = thread.Finish()) {
    StopOnFailedPage(engine, *earlier);
  }
  if (cut == CutPage::kDiscard) {
    out.Discard();
    return;
  }
  thread.Queue(out.path(), out.TakeText());
  if (std::optional<PageWriterThread::Failure> own = thread.Finish(); own && own->opening) {
    StopOnFailedPage(engine, *own);
  }
}

[[noreturn]] void StopBuild(Engine& engine, PageWriter* out, CutPage cut,
                            const std::string& log_line, const std::string& message,
                            const std::string& status, int number, const std::string& description,
                            bool earlier_page) {
  Env& env = engine.env;
  if (out != nullptr && out->collecting() && !out->closed() &&
      engine.page_writer_thread != nullptr) {
    SettleCollectedPage(engine, *out, cut);
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
  PageCompiler(Engine& engine, PageWriter& out)
      : engine_(engine),
        env_(engine.env),
        out_(out),
        includes_dir_(IncludesDir(engine)),
        substituter_(engine.TemplateVars) {}

  // The file at `path`, read through the cache; one that does not exist
  // reads as "-1".
  void ImportSource(const std::string& path) {
    clsCache::Lookup lookup = engine_.FileCache.Read(path, clsCache::Keep::kOnce);
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
        StopBuild(engine_, &out_, CutPage::kDiscard, text, text + ". Please fix and re-run.", text,
                  kErrOutOfMemory, "Out of memory");
      } catch (const CompileError& error) {
        LogLevel(error);
        throw;
      }
    } catch (const std::bad_alloc&) {
      open_files_.pop_back();
      const std::string name = fileonly(path);
      try {
        StopBuild(engine_, &out_, CutPage::kDiscard, path + " cannot be built: out of memory",
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
      engine_.CurrentPageTitle = file.title;
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
          now = &engine_.current_dates.At(env_.clock.Now(), env_.locale);
        }
        return DollarValue(variable, file.modified, now);
      });
      has_definition = ContainsText(own, "[var");  // values may hold definitions
    }
    if (has_definition) {
      if (text != &own) {
        own = file.text;
        text = &own;
      }
      if (!TakeDefinitions(own, engine_.TemplateVars)) {
        env_.log.LogEvent(path + ": \"[var\" without a closing \"]\" is left in the page as text");
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
      StopOnWriteFailure(engine_, &out_, status);
    }
  }

  void Include(const std::string& include_path, const std::string& source_path) {
    const clsCache::Lookup lookup = engine_.FileCache.Read(include_path);
    if (lookup.status == clsCache::Lookup::Status::kMissing) {
      StopOnMissing(include_path, source_path);
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
        return engine_.CurrentSiteURL;
      case DollarVariable::kPageUrl:
        return fileonly(engine_.CurrentPageFile);
      case DollarVariable::kEncodedPageTitle:
        return ReplaceAll(engine_.CurrentPageTitle, " ", "%20", true);
    }
    return {};
  }

  // The files open, outermost first: "page.template > a.inc".
  std::string OpenFiles() const {
    const std::string chain = Chain({});
    return chain.substr(0, chain.size() - 3);
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
    StopBuild(engine_, &out_, CutPage::kWrite,
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
    StopBuild(engine_, &out_, CutPage::kWrite, text, text, text, kErrIncludeCycle, "Include cycle");
  }

  [[noreturn]] void StopOnDepth(const std::string& name) {
    const std::string text =
        "Includes nest more than " + std::to_string(kMaxNesting) + " levels deep: " + Chain(name);
    StopBuild(engine_, &out_, CutPage::kWrite, text, text + ". Please fix and re-run.", text,
              kErrTooDeep, "Includes nested too deeply");
  }

  [[noreturn]] void StopOnUnclosedDirective(const std::string& path) {
    const std::string name = fileonly(path);
    StopBuild(engine_, &out_, CutPage::kWrite, path + ": an include directive has no closing \"]\"",
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
      StopBuild(engine_, &out_, CutPage::kDiscard, log_line, text + ". Please fix and re-run.",
                name + " is not a regular file", kErrFileAccess, "Path/File access error");
    }
    if (lookup.error_code == FsError::kTooLarge) {
      const std::string text = name + " is larger than " + std::to_string(kMaxFileBytes >> 20) +
                               " MB, too large to read: " + OpenFiles();
      StopBuild(engine_, &out_, CutPage::kDiscard, log_line, text + ". Please fix and re-run.",
                name + " is too large", kErrOutOfMemory, "Out of memory");
    }
    const std::string where =
        including_file.empty() ? "" : " (included in " + fileonly(including_file) + ")";
    StopBuild(engine_, &out_, CutPage::kDiscard, log_line,
              name + where + " cannot be read. Please fix and re-run.", name + " cannot be read",
              kErrFileAccess, "Path/File access error");
  }

  Engine& engine_;
  Env& env_;
  PageWriter& out_;
  const std::string includes_dir_;
  VariableSubstituter substituter_;
  std::vector<OpenFile> open_files_;
};

}  // namespace

void Importfile(Engine& engine, PageWriter& out, const std::string& source_path) {
  PageCompiler(engine, out).ImportSource(source_path);
}

void ParseTemplateFile(Engine& engine, const std::string& template_path) {
  Env& env = engine.env;
  try {
    engine.CurrentPageFile = BuildWebFilename(engine, fileonly(template_path));
    if (const std::string site = GetProjectPath(engine);
        LeavesFolder(std::string_view(engine.CurrentPageFile).substr(site.size()))) {
      const std::string text = "The page of " + fileonly(template_path) + ", " +
                               engine.CurrentPageFile +
                               ", leads out of the site folder: check the output extension";
      StopBuild(engine, nullptr, CutPage::kDiscard, text, text + ". Please fix and re-run.", text,
                kErrFileAccess, "Path/File access error");
    }
    if (PageWriterThread* thread = engine.page_writer_thread) {
      if (std::optional<PageWriterThread::Failure> failed = thread->failure()) {
        StopOnFailedPage(engine, *failed);
      }
      PageWriter out(engine.CurrentPageFile);
      Importfile(engine, out, template_path);
      thread->Queue(engine.CurrentPageFile, out.TakeText());
      return;
    }
    // The page is looked for under exactly its own name: another letter case
    // would cost a listing of the site folder for every new page. It
    // replaces the old page only once it is written whole.
    std::unique_ptr<OutputFile> file;
    const FsStatus opened =
        OpenReplacement(env.fs, engine.CurrentPageFile, &file, BuiltFilesSameText(engine));
    if (!opened.ok()) {
      StopOnWriteFailure(engine, nullptr, opened);
    }
    PageWriter out(std::move(file), engine.CurrentPageFile);
    Importfile(engine, out, template_path);
    const FsStatus closed = out.Close();
    if (!closed.ok()) {
      StopOnWriteFailure(engine, nullptr, closed);
    }
  } catch (const CompileError& error) {
    env.log.LogError(error.LogText(), "ParseTemplateFile", kModule);
    throw;
  } catch (const std::bad_alloc&) {
    const CompileError error(kErrOutOfMemory, "Out of memory");
    env.log.LogError(error.LogText(), "ParseTemplateFile", kModule);
    throw error;
  }
}

void FinishPages(Engine& engine) {
  if (engine.page_writer_thread == nullptr) {
    return;
  }
  if (std::optional<PageWriterThread::Failure> failed = engine.page_writer_thread->Finish()) {
    try {
      StopOnFailedPage(engine, *failed);
    } catch (const CompileError& error) {
      engine.env.log.LogError(error.LogText(), "ParseTemplateFile", kModule);
      throw;
    }
  }
}

}  // namespace pagorin
