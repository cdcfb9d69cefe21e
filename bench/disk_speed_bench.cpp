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
// Times are wall-clock seconds, the best of a few runs, with the page cache warm.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
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

// This process's processor time (user and kernel), in seconds: steadier than
// wall-clock time on a machine that other work shares.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

struct Timing {
  double wall = 1e300, cpu = 1e300;  // the best of the runs, each on its own
  void Add(double w, double c) {
    wall = std::min(wall, w);
    cpu = std::min(cpu, c);
  }
};

// One whole Start run of dir into dir/out, from a fresh output folder; wall
// seconds, and cpu gets the processor seconds.
double BuildOnce(const fs::path& dir, int rubrics, double* cpu = nullptr) {
  fs::remove_all(dir / "out");
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  tavex::MemoryWindow window;
  bench::SetUpWindow(window, dir, rubrics);
  tavex::ArticleTable table;
  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = CpuSeconds();
  tavex::StartRun(window, table);
  const double took = Seconds(start);
  if (cpu) *cpu = CpuSeconds() - cpu_start;
  fs::current_path(previous);
  return took;
}

Timing BestBuild(const fs::path& dir, int rubrics, int runs) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    double cpu = 0;
    const double wall = BuildOnce(dir, rubrics, &cpu);
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
// files (with their bytes) that the build wrote, to be written under plain/.
PlainCopy PlanCopy(const fs::path& dir) {
  PlainCopy plan;
  plan.inputs = FilesUnder(dir / "source");
  for (const fs::path& p : plan.inputs) plan.input_bytes += fs::file_size(p);
  const fs::path out = dir / "out";
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    const fs::path target = dir / "plain" / fs::relative(entry.path(), out);
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

// Reads every input once and writes every output once; wall seconds, cpu the
// processor seconds, calls the system calls made.
double CopyOnce(const fs::path& dir, const PlainCopy& plan, long& calls, double& cpu) {
  fs::remove_all(dir / "plain");
  calls = 0;
  static char buffer[1 << 16];
  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = CpuSeconds();
  ::mkdir((dir / "plain").c_str(), 0777);
  ++calls;
  for (const fs::path& folder : plan.folders) {
    ::mkdir(folder.c_str(), 0777);
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
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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
  cpu = CpuSeconds() - cpu_start;
  return Seconds(start);
}

Timing BestCopy(const fs::path& dir, const PlainCopy& plan, int runs, long& calls) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    double cpu = 0;
    const double wall = CopyOnce(dir, plan, calls, cpu);
    best.Add(wall, cpu);
  }
  fs::remove_all(dir / "plain");
  return best;
}

void PrintPair(const char* what, const Timing& t) {
  std::printf("  %-30s %8.3f s wall %8.3f s processor\n", what, t.wall, t.cpu);
}

void PrintRatio(const char* what, const Timing& a, const Timing& b, const char* target) {
  std::printf("  %-30s %8.2f x wall   %8.2f x processor  (%s)\n", what, a.wall / b.wall,
              a.cpu / b.cpu, target);
}

bool HaveStrace() {
  return std::system("strace -V >/dev/null 2>&1") == 0;
}

// Runs one build of dir in a child of this program under strace -f -c and
// returns the summary table (empty when that fails).
std::string StraceBuild(const fs::path& dir, int rubrics) {
  const fs::path summary = dir / "strace.txt";
  fs::remove_all(dir / "out");
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

void RubricScaling() {
  std::printf(
      "One rubric of small articles (%zu bytes each); the same files read and written\n"
      "plainly show what the file system itself does with a folder that large\n",
      kSmallArticle);
  long calls = 0;
  const fs::path small = Workspace("500", {1, 500, kSmallArticle});
  const Timing build500 = BestBuild(small, 1, 3);
  const Timing plain500 = BestCopy(small, PlanCopy(small), 3, calls);
  fs::remove_all(small);
  const fs::path large = Workspace("8000", {1, 8000, kSmallArticle});
  const Timing build8000 = BestBuild(large, 1, 2);
  const Timing plain8000 = BestCopy(large, PlanCopy(large), 2, calls);
  fs::remove_all(large);
  PrintPair("build, 500 articles:", build500);
  PrintPair("build, 8000 articles:", build8000);
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
  fs::remove_all(dir);
  std::printf("\nThe build with and without the EPUB edition: run epub/bench/edition_bench.\n");
}

}  // namespace

int main(int argc, char** argv) {
  // The child that strace watches: one build of an existing workspace.
  if (argc == 4 && std::string(argv[1]) == "--build") {
    BuildOnce(argv[2], std::atoi(argv[3]));
    return 0;
  }
  // A workspace left in place for a profiler: --make DIR RUBRICS ARTICLES BYTES.
  if (argc == 6 && std::string(argv[1]) == "--make") {
    fs::remove_all(argv[2]);
    bench::MakeWorkspace(
        argv[2], {std::atoi(argv[3]), std::atoi(argv[4]), static_cast<size_t>(std::atol(argv[5]))});
    return 0;
  }
  RubricScaling();
  IssueAgainstDisk();
  return 0;
}
