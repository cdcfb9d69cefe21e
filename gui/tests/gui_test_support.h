// Helpers shared by the window's Qt tests.
#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <string_view>

namespace tavex::gui::test {

// A fresh temporary folder made the working folder (where the window reads
// "tavex.sav", templates and rules) for the object's lifetime.
class WorkFolder {
 public:
  WorkFolder();
  ~WorkFolder();
  QString path() const { return dir_.path(); }
  // A path text below the folder, as the core takes it.
  std::string operator/(const QString& relative) const;

 private:
  QTemporaryDir dir_;
  QString previous_;
};

// Writes bytes to a file below a folder, creating its folders.
void WriteFile(const QString& path, std::string_view bytes);
// A file's bytes; empty when it cannot be read.
std::string ReadFile(const QString& path);
// Every file and folder below a folder, relative, sorted.
QStringList Tree(const QString& folder);

}  // namespace tavex::gui::test
