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
