// The Content Creator's operations: opening it on a project, the Now and
// Choose buttons, generating one news item, and closing it. The window only
// copies its fields in and out; everything it does happens here.
#pragma once

#include <string>
#include <vector>

#include "news/news_lists.h"
#include "shared/env.h"

namespace pagorin {

struct Engine;

// The fields of the Content Creator, named as its controls. The defaults are
// the controls' initial texts; only the number, prefix and source template
// come from the project.
struct ContentCreatorFields {
  std::string txtPrefix = "news";
  std::string txtNumber = "1";
  std::string txtTitle;
  std::string txtDate;
  std::string txtStory;
  std::string txtTags;
  std::string txtSourceTemplate = "news0000.template";
  // Both must contain "0000", which is replaced with the item's number.
  std::string txtSourceInclude = "content_news0000.inc";
  std::string txtSourceInclude2 = "header_news0000.inc";
  std::string txtTitleVar = "$NewsTitle$";
  std::string txtDateVar = "$NewsDate$";
  std::string txtStoryVar = "$NewsStory$";
  std::string txtTagVar = "$NewsTags$";
  std::string txtNumVar = "$NewsNum$";
  std::vector<NewsListDefinition> ListView1 = DefaultNewsLists();
};

// The fields as the dialog opens: the defaults, NewsNumber (default 1),
// NewsPrefix (default "news") and NewsSourceTemplate (default
// "news0000.template") from the open project, and the date of cmdNow.
ContentCreatorFields OpenContentCreator(const Engine& engine);

// The date box after Now: the clock's local time as "3:07pm, December 4 2024"
// with the locale's month name.
std::string cmdNow(Env& env);

enum class GenerateOutcome {
  kGenerated,   // every file written and the project saved
  kRefused,     // nothing changed: a message said why
  kIncomplete,  // a file could not be written: a message named it
};

// Generate: writes the item's page template and its two includes, filled
// from `fields`, and updates the project (list definitions, tags, number,
// prefix, source template, the page's extension), then saves the project
// file and shows "<page template path> generated". On return the fields
// show what the window shows: the number used, the title with double quotes
// turned into single ones, and (when generated) empty title, story and tags.
//
// Refused, with a message and nothing changed, when no project is open, the
// number is not a whole number from 1 up, an include name is empty or lacks
// "0000", or the prefix, source template or an include name leads out of its
// folder. Existing files of the same names are replaced. The three files are
// written whole or not at all: when one cannot be written none is (logged),
// the page's extension is not recorded, the fields keep their texts so that
// Generate can be pressed again, and the message names the file instead.
GenerateOutcome GenerateNewsItem(Engine& engine, ContentCreatorFields& fields);

// Exit: the list definitions go into the project (not yet to disk).
void ExitContentCreator(Engine& engine, const ContentCreatorFields& fields);

// After the dialog has closed (by Exit or its frame): the news lists are
// rebuilt and the template list refilled, so new items show at once.
void ContentCreatorClosed(Engine& engine);

}  // namespace pagorin
