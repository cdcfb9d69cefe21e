#include "app/memory_window.h"

#include <clocale>
#include <ctime>
#include <string_view>

#include "app/short_date.h"
#include "platform/text.h"

namespace tavex {

Date Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

MemoryWindow::MemoryWindow() : grid_(6), date_(Today()) {
  for (const auto& info : kFields) fields_[static_cast<int>(info.field)] = info.default_text;
  for (const auto& info : kSwitches) switches_[static_cast<int>(info.sw)] = info.default_on;
  grid_[0] = {"\xcd\xe0\xe7\xe2\xe0\xed\xe8\xe5 \xef\xe0\xef\xea\xe8",  // Название папки
              "\xcd\xe0\xe7\xe2\xe0\xed\xe8\xe5 \xf0\xf3\xe1\xf0\xe8\xea\xe8"};  // Название рубрики
}

std::string MemoryWindow::FieldText(Field field) const {
  return fields_[static_cast<int>(field)];
}

void MemoryWindow::SetFieldText(Field field, std::string_view text) {
  fields_[static_cast<int>(field)] = text;
}

bool MemoryWindow::IsChecked(Switch sw) const {
  return switches_[static_cast<int>(sw)];
}

void MemoryWindow::SetChecked(Switch sw, bool on) {
  switches_[static_cast<int>(sw)] = on;
}

std::string MemoryWindow::ShortDate() const {
  const char* time_locale = std::setlocale(LC_TIME, nullptr);
  if (IsDefaultLocaleName(time_locale ? time_locale : "")) return RussianShortDate(date_);
  std::tm tm{};
  tm.tm_year = date_.year - 1900;
  tm.tm_mon = date_.month - 1;
  tm.tm_mday = date_.day;
  char buffer[64];
  size_t n = std::strftime(buffer, sizeof buffer, "%x", &tm);
  // The C library writes in the time locale's own encoding; the core speaks
  // Windows-1251.
  std::string date(buffer, n);
  const std::string locale = LowerCase(std::setlocale(LC_TIME, nullptr));
  const bool utf8 =
      locale.find("utf-8") != std::string::npos || locale.find("utf8") != std::string::npos;
  return utf8 ? Utf8To1251(date) : date;
}

void MemoryWindow::SetRowCount(int rows) {
  grid_.resize(rows < 0 ? 0 : rows);
}

std::string MemoryWindow::Cell(int column, int row) const {
  if (row < 0 || row >= RowCount() || column < 0 || column > 1) return {};
  return grid_[row][column];
}

void MemoryWindow::SetCell(int column, int row, std::string_view text) {
  if (row < 0 || row >= RowCount() || column < 0 || column > 1) return;
  grid_[row][column] = text;
}

void MemoryWindow::SetProgressMax(ProgressBar bar, int max) {
  progress_max_[static_cast<int>(bar)] = max;
}

void MemoryWindow::SetProgressPosition(ProgressBar bar, int position) {
  progress_pos_[static_cast<int>(bar)] = position;
  if (on_progress) on_progress(bar, position, progress_max(bar));
}

void MemoryWindow::ProcessMessages() {
  ++pump_count_;
  if (on_pump) on_pump();
}

void MemoryWindow::ReviewArticles(ArticleTable& table) {
  if (on_review) on_review(table);
}

}  // namespace tavex
