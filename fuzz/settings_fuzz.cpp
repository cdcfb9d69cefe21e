// The settings loader on a fuzzed "tavex.sav", and the window it fills.
#include "app/memory_window.h"
#include "app/settings.h"
#include "fuzz_support.h"

using namespace tavex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::Workspace& workspace = fuzz::Workspace::Get();
  workspace.Write(kSettingsFile, fuzz::AsText(data, size));
  fuzz::IgnoringFailure([&] {
    TSettings settings;
    LoadSettings(settings, workspace.PathText(kSettingsFile));
    MemoryWindow window;
    ApplySettings(settings, window);
  });
  return 0;
}
