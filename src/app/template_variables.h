// TemplateVars: the variables that "[var" definitions have defined so far in
// the current build run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "shared/env.h"

namespace pagorin {

// The variables behave as the keys of an in-memory settings store: names
// are upper-cased and lose their commas, and a value reading "true" or
// "false" (trimmed, any letter case, or the locale's words for them) comes
// back as "True" or "False". Unlike the store, defining or finding a name
// costs the same however many names are defined.
//
// DeleteAllSettings keeps the names' places (and their texts' memory) for
// the next build run, which mostly defines the same names again: a name not
// defined since is simply not found.
class TemplateVariables {
 public:
  struct Value {
    std::string text;       // as written into pages
    bool plain = false;     // the text holds no "[" or "]"
    std::uint64_t run = 0;  // defined in this run of the store when equal to its run
  };
  // The name (upper-cased, no commas) and its value.
  using Variable = std::pair<const std::string, Value>;

  // Where a definition went, so that a later run can make it again without
  // looking its name up: valid while the store has not let its names go.
  struct Slot {
    Variable* variable = nullptr;
    std::uint64_t names = 0;  // the store's names_ then
  };
  // One definition as stored, to be made again by a later run.
  struct Definition {
    std::string name;  // upper-cased, no commas
    std::string text;  // as stored
    bool plain = false;
    Slot slot;
  };

  // Told of every look-up and definition while it is set (Observe), so that
  // the compile of a page can note which variables its text depended on.
  class Observer {
   public:
    virtual ~Observer() = default;
    // `text`, no longer than longest_name(), was looked up and named
    // `found` (null: no variable).
    virtual void LookedUp(std::string_view text, const Variable* found) = 0;
    // `variable` was defined; `slot` makes that definition again (Replay).
    virtual void Defined(const Variable& variable, const Slot& slot) = 0;
  };
  // Null stops telling.
  void Observe(Observer* observer) { observer_ = observer; }

  explicit TemplateVariables(Env& env) : env_(env) {}
  TemplateVariables(const TemplateVariables&) = delete;
  TemplateVariables& operator=(const TemplateVariables&) = delete;

  // Defines the name or gives it a new value. A new name past kMaxVariables
  // throws BuildLimitExceeded.
  void sSet(std::string_view name, std::string_view value);
  // Makes `definition` again, as sSet made it; its slot is renewed when the
  // store let its names go. Not told to the observer.
  void Replay(Definition& definition);
  void DeleteAllSettings();

  int SettingsCount() const { return static_cast<int>(count_); }
  // The variable that `text`, upper-cased, names exactly; null when none
  // does (a text with a comma never does). The variable stays where it is
  // until DeleteAllSettings.
  const Variable* Find(std::string_view text) const;
  // Never shorter than the longest name stored.
  std::size_t longest_name() const { return longest_name_; }

 private:
  // Hashing and comparing with ASCII letter case folded, so a text from a
  // page is looked up as it stands, without an upper-cased copy.
  struct FoldedHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const;
  };
  struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };

  // Gives the stored variable `key` names (inserted, not defined, when
  // new) and makes it defined in this run.
  Variable& Place(std::string_view key, bool key_is_stored);
  Variable& Define(Variable& variable);
  bool Defined(const Variable& variable) const { return variable.second.run == run_; }

  Env& env_;
  // Every name defined in any run since the names were last let go.
  std::unordered_map<std::string, Value, FoldedHash, FoldedEqual> variables_;
  std::uint64_t run_ = 1;
  std::uint64_t names_ = 1;  // counts the times the names were let go
  std::size_t count_ = 0;    // names defined in this run
  std::size_t longest_name_ = 0;
  Observer* observer_ = nullptr;
};

}  // namespace pagorin
