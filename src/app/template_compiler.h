// The template compiler: one template file in, one page out, with its
// includes, variables and dollar variables expanded.
#pragma once

#include <string>

namespace pagorin {

class BuildRun;
class PageWriter;

// Builds the page of one template: the page (BuildWebFilename) is deleted,
// created again and filled by Importfile. A run that keeps pages holding
// their text leaves the page as it is, uncompiled, when nothing it was made
// from changed since it was last built (BuildRun::LeaveUnchanged); every page
// compiled gets a new record of what it was made from. On failure a CompileError is thrown
// after the person was told, one LogError record ("ParseTemplateFile" of
// "frmMain") was added and the page was closed with what was written so far.
//
// While the build driver has a page writer thread running
// (BuildRun::page_writer_thread), the page is collected and handed to it; a
// page it failed to write ends the build here, as if that page had failed
// now.
void ParseTemplateFile(BuildRun& run, const std::string& template_path);

// Waits for the pages the writer thread still holds. A page that could not
// be written ends the build as ParseTemplateFile would have ended it (told,
// logged, CompileError thrown). Does nothing without a writer thread.
void FinishPages(BuildRun& run);

// Processes one file into `out`: its title noted, dollar variables replaced,
// "[var" definitions collected and removed, then the text written piece by
// piece, each "[include=" directive processed by the same routine. A source
// that does not exist reads as "-1". Throws CompileError (after a LogError
// record "Importfile" of "frmMain") on a missing, unreadable or cyclic
// include, a directive without "]", or a page that cannot be written.
void Importfile(BuildRun& run, PageWriter& out, const std::string& source_path);

}  // namespace pagorin
