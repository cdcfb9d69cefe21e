#include "clean/pictures.h"

#include <optional>

#include "app/main_window.h"
#include "platform/failure.h"
#include "platform/files.h"

namespace tavex {
namespace {

constexpr size_t kFingerprintBytes = 1000000;

// Replaces every occurrence of from by to, left to right, in one pass.
void ReplaceEvery(std::string& text, std::string_view from, std::string_view to) {
  size_t at = text.find(from);
  if (at == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  size_t done = 0;
  for (; at != std::string::npos; at = text.find(from, done)) {
    out.append(text, done, at - done);
    out += to;
    done = at + from.size();
  }
  out.append(text, done, std::string::npos);
  text = std::move(out);
}

// The extension of the path's file name with its dot, as typed; empty when
// the name has none. The path's separators are "\" by now.
std::string ExtensionOfPath(std::string_view path) {
  return std::string(ExtensionOf(path.substr(path.find_last_of('\\') + 1)));
}

// The tag with "/" as "\", "&amp;" as "&" and "src =" as "src=", and the src
// value in double quotes. src_at is the 0-based index of "src="; npos when
// the tag has none.
std::string QuotedPictureTag(const std::string& line, size_t& src_at) {
  std::string tag = line;
  ReplaceEvery(tag, "/", "\\");
  ReplaceEvery(tag, "&amp;", "&");
  ReplaceEvery(tag, "src =", "src=");
  src_at = tag.find("src=");
  if (src_at == std::string::npos) return tag;
  const size_t value = src_at + 4;
  if (value >= tag.size() || tag[value] != '"') {
    tag.insert(value, 1, '"');
    size_t end = tag.find(' ', value + 1);
    if (end == std::string::npos) end = tag.find('>', value + 1);
    if (end == std::string::npos) end = tag.size();
    tag.insert(end, 1, '"');
  }
  return tag;
}

bool IsOnePixel(const std::string& tag) {
  return tag.find("width=\"1\" height=\"1\"") != std::string::npos;
}

// The picture's name in the issue ("7.gif"), numbering and copying it; nothing
// when it is not a file or lies outside the source tree.
std::optional<std::string> IssuePicture(const std::string& picture, std::string_view extension,
                                        std::string_view source_root, TPictureRegister& pictures,
                                        MainWindow& window) {
  if (!FileExists(picture) || !IsWithinFolder(picture, source_root)) return std::nullopt;
  std::string name =
      std::to_string(pictures.NumberOf(FileFingerprint(picture, window))) + std::string(extension);
  const std::string copy = window.FieldText(Field::TargetDir) + "\\images\\" + name;
  // A copy already there is the same picture, copied for an earlier article.
  if (!CopyFileNoReplace(picture, copy) && !FileExists(copy))
    // "Картинка не скопирована: %s -> %s"
    window.ShowWarning(
        "\xca\xe0\xf0\xf2\xe8\xed\xea\xe0 \xed\xe5 "
        "\xf1\xea\xee\xef\xe8\xf0\xee\xe2\xe0\xed\xe0: " +
        picture + " -> " + copy);
  return name;
}

}  // namespace

uint32_t FileFingerprint(std::string_view path, MainWindow& window) {
  const auto bytes = ReadFileBytes(path, kFingerprintBytes);
  if (!bytes) throw CannotOpenFile(path);
  if (bytes->empty()) window.SetCaption("Error");
  uint32_t sum = 0;  // 16 bits
  for (unsigned char b : *bytes) {
    const uint32_t t = sum + b;
    sum = ((t & 0xFFFF) << 1 & 0xFFFF) + (t >> 16);
  }
  return sum | static_cast<uint32_t>(bytes->size());
}

int TPictureRegister::NumberOf(uint32_t fingerprint) {
  auto [it, added] = first_number_.try_emplace(fingerprint, Count() + 1);
  if (added) fingerprints_.push_back(fingerprint);
  return it->second;
}

void TPictureRegister::Reset() {
  fingerprints_.clear();
  first_number_.clear();
}

TPictureRegister& PictureRegister() {
  static TPictureRegister the_register;
  return the_register;
}

void RewritePictures(LineList& article, std::string_view article_folder,
                     std::string_view source_root, TPictureRegister& pictures, MainWindow& window) {
  std::unordered_map<std::string, std::optional<std::string>> issued;  // picture -> its name
  for (std::string& line : article) {
    if (line.compare(0, 4, "<img") != 0) continue;
    size_t src_at = 0;
    std::string tag = QuotedPictureTag(line, src_at);
    if (src_at == std::string::npos) continue;

    const size_t path_at = src_at + 5;
    size_t path_end = tag.find('"', path_at);
    if (path_end == std::string::npos) path_end = tag.size();
    std::string path = tag.substr(path_at, path_end - path_at);
    ReplaceEvery(path, "%20", " ");
    const std::string picture = std::string(article_folder) + "\\" + path;

    // A page repeats its pictures (spacers, bullets): the file system is asked
    // once per picture and article, which is what makes a large page fast.
    std::optional<std::string> name;
    if (!IsOnePixel(tag)) {
      auto [known, added] = issued.try_emplace(picture);
      if (added)
        known->second = IssuePicture(picture, ExtensionOfPath(path), source_root, pictures, window);
      name = known->second;
    }
    if (!name) {
      line.clear();
      continue;
    }
    tag.replace(path_at, path_end - path_at, "..\\Images\\" + *name);
    line = std::move(tag);
  }
}

}  // namespace tavex
