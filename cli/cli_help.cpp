// The command line's help: every option it takes and every option name that
// --set takes, with kind, default and meaning. The names and defaults come
// from the core's tables, so a new option cannot be left out; the meanings
// live here, keyed by name, with the window's own caption where it has one.
#include <sstream>
#include <string_view>

#include "cli/cli_options.h"
#include "platform/text.h"

namespace tavex::cli {
namespace {

struct Meaning {
  const char* name;
  const char* text;  // UTF-8: the window's caption or label first, then what it does
};

constexpr Meaning kMeanings[] = {
    {"SourceDir",
     "\"Исходная директория\": the folder with one sub-folder per rubric; "
     "#x1 stands for the issue number"},
    {"TargetDir",
     "\"Целевая директория\": the issue's folder (frame, pub, images, index.htm); "
     "#x1 as above"},
    {"IssueNumber", "\"№\": the issue number"},
    {"KeepTablesThreshold",
     "\"Кол-во знаков\": text characters a table needs to be kept "
     "(with KeepTablesAboveRatio)"},
    {"CutTablesThreshold", "text/link ratio below which a table is cut (with CutTablesBelowRatio)"},
    {"CutCellsThreshold", "text/link ratio below which a cell is cut (with CutCellsBelowRatio)"},
    {"ProjectPath", "\"Путь к проекту\": the help project (.hhp) the compiler gets"},
    {"IndexPagePath",
     "\"Путь к файлу Index.htm\": the start page as the help contents name it; "
     "#x1 as above"},
    {"IssuesRoot", "\"Путь к папке с журналами\": the folder of \"Table of Contents.hhc\""},
    {"IssuesPerFolder", "\"Количество журналов в папке\": saved with the settings, not used"},
    {"IssueDate", "the issue's date on the navigation page and in the book"},
    {"RemoveAds", "\"Убрать рекламу\": keep the article's table, apply cut and delete rules"},
    {"InsertExtraInfo", "\"Вставка доп.инфы\": apply the insert rules (.ins)"},
    {"ReplaceFragments", "\"Замена фрагментов\": apply the replace rules (.cha)"},
    {"LinkMainPage", "\"Подключить Main.htm\": the start page links main.htm"},
    {"CutScripts", "\"Резать скрипты\": cut scripts and their links"},
    {"KeepTablesAboveRatio",
     "\"Оставлять таблицы, где соотн-е текст\\ссылка>\": keep tables "
     "with more text than KeepTablesThreshold"},
    {"PreferFewerLinks", "\"Приоритет таблицы с меньшим количеством ссылок\""},
    {"PickRichestTable",
     "\"Выбрать таблицу с максимальным количеством инфы\": keep the table "
     "that holds the article"},
    {"WidenTables", "\"Расширять таблицы\": tables take the page's whole width"},
    {"CutTablesBelowRatio", "\"Резать таблицы с соотношением текст/ссылка <\" CutTablesThreshold"},
    {"CutCellsBelowRatio", "\"Резать ячейки с соотношением текст/ссылка <\" CutCellsThreshold"},
    {"RecoverTitle", "\"Пытаться воcстановить название из title\""},
    {"AddToProject",
     "\"Автоматически добавлять журнал к проекту\": add the issue to the "
     "help contents"},
    {"RunCompiler", "\"Автоматически запускать компилятор\": compile the help file (chmcmd)"},
    {"MakeEpub", "\"Создавать EPUB\": also write the issue as an EPUB book"},
    {"PickArticleBlock", "\"Выбирать блок статьи в вёрстке без таблиц\""},
    {"ModernPictures", "\"Картинки из srcset и data-src\""},
    {"TrimSiteName", "\"Убирать название сайта из заголовка\""},
    {"UnlinkMissingPages", "\"Убирать ссылки на страницы вне выпуска\""},
};

const char* MeaningOf(std::string_view name) {
  for (const Meaning& meaning : kMeanings)
    if (name == meaning.name) return meaning.text;
  return "";
}

void OptionLine(std::ostringstream& out, std::string_view name, std::string_view kind,
                std::string_view default_text) {
  // Columns: name, kind, [default], meaning; a long default pushes the meaning on.
  auto pad = [](size_t used, size_t width) {
    return std::string(used < width ? width - used : 1, ' ');
  };
  const std::string shown_default = "[" + std::string(default_text) + "]";
  out << "  " << name << pad(name.size(), 22) << kind << pad(kind.size(), 8) << shown_default
      << pad(shown_default.size(), 22) << MeaningOf(name) << "\n";
}

// Fields whose text must be a whole number when it is used.
bool IsNumberField(Field field) {
  return field == Field::IssueNumber || field == Field::KeepTablesThreshold ||
         field == Field::CutTablesThreshold || field == Field::CutCellsThreshold ||
         field == Field::IssuesPerFolder;
}

}  // namespace

std::string HelpText() {
  std::ostringstream out;
  out << kUsage << "\n"
      << "Commands:\n"
         "  build                the issue from the working folder's settings: articles, pages,\n"
         "                       help contents, help file; ends with a summary of what it made\n"
         "  clean SOURCE TARGET  one page cleaned into TARGET; its pictures go to TargetDir's\n"
         "                       images folder, by default the folder above TARGET's folder\n"
         "  init DIR             рабочая папка из образца (настройки, шаблоны, правила, исходная\n"
         "                       папка, проект справки) в новой или пустой папке DIR\n"
         "\n"
         "Options:\n"
         "  --workdir DIR        the working folder (tavex.sav, templates, HtmClear); default: .\n"
         "  --set NAME=VALUE     an option's value for this run (names below)\n"
         "  --rubric FOLDER=TITLE  a rubric row; given once or more, replaces the saved rows\n"
         "  --exclude TITLE      build: drop every article with this title, as the navigation\n"
         "                       page shows it (\"—\") or as written in the page (\"&mdash;\")\n"
         "  --list               build: print each rubric's articles (title and source file)\n"
         "                       that a build would make, and write nothing\n"
         "  --quiet              build: no progress lines\n"
         "  --help, --version\n"
         "\n"
         "Option names for --set, their kind and [designer default]; tavex.sav in the\n"
         "working folder overrides the defaults, --set overrides both:\n";
  for (const FieldInfo& info : kFields)
    OptionLine(out, info.name, IsNumberField(info.field) ? "number" : "text",
               Cp1251ToUtf8(info.default_text));
  OptionLine(out, "IssueDate", "date", "today, YYYY-MM-DD");
  for (const SwitchInfo& info : kSwitches)
    OptionLine(out, info.name, "on/off", info.default_on ? "on" : "off");
  out << "\nExit status: 0 done, 1 the run failed (its message on standard error),\n"
         "2 a usage error or a field that is not a number.\n";
  return out.str();
}

std::string VersionText() {
  return std::string("mytavex-cli ") + MYTAVEX_VERSION + " (MyTavex v3.71b)\n";
}

}  // namespace tavex::cli
