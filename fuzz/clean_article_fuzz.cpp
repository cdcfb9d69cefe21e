// The whole article cleaner on one page in a real folder.
//
// Input: one byte of switches, then the page. The window starts from the
// designer defaults; each set bit of the first byte turns one of the switches
// below the other way, so the fuzzer reaches the optional passes too. The
// project's sample rule files take part when the build knows where they are.
#include <filesystem>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "fuzz_support.h"

using namespace tavex;

namespace {

constexpr Switch kToggled[] = {Switch::RemoveAds,           Switch::ReplaceFragments,
                               Switch::InsertExtraInfo,     Switch::PickRichestTable,
                               Switch::CutTablesBelowRatio, Switch::RecoverTitle,
                               Switch::PickArticleBlock,    Switch::ModernPictures};

const fuzz::Workspace& PreparedWorkspace() {
  static const fuzz::Workspace& workspace = []() -> const fuzz::Workspace& {
    const fuzz::Workspace& w = fuzz::Workspace::Get();
    std::error_code ec;
    std::filesystem::create_directories(w.root() / "HtmClear", ec);
#ifdef MYTAVEX_DATA_DIR
    std::filesystem::copy(std::filesystem::path(MYTAVEX_DATA_DIR) / "HtmClear",
                          w.root() / "HtmClear",
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing,
                          ec);
#endif
    std::filesystem::create_directories(w.root() / "out" / "pub", ec);
    std::filesystem::create_directories(w.root() / "out" / "images", ec);
    return w;
  }();
  return workspace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::Workspace& workspace = PreparedWorkspace();
  const unsigned switches = size > 0 ? data[0] : 0;
  const std::string_view page = size > 0 ? fuzz::AsText(data + 1, size - 1) : std::string_view{};

  workspace.Empty("out/pub");
  workspace.Empty("out/images");
  workspace.Write("src/page.htm", page);
  ResetPictureRegister();

  MemoryWindow window;
  window.SetFieldText(Field::TargetDir, workspace.PathText("out"));
  window.SetFieldText(Field::IssueNumber, "12");
  for (size_t bit = 0; bit < std::size(kToggled); ++bit)
    if (switches & (1u << bit)) window.SetChecked(kToggled[bit], !window.IsChecked(kToggled[bit]));

  fuzz::IgnoringFailure([&] {
    CleanArticle(workspace.PathText("src/page.htm"), workspace.PathText("out/pub/1.htm"), window,
                 workspace.PathText("src"));
  });
  return 0;
}
