// How close a build comes to the disk's own speed, printed side by side in one
// run (a plain program: the figures are for reading, not pass or fail):
//  1. one rubric of 8,000 small articles against one of 500: times and their
//     ratio (a build linear in the folder's size gives 16; the target is less);
//  2. a 500-article issue (about 100 KB a page) against reading its input
//     files and writing its output files once with plain open/read/write, the
//     same files and bytes: times and their ratio (target within 1.5);
//  3. system calls per article of that build, counted by running one build in
//     a child process under `strace -f -c` when strace is installed; the plain
//     read and write counts its own calls as it makes them.
// The EPUB edition's cost is measured by epub/bench/edition_bench.
// Times are seconds, the best of a few runs, with the page cache warm: wall
// clock, and processor time split into user and system. On a shared disk the
// system time of creating files swings widely (ext4 looks for a free inode
// among those deleted in the last half minute, by any process), so compare
// figures from one run, and read the user-time ratio for the program's own
// scaling. The workspaces go into the temporary folder, so TMPDIR=/dev/shm
// measures on tmpfs, where neither side pays for ext4's inode allocation and
// the figures swing less. strace is in Debian's strace package.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "build/start_run.h"
#include "issue_workspace.h"

namespace fs = std::filesystem;

namespace {

constexpr int kIssueRubrics = 5;
constexpr size_t kSmallArticle = 2 * 1024;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// This process's processor time in seconds, in its own code and libraries
// (user) and in the kernel on its behalf (system): steadier than wall-clock
// time on a machine that other work shares, and apart they tell the program's
// own scaling from the file system's.
struct Cpu {
  double user = 0, system = 0;
  double total() const { return user + system; }
};

Cpu CpuNow() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

Cpu Since(const Cpu& start) {
  const Cpu now = CpuNow();
  return {now.user - start.user, now.system - start.system};
}

struct Timing {
  double wall = 1e300, cpu = 1e300, user = 1e300, system = 1e300;  // best of the runs, each alone
  void Add(double w, const Cpu& c) {
    wall = std::min(wall, w);
    cpu = std::min(cpu, c.total());
    user = std::min(user, c.user);
    system = std::min(system, c.system);
  }
};

// One whole Start run of dir into the new folder dir/OUT; wall seconds, and
// cpu gets the processor seconds. Every run writes a folder of its own and
// nothing is deleted until all runs are done: ext4 spends a long time finding
// free inodes among thousands just deleted, which would measure the previous
// run's clean-up rather than this run.
double BuildOnce(const fs::path& dir, int rubrics, const std::string& out, Cpu* cpu = nullptr) {
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  tavex::MemoryWindow window;
  bench::SetUpWindow(window, dir, rubrics, out);
  tavex::ArticleTable table;
  const auto start = std::chrono::steady_clock::now();
  const Cpu cpu_start = CpuNow();
  tavex::StartRun(window, table);
  const double took = Seconds(start);
  if (cpu) *cpu = Since(cpu_start);
  fs::current_path(previous);
  return took;
}

Timing BestBuild(const fs::path& dir, int rubrics, int runs) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    Cpu cpu;
    const double wall = BuildOnce(dir, rubrics, "out-" + std::to_string(i), &cpu);
    best.Add(wall, cpu);
  }
  return best;
}

fs::path Workspace(const std::string& name, const bench::IssueShape& shape) {
  const fs::path dir =
      fs::temp_directory_path() / ("mytavex-disk-" + name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  bench::MakeWorkspace(dir, shape);
  return dir;
}

std::vector<fs::path> FilesUnder(const fs::path& root) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files.push_back(entry.path());
  return files;
}

struct PlainCopy {
  std::vector<fs::path> inputs;
  std::vector<fs::path> folders;  // output folders, parents first
  std::vector<std::pair<fs::path, std::string>> outputs;
  size_t input_bytes = 0, output_bytes = 0;
};

