#include "app/template_commands.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <vector>

#include "app/engine.h"
#include "app/project.h"
#include "app/project_paths.h"
#include "shared/file_subs.h"
#include "shared/log.h"
#include "shared/paths.h"
#include "shared/text.h"
#include "tools/keyword_tools.h"

namespace pagorin {

namespace {

constexpr const char* kTemplateExtensions = "template html htm asp php";
constexpr const char* kTemplateFilter =
    "Pagorin Template (*.template)|*.template|PHP file (*.php)|*.php|ASP file (*.asp)|*.asp|"
    "HTML file (*.html)|*.html|HTM file (*.htm)|*.htm";

void SetListControls(MainControls& controls, bool any_template) {
  controls.go_selected = any_template;
  controls.go_all = any_template;
  controls.clear_ext = any_template;
  controls.set_ext = any_template;
  controls.preview = any_template;
  controls.suggest = any_template;
  controls.set_kwd = any_template;
  controls.rename = any_template;
  if (!any_template) {
    controls.upload_selected = false;
    controls.upload_all = false;
  }
}

FileRequest TemplateFileRequest(const Engine& engine, const std::string& title,
                                const std::string& proposed_name, bool confirm_overwrite) {
  FileRequest request;
  request.kind = FileRequest::Kind::kSave;
  request.title = title;
  request.start_folder = TemplatesDir(engine);
  request.proposed_name = proposed_name;
  request.filter = kTemplateFilter;
  request.default_suffix = "template";
  request.confirm_overwrite = confirm_overwrite;
  return request;
}

bool SameFile(const FileSubs& files, const std::string& a, const std::string& b) {
  return std::filesystem::path(files.Resolve(a)).lexically_normal() ==
         std::filesystem::path(files.Resolve(b)).lexically_normal();
}

}  // namespace

bool FillList(Engine& engine) {
  bool listed = false;
  try {
    const int remembered = std::max(0, engine.ListView1.FirstSelected());
    engine.texts.txtKeywords.clear();
    engine.texts.txtSuggested.clear();
    engine.texts.txtDesc.clear();
    engine.texts.txtExt.clear();

    FileSubs files(engine.env);
    std::vector<std::string> names;
    listed = files.FillFiles(TemplatesDir(engine), kTemplateExtensions, &names);
    SetListControls(engine.controls, !names.empty());
    // Every build refreshes the list; mostly it lists what it listed.
    const std::vector<TemplateEntry>& entries = engine.ListView1.entries();
    if (!std::equal(names.begin(), names.end(), entries.begin(), entries.end(),
                    [](const std::string& name, const TemplateEntry& entry) {
                      return name == entry.tag;
                    })) {
      engine.ListView1.Clear();
      for (const std::string& name : names) {
        engine.ListView1.Add(filewithoutext(name), name);
      }
    }
    engine.ListView1.SelectOnly(remembered < engine.ListView1.count() ? remembered : 0);
    if (!names.empty()) {
      ShowDesc(engine);
    }

    engine.css_files.clear();
    files.FillFiles(GetProjectPath(engine), "css", &engine.css_files);
  } catch (const std::exception& error) {
    engine.env.log.LogError(std::string(error.what()) + "(7)", "FillList", "frmMain");
  }
  return listed;
}

void cmdSetExt(Engine& engine) {
  const std::string extension = Trim(engine.texts.txtExt);
  for (const TemplateEntry& entry : engine.ListView1.entries()) {
    if (entry.selected) {
      engine.ProjectSettings.sSet("Ext_" + entry.text, extension);
    }
  }
  SaveProject(engine);
}

void cmdClearExt(Engine& engine) {
  for (const TemplateEntry& entry : engine.ListView1.entries()) {
    if (entry.selected) {
      engine.ProjectSettings.DeleteSettingByName("Ext_" + entry.text);
    }
  }
  SaveProject(engine);
}

void mnuNewTemplate(Engine& engine) {
  Env& env = engine.env;
  std::optional<std::string> chosen = env.ui.ChooseFile(
      TemplateFileRequest(engine, "Specify your template file", "New.template", false));
  if (!chosen || chosen->empty()) {
    return;
  }
  FileSubs files(env);
  const std::string name = fileonly(*chosen);
  if (files.FolderExists(*chosen)) {
    env.ui.ShowMessage(name + " is a folder. Please choose another name for the template.");
    return;
  }
  if (files.FileExists(*chosen) &&
      env.ui.ShowMessage(name + " already exists. Do you want to replace it with an empty "
                                "template?",
                         Buttons::kYesNo, "Add New", Icon::kQuestion) != Answer::kYes) {
    return;
  }
  files.WriteTextFile(*chosen, "");
  RefreshTemplateList(engine);
}

void mnuCopyTemplate(Engine& engine) {
  Env& env = engine.env;
  const int selected = engine.ListView1.FirstSelected();
  if (selected < 0) {
    return;
  }
  const TemplateEntry entry = engine.ListView1.at(selected);
  std::optional<std::string> chosen = env.ui.ChooseFile(
      TemplateFileRequest(engine, "Enter the new template filename", "Copy.template", true));
  if (!chosen || chosen->empty()) {
    return;
  }
  FileSubs files(env);
  const std::string source = TemplatesDir(engine) + entry.tag;
  if (SameFile(files, source, *chosen)) {
    env.ui.ShowMessage(entry.tag + " cannot be copied onto itself. Please choose another name.");
    return;
  }
  files.copyfile(source, *chosen);
  const SettingValue fallback = engine.ProjectSettings.sGet("Extension", ".html");
  const SettingValue extension = engine.ProjectSettings.sGet("Ext_" + entry.text, fallback);
  engine.ProjectSettings.sSet("Ext_" + filewithoutext(fileonly(*chosen)), extension);
  RefreshTemplateList(engine);
}

void OpenCssFile(Engine& engine, int position) {
  if (position < 0 || position >= static_cast<int>(engine.css_files.size())) {
    return;
  }
  FileSubs(engine.env).RunFile(GetProjectPath(engine) + engine.css_files[position]);
  FillList(engine);
}

}  // namespace pagorin
