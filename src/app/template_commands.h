// Filling the template list and the commands that work on its selection.
#pragma once

#include <string>

namespace pagorin {

struct Engine;

// Refills ListView1 from the Templates folder (files whose extension occurs
// in "template html htm asp php", sorted by name ignoring letter case),
// empties the text boxes, selects again the position that was selected (or
// the first entry), shows its description (ShowDesc), sets the controls,
// and lists the site folder's CSS files. False when the Templates folder is
// not there or cannot be listed.
bool FillList(Engine& engine);

// Set: stores the trimmed extension box as "Ext_" + name of every selected
// template, then saves the project. Clear: removes those keys, then saves.
void cmdSetExt(Engine& engine);
void cmdClearExt(Engine& engine);

// Add New: asks for a file name in the Templates folder and creates an empty
// template there. An existing file is emptied only when the person answers
// Yes to the question; otherwise it is left as it is.
void mnuNewTemplate(Engine& engine);
// Copy Selected: asks for a name and copies the (first) selected template
// there; the copy keeps the output extension of the original. Copying a
// template onto itself is refused with a message.
void mnuCopyTemplate(Engine& engine);

// Opens the CSS file at `position` of css_files with its associated program,
// then refills the list.
void OpenCssFile(Engine& engine, int position);

}  // namespace pagorin
