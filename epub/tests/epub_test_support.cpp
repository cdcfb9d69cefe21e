#include "epub_test_support.h"

#include <libxml/parser.h>
#include <zip.h>

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace tavex::test {
namespace {

void CollectError(void* context, const char* format, ...) {
  auto* errors = static_cast<std::string*>(context);
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  *errors += text;
}

// epubcheck as a command line: Debian installs it as a jar that the kernel may
// not know how to run, so a jar is run through java.
std::optional<std::string> EpubcheckCommand() {
  const char* path_env = std::getenv("PATH");
  std::string paths = path_env ? path_env : "/usr/bin";
  size_t begin = 0;
  while (begin <= paths.size()) {
    size_t end = paths.find(':', begin);
    if (end == std::string::npos) end = paths.size();
    fs::path candidate = fs::path(paths.substr(begin, end - begin)) / "epubcheck";
    std::error_code ec;
    if (fs::exists(candidate, ec)) {
      fs::path real = fs::canonical(candidate, ec);
      if (!ec && real.extension() == ".jar") return "java -jar '" + real.string() + "'";
      return "'" + candidate.string() + "'";
    }
    begin = end + 1;
  }
  return std::nullopt;
}

}  // namespace

std::vector<TZipEntry> ReadZip(const std::string& path) {
  std::vector<TZipEntry> entries;
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return entries;
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(archive, i, 0, &stat) != 0) continue;
    TZipEntry entry;
    entry.name = stat.name;
    entry.stored = stat.comp_method == ZIP_CM_STORE;
    entry.bytes.resize(stat.size);
    zip_file_t* file = zip_fopen_index(archive, i, 0);
    if (file) {
      zip_fread(file, entry.bytes.data(), stat.size);
      zip_fclose(file);
    }
    entries.push_back(std::move(entry));
  }
  zip_close(archive);
  return entries;
}

const TZipEntry* FindEntry(const std::vector<TZipEntry>& entries, std::string_view name) {
  for (const TZipEntry& entry : entries)
    if (entry.name == name) return &entry;
  return nullptr;
}

std::string XmlErrors(const std::string& xml) {
  std::string errors;
  xmlSetGenericErrorFunc(&errors, CollectError);
  xmlDoc* doc =
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, XML_PARSE_NONET);
  xmlSetGenericErrorFunc(nullptr, nullptr);
  if (doc == nullptr && errors.empty()) errors = "no document";
  xmlFreeDoc(doc);
  return errors;
}

std::optional<TEpubcheckResult> RunEpubcheck(const std::string& path) {
  const auto command = EpubcheckCommand();
  if (!command) return std::nullopt;
  const std::string line = *command + " '" + path + "' 2>&1";
  FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  TEpubcheckResult result;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.output.append(buffer.data(), n);
  const int status = pclose(pipe);
  result.passed =
      status == 0 && result.output.find("No errors or warnings detected") != std::string::npos;
  return result;
}

namespace {

std::string_view Name(const xmlNode* node) {
  return reinterpret_cast<const char*>(node->name);
}

bool IsBlockName(std::string_view name) {
  static const std::set<std::string_view> blocks = {"div", "p",   "table", "ul", "ol", "blockquote",
                                                    "hr",  "h1",  "h2",    "h3", "h4", "h5",
                                                    "h6",  "pre", "li",    "tr", "td", "tbody"};
  return blocks.count(name) != 0;
}

bool IsPhrasingOnly(std::string_view name) {
  static const std::set<std::string_view> phrasing = {
      "p",   "h1",   "h2", "h3",     "h4",  "h5",   "h6",    "pre",    "b",   "i",
      "u",   "s",    "em", "strong", "sub", "sup",  "small", "code",   "kbd", "samp",
      "var", "cite", "q",  "abbr",   "dfn", "mark", "span",  "caption"};
  return phrasing.count(name) != 0;
}

// Children a parent may hold, for the elements that restrict them.
bool ChildAllowed(std::string_view parent, std::string_view child) {
  if (parent == "table") return child == "caption" || child == "tbody";
  if (parent == "tbody") return child == "tr";
  if (parent == "tr") return child == "td" || child == "th";
  if (parent == "ul" || parent == "ol") return child == "li";
  return true;
}

void CheckElement(const xmlNode* node, bool phrasing_only, bool in_link, std::string& errors) {
  for (const xmlNode* child = node->children; child; child = child->next) {
    if (child->type == XML_TEXT_NODE) {
      const std::string_view parent = Name(node);
      const std::string text = reinterpret_cast<const char*>(child->content);
      if ((parent == "table" || parent == "tbody" || parent == "tr" || parent == "ul" ||
           parent == "ol") &&
          text.find_first_not_of(" \t\r\n") != std::string::npos)
        errors += "text in <" + std::string(parent) + ">\n";
      continue;
    }
    if (child->type != XML_ELEMENT_NODE) continue;
    const std::string_view name = Name(child);
    if (!ChildAllowed(Name(node), name))
      errors += "<" + std::string(name) + "> in <" + std::string(Name(node)) + ">\n";
    if (phrasing_only && IsBlockName(name))
      errors += "<" + std::string(name) + "> in inline content\n";
    if (in_link && name == "a") errors += "<a> in <a>\n";
    if (name == "img" && (!xmlHasProp(child, BAD_CAST "src") || !xmlHasProp(child, BAD_CAST "alt")))
      errors += "<img> without src or alt\n";
    CheckElement(child, phrasing_only || IsPhrasingOnly(name), in_link || name == "a", errors);
  }
}

}  // namespace

std::string ContentModelErrors(const std::string& xhtml) {
  xmlDoc* doc = xmlReadMemory(xhtml.data(), static_cast<int>(xhtml.size()), nullptr, nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc == nullptr) return "not well-formed";
  std::string errors;
  CheckElement(xmlDocGetRootElement(doc), false, false, errors);
  xmlFreeDoc(doc);
  return errors;
}

const std::string kTinyGif(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
    "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
    43);
const std::string kTinyPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00"
    "\x01\x08\x00\x00\x00\x00\x3a\x7e\x9b\x55\x00\x00\x00\x0a\x49\x44\x41\x54\x78\x9c\x63\x60\x00"
    "\x00\x00\x02\x00\x01\x48\xaf\xa4\x71\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    67);

size_t CountOf(std::string_view text, std::string_view needle) {
  size_t count = 0;
  for (size_t pos = text.find(needle); pos != std::string_view::npos;
       pos = text.find(needle, pos + needle.size()))
    ++count;
  return count;
}

}  // namespace tavex::test
