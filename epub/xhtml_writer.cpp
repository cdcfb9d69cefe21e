#include "epub/xhtml_writer.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "epub/element_roles.h"
#include "epub/web_address.h"
#include "platform/text.h"

namespace tavex {
namespace {

std::string_view NameOf(const xmlNode* node) {
  return reinterpret_cast<const char*>(node->name);
}

bool IsElement(const xmlNode* node, std::string_view name) {
  return node->type == XML_ELEMENT_NODE && NameOf(node) == name;
}

std::optional<std::string> Attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, BAD_CAST name);
  if (value == nullptr) return std::nullopt;
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

std::string Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

// A whole number of at most 9 digits (so it always fits an int).
std::optional<int> SmallNumber(std::optional<std::string> text) {
  if (!text) return std::nullopt;
  const std::string digits = Trim(*text);
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  for (char c : digits)
    if (c < '0' || c > '9') return std::nullopt;
  return std::stoi(digits);
}

// An id the book can carry: an XML name in plain ASCII.
bool IsXmlId(std::string_view id) {
  if (id.empty() || id.size() > 200) return false;
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!letter(id[0])) return false;
  for (char c : id)
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// The scheme of an absolute address ("http"), lower-case, or empty.
std::string SchemeOf(std::string_view reference) {
  for (size_t i = 0; i < reference.size(); ++i) {
    const char c = reference[i];
    if (c == ':') return i == 0 ? std::string() : AsciiLower(reference.substr(0, i));
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
      return {};
  }
  return {};
}

// The file name that a local reference names inside the issue folder
// "..\folder\" (either slash, any letter case), or, when bare_allowed, a name
// beside the page itself; nothing for any other place.
std::optional<std::string> LocalFileName(std::string_view reference, std::string_view folder,
                                         bool bare_allowed) {
  std::string path(reference.substr(0, reference.find_first_of("?#")));
  std::replace(path.begin(), path.end(), '\\', '/');
  path = PercentDecode(path);
  while (path.compare(0, 2, "./") == 0) path.erase(0, 2);
  const std::string prefix = "../" + std::string(folder) + "/";
  if (AsciiLower(path.substr(0, prefix.size())) == prefix) {
    path.erase(0, prefix.size());
  } else if (!bare_allowed) {
    return std::nullopt;
  }
  if (path.empty() || path.find('/') != std::string::npos) return std::nullopt;
  return path;
}

// Walks the subtree at top in document order without recursion (a page may
// nest tens of thousands of levels): enter(node) runs on the way down and
// answers whether to go into the node's children; leave(node) runs once its
// children are done (also for a node not gone into).
template <class Enter, class Leave>
void WalkSubtree(xmlNode* top, Enter enter, Leave leave) {
  xmlNode* node = top;
  for (;;) {
    if (enter(node) && node->children) {
      node = node->children;
      continue;
    }
    for (;;) {
      leave(node);
      if (node == top) return;
      if (node->next) {
        node = node->next;
        break;
      }
      node = node->parent;
    }
  }
}

class TXhtmlWriter {
 public:
  explicit TXhtmlWriter(const TPageLinks& links) : links_(links) {}

  std::string Write(xmlNode* root) {
    MarkBlockHolders(root);
    WriteNode(root, TContext::Flow);
    return DropDeadFragmentLinks();
  }

 private:
  // What the element being written may hold: any content, or inline content only.
  enum class TContext { Flow, Phrasing };

  // How deep the writer goes before it writes the rest of a subtree flat
  // (WriteFlat). A level is one of the writer's own calls on the way down
  // (children, a list, a table's rows, a row's cells, a wrapper between
  // them, stray content it wraps); one level opens at most two elements (a
  // table and its body, a list and an item, a stray row and cell), and
  // elements are written at most two levels past the limit. So the book
  // nests at most 2 * 102 + 2 (html, body) = 206 deep, below the 256 levels
  // that common XML parsers (libxml2's among them) accept by default, and the
  // writer's stack stays small however deep the page. A layout table costs
  // three levels, so 33 nested tables still come out as tables.
  static constexpr int kMaxNesting = 100;

  struct TNestingLevel {
    explicit TNestingLevel(int& nesting) : nesting_(nesting) { ++nesting_; }
    ~TNestingLevel() { --nesting_; }
    TNestingLevel(const TNestingLevel&) = delete;
    TNestingLevel& operator=(const TNestingLevel&) = delete;
    int& nesting_;
  };

