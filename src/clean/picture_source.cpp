#include "clean/picture_source.h"

#include <charconv>
#include <optional>
#include <unordered_map>

#include "clean/picture_name_case.h"
#include "clean/pictures.h"
#include "clean/tag_attributes.h"
#include "clean/web_reference.h"
#include "platform/files.h"

namespace tavex {
namespace {

constexpr std::string_view kLazySources[] = {"data-src", "data-original", "data-lazy-src"};
// Enough bytes for the sizes in a GIF (bytes 6 to 9) or PNG (16 to 23) header.
constexpr size_t kHeaderBytes = 24;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

uint32_t LittleEndian16(std::string_view bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

uint32_t BigEndian32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// "800w" or "1.5x"; the candidate stays 1x for anything else.
void ReadDescriptor(std::string_view descriptor, TSrcsetCandidate& candidate) {
  if (descriptor.size() < 2) return;
  const char unit = descriptor.back();
  if (unit != 'w' && unit != 'x') return;
  double size = 0;
  const auto [end, error] =
      std::from_chars(descriptor.data(), descriptor.data() + descriptor.size() - 1, size);
  if (error != std::errc() || end != descriptor.data() + descriptor.size() - 1 || size <= 0) return;
  candidate.Unit = unit;
  candidate.Size = size;
}

// The files one page's tags may name, each asked of the file system once.
class TPictureFinder {
 public:
  TPictureFinder(std::string_view folder, std::string_view page_name,
                 std::string_view resource_folder)
      : folder_(folder),
        files_folder_(std::string(folder) + "\\"),
        resource_folder_(resource_folder) {
    const std::string_view stem = page_name.substr(0, page_name.rfind('.'));
    files_folder_ = stem.empty() ? std::string() : files_folder_ + std::string(stem) + "_files";
  }

  // The existing file a reference names; nothing for a data: picture or a
  // file that is not there.
  std::optional<std::string> Find(std::string_view reference) {
    reference = TrimSpaces(reference);
    if (reference.empty() || reference.starts_with("data:")) return std::nullopt;
    const std::string decoded = DecodeFileReference(WithoutQuery(reference));
    // A picture the load took out of the page names its file in the scratch
    // folder by its full path.
    if (!resource_folder_.empty()) {
      const std::string written = AsWritten(reference);
      const std::string source = PictureSource(folder_, written, resource_folder_);
      if (source == written)
        if (auto found = Existing(source)) return found;
    }
    if (!IsOutsideReference(reference)) {
      if (auto found = Existing(folder_ + "\\" + AsWritten(reference))) return found;
      if (auto found = Existing(folder_ + "\\" + decoded)) return found;
    }
    const std::string_view name = LastPathPart(decoded);
    if (files_folder_.empty() || name.empty()) return std::nullopt;
    return Existing(files_folder_ + "\\" + std::string(name));
  }

  // Find, passing over one-pixel pictures.
  std::optional<std::string> FindReal(std::string_view reference) {
    auto found = Find(reference);
    if (found && OnePixel(*found)) return std::nullopt;
    return found;
  }

  bool OnePixel(const std::string& path) {
    auto [known, added] = one_pixel_.try_emplace(path);
    if (added) known->second = IsOnePixelPicture(path);
    return known->second;
  }

 private:
  // As a src was always read: "/" as "\", "&amp;" as "&", "%20" as a space
  // (and a capital kept through the normalisation as that capital).
  static std::string AsWritten(std::string_view reference) {
    std::string out;
    for (size_t at = 0; at < reference.size(); ++at) {
      if (reference.compare(at, 5, "&amp;") == 0) {
        out += '&';
        at += 4;
      } else {
        out += reference[at] == '/' ? '\\' : reference[at];
      }
    }
    UndoPictureEscapes(out);
    return out;
  }

  std::optional<std::string> Existing(const std::string& path) {
    auto [known, added] = exists_.try_emplace(path);
    if (added) known->second = FileExists(path);
    return known->second ? std::optional<std::string>(path) : std::nullopt;
  }

  std::string folder_;
  std::string files_folder_;     // empty when the page's name has no stem
  std::string resource_folder_;  // the article's scratch folder; empty: none
  std::unordered_map<std::string, bool> exists_;
  std::unordered_map<std::string, bool> one_pixel_;
};

// The srcset values of one picture: its <source> tags' and its own.
using TPictureSets = std::vector<std::string>;

// Step 1: the largest existing candidate of all the sets.
std::optional<std::string> LargestCandidate(const TPictureSets& sets, TPictureFinder& finder) {
  std::optional<std::string> best[2];  // by width, by density
  double best_size[2] = {0, 0};
  for (const std::string& set : sets)
    for (const TSrcsetCandidate& candidate : ParseSrcset(set)) {
      const int kind = candidate.Unit == 'w' ? 0 : 1;
      if (best[kind] && candidate.Size <= best_size[kind]) continue;
      if (auto found = finder.FindReal(candidate.Reference)) {
        best[kind] = std::move(found);
        best_size[kind] = candidate.Size;
      }
    }
  return best[0] ? best[0] : best[1];
}

bool NamesAPicture(const std::vector<TTagAttribute>& attributes) {
  for (std::string_view name : {"src", "srcset", "data-srcset"})
    if (FindAttribute(attributes, name)) return true;
  for (std::string_view name : kLazySources)
    if (FindAttribute(attributes, name)) return true;
  return false;
}

void AddSets(const std::vector<TTagAttribute>& attributes, TPictureSets& sets) {
  for (std::string_view name : {"data-srcset", "srcset"})
    if (const TTagAttribute* set = FindAttribute(attributes, name)) sets.emplace_back(set->value);
}

struct TTagChoice {
  TPictureChoice Choice;
  bool Placeholder = false;  // only src was left, and it shows nothing real
};

TTagChoice ChooseForTag(int line, std::string_view tag, TPictureSets sets, TPictureFinder& finder) {
  TTagChoice result;
  result.Choice.Line = line;
  const std::vector<TTagAttribute> attributes = TagAttributes(tag);
  AddSets(attributes, sets);
  std::optional<std::string> picture = LargestCandidate(sets, finder);
  for (std::string_view name : kLazySources) {
    if (picture) break;
    if (const TTagAttribute* lazy = FindAttribute(attributes, name))
      picture = finder.FindReal(lazy->value);
  }
  if (!picture) {
    const TTagAttribute* src = FindAttribute(attributes, "src");
    if (src && !IsMarkedOnePixel(attributes)) picture = finder.Find(src->value);
    result.Placeholder = !picture || finder.OnePixel(*picture);
  }
  if (picture) {
    result.Choice.Action = TPictureAction::Use;
    result.Choice.Picture = std::move(*picture);
  } else {
    result.Choice.Action = NamesAPicture(attributes) ? TPictureAction::Drop : TPictureAction::Keep;
  }
  return result;
}

}  // namespace

std::vector<TPictureChoice> ChoosePictureSources(const LineList& article,
                                                 std::string_view article_folder,
                                                 std::string_view page_name,
                                                 std::string_view resource_folder) {
  TPictureFinder finder(article_folder, page_name, resource_folder);
  std::vector<TPictureChoice> choices;
  bool in_picture = false;
  bool in_noscript = false;
  TPictureSets picture_sets;
  // The index in choices of the last visible placeholder that a <noscript>
  // picture may still stand in for; -1 when there is none.
  int waiting = -1;
  for (int j = 0; j < LineCount(article); ++j) {
    const std::string& line = article[j];
    if (line.empty()) continue;
    if (line[0] != '<') {
      waiting = -1;  // text between: a later <noscript> belongs to something else
    } else if (line.starts_with("<picture")) {
      in_picture = true;
      picture_sets.clear();
    } else if (line.starts_with("</picture")) {
      in_picture = false;
    } else if (line.starts_with("<noscript")) {
      in_noscript = true;
    } else if (line.starts_with("</noscript")) {
      in_noscript = false;
    } else if (in_picture && line.starts_with("<source")) {
      AddSets(TagAttributes(line), picture_sets);
      choices.push_back({j, TPictureAction::Drop, {}});
    } else if (line.starts_with("<img")) {
      TTagChoice tag = ChooseForTag(j, line, in_picture ? picture_sets : TPictureSets{}, finder);
      if (in_noscript && waiting >= 0 && !tag.Placeholder) {
        choices[waiting].Action = TPictureAction::Use;
        choices[waiting].Picture = std::move(tag.Choice.Picture);
        tag.Choice = {j, TPictureAction::Drop, {}};
        waiting = -1;
      } else {
        waiting = !in_noscript && tag.Placeholder ? static_cast<int>(choices.size()) : -1;
      }
      choices.push_back(std::move(tag.Choice));
    }
  }
  return choices;
}

bool IsMarkedOnePixel(const std::vector<TTagAttribute>& attributes) {
  const TTagAttribute* width = FindAttribute(attributes, "width");
  const TTagAttribute* height = FindAttribute(attributes, "height");
  return width && height && TrimSpaces(width->value) == "1" && TrimSpaces(height->value) == "1";
}

bool IsOnePixelPicture(std::string_view path) {
  const auto bytes = ReadFileBytes(path, kHeaderBytes);
  if (!bytes || bytes->size() < kHeaderBytes) return false;
  const std::string_view header = *bytes;
  if (header.starts_with("GIF87a") || header.starts_with("GIF89a"))
    return LittleEndian16(header, 6) == 1 && LittleEndian16(header, 8) == 1;
  if (header.starts_with("\x89PNG\r\n\x1a\n") && header.substr(12, 4) == "IHDR")
    return BigEndian32(header, 16) == 1 && BigEndian32(header, 20) == 1;
  return false;
}

std::vector<TSrcsetCandidate> ParseSrcset(std::string_view value) {
  std::vector<TSrcsetCandidate> candidates;
  size_t at = 0;
  while (at < value.size()) {
    while (at < value.size() && (IsSpace(value[at]) || value[at] == ',')) ++at;
    if (at >= value.size()) break;
    size_t end = at;
    while (end < value.size() && !IsSpace(value[end])) ++end;
    TSrcsetCandidate candidate;
    std::string_view reference = value.substr(at, end - at);
    at = end;
    if (reference.back() == ',') {
      while (!reference.empty() && reference.back() == ',') reference.remove_suffix(1);
    } else {
      // The descriptors, up to a comma outside parentheses.
      int depth = 0;
      size_t stop = at;
      for (; stop < value.size(); ++stop) {
        if (value[stop] == '(') ++depth;
        if (value[stop] == ')' && depth > 0) --depth;
        if (value[stop] == ',' && depth == 0) break;
      }
      ReadDescriptor(TrimSpaces(value.substr(at, stop - at)), candidate);
      at = stop;
    }
    candidate.Reference = reference;
    if (!reference.empty()) candidates.push_back(candidate);
  }
  return candidates;
}

}  // namespace tavex
