#include "gui_test_support.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace tavex::gui::test {

WorkFolder::WorkFolder() : previous_(QDir::currentPath()) {
  QDir::setCurrent(dir_.path());
}

WorkFolder::~WorkFolder() {
  QDir::setCurrent(previous_);
}

std::string WorkFolder::operator/(const QString& relative) const {
  return (dir_.path() + "/" + relative).toStdString();
}

void WriteFile(const QString& path, std::string_view bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

QStringList Tree(const QString& folder) {
  QStringList entries;
  QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  QDir base(folder);
  while (it.hasNext()) entries << base.relativeFilePath(it.next());
  entries.sort();
  return entries;
}

}  // namespace tavex::gui::test
