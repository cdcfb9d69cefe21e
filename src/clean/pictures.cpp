#include "clean/pictures.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "app/main_window.h"
#include "clean/picture_name_case.h"
#include "clean/picture_source.h"
#include "clean/tag_attributes.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/shown_path.h"
#include "platform/system_reason.h"
#include "platform/text.h"

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

// "Картинка %s лежит вне исходной папки и пропущена"
constexpr const char* kPictureOutside =
    "\xca\xe0\xf0\xf2\xe8\xed\xea\xe0 %s \xeb\xe5\xe6\xe8\xf2 \xe2\xed\xe5 \xe8\xf1\xf5\xee\xe4"
    "\xed\xee\xe9 \xef\xe0\xef\xea\xe8 \xe8 \xef\xf0\xee\xef\xf3\xf9\xe5\xed\xe0";
// "Картинка %s не обычный файл и пропущена"
constexpr const char* kPictureNotFile =
    "\xca\xe0\xf0\xf2\xe8\xed\xea\xe0 %s \xed\xe5 \xee\xe1\xfb\xf7\xed\xfb\xe9 \xf4\xe0\xe9\xeb "
    "\xe8 \xef\xf0\xee\xef\xf3\xf9\xe5\xed\xe0";
// "Картинку %s не удалось скопировать в %s: там уже лежит файл, который
// сборка не писала; картинка пропущена"
constexpr const char* kPictureNameTaken =
    "\xca\xe0\xf0\xf2\xe8\xed\xea\xf3 %s \xed\xe5 \xf3\xe4\xe0\xeb\xee\xf1\xfc \xf1\xea"
    "\xee\xef\xe8\xf0\xee\xe2\xe0\xf2\xfc \xe2 %s: \xf2\xe0\xec \xf3\xe6\xe5 \xeb\xe5\xe6"
    "\xe8\xf2 \xf4\xe0\xe9\xeb, \xea\xee\xf2\xee\xf0\xfb\xe9 \xf1\xe1\xee\xf0\xea\xe0 "
    "\xed\xe5 \xef\xe8\xf1\xe0\xeb\xe0; \xea\xe0\xf0\xf2\xe8\xed\xea\xe0 \xef\xf0\xee\xef"
    "\xf3\xf9\xe5\xed\xe0";
// "Картинку %s не удалось скопировать в %s: %s"
constexpr const char* kPictureNotCopied =
    "\xca\xe0\xf0\xf2\xe8\xed\xea\xf3 %s \xed\xe5 \xf3\xe4\xe0\xeb\xee\xf1\xfc \xf1\xea\xee\xef"
    "\xe8\xf0\xee\xe2\xe0\xf2\xfc \xe2 %s: %s";

// The picture's name in the issue ("7.gif"), numbering and copying it; nothing
// when it is not a regular file inside the source tree. A missing file is the
// common case of a page that refers to pictures it was saved without: it is
// dropped without a word.
std::optional<std::string> ReadAndIssue(const std::string& picture, std::string_view extension,
                                        std::string_view source_root, TPictureRegister& pictures,
                                        MainWindow& window) {
  ReadRefusal refusal = ReadRefusal::None;
  const auto bytes = ReadFileWithin(picture, source_root, SIZE_MAX, refusal);
  if (!bytes) {
    if (refusal == ReadRefusal::Outside)
      window.ShowWarning(FillIn(kPictureOutside, {ShownPath(picture)}));
    if (refusal == ReadRefusal::NotRegular)
      window.ShowWarning(FillIn(kPictureNotFile, {ShownPath(picture)}));
    return std::nullopt;
  }
  const int number = pictures.NumberOf(FingerprintOf(*bytes, window), Sha256(*bytes));
  std::string name = std::to_string(number) + std::string(extension);
  // A copy this run placed for an earlier article is this number's picture;
  // any other file of that name is not, and the page must not show it.
  if (pictures.Wrote(name)) return name;
  const std::string copy = window.FieldText(Field::TargetDir) + "\\images\\" + name;
  if (!WriteFileNoReplace(copy, *bytes)) {
    const int error = errno;
    window.ShowWarning(error == EEXIST
                           ? FillIn(kPictureNameTaken, {ShownPath(picture), ShownPath(copy)})
                           : FillIn(kPictureNotCopied,
                                    {ShownPath(picture), ShownPath(copy), SystemReason(error)}));
    return std::nullopt;
  }
  pictures.NoteWritten(name);
  return name;
}

