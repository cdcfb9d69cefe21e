#include "clean/embedded_pictures.h"

#include <unordered_map>

#include "clean/data_picture.h"
#include "clean/page_archive.h"
#include "clean/picture_name_case.h"
#include "clean/web_reference.h"
#include "platform/files.h"
#include "platform/temp_folder.h"
#include "platform/text.h"

namespace tavex {
namespace {

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// An attribute value as the browser reads it: "&amp;", "&quot;", "&apos;",
// "&lt;", "&gt;" and numeric references to ASCII characters undone; any other
// reference stays.
std::string EntitiesUndone(std::string_view value) {
  static const std::pair<std::string_view, char> kNamed[] = {
      {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}};
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '&') {
      out += value[i];
      continue;
    }
    const std::string_view rest = value.substr(i);
    bool done = false;
    for (const auto& [name, c] : kNamed) {
      if (LowerCase(rest.substr(0, name.size())) == name) {
        out += c;
        i += name.size() - 1;
        done = true;
        break;
      }
    }
    if (done) continue;
    if (rest.size() > 3 && rest[1] == '#') {
      const bool hex = rest[2] == 'x' || rest[2] == 'X';
      size_t j = hex ? 3 : 2;
      unsigned code = 0;
      const size_t digits_from = j;
      for (; j < rest.size() && j < digits_from + 6; ++j) {
        const int digit = HexDigitValue(rest[j]);
        if (digit < 0 || (!hex && digit > 9)) break;
        code = code * (hex ? 16 : 10) + static_cast<unsigned>(digit);
      }
      if (j > digits_from && code > 0 && code < 128) {
        out += static_cast<char>(code);
        i += j - 1 + (j < rest.size() && rest[j] == ';' ? 1 : 0);
        continue;
      }
    }
    out += '&';
  }
  return out;
}

// An address in one spelling for comparison: Windows-1251 letters as UTF-8,
// every byte outside printable ASCII percent-encoded, escapes in upper case,
// scheme and host in lower case. A page writes "img/фото 1.png" where its
// archive's header has "img/%D1%84%D0%BE%D1%82%D0%BE%201.png".
std::string AddressKey(std::string_view address, bool from_page) {
  static const char kHex[] = "0123456789ABCDEF";
  const std::string text = from_page ? Cp1251ToUtf8(address) : std::string(address);
  std::string key;
  key.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '%' && i + 2 < text.size()) {
      key += '%';
      key += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
      key += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 2])));
      i += 2;
    } else if (c <= ' ' || c >= 0x7F) {
      key += '%';
      key += kHex[c >> 4];
      key += kHex[c & 15];
    } else {
      key += static_cast<char>(c);
    }
  }
  const size_t scheme_end = key.find("://");
  if (scheme_end != std::string::npos) {
    const size_t host_end = key.find_first_of("/?", scheme_end + 3);
    const size_t end = host_end == std::string::npos ? key.size() : host_end;
    for (size_t i = 0; i < end; ++i) key[i] = LowerChar(key[i]);
  }
  return key;
}

// The extension a part is written with: by its media type, else by its
// location's name (a server that sent "application/octet-stream").
std::string_view PartExtension(const TArchivePart& part) {
  std::string_view extension = PictureExtensionOf(part.media_type);
  if (!extension.empty()) return extension;
  const std::string_view location = part.location;  // a view: substr must not make a temporary
  std::string_view name = location.substr(0, location.find_first_of("?#"));
  name.remove_prefix(std::min(name.size(), name.find_last_of('/') + 1));
  const std::string by_name = LowerCase(ExtensionOf(name));
  for (std::string_view known : {".png", ".jpg", ".gif", ".webp", ".svg"})
    if (by_name == known) return known;
  return by_name == ".jpeg" ? ".jpg" : "";
}

// The pictures of one page as files of the scratch folder, each written once.
class PictureFiles {
 public:
  PictureFiles(TempFolder& scratch, const TPageArchive* archive, std::string_view article_folder)
      : scratch_(scratch), archive_(archive), article_folder_(article_folder) {
    if (!archive) return;
    base_ = archive->location;
    for (const TArchivePart& part : archive->parts) {
      if (!part.content_id.empty()) parts_.try_emplace("cid:" + part.content_id, &part);
      if (!part.location.empty())
        parts_.try_emplace(AddressKey(ResolveWebReference(base_, part.location), false), &part);
    }
  }

