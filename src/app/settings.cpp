// PLACEHOLDER until the settings file lands.
#include "app/settings.h"

namespace tavex {

void PutDefaultRows(TSettings&) {}
void CaptureSettings(const MainWindow&, TSettings&) {}
void SaveSettings(const MainWindow&, TSettings&, std::string_view) {}
void LoadSettings(TSettings&, std::string_view) {}
void ApplySettings(const TSettings&, MainWindow&) {}
std::string NthField(std::string_view, int) {
  return {};
}
void ActivateMainWindow(MainWindow&, TSettings&, std::string_view) {}

}  // namespace tavex