std::optional<std::string> IssuePicture(const std::string& picture, std::string_view extension,
                                        std::string_view source_root,
                                        std::string_view resource_folder,
                                        TPictureRegister& pictures, MainWindow& window) {
  // A picture the load took out of the page lies in the article's scratch
  // folder, which stands in for the source folder for it.
  const std::string_view root = !resource_folder.empty() && IsWithinFolder(picture, resource_folder)
                                    ? resource_folder
                                    : source_root;
  // Only issued pictures are remembered: a missing one may still be saved
  // before a later article, and a refused one is refused again by its check.
  std::string key = std::string(root) + '\0' + picture;
  if (const std::string* known = pictures.KnownFile(key)) return *known;
  auto name = ReadAndIssue(picture, extension, root, pictures, window);
  if (name) pictures.RememberFile(std::move(key), *name);
  return name;
}

// The attributes that name other pictures than the one a tag keeps.
bool NamesOtherPictures(std::string_view name) {
  for (std::string_view other :
       {"srcset", "sizes", "data-src", "data-srcset", "data-original", "data-lazy-src"})
    if (name == other) return true;
  return false;
}

// The tag with one src, issue_reference ("..\Images\7.gif"), where its
// first src stood (or right after "<img"), and without the attributes that
// name other pictures. A placeholder's 1-by-1 marks go as well, since they
// would shrink the real picture to a dot.
std::string IssuePictureTag(std::string_view line, std::string_view issue_reference) {
  const std::vector<TTagAttribute> attributes = TagAttributes(line);
  const bool marked_one_pixel = IsMarkedOnePixel(attributes);
  const std::string src = "src=\"" + std::string(issue_reference) + "\"";
  bool src_written = false;
  std::string tag = EditTag(line, attributes, [&](const TTagAttribute& attribute) {
    std::optional<std::string> edit;
    if (attribute.name == "src") {
      edit = src_written ? std::string() : src;
      src_written = true;
    } else if (NamesOtherPictures(attribute.name) ||
               (marked_one_pixel && (attribute.name == "width" || attribute.name == "height"))) {
      edit = std::string();
    }
    return edit;
  });
  if (!src_written) tag.insert(4, " " + src);
  return tag;
}

// The picture pass for today's pages: the file of each tag is chosen by
// ChoosePictureSources, then numbered and copied as any picture.
void RewriteModernPictures(LineList& article, std::string_view article_folder,
                           std::string_view page_name, std::string_view source_root,
                           std::string_view resource_folder, TPictureRegister& pictures,
                           MainWindow& window) {
  for (TPictureChoice& choice :
       ChoosePictureSources(article, article_folder, page_name, resource_folder)) {
    std::string& line = article[choice.Line];
    if (choice.Action == TPictureAction::Keep) continue;
    std::optional<std::string> name;
    if (choice.Action == TPictureAction::Use)
      name = IssuePicture(choice.Picture, ExtensionOfPath(choice.Picture), source_root,
                          resource_folder, pictures, window);
    if (name) {
      line = IssuePictureTag(line, "..\\Images\\" + *name);
    } else {
      line.clear();
    }
  }
}

}  // namespace

uint32_t FileFingerprint(std::string_view path, MainWindow& window) {
  const auto bytes = ReadFileBytes(path, kFingerprintBytes);
  if (!bytes) throw CannotOpenFile(path);
  return FingerprintOf(*bytes, window);
}