  // A <base href> of the page: later relative references resolve against it.
  void SetBase(std::string_view href) {
    if (archive_)
      base_ = ResolveWebReference(archive_->location, EntitiesUndone(TrimAsciiSpace(href)));
  }

  // The new value of a reference: the path text of its file, empty when it
  // is to be taken out, nothing when it stays as it is.
  std::optional<std::string> Replace(std::string_view reference) {
    const std::string address = EntitiesUndone(TrimAsciiSpace(reference));
    auto [known, added] = done_.try_emplace(address);
    if (added) known->second = Resolve(address);
    return known->second;
  }

 private:
  std::optional<std::string> Resolve(const std::string& address) {
    if (LowerCase(std::string_view(address).substr(0, 5)) == "data:") {
      auto picture = DecodeDataPicture(address);
      if (!picture) return std::string();
      return Write(picture->extension, picture->bytes);
    }
    if (!archive_) return KeepPictureNameCase(article_folder_, address);
    auto found = parts_.end();
    if (LowerCase(std::string_view(address).substr(0, 4)) == "cid:")
      found = parts_.find("cid:" + address.substr(4));
    else
      found = parts_.find(AddressKey(ResolveWebReference(base_, address), true));
    if (found == parts_.end()) return std::nullopt;
    // One part, written once, however many spellings lead to it.
    auto [file, added] = part_files_.try_emplace(found->second);
    if (added) {
      const std::string_view extension = PartExtension(*found->second);
      if (!extension.empty() && !found->second->bytes.empty())
        file->second = Write(extension, found->second->bytes);
    }
    return file->second;
  }

  // Spaces as "%20", as the picture pass reads them, so the path is one
  // candidate of a srcset too.
  std::string Write(std::string_view extension, std::string_view bytes) {
    const std::string path =
        scratch_.WriteFile(std::to_string(++written_) + std::string(extension), bytes);
    std::string value;
    for (char c : path) value += c == ' ' ? std::string("%20") : std::string(1, c);
    return value;
  }

  TempFolder& scratch_;
  const TPageArchive* archive_;
  std::string_view article_folder_;
  std::string base_;
  std::unordered_map<std::string, const TArchivePart*> parts_;        // address key or "cid:" id
  std::unordered_map<std::string, std::optional<std::string>> done_;  // address -> new value
  std::unordered_map<const TArchivePart*, std::optional<std::string>> part_files_;
  int written_ = 0;
};

// A srcset value with its candidates replaced ("a.png 1x, b.png 2x"); the
// address of a candidate is a run without white space, so the comma inside a
// data: address does not split it. Nothing when no candidate changed.
std::optional<std::string> ReplacedSrcset(std::string_view value, PictureFiles& files) {
  std::string out;
  bool changed = false;
  size_t i = 0;
  while (i < value.size()) {
    while (i < value.size() && (IsAsciiSpace(value[i]) || value[i] == ',')) ++i;
    if (i == value.size()) break;
    const size_t from = i;
    while (i < value.size() && !IsAsciiSpace(value[i])) ++i;
    std::string_view address = value.substr(from, i - from);
    std::string_view descriptor;
    if (address.back() == ',') {
      while (!address.empty() && address.back() == ',') address.remove_suffix(1);
    } else {
      const size_t descriptor_from = i;
      int depth = 0;
      for (; i < value.size() && (value[i] != ',' || depth > 0); ++i)
        depth += value[i] == '(' ? 1 : value[i] == ')' ? -1 : 0;
      descriptor = TrimAsciiSpace(value.substr(descriptor_from, i - descriptor_from));
    }
    const std::optional<std::string> replaced = files.Replace(address);
    changed = changed || replaced;
    if (replaced && replaced->empty()) continue;
    if (!out.empty()) out += ", ";
    out += replaced ? std::string_view(*replaced) : address;
    if (!descriptor.empty()) out.append(" ").append(descriptor);
  }
  if (!changed) return std::nullopt;
  return out;
}