// What the plain read and write handles: the build's input files, and the
// files (with their bytes) that the build wrote into dir/out-0, to be written
// under plain-N/.
PlainCopy PlanCopy(const fs::path& dir) {
  PlainCopy plan;
  plan.inputs = FilesUnder(dir / "source");
  for (const fs::path& p : plan.inputs) plan.input_bytes += fs::file_size(p);
  const fs::path out = dir / "out-0";
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    const fs::path target = fs::relative(entry.path(), out);
    if (entry.is_directory()) {
      plan.folders.push_back(target);
    } else if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      plan.output_bytes += bytes.str().size();
      plan.outputs.emplace_back(target, bytes.str());
    }
  }
  return plan;
}

// Reads every input once and writes every output once into the new folder
// into; wall seconds, cpu the processor seconds, calls the system calls made.
double CopyOnce(const fs::path& into, const PlainCopy& plan, long& calls, Cpu& cpu) {
  calls = 0;
  static char buffer[1 << 16];
  const auto start = std::chrono::steady_clock::now();
  const Cpu cpu_start = CpuNow();
  ::mkdir(into.c_str(), 0777);
  ++calls;
  for (const fs::path& folder : plan.folders) {
    ::mkdir((into / folder).c_str(), 0777);
    ++calls;
  }
  for (const fs::path& p : plan.inputs) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    ++calls;
    if (fd < 0) continue;
    ssize_t got;
    do {
      got = ::read(fd, buffer, sizeof buffer);
      ++calls;
    } while (got > 0);
    ::close(fd);
    ++calls;
  }
  for (const auto& [p, bytes] : plan.outputs) {
    const int fd = ::open((into / p).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    ++calls;
    if (fd < 0) continue;
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
      ++calls;
      if (put <= 0) break;
      done += static_cast<size_t>(put);
    }
    ::close(fd);
    ++calls;
  }
  cpu = Since(cpu_start);
  return Seconds(start);
}

Timing BestCopy(const fs::path& dir, const PlainCopy& plan, int runs, long& calls) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    Cpu cpu;
    const double wall = CopyOnce(dir / ("plain-" + std::to_string(i)), plan, calls, cpu);
    best.Add(wall, cpu);
  }
  return best;
}

void PrintPair(const char* what, const Timing& t) {
  std::printf("  %-30s %8.3f s wall %8.3f s processor (%.3f user, %.3f system)\n", what, t.wall,
              t.cpu, t.user, t.system);
}

// a / b as text, or "-" when b is below the clock's grain (getrusage counts
// in ticks, so a plain copy's user time is often 0).
std::string Ratio(double a, double b) {
  if (b < 0.002) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", a / b);
  return text;
}

void PrintRatio(const char* what, const Timing& a, const Timing& b, const char* target) {
  std::printf("  %-30s %8s x wall %8s x processor (%s x user, %s x system)  (%s)\n", what,
              Ratio(a.wall, b.wall).c_str(), Ratio(a.cpu, b.cpu).c_str(),
              Ratio(a.user, b.user).c_str(), Ratio(a.system, b.system).c_str(), target);
}

bool HaveStrace() {
  return std::system("strace -V >/dev/null 2>&1") == 0;
}

