#include "epub/element_roles.h"

#include <unordered_map>

namespace tavex {
namespace {

using Map = std::unordered_map<std::string_view, TElementRole>;

TElementRole Drop() {
  return {TRoleKind::Drop};
}
TElementRole Flow(const char* name, const char* css_class = "") {
  return {TRoleKind::Block, name, css_class, false};
}
TElementRole Lines(const char* name) {
  return {TRoleKind::Block, name, "", true};
}
TElementRole Inline(const char* name) {
  return {TRoleKind::Phrasing, name};
}

const Map& Roles() {
  static const Map roles = {
      // Gone with their content: code, embedded objects, form fields, the head.
      {"script", Drop()},
      {"style", Drop()},
      {"noscript", Drop()},
      {"iframe", Drop()},
      {"frame", Drop()},
      {"frameset", Drop()},
      {"object", Drop()},
      {"embed", Drop()},
      {"applet", Drop()},
      {"param", Drop()},
      {"input", Drop()},
      {"select", Drop()},
      {"option", Drop()},
      {"optgroup", Drop()},
      {"textarea", Drop()},
      {"button", Drop()},
      {"head", Drop()},
      {"title", Drop()},
      {"meta", Drop()},
      {"link", Drop()},
      {"base", Drop()},
      {"basefont", Drop()},
      {"map", Drop()},
      {"area", Drop()},
      {"svg", Drop()},
      {"math", Drop()},
      {"audio", Drop()},
      {"video", Drop()},
      {"canvas", Drop()},
      {"template", Drop()},
      {"source", Drop()},
      {"track", Drop()},
      {"wbr", Drop()},
      {"bgsound", Drop()},
      {"isindex", Drop()},
      {"keygen", Drop()},
      {"col", Drop()},
      {"colgroup", Drop()},
      {"xml", Drop()},
      {"noembed", Drop()},
      {"spacer", Drop()},
      // Blocks holding flow content.
      {"div", Flow("div")},
      {"blockquote", Flow("blockquote")},
      {"center", Flow("div", "center")},
      {"address", Flow("div")},
      {"section", Flow("div")},
      {"article", Flow("div")},
      {"aside", Flow("div")},
      {"header", Flow("div")},
      {"footer", Flow("div")},
      {"nav", Flow("div")},
      {"main", Flow("div")},
      {"figure", Flow("div")},
      {"figcaption", Flow("div")},
      {"details", Flow("div")},
      {"summary", Flow("div")},
      {"fieldset", Flow("div")},
      {"legend", Flow("div")},
      {"hgroup", Flow("div")},
      {"dl", Flow("div")},
      {"dt", Flow("div")},
      {"dd", Flow("div", "indent")},
      {"caption", Flow("div")},
      // Outside their table or list these are plain blocks; the table and list
      // writers handle them where they belong.
      {"li", Flow("div")},
      {"tr", Flow("div")},
      {"td", Flow("div")},
      {"th", Flow("div")},
      // Blocks holding phrasing content.
      {"p", Lines("p")},
      {"h1", Lines("h1")},
      {"h2", Lines("h2")},
      {"h3", Lines("h3")},
      {"h4", Lines("h4")},
      {"h5", Lines("h5")},
      {"h6", Lines("h6")},
      {"pre", Lines("pre")},
      {"listing", Lines("pre")},
      {"xmp", Lines("pre")},
      {"plaintext", Lines("pre")},
      // Lists and tables.
      {"ul", {TRoleKind::List, "ul"}},
      {"ol", {TRoleKind::List, "ol"}},
      {"menu", {TRoleKind::List, "ul"}},
      {"dir", {TRoleKind::List, "ul"}},
      {"table", {TRoleKind::Table, "table"}},
      // Inline elements.
      {"b", Inline("b")},
      {"i", Inline("i")},
      {"u", Inline("u")},
      {"s", Inline("s")},
      {"strike", Inline("s")},
      {"em", Inline("em")},
      {"strong", Inline("strong")},
      {"sub", Inline("sub")},
      {"sup", Inline("sup")},
      {"small", Inline("small")},
      {"code", Inline("code")},
      {"tt", Inline("code")},
      {"kbd", Inline("kbd")},
      {"samp", Inline("samp")},
      {"var", Inline("var")},
      {"cite", Inline("cite")},
      {"q", Inline("q")},
      {"abbr", Inline("abbr")},
      {"acronym", Inline("abbr")},
      {"dfn", Inline("dfn")},
      {"mark", Inline("mark")},
      {"a", {TRoleKind::Link, "a"}},
      {"img", {TRoleKind::Picture, "img"}},
      {"br", {TRoleKind::LineBreak, "br"}},
      {"hr", {TRoleKind::Rule, "hr"}},
  };
  return roles;
}

}  // namespace

TElementRole RoleOf(std::string_view html_name) {
  const Map& roles = Roles();
  auto it = roles.find(html_name);
  return it == roles.end() ? TElementRole{} : it->second;
}

}  // namespace tavex