uint32_t FingerprintOf(std::string_view bytes, MainWindow& window) {
  bytes = bytes.substr(0, kFingerprintBytes);
  if (bytes.empty()) window.SetCaption("Error");
  uint32_t sum = 0;  // 16 bits
  for (unsigned char b : bytes) {
    const uint32_t t = sum + b;
    sum = ((t & 0xFFFF) << 1 & 0xFFFF) + (t >> 16);
  }
  return sum | static_cast<uint32_t>(bytes.size());
}

int TPictureRegister::NumberOf(uint32_t fingerprint, const Sha256Digest& digest) {
  auto& met = numbers_[fingerprint];
  for (const auto& [known, number] : met)
    if (known == digest) return number;
  met.emplace_back(digest, ++count_);
  return count_;
}

const std::string* TPictureRegister::KnownFile(const std::string& key) const {
  auto it = files_.find(key);
  return it == files_.end() ? nullptr : &it->second;
}

void TPictureRegister::RememberFile(std::string key, std::string name) {
  files_.insert_or_assign(std::move(key), std::move(name));
}

bool TPictureRegister::Wrote(const std::string& name) const {
  return written_.count(name) != 0;
}

void TPictureRegister::NoteWritten(std::string name) {
  written_.insert(std::move(name));
}

void TPictureRegister::Reset(int after) {
  count_ = after;
  numbers_.clear();
  files_.clear();
  written_.clear();
}

int HighestPictureNumber(std::string_view images_folder) {
  int highest = 0;
  for (const DirEntry& entry : ListFolder(images_folder)) {
    // "N" + an extension, N a whole number without a sign.
    const std::string_view name = entry.name;
    const size_t digits = name.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string_view::npos || name[digits] != '.') continue;
    if (const auto number = TryParseInt(name.substr(0, digits)))
      highest = std::max(highest, *number);
  }
  return highest;
}

TPictureRegister& PictureRegister() {
  static TPictureRegister the_register;
  return the_register;
}

std::string PictureSource(std::string_view article_folder, std::string_view path,
                          std::string_view resource_folder) {
  if (!resource_folder.empty()) {
    std::string prefix(resource_folder);
    ReplaceEvery(prefix, "/", "\\");
    prefix += '\\';
    if (path.size() > prefix.size() && EqualsIgnoreCase(path.substr(0, prefix.size()), prefix))
      return std::string(path);
  }
  return std::string(article_folder) + "\\" + std::string(path);
}

void RewritePictures(LineList& article, std::string_view article_folder,
                     std::string_view source_root, TPictureRegister& pictures, MainWindow& window,
                     std::string_view page_name, std::string_view resource_folder) {
  if (window.IsChecked(Switch::ModernPictures)) {
    RewriteModernPictures(article, article_folder, page_name, source_root, resource_folder,
                          pictures, window);
    return;
  }
  for (std::string& line : article) {
    if (line.compare(0, 4, "<img") != 0) continue;
    size_t src_at = 0;
    std::string tag = QuotedPictureTag(line, src_at);
    if (src_at == std::string::npos) continue;

    const size_t path_at = src_at + 5;
    size_t path_end = tag.find('"', path_at);
    if (path_end == std::string::npos) path_end = tag.size();
    std::string path = tag.substr(path_at, path_end - path_at);
    UndoPictureEscapes(path);
    const std::string picture = PictureSource(article_folder, path, resource_folder);

    // A page repeats its pictures (spacers, bullets) and a rubric shares them:
    // the register asks the file system once per picture file and build, which
    // is what makes a large page and a large issue fast.
    std::optional<std::string> name;
    if (!IsOnePixel(tag))
      name = IssuePicture(picture, ExtensionOfPath(path), source_root, resource_folder, pictures,
                          window);
    if (!name) {
      line.clear();
      continue;
    }
    tag.replace(path_at, path_end - path_at, "..\\Images\\" + *name);
    line = std::move(tag);
  }
}

}  // namespace tavex
