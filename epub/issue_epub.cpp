#include "epub/issue_epub.h"

#include <cstdio>
#include <ctime>
#include <map>
#include <optional>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "epub/book_cover.h"
#include "epub/epub_container.h"
#include "epub/package_documents.h"
#include "epub/page_source.h"
#include "epub/picture_type.h"
#include "epub/project_title.h"
#include "epub/xhtml_writer.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

// A kept article on its way into the book.
struct TBookArticle {
  const TArticleEntry* entry;
  std::string page_name;  // its page file name in \pub, lower-case ("3.htm")
};

// The page file name of a page path: what follows the last separator.
std::string PageFileName(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DocumentName(size_t index) {
  return "a" + std::to_string(index + 1) + ".xhtml";
}

// The pictures the book carries: each issue picture once, however many
// articles show it, under a name of the book's own.
class TPictureShelf {
 public:
  explicit TPictureShelf(std::string images_folder) : images_folder_(std::move(images_folder)) {}

  // The href (from a content document) of the picture file_name (UTF-8) of
  // the issue's picture folder, or nothing when it is missing or of no type
  // the book can hold.
  std::optional<std::string> Href(std::string_view file_name) {
    const std::string path_text = images_folder_ + "\\" + Utf8To1251(file_name);
    if (!FileExists(path_text)) return std::nullopt;
    const std::string source = NativePath(path_text).string();
    auto known = shelved_.find(source);
    if (known != shelved_.end()) return known->second;
    std::optional<std::string> href;
    if (auto type = PictureType(ReadFileBytes(path_text, 16).value_or(""))) {
      const std::string name = "p" + std::to_string(pictures_.size() + 1) + type->extension;
      pictures_.push_back({name, type->media_type, path_text, {}, false});
      href = "../images/" + name;
    }
    shelved_.emplace(source, href);
    return href;
  }

  const std::vector<TBookPicture>& pictures() const { return pictures_; }

 private:
  std::string images_folder_;
  std::map<std::string, std::optional<std::string>> shelved_;  // by the file's own path
  std::vector<TBookPicture> pictures_;
};

// The kept articles in navigation-page order and the contents sections that
// list them, rubric by rubric.
std::vector<TBookArticle> CollectArticles(const TIssueFacts& issue, const ArticleTable& table,
                                          std::vector<TNavSection>& sections) {
  std::vector<TBookArticle> articles;
  for (size_t k = 0; k < table.Rubrics.size(); ++k) {
    TNavSection section;
    if (k < issue.RubricNames.size()) section.heading = HtmlToText(issue.RubricNames[k]);
    if (section.heading.empty() && k < issue.RubricFolders.size())
      section.heading = HtmlToText(issue.RubricFolders[k]);
    if (section.heading.empty()) section.heading = "-";
    for (const TArticleEntry& entry : table.Rubrics[k]) {
      if (!entry.Included) continue;
      section.documents.push_back(articles.size());
      articles.push_back({&entry, LowerCase(PageFileName(entry.FilePath))});
    }
    sections.push_back(std::move(section));
  }
  return articles;
}

// Each kept article as an XHTML document, its links and pictures resolved.
std::vector<TBookDocument> ConvertArticles(MainWindow& window,
                                           const std::vector<TBookArticle>& articles,
                                           TPictureShelf& shelf) {
  std::map<std::string, std::string> documents_by_page;
  for (size_t i = 0; i < articles.size(); ++i)
    documents_by_page.emplace(articles[i].page_name, DocumentName(i));
  TPageLinks links;
  links.document = [&](std::string_view page_name) -> std::optional<std::string> {
    auto found = documents_by_page.find(LowerCase(Utf8To1251(page_name)));
    if (found == documents_by_page.end()) return std::nullopt;
    return found->second;
  };
  links.picture = [&](std::string_view file_name) { return shelf.Href(file_name); };

  std::vector<TBookDocument> documents;
  for (size_t i = 0; i < articles.size(); ++i) {
    const TArticleEntry& entry = *articles[i].entry;
    const auto bytes = ReadFileBytes(entry.FilePath);
    if (!bytes) throw CannotOpenFile(entry.FilePath);
    const TXmlDocPtr page = ParsePage(*bytes, entry.FilePath);
    std::string title = HtmlToText(entry.Title);
    if (title.empty()) title = Cp1251ToUtf8(PageFileName(entry.FilePath));
    documents.push_back({DocumentName(i), title, WriteXhtmlBody(page.get(), links)});
    window.ProcessMessages();
  }
  return documents;
}

std::string IsoDate(const Date& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

// A UUID made from the issue's number and date, so that a rebuilt issue keeps
// its identity in a reader's library (version 8: custom, hash based).
std::string IssueIdentifier(std::string_view key) {
  auto fnv = [&](uint64_t hash) {
    for (unsigned char c : key) hash = (hash ^ c) * 0x100000001b3ULL;
    return hash;
  };
  uint64_t high = fnv(0xcbf29ce484222325ULL), low = fnv(0x84222325cbf29ce4ULL);
  high = (high & ~0xf000ULL) | 0x8000ULL;      // version 8
  low = (low & ~(3ULL << 62)) | (2ULL << 62);  // RFC 4122 variant
  char text[64];
  std::snprintf(text, sizeof text, "urn:uuid:%08llx-%04llx-%04llx-%04llx-%012llx",
                static_cast<unsigned long long>(high >> 32),
                static_cast<unsigned long long>((high >> 16) & 0xffff),
                static_cast<unsigned long long>(high & 0xffff),
                static_cast<unsigned long long>(low >> 48),
                static_cast<unsigned long long>(low & 0xffffffffffffULL));
  return text;
}

}  // namespace

std::string IssueEpubPath(const TIssueFacts& issue) {
  return issue.TargetDir + "\\tavex" + issue.IssueNumber + ".epub";
}

void WriteIssueEpub(MainWindow& window, const TIssueFacts& issue, const ArticleTable& table) {
  const std::string& target = issue.TargetDir;
  const std::string& issue_number = issue.IssueNumber;

  std::vector<TNavSection> sections;
  const std::vector<TBookArticle> articles = CollectArticles(issue, table, sections);
  TPictureShelf shelf(target + "\\images");
  const std::vector<TBookDocument> documents = ConvertArticles(window, articles, shelf);

  TBookMetadata metadata;
  metadata.title = Cp1251ToUtf8("Tavex \xb9" + issue_number);
  metadata.creator = ProjectTitle(window.FieldText(Field::ProjectPath));
  metadata.publisher = metadata.creator;
  metadata.date = IsoDate(issue.IssueDate);
  metadata.identifier = IssueIdentifier("MyTavex|" + issue_number + "|" + metadata.date);
  metadata.modified = UtcNow();

  const TBookCover cover = MakeBookCover(CurrentFolder(), issue_number, issue.IssueDate);
  std::vector<TBookPicture> pictures = cover.pictures;
  pictures.insert(pictures.end(), shelf.pictures().begin(), shelf.pictures().end());

  std::vector<TContainerEntry> entries;
  entries.push_back({"mimetype", std::string(kMimetype), {}});
  entries.push_back({"META-INF/container.xml", ContainerXml(), {}});
  entries.push_back(
      {std::string(kPackagePath), PackageDocument(metadata, true, documents, pictures), {}});
  entries.push_back(
      {"EPUB/nav.xhtml", NavigationDocument(metadata.title, sections, documents), {}});
  entries.push_back({"EPUB/style.css", StyleSheet(), {}});
  entries.push_back(
      {"EPUB/text/" + std::string(kCoverPage), ContentDocument(metadata.title, cover.body), {}});
  for (const TBookDocument& document : documents)
    entries.push_back(
        {"EPUB/text/" + document.name, ContentDocument(document.title, document.body), {}});
  for (const TBookPicture& picture : pictures)
    entries.push_back({"EPUB/images/" + picture.name, picture.bytes, picture.source});
  WriteContainerWhole(IssueEpubPath(issue), entries);
}

}  // namespace tavex
