// The build run behind the Generate buttons, the locking of the window
// during it, the button timer and the preview of one page.
#pragma once

namespace pagorin {

struct Engine;
class BuildRun;

// One build run: stops the update timer, empties TemplateVars, takes
// WEBSITEURL for $BASEURL, regenerates the version includes when the project
// asks for it and the news lists, then builds every listed template (after
// refilling the list) or only the selected ones, in list order, with the
// progress on the main status strip.
//
// Returns true when the run reached its end. On the first failure the run
// ends at once: the pages built before stay whole, the failing page keeps
// what was written before the failure, no later page is built, the controls
// are enabled again and the pointer is normal. The failing step has already
// told the person and logged what happened.
//
// A run that keeps pages holding their text (BuiltFilesSameText) leaves a
// page whose inputs did not change since it was last built as it is,
// without compiling it (ParseTemplateFile).
bool BuildPages(BuildRun& run, bool selected_only);
// The same in a run of its own, for callers that need nothing back from it.
bool BuildPages(Engine& engine, bool selected_only);

// Stop the button timer and lock the window's controls; unlock them and start
// the timer again.
void disablecontrols(Engine& engine);
void enablecontrols(Engine& engine);

// The button timer's rules (every 500 ms while Timer1Enabled): "All" and
// upload "All" follow whether the list is empty, "Selected", upload
// "Selected" and the preview whether anything is selected.
void Timer1Tick(Engine& engine);

// Preview: opens the page of the (first) selected template with its
// associated program, building the selected templates first when that page
// does not exist yet. With nothing selected it only says "Please select a
// file". Returns false when nothing was opened.
bool cmdPreview(Engine& engine);

// The Help button's message.
void cmdHelp(Engine& engine);

}  // namespace pagorin
