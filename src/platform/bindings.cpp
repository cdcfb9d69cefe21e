// The table of live FolderBindings and the lookup of the one a path text
// falls under. One table for the process: bindings belong to the thread that
// runs the build, which is the only one that calls the file layer meanwhile.
#include <algorithm>
#include <map>

#include "platform/bound_paths.h"

namespace tavex {
namespace {

struct Table {
  std::map<int, TBinding> bindings;  // by id
  int next_id = 0;
};

Table& Bindings() {
  static Table table;
  return table;
}

int Add(TBinding binding) {
  Table& table = Bindings();
  const int id = table.next_id++;
  table.bindings.emplace(id, std::move(binding));
  return id;
}

bool StartsWith(const std::vector<std::string>& parts, const std::vector<std::string>& head) {
  return parts.size() >= head.size() && std::equal(head.begin(), head.end(), parts.begin());
}

}  // namespace

std::vector<std::string> PathParts(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && path[end] != '\\' && path[end] != '/') ++end;
    const std::string_view part = path.substr(start, end - start);
    if (!part.empty() && part != ".") parts.emplace_back(part);
    start = end + 1;
  }
  return parts;
}

TBoundPath FindBinding(std::string_view path) {
  TBoundPath found;
  const Table& table = Bindings();
  if (table.bindings.empty()) return found;
  const bool rooted = IsRootedText(path);
  std::vector<std::string> parts = PathParts(path);
  size_t best = 0;
  for (const auto& [id, binding] : table.bindings) {
    if (binding.rooted != rooted || !StartsWith(parts, binding.parts)) continue;
    // A file binding names its text exactly, nothing below it.
    if (!binding.file_name.empty() && parts.size() != binding.parts.size()) continue;
    if (found.binding && binding.parts.size() < best) continue;
    // Equal lengths: the file binding (more exact) wins over a folder's.
    if (found.binding && binding.parts.size() == best && binding.file_name.empty()) continue;
    found.binding = &binding;
    best = binding.parts.size();
  }
  if (found.binding) found.rest.assign(parts.begin() + static_cast<long>(best), parts.end());
  return found;
}

bool AnyBinding() {
  return !Bindings().bindings.empty();
}

FolderBinding::FolderBinding(std::string_view typed, const HeldFolder* folder, LinkRule links) {
  TBinding binding;
  binding.parts = PathParts(typed);
  binding.rooted = IsRootedText(typed);
  binding.folder = folder && folder->held() ? folder : nullptr;
  binding.links = links;
  id_ = Add(std::move(binding));
}

FolderBinding FolderBinding::BindFile(std::string_view typed, const TResolvedFile& file) {
  TBinding binding;
  binding.parts = PathParts(typed);
  binding.rooted = IsRootedText(typed);
  binding.folder = file.folder.held() ? &file.folder : nullptr;
  binding.links = LinkRule::Never;
  binding.file_name = file.name;
  FolderBinding made;
  made.id_ = Add(std::move(binding));
  return made;
}

FolderBinding::~FolderBinding() {
  if (id_ >= 0) Bindings().bindings.erase(id_);
}

FolderBinding::FolderBinding(FolderBinding&& other) noexcept : id_(other.id_) {
  other.id_ = -1;
}

}  // namespace tavex