// The position of the "</script" (or "</style", as tag says) that ends the
// raw text starting at from, letter case ignored; the page's end when none.
size_t EndOfRawText(std::string_view page, size_t from, std::string_view tag) {
  for (size_t at = page.find("</", from); at != std::string_view::npos;
       at = page.find("</", at + 2))
    if (LowerCase(page.substr(at + 2, tag.size())) == tag) return at;
  return page.size();
}

enum class Looked { No, Address, Srcset };

// A <source> is a picture only by its srcset (in a <picture>); its src is
// that of a video or a sound.
Looked HowLookedAt(std::string_view tag, std::string_view attribute, bool every_picture_attribute) {
  const bool img = tag == "img";
  if (img && attribute == "src") return Looked::Address;
  if (!every_picture_attribute || (!img && tag != "source")) return Looked::No;
  if (attribute == "srcset" || attribute == "data-srcset" || attribute == "data-lazy-srcset")
    return Looked::Srcset;
  if (img &&
      (attribute == "data-src" || attribute == "data-original" || attribute == "data-lazy-src"))
    return Looked::Address;
  return Looked::No;
}

}  // namespace

std::string TakeOutEmbeddedPictures(std::string whole, TempFolder& scratch,
                                    const TPageArchive* archive, bool every_picture_attribute,
                                    std::string_view article_folder) {
  const std::string_view page = whole;
  PictureFiles files(scratch, archive, article_folder);
  std::string out;
  size_t copied = 0;  // page[0, copied) is in out already
  size_t at = 0;
  while ((at = page.find('<', at)) != std::string_view::npos) {
    if (page.substr(at, 4) == "<!--") {
      const size_t end = page.find("-->", at + 4);
      at = end == std::string_view::npos ? page.size() : end + 3;
      continue;
    }
    ++at;
    if (at >= page.size() || !IsLetter(page[at])) continue;
    const size_t name_from = at;
    while (at < page.size() && !IsAsciiSpace(page[at]) && page[at] != '>' && page[at] != '/') ++at;
    const std::string tag = LowerCase(page.substr(name_from, at - name_from));
    // The attributes, up to the ">" that is outside every quoted value.
    while (at < page.size() && page[at] != '>') {
      if (IsAsciiSpace(page[at]) || page[at] == '/') {
        ++at;
        continue;
      }
      const size_t attribute_from = at;
      while (at < page.size() && !IsAsciiSpace(page[at]) && page[at] != '=' && page[at] != '>' &&
             page[at] != '/')
        ++at;
      const std::string attribute = LowerCase(page.substr(attribute_from, at - attribute_from));
      size_t look = at;
      while (look < page.size() && IsAsciiSpace(page[look])) ++look;
      if (look >= page.size() || page[look] != '=') continue;
      at = look + 1;
      while (at < page.size() && IsAsciiSpace(page[at])) ++at;
      if (at >= page.size()) break;
      const size_t value_at = at;  // the quote, or the value's first character
      size_t value_from = at, value_end;
      if (page[at] == '"' || page[at] == '\'') {
        value_from = at + 1;
        value_end = page.find(page[at], value_from);
        if (value_end == std::string_view::npos) value_end = page.size();
        at = std::min(page.size(), value_end + 1);
      } else {
        while (at < page.size() && !IsAsciiSpace(page[at]) && page[at] != '>') ++at;
        value_end = at;
      }
      const std::string_view value = page.substr(value_from, value_end - value_from);
      if (tag == "base" && attribute == "href") files.SetBase(value);
      const Looked looked = HowLookedAt(tag, attribute, every_picture_attribute);
      if (looked == Looked::No) continue;
      const std::optional<std::string> replaced =
          looked == Looked::Srcset ? ReplacedSrcset(value, files) : files.Replace(value);
      if (!replaced) continue;
      out.append(page.substr(copied, value_at - copied));
      out.append("\"").append(*replaced).append("\"");
      copied = at;
    }
    // A script's or a style sheet's text holds no tags, but it may hold "<"
    // and quotes that would be taken for some.
    if (tag == "script" || tag == "style") at = EndOfRawText(page, at, tag);
  }
  if (copied == 0) return whole;
  out.append(page.substr(copied));
  return out;
}

}  // namespace tavex
