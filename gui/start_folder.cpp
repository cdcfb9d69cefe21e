#include "start_folder.h"

#include <QDir>
#include <QFileInfo>

#include "app/settings.h"
#include "launch/working_folder.h"
#include "platform/failure.h"
#include "qt_text.h"

namespace tavex::gui {

WindowArguments ParseWindowArguments(const QStringList& args) {
  WindowArguments parsed;
  for (int i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg == "--version") {
      parsed.version = true;
    } else if (arg == "--workdir" && i + 1 < args.size()) {
      parsed.workdir = args[++i];
    } else if (arg.startsWith("--workdir=")) {
      parsed.workdir = arg.mid(QStringLiteral("--workdir=").size());
    } else if (arg == "--workdir") {
      parsed.error = QString::fromUtf8("--workdir: нужна папка DIR");
    } else {
      parsed.error = QString::fromUtf8("неизвестный параметр «%1»").arg(arg);
    }
  }
  return parsed;
}

QString WindowHelpText() {
  return QString::fromUtf8(
      "Использование: mytavex [--workdir DIR]\n"
      "               mytavex --help | --version\n"
      "\n"
      "Окно MyTavex: из папки сохранённых веб-статей (по подпапке на рубрику) собирает\n"
      "выпуск электронного журнала: очищенные страницы статей, пронумерованные\n"
      "картинки, страницы навигации и начальную, запись в оглавлении проекта справки,\n"
      "файл справки (chmcmd из fp-utils) и, по желанию, книгу EPUB. Без окна то же\n"
      "делает mytavex-cli.\n"
      "\n"
      "Параметры:\n"
      "  --workdir DIR  рабочая папка: настройки tavex.sav и mytavex.ini, шаблоны\n"
      "                 left.htm, index.htm, main.htm, картинки tvred.gif и Logo.gif,\n"
      "                 правила HtmClear. Без него окно работает в текущей папке; а\n"
      "                 запущенное в домашней папке, где нет tavex.sav (так его\n"
      "                 запускает рабочий стол), работает в ~/MyTavex, которую первый\n"
      "                 запуск делает из образца, как mytavex-cli init ~/MyTavex\n"
      "  --help         эта справка\n"
      "  --version      версия программы\n"
      "\n"
      "Параметры Qt (-platform, -style и другие) действуют как в любой программе Qt.\n");
}

QString WindowVersionText() {
  return QString::fromUtf8("mytavex " MYTAVEX_VERSION " (MyTavex v3.71b)\n");
}

namespace {

bool IsEmptyOrMissing(const QString& folder) {
  const QDir dir(folder);
  return !dir.exists() ||
         dir.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

}  // namespace

QString EnterStartFolder(const std::optional<QString>& workdir, const QString& home,
                         QString& error) {
  if (workdir) {
    if (!QFileInfo(*workdir).isDir() || !QDir::setCurrent(*workdir))
      error = QString::fromUtf8("рабочая папка %1 не найдена").arg(*workdir);
    return {};
  }
  const QString current = QDir::currentPath();
  if (QFileInfo::exists(QString::fromUtf8(kSettingsFile)) ||
      QFileInfo(current).canonicalFilePath() != QFileInfo(home).canonicalFilePath())
    return {};
  const QString folder = QDir(home).filePath(QString::fromUtf8(kHomeWorkFolder));
  QString notice;
  if (IsEmptyOrMissing(folder)) {
    try {
      const std::string sample = FindSampleFolder();
      MakeWorkingFolder(sample, ToCore(folder));
      notice = QString::fromUtf8(
                   "Рабочая папка программы — %1. Она сделана из образца %2: в ней "
                   "настройки, шаблоны, правила и пример исходной папки, и «Старт» "
                   "собирает из них пример выпуска.")
                   .arg(QDir::toNativeSeparators(folder), FromCore(sample));
    } catch (const Failure& failure) {
      // The window still starts, in the home folder, and tells why.
      return FromCore(failure.what());
    }
  }
  QDir::setCurrent(folder);
  return notice;
}

}  // namespace tavex::gui