// Runs one build of dir in a child of this program under strace -f -c and
// returns the summary table (empty when that fails).
std::string StraceBuild(const fs::path& dir, int rubrics) {
  const fs::path summary = dir / "strace.txt";
  fs::remove_all(dir / "out-strace");
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const std::string command = "strace -f -c -S calls -o '" + summary.string() + "' '" + self +
                              "' --build '" + dir.string() + "' " + std::to_string(rubrics);
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(summary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The "calls" column of strace's total line.
long TotalCalls(const std::string& table) {
  std::istringstream lines(table);
  std::string line;
  long total = -1;
  while (std::getline(lines, line)) {
    if (line.find("total") == std::string::npos) continue;
    std::istringstream fields(line);
    std::string percent, seconds, usecs;
    fields >> percent >> seconds >> usecs >> total;
  }
  return total;
}

void PrintTopCalls(const std::string& table, int count) {
  std::istringstream lines(table);
  std::string line;
  int shown = -2;  // the heading and its rule first
  while (std::getline(lines, line) && shown < count) {
    std::printf("    %s\n", line.c_str());
    ++shown;
  }
}

// Folders made by the measurements, removed only after all of them (see
// BuildOnce for why).
std::vector<fs::path> made;

void RubricScaling() {
  std::printf(
      "One rubric of small articles (%zu bytes each); the same files read and written\n"
      "plainly show what the file system itself does with a folder that large\n",
      kSmallArticle);
  long calls = 0;
  const fs::path small = Workspace("500", {1, 500, kSmallArticle});
  const fs::path large = Workspace("8000", {1, 8000, kSmallArticle});
  made.insert(made.end(), {small, large});
  // The ratio sits close to 16 and a busy machine moves single runs by more
  // than the difference, so each side is the best of several runs.
  const Timing build500 = BestBuild(small, 1, 7);
  const Timing plain500 = BestCopy(small, PlanCopy(small), 7, calls);
  const Timing build8000 = BestBuild(large, 1, 4);
  const Timing plain8000 = BestCopy(large, PlanCopy(large), 4, calls);
  PrintPair("build, 500 articles:", build500);
  PrintPair("build, 8000 articles:", build8000);
  std::printf("  %-30s %8.1f us at 500, %.1f us at 8000 (wall)\n",
              "build, time per article:", build500.wall / 500 * 1e6, build8000.wall / 8000 * 1e6);
  PrintRatio("build, 8000 against 500:", build8000, build500, "16 x is linear; target under 16 x");
  PrintPair("plain, 500 articles' files:", plain500);
  PrintPair("plain, 8000 articles' files:", plain8000);
  PrintRatio("plain, 8000 against 500:", plain8000, plain500, "the file system's own scaling");
  std::printf("\n");
}

void IssueAgainstDisk() {
  const int articles = kIssueRubrics * 100;
  std::printf("An issue of %d articles in %d rubrics (about 100 KB a page)\n", articles,
              kIssueRubrics);
  const fs::path dir = Workspace("issue", {kIssueRubrics, 100, 100 * 1024});
  made.push_back(dir);
  const Timing build = BestBuild(dir, kIssueRubrics, 3);
  const PlainCopy plan = PlanCopy(dir);
  long copy_calls = 0;
  const Timing copy = BestCopy(dir, plan, 3, copy_calls);
  PrintPair("build:", build);
  PrintPair("plain read and write once:", copy);
  std::printf("  (%zu files, %.1f MB in; %zu files, %.1f MB out)\n", plan.inputs.size(),
              plan.input_bytes / 1e6, plan.outputs.size(), plan.output_bytes / 1e6);
  PrintRatio("build against plain:", build, copy, "target within 1.5 x");
  std::printf("  plain read and write, system calls per article: %8.1f (own count)\n",
              static_cast<double>(copy_calls) / articles);
  if (HaveStrace()) {
    const std::string table = StraceBuild(dir, kIssueRubrics);
    const long calls = TotalCalls(table);
    if (calls > 0) {
      std::printf(
          "  build, system calls per article:                %8.1f (strace -f -c: %ld "
          "in all)\n",
          static_cast<double>(calls) / articles, calls);
      std::printf("  the build's most frequent calls:\n");
      PrintTopCalls(table, 8);
    } else {
      std::printf("  build, system calls per article: strace gave no summary\n");
    }
  } else {
    std::printf("  build, system calls per article: not counted (strace is not installed)\n");
  }
  std::printf("\nThe build with and without the EPUB edition: run epub/bench/edition_bench.\n");
}

}  // namespace

int main(int argc, char** argv) {
  // The child that strace watches: one build of an existing workspace.
  if (argc == 4 && std::string(argv[1]) == "--build") {
    BuildOnce(argv[2], std::atoi(argv[3]), "out-strace");
    return 0;
  }
  // A workspace left in place for a profiler: --make DIR RUBRICS ARTICLES BYTES.
  if (argc == 6 && std::string(argv[1]) == "--make") {
    fs::remove_all(argv[2]);
    bench::MakeWorkspace(
        argv[2], {std::atoi(argv[3]), std::atoi(argv[4]), static_cast<size_t>(std::atol(argv[5]))});
    return 0;
  }
  IssueAgainstDisk();
  RubricScaling();
  for (const fs::path& dir : made) fs::remove_all(dir);
  return 0;
}