  struct TFragmentLink {
    size_t begin, end;  // the ' href="#..."' text in out_
    std::string id;
  };

  // Records every element that holds block content somewhere below it, so an
  // inline element can be told in one look whether it may stay an element.
  // Each element is looked at on the way down and once more, with its
  // children, on the way up; dropped elements are not entered.
  void MarkBlockHolders(xmlNode* root) {
    WalkSubtree(
        root,
        [](xmlNode* node) {
          return node->type == XML_ELEMENT_NODE && RoleOf(NameOf(node)).kind != TRoleKind::Drop;
        },
        [this](xmlNode* node) {
          if (node->type != XML_ELEMENT_NODE) return;
          for (xmlNode* child = node->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) continue;
            const TRoleKind kind = RoleOf(NameOf(child)).kind;
            if (kind != TRoleKind::Drop && (IsBlockRole(kind) || HoldsBlocks(child))) {
              block_holders_.insert(node);
              return;
            }
          }
        });
  }

  bool HoldsBlocks(const xmlNode* node) const { return block_holders_.count(node) != 0; }

  // Comments, blank text and dropped elements: nothing a row or list needs a
  // place for.
  static bool IsIgnorable(const xmlNode* node) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      const char* text = reinterpret_cast<const char*>(node->content);
      return text == nullptr || Trim(text).empty();
    }
    if (node->type != XML_ELEMENT_NODE) return true;
    return RoleOf(NameOf(node)).kind == TRoleKind::Drop;
  }

  void WriteChildren(xmlNode* parent, TContext context) {
    const TNestingLevel level(nesting_);
    for (xmlNode* child = parent->children; child; child = child->next) WriteNode(child, context);
  }

  // A subtree too deep to write as elements: its text and pictures in
  // document order, a line break where a block begins or ends after a line of
  // content (a blank for a cell), and no element but <br/> and <img/>, so it
  // may stand in any context. Dropped elements stay dropped.
  void WriteFlat(xmlNode* top) {
    bool line_open = false;
    auto end_line = [&](const xmlNode* node) {
      if (!line_open) return;
      if (IsElement(node, "td") || IsElement(node, "th")) {
        out_ += ' ';
      } else if (IsBlockRole(RoleOf(NameOf(node)).kind) || IsElement(node, "li")) {
        out_ += "<br/>";
        line_open = false;
      }
    };
    WalkSubtree(
        top,
        [&](xmlNode* node) {
          if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            const char* text = reinterpret_cast<const char*>(node->content);
            if (text == nullptr) return false;
            AppendEscaped(out_, text);
            line_open = line_open || !Trim(text).empty();
            return false;
          }
          if (node->type != XML_ELEMENT_NODE) return false;
          const TRoleKind kind = RoleOf(NameOf(node)).kind;
          if (kind == TRoleKind::LineBreak || kind == TRoleKind::Rule) {
            out_ += "<br/>";
            line_open = false;
          } else if (kind == TRoleKind::Picture) {
            WritePicture(node);
            line_open = true;
          } else {
            end_line(node);
          }
          return kind != TRoleKind::Drop;
        },
        [&](xmlNode* node) {
          if (node->type == XML_ELEMENT_NODE) end_line(node);
        });
  }

  // Stray content that the writer wraps in an element of its own (a row and
  // cell, a cell, a list item) is one level deeper.
  void WriteWrapped(xmlNode* node) {
    const TNestingLevel level(nesting_);
    WriteNode(node, TContext::Flow);
  }

  void WriteNode(xmlNode* node, TContext context) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content) AppendEscaped(out_, reinterpret_cast<const char*>(node->content));
      return;
    }
    if (node->type != XML_ELEMENT_NODE) return;
    if (nesting_ >= kMaxNesting) {
      WriteFlat(node);
      return;
    }
    const TElementRole role = RoleOf(NameOf(node));
    switch (role.kind) {
      case TRoleKind::Drop:
        return;
      case TRoleKind::Unwrap:
        WriteChildren(node, context);
        return;
      case TRoleKind::LineBreak:
        out_ += "<br/>";
        return;
      case TRoleKind::Picture:
        WritePicture(node);
        return;
      case TRoleKind::Link:
        WriteLink(node, context);
        return;
      case TRoleKind::Phrasing:
        // HTML5 lets no block stand inside <b> or <em>: such a wrapper gives
        // way to its content rather than the content losing its blocks.
        if (context == TContext::Flow && HoldsBlocks(node)) {
          WriteChildren(node, context);
          return;
        }
        OpenTag(node, role.name, "");
        WriteChildren(node, TContext::Phrasing);
        CloseTag(role.name);
        return;
      case TRoleKind::Block:
      case TRoleKind::List:
      case TRoleKind::Table:
      case TRoleKind::Rule:
        if (context == TContext::Phrasing) {
          WriteBlockAsLine(node);
        } else if (role.kind == TRoleKind::List) {
          WriteList(node, role);
        } else if (role.kind == TRoleKind::Table) {
          WriteTable(node);
        } else if (role.kind == TRoleKind::Rule) {
          out_ += "<hr/>";
        } else {
          OpenTag(node, role.name, ClassOf(node, role));
          WriteChildren(node, role.phrasing_content ? TContext::Phrasing : TContext::Flow);
          CloseTag(role.name);
        }
        return;
    }
  }

  // A block where only inline content may stand (a <div> in a <p>, a table in
  // a heading): its content, then a line break, or a blank after a cell.
  void WriteBlockAsLine(xmlNode* node) {
    WriteChildren(node, TContext::Phrasing);
    const bool cell = IsElement(node, "td") || IsElement(node, "th");
    out_ += cell ? " " : "<br/>";
  }

  void WriteLink(xmlNode* node, TContext context) {
    // A link inside a link (invalid, and a reader could not follow both) keeps its text.
    if (inside_link_) {
      WriteChildren(node, context);
      return;
    }
    std::string target;
    std::string fragment;
    if (auto href = Attribute(node, "href")) ResolveHref(*href, target, fragment);
    const std::string id = IdAttribute(node, true);
    if (target.empty() && fragment.empty() && id.empty()) {
      WriteChildren(node, context);
      return;
    }
    out_ += "<a";
    if (!fragment.empty()) {
      const size_t begin = out_.size();
      out_ += " href=\"#";
      AppendEscaped(out_, fragment);
      out_ += '"';
      fragment_links_.push_back({begin, out_.size(), fragment});
    } else if (!target.empty()) {
      out_ += " href=\"";
      AppendEscaped(out_, target);
      out_ += '"';
    }
    out_ += id;
    out_ += '>';
    // A link is transparent in HTML5: where blocks may stand it may hold them.
    inside_link_ = true;
    WriteChildren(
        node, context == TContext::Flow && HoldsBlocks(node) ? TContext::Flow : TContext::Phrasing);
    inside_link_ = false;
    out_ += "</a>";
  }

  // Sets target (a book document or a web address) or fragment (an anchor of
  // this page); leaves both empty when the link leads nowhere in the book.
  void ResolveHref(std::string_view href, std::string& target, std::string& fragment) const {
    const std::string reference = Trim(href);
    if (reference.empty()) return;
    if (reference[0] == '#') {
      fragment = reference.substr(1);
      return;
    }
    const std::string scheme = SchemeOf(reference);
    if (!scheme.empty()) {
      if (scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto")
        target = EncodeWebAddress(reference).value_or("");
      return;
    }
    if (reference.compare(0, 2, "//") == 0) return;
    if (auto name = LocalFileName(reference, "pub", true)) {
      if (auto document = links_.document(*name)) target = *document;
    }
  }

  void WritePicture(xmlNode* node) {
    const auto source = Attribute(node, "src");
    if (!source) return;
    const auto name = LocalFileName(Trim(*source), "images", false);
    if (!name) return;
    const auto href = links_.picture(*name);
    if (!href) return;
    out_ += "<img src=\"";
    AppendEscaped(out_, *href);
    out_ += "\" alt=\"";
    AppendEscaped(out_, Attribute(node, "alt").value_or(""));
    out_ += '"';
    for (const char* size : {"width", "height"}) {
      if (auto value = SmallNumber(Attribute(node, size)))
        out_ += " " + std::string(size) + "=\"" + std::to_string(*value) + "\"";
    }
    out_ += IdAttribute(node, false);
    out_ += "/>";
  }

  void WriteList(xmlNode* list, const TElementRole& role) {
    // A level of its own: stray content may be a list again.
    const TNestingLevel level(nesting_);
    bool has_items = false;
    for (xmlNode* child = list->children; child; child = child->next)
      has_items = has_items || IsElement(child, "li");
    // Old pages indent with a bare <ul>; an indented block says the same
    // without bullets and without inventing list items.
    if (!has_items) {
      OpenTag(list, "div", " class=\"indent\"");
      WriteChildren(list, TContext::Flow);
      CloseTag("div");
      return;
    }
    const bool ordered = std::string_view(role.name) == "ol";
    out_ += '<';
    out_ += role.name;
    out_ += IdAttribute(list, false);
    if (ordered) {
      if (auto start = SmallNumber(Attribute(list, "start")))
        out_ += " start=\"" + std::to_string(*start) + "\"";
      const std::string type = Trim(Attribute(list, "type").value_or(""));
      if (type == "1" || type == "a" || type == "A" || type == "i" || type == "I")
        out_ += " type=\"" + type + "\"";
    }
    out_ += '>';
    bool stray_item = false;
    for (xmlNode* child = list->children; child; child = child->next) {
      if (IsIgnorable(child)) continue;
      if (IsElement(child, "li")) {
        if (stray_item) out_ += "</li>";
        stray_item = false;
        out_ += "<li";
        out_ += IdAttribute(child, false);
        if (ordered) {
          if (auto value = SmallNumber(Attribute(child, "value")))
            out_ += " value=\"" + std::to_string(*value) + "\"";
        }
        out_ += '>';
        WriteChildren(child, TContext::Flow);
        out_ += "</li>";
        continue;
      }
      // Content between items gets an item of its own.
      if (!stray_item) out_ += "<li>";
      stray_item = true;
      WriteWrapped(child);
    }
    if (stray_item) out_ += "</li>";
    CloseTag(role.name);
  }

  void WriteTable(xmlNode* table) {
    OpenTag(table, "table", "");
    xmlNode* caption = table->children;
    while (caption && IsIgnorable(caption)) caption = caption->next;
    if (caption && IsElement(caption, "caption")) {
      out_ += "<caption>";
      WriteChildren(caption, TContext::Phrasing);
      out_ += "</caption>";
    } else {
      caption = nullptr;
    }
    // One body for all rows: a table may not mix bare rows with row groups.
    out_ += "<tbody>";
    bool stray_row = false;
    const TNestingLevel level(nesting_);
    WriteRows(table, caption, stray_row);
    if (stray_row) out_ += "</td></tr>";
    out_ += "</tbody></table>";
  }

  // The rows below parent, looking through row groups and through wrappers
  // such as a <form> between <table> and <tr>. Anything else between rows gets
  // a row and cell of its own (stray_row tells whether one is open).
  void WriteRows(xmlNode* parent, const xmlNode* skip, bool& stray_row) {
    for (xmlNode* child = parent->children; child; child = child->next) {
      if (child == skip || IsIgnorable(child)) continue;
      if (IsElement(child, "tr")) {
        if (stray_row) out_ += "</td></tr>";
        stray_row = false;
        WriteRow(child);
        continue;
      }
      if (child->type == XML_ELEMENT_NODE && RoleOf(NameOf(child)).kind == TRoleKind::Unwrap &&
          nesting_ < kMaxNesting) {
        const TNestingLevel level(nesting_);
        WriteRows(child, nullptr, stray_row);
        continue;
      }
      if (!stray_row) out_ += "<tr><td>";
      stray_row = true;
      WriteWrapped(child);
    }
  }

  void WriteRow(xmlNode* row) {
    OpenTag(row, "tr", "");
    bool stray_cell = false;
    const TNestingLevel level(nesting_);
    WriteCells(row, stray_cell);
    if (stray_cell) out_ += "</td>";
    out_ += "</tr>";
  }

  void WriteCells(xmlNode* parent, bool& stray_cell) {
    for (xmlNode* child = parent->children; child; child = child->next) {
      if (IsIgnorable(child)) continue;
      if (IsElement(child, "td") || IsElement(child, "th")) {
        if (stray_cell) out_ += "</td>";
        stray_cell = false;
        const char* name = IsElement(child, "td") ? "td" : "th";
        out_ += '<';
        out_ += name;
        out_ += IdAttribute(child, false);
        out_ += ClassOf(child, RoleOf(name));
        if (auto span = SmallNumber(Attribute(child, "colspan"));
            span && *span >= 1 && *span <= 1000)
          out_ += " colspan=\"" + std::to_string(*span) + "\"";
        if (auto span = SmallNumber(Attribute(child, "rowspan")); span && *span <= 65534)
          out_ += " rowspan=\"" + std::to_string(*span) + "\"";
        out_ += '>';
        WriteChildren(child, TContext::Flow);
        CloseTag(name);
        continue;
      }
      if (child->type == XML_ELEMENT_NODE && RoleOf(NameOf(child)).kind == TRoleKind::Unwrap &&
          nesting_ < kMaxNesting) {
        const TNestingLevel level(nesting_);
        WriteCells(child, stray_cell);
        continue;
      }
      if (!stray_cell) out_ += "<td>";
      stray_cell = true;
      WriteWrapped(child);
    }
  }

  // ' id="..."' for the element's id (or, for links, its old anchor name) when
  // it is a valid XML name not used before on the page; otherwise nothing.
  std::string IdAttribute(const xmlNode* node, bool name_too) {
    auto value = Attribute(node, "id");
    if (!value && name_too) value = Attribute(node, "name");
    if (!value) return {};
    const std::string id = Trim(*value);
    if (!IsXmlId(id) || !ids_.insert(id).second) return {};
    return " id=\"" + id + "\"";
  }

  // ' class="..."': the role's own class, or the alignment the old align
  // attribute asked for (the book's style sheet has both).
  static std::string ClassOf(const xmlNode* node, const TElementRole& role) {
    std::string css_class = role.css_class;
    if (css_class.empty()) {
      const std::string align = AsciiLower(Trim(Attribute(node, "align").value_or("")));
      if (align == "center" || align == "right") css_class = align;
    }
    return css_class.empty() ? std::string() : " class=\"" + css_class + "\"";
  }

  void OpenTag(const xmlNode* node, std::string_view name, std::string_view attributes) {
    out_ += '<';
    out_ += name;
    out_ += IdAttribute(node, false);
    out_ += attributes;
    out_ += '>';
  }

  void CloseTag(std::string_view name) {
    out_ += "</";
    out_ += name;
    out_ += '>';
  }

  // Links to anchors that never got written lose their href (an <a> without
  // one is valid); the whole text is copied once.
  std::string DropDeadFragmentLinks() const {
    std::string result;
    result.reserve(out_.size());
    size_t pos = 0;
    for (const TFragmentLink& link : fragment_links_) {
      if (ids_.count(link.id)) continue;
      result.append(out_, pos, link.begin - pos);
      pos = link.end;
    }
    result.append(out_, pos);
    return result;
  }

  const TPageLinks& links_;
  std::string out_;
  std::unordered_set<const xmlNode*> block_holders_;
  std::unordered_set<std::string> ids_;
  std::vector<TFragmentLink> fragment_links_;
  bool inside_link_ = false;
  int nesting_ = 0;
};

}  // namespace

void AppendEscaped(std::string& out, std::string_view utf8) {
  for (size_t pos = 0; pos < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[pos]);
    if (c < 0x80) {
      ++pos;
      switch (c) {
        case '&':
          out += "&amp;";
          break;
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += "&gt;";
          break;
        case '"':
          out += "&quot;";
          break;
        default:
          if ((c >= 0x20 && c != 0x7f) || c == '\t' || c == '\n') out += static_cast<char>(c);
      }
      continue;
    }
    const size_t start = pos;
    const auto code_point = DecodeUtf8(utf8, pos);
    if (!code_point) continue;
    const char32_t cp = *code_point;
    if ((cp >= 0x80 && cp <= 0x9f) || (cp >= 0xd800 && cp <= 0xdfff) || cp == 0xfffe ||
        cp == 0xffff)
      continue;
    out.append(utf8, start, pos - start);
  }
}

std::string WriteXhtmlBody(xmlDoc* page, const TPageLinks& links) {
  xmlNode* root = xmlDocGetRootElement(page);
  if (root == nullptr) return {};
  return TXhtmlWriter(links).Write(root);
}

}  // namespace tavex
