#include "platform/files.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <system_error>

#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

std::string ToUtf8Separators(std::string_view path) {
  std::string utf8 = Cp1251ToUtf8(path);
  std::replace(utf8.begin(), utf8.end(), '\\', '/');
  return utf8;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

// The entry of folder whose name equals wanted with letter case folded; the
// first such name in byte order, or nothing.
std::optional<std::string> FindIgnoringCase(const fs::path& folder, const std::string& wanted) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  if (ec) return std::nullopt;
  const std::string key = LowerCase(Utf8To1251(wanted));
  std::optional<std::string> best;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::string name = it->path().filename().string();
    if (LowerCase(Utf8To1251(name)) == key && (!best || name < *best)) best = name;
  }
  return best;
}

bool LessByName(const DirEntry& a, const DirEntry& b) {
  std::string la = LowerCase(a.name), lb = LowerCase(b.name);
  if (la != lb) return la < lb;
  return a.name < b.name;
}

}  // namespace

fs::path NativePath(std::string_view path) {
  const std::string utf8 = ToUtf8Separators(path);
  fs::path exact(utf8);
  if (utf8.empty() || Exists(exact)) return exact;

  // Walk the components, replacing each missing one by an entry that differs
  // only in letter case; once one is absent either way, keep the rest as typed.
  fs::path built = exact.root_path();
  bool resolving = true;
  for (const fs::path& part : exact.relative_path()) {
    const std::string name = part.string();
    fs::path next = built / part;
    if (resolving && !Exists(next) && name != "." && name != ".." && !name.empty()) {
      if (auto found = FindIgnoringCase(built, name)) {
        next = built / *found;
      } else {
        resolving = false;
      }
    }
    built = std::move(next);
  }
  if (utf8.back() == '/' && !built.empty()) built /= "";
  return built;
}

std::vector<DirEntry> ListFolder(std::string_view folder) {
  std::vector<DirEntry> entries;
  std::error_code ec;
  fs::directory_iterator it(NativePath(folder), ec);
  if (ec) return entries;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code type_ec;
    bool is_folder = it->is_directory(type_ec);
    entries.push_back({Utf8To1251(it->path().filename().string()), is_folder});
  }
  std::sort(entries.begin(), entries.end(), LessByName);
  return entries;
}

bool FileExists(std::string_view path) {
  std::error_code ec;
  auto st = fs::status(NativePath(path), ec);
  return !ec && fs::exists(st) && !fs::is_directory(st);
}

bool FolderExists(std::string_view path) {
  std::error_code ec;
  return fs::is_directory(NativePath(path), ec);
}

bool CreateFolder(std::string_view path) {
  std::error_code ec;
  return fs::create_directory(NativePath(path), ec) && !ec;
}

bool RemoveFile(std::string_view path) {
  fs::path p = NativePath(path);
  std::error_code ec;
  if (fs::is_directory(p, ec)) return false;
  return fs::remove(p, ec) && !ec;
}

bool CopyFileNoReplace(std::string_view from, std::string_view to) {
  fs::path source = NativePath(from);
  fs::path target = NativePath(to);
  std::error_code ec;
  if (!fs::is_regular_file(source, ec) || Exists(target)) return false;
  return fs::copy_file(source, target, fs::copy_options::none, ec) && !ec;
}

std::optional<std::string> ReadFileBytes(std::string_view path, size_t limit) {
  fs::path p = NativePath(path);
  std::error_code ec;
  if (fs::is_directory(p, ec)) return std::nullopt;
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[1 << 16];
  while (bytes.size() < limit) {
    size_t want = std::min(sizeof buffer, limit - bytes.size());
    in.read(buffer, static_cast<std::streamsize>(want));
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
    if (in.gcount() == 0 || !in) break;
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteFileWhole(std::string_view path, std::string_view bytes) {
  fs::path target = NativePath(path);
  std::error_code ec;
  if (fs::is_directory(target, ec)) return false;
  fs::path temp = target;
  temp += ".tmp-write";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool LinkCaseVariant(std::string_view folder, std::string_view alias) {
  const fs::path exact(ToUtf8Separators(alias));
  if (Exists(exact)) return true;
  const fs::path target = NativePath(folder);
  std::error_code ec;
  if (!fs::is_directory(target, ec) || target.parent_path() != exact.parent_path()) return false;
  fs::create_directory_symlink(target.filename(), exact, ec);
  return !ec;
}

std::string CurrentFolder() {
  std::error_code ec;
  return Utf8To1251(fs::current_path(ec).string());
}

std::string_view ExtensionOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

namespace {

void WalkFolder(const std::string& folder, const std::function<void()>& before_entry,
                const std::function<void(const std::string&, std::string_view)>& on_file,
                std::set<fs::path>& walked) {
  std::error_code ec;
  const fs::path real = fs::weakly_canonical(NativePath(folder), ec);
  if (ec || !walked.insert(real).second) return;
  std::string prefix = folder;
  if (prefix.empty() || (prefix.back() != '\\' && prefix.back() != '/')) prefix += '\\';
  for (const DirEntry& entry : ListFolder(folder)) {
    if (before_entry) before_entry();
    const std::string path = prefix + entry.name;
    if (entry.is_folder) {
      WalkFolder(path, before_entry, on_file, walked);
    } else {
      on_file(path, entry.name);
    }
  }
}

}  // namespace

void WalkFiles(std::string_view folder, const std::function<void()>& before_entry,
               const std::function<void(const std::string& path, std::string_view name)>& on_file) {
  std::set<fs::path> walked;
  WalkFolder(std::string(folder), before_entry, on_file, walked);
}

bool IsWithinFolder(std::string_view path, std::string_view folder) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(NativePath(path), ec), ec);
  if (ec) return false;
  fs::path f = fs::weakly_canonical(fs::absolute(NativePath(folder), ec), ec);
  if (ec) return false;
  auto pi = p.begin(), fi = f.begin();
  for (; fi != f.end(); ++fi, ++pi) {
    if (fi->empty()) continue;  // a trailing separator
    if (pi == p.end() || *pi != *fi) return false;
  }
  return true;
}

}  // namespace tavex
