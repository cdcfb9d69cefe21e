#include "app/extra_settings.h"

#include <array>

#include "clean/line_helpers.h"
#include "clean/line_list.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

constexpr const char* kHeader =
    "; MyTavex options beyond tavex.sav: Name=on or Name=off, one a line";

// The switch a line names when it is one of this file's, else -1; value is
// set to what the line says (-1 when it is neither on nor off).
int SwitchOfLine(std::string_view line, int& value) {
  const size_t equals = line.find('=');
  value = -1;
  if (equals == std::string_view::npos) return -1;
  const SwitchInfo* info = FindSwitchByName(SqueezeSpaces(line.substr(0, equals)));
  if (info == nullptr || static_cast<int>(info->sw) < kSavedSwitchCount) return -1;
  const std::string text = SqueezeSpaces(line.substr(equals + 1));
  if (EqualsIgnoreCase(text, "on")) value = 1;
  if (EqualsIgnoreCase(text, "off")) value = 0;
  return static_cast<int>(info->sw);
}

std::string LineOf(const TSettings& settings, int sw) {
  return std::string(kSwitches[sw].name) + (settings.Flags[sw] ? "=on" : "=off");
}

}  // namespace

std::string ExtraSettingsPathBeside(std::string_view settings_path) {
  const size_t slash = settings_path.find_last_of("\\/");
  if (slash == std::string_view::npos) return kExtraSettingsFile;
  return std::string(settings_path.substr(0, slash + 1)) + kExtraSettingsFile;
}

void LoadExtraSettings(TSettings& settings, std::string_view path) {
  for (int sw = kSavedSwitchCount; sw < kSwitchCount; ++sw)
    settings.Flags[sw] = kSwitches[sw].default_on;
  settings.ExtraLines.clear();
  if (!FileExists(path)) return;
  settings.ExtraLines = LoadLines(path);
  // The first line of a name counts, as saving keeps only that one.
  std::array<bool, kSwitchCount> seen{};
  for (const std::string& line : settings.ExtraLines) {
    int value = -1;
    const int sw = SwitchOfLine(line, value);
    if (sw < 0 || seen[sw]) continue;
    seen[sw] = true;
    if (value >= 0) settings.Flags[sw] = value == 1;
  }
}

std::vector<std::string> ExtraSettingsProblems(const TSettings& settings) {
  // "неизвестный параметр «%s»; строка оставлена как есть"
  constexpr const char* kUnknown =
      "\xed\xe5\xe8\xe7\xe2\xe5\xf1\xf2\xed\xfb\xe9 \xef\xe0\xf0\xe0\xec\xe5\xf2\xf0 \xab%s\xbb; "
      "\xf1\xf2\xf0\xee\xea\xe0 \xee\xf1\xf2\xe0\xe2\xeb\xe5\xed\xe0 \xea\xe0\xea \xe5\xf1\xf2\xfc";
  // "параметр %s хранится в tavex.sav, здесь он не читается"
  constexpr const char* kSavedElsewhere =
      "\xef\xe0\xf0\xe0\xec\xe5\xf2\xf0 %s \xf5\xf0\xe0\xed\xe8\xf2\xf1\xff \xe2 tavex.sav, "
      "\xe7\xe4\xe5\xf1\xfc \xee\xed \xed\xe5 \xf7\xe8\xf2\xe0\xe5\xf2\xf1\xff";
  // "%s принимает on или off, а не «%s»; взято значение по умолчанию"
  constexpr const char* kBadValue =
      "%s \xef\xf0\xe8\xed\xe8\xec\xe0\xe5\xf2 on \xe8\xeb\xe8 off, \xe0 \xed\xe5 \xab%s\xbb; "
      "\xe2\xe7\xff\xf2\xee \xe7\xed\xe0\xf7\xe5\xed\xe8\xe5 \xef\xee "
      "\xf3\xec\xee\xeb\xf7\xe0\xed\xe8\xfe";
  // "строка без «=» не задаёт параметра: «%s»"
  constexpr const char* kNoEquals =
      "\xf1\xf2\xf0\xee\xea\xe0 \xe1\xe5\xe7 \xab=\xbb \xed\xe5 \xe7\xe0\xe4\xe0\xb8\xf2 "
      "\xef\xe0\xf0\xe0\xec\xe5\xf2\xf0\xe0: \xab%s\xbb";
  // "%s задан ещё раз; читается первая строка"
  constexpr const char* kRepeated =
      "%s \xe7\xe0\xe4\xe0\xed \xe5\xf9\xb8 \xf0\xe0\xe7; \xf7\xe8\xf2\xe0\xe5\xf2\xf1\xff "
      "\xef\xe5\xf0\xe2\xe0\xff \xf1\xf2\xf0\xee\xea\xe0";

  std::vector<std::string> problems;
  std::array<bool, kSwitchCount> seen{};
  for (size_t i = 0; i < settings.ExtraLines.size(); ++i) {
    const std::string line = SqueezeSpaces(settings.ExtraLines[i]);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    auto add = [&](const char* pattern, std::initializer_list<std::string_view> values) {
      problems.push_back(std::string(kExtraSettingsFile) + ":" + std::to_string(i + 1) + ": " +
                         FillIn(pattern, values));
    };
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      add(kNoEquals, {line});
      continue;
    }
    const std::string name = SqueezeSpaces(line.substr(0, equals));
    const SwitchInfo* info = FindSwitchByName(name);
    if (!info) {
      add(kUnknown, {name});
    } else if (static_cast<int>(info->sw) < kSavedSwitchCount) {
      add(kSavedElsewhere, {name});
    } else if (seen[static_cast<int>(info->sw)]) {
      add(kRepeated, {name});
    } else {
      seen[static_cast<int>(info->sw)] = true;
      int value = -1;
      SwitchOfLine(line, value);
      if (value < 0) add(kBadValue, {name, SqueezeSpaces(line.substr(equals + 1))});
    }
  }
  return problems;
}

void SaveExtraSettings(const TSettings& settings, std::string_view path) {
  LineList lines;
  std::array<bool, kSwitchCount> written{};
  if (settings.ExtraLines.empty()) lines.push_back(kHeader);
  for (const std::string& line : settings.ExtraLines) {
    int value = -1;
    const int sw = SwitchOfLine(line, value);
    if (sw < 0) {
      lines.push_back(line);
    } else if (!written[sw]) {
      lines.push_back(LineOf(settings, sw));
      written[sw] = true;
    }
  }
  for (int sw = kSavedSwitchCount; sw < kSwitchCount; ++sw)
    if (!written[sw]) lines.push_back(LineOf(settings, sw));
  SaveLines(path, lines);
}

}  // namespace tavex
