// The command line's help: every option it takes and every option name that
// --set takes, with kind, default and meaning. The names and defaults come
// from the core's tables, so a new option cannot be left out; the meanings
// live here, keyed by name, with the window's own caption where it has one.
// Every line fits 80 columns: each option name has a line of its own, its
// meaning goes under it, wrapped.
#include <sstream>
#include <string_view>

#include "cli/cli_options.h"
#include "platform/text.h"

namespace tavex::cli {
namespace {

constexpr size_t kWidth = 80;     // columns of a help line
constexpr size_t kMeaningAt = 8;  // where a meaning's continuation lines start

struct Meaning {
  const char* name;
  const char* text;  // UTF-8: the window's caption or label first, then what it does
};

// A dash is bound to the word before it (a no-break space), so a wrapped
// line never starts with one.
constexpr Meaning kMeanings[] = {
    {"SourceDir", "«Исходная директория»: папка с подпапками рубрик; #x1 — номер выпуска"},
    {"TargetDir",
     "«Целевая директория»: папка выпуска (frame, pub, images, index.htm); #x1 — номер "
     "выпуска; то же, что -o"},
    {"IssueNumber", "«№»: номер выпуска"},
    {"KeepTablesThreshold",
     "«Кол-во знаков»: столько знаков текста нужно таблице, чтобы остаться "
     "(с KeepTablesAboveRatio)"},
    {"CutTablesThreshold",
     "соотношение текст/ссылка, ниже которого таблица вырезается (с CutTablesBelowRatio)"},
    {"CutCellsThreshold",
     "соотношение текст/ссылка, ниже которого ячейка вырезается (с CutCellsBelowRatio)"},
    {"ProjectPath", "«Путь к проекту»: проект справки (.hhp) для компилятора"},
    {"IndexPagePath",
     "«Путь к файлу Index.htm»: стартовая страница выпуска, как её называет содержание "
     "справки; #x1 — номер выпуска"},
    {"IssuesRoot", "«Путь к папке с журналами»: папка файла «Table of Contents.hhc»"},
    {"IssuesPerFolder",
     "«Количество журналов в папке»: хранится в настройках, сборкой не читается"},
    {"IssueDate", "дата выпуска на странице навигации и в книге"},
    {"RemoveAds",
     "«Убрать рекламу»: оставить таблицу статьи, применить правила вырезания и удаления"},
    {"InsertExtraInfo", "«Вставка доп.инфы»: применить правила вставки (.ins)"},
    {"ReplaceFragments", "«Замена фрагментов»: применить правила замены (.cha)"},
    {"LinkMainPage", "«Подключить Main.htm»: стартовая страница ссылается на main.htm"},
    {"CutScripts", "«Резать скрипты»: вырезать скрипты и ссылки на них"},
    {"KeepTablesAboveRatio",
     "«Оставлять таблицы, где соотн-е текст\\ссылка>»: оставлять таблицы, где текста больше "
     "KeepTablesThreshold"},
    {"PreferFewerLinks", "«Приоритет таблицы с меньшим количеством ссылок»"},
    {"PickRichestTable",
     "«Выбрать таблицу с максимальным количеством инфы»: оставить таблицу, в которой статья"},
    {"WidenTables", "«Расширять таблицы»: таблицы во всю ширину страницы"},
    {"CutTablesBelowRatio", "«Резать таблицы с соотношением текст/ссылка <» CutTablesThreshold"},
    {"CutCellsBelowRatio", "«Резать ячейки с соотношением текст/ссылка <» CutCellsThreshold"},
    {"RecoverTitle", "«Пытаться восстановить название из title»"},
    {"AddToProject",
     "«Автоматически добавлять журнал к проекту»: добавить выпуск в содержание справки"},
    {"RunCompiler",
     "«Автоматически запускать компилятор»: собрать файл справки (chmcmd); не собран — код "
     "выхода 1"},
    {"MakeEpub", "«Создавать EPUB»: записать выпуск ещё и книгой EPUB"},
    {"PickArticleBlock", "«Выбирать блок статьи в вёрстке без таблиц»"},
    {"ModernPictures", "«Картинки из srcset и data-src»"},
    {"TrimSiteName", "«Убирать название сайта из заголовка»"},
    {"UnlinkMissingPages", "«Убирать ссылки на страницы вне выпуска»"},
    {"TitledContents",
     "«Называть выпуск в содержании справки по заголовку»: «Tavex №N» вместо одного номера"},
};

const char* MeaningOf(std::string_view name) {
  for (const Meaning& meaning : kMeanings)
    if (name == meaning.name) return meaning.text;
  return "";
}

// Columns a UTF-8 text takes: one per character.
size_t Columns(std::string_view utf8) {
  size_t columns = 0;
  for (unsigned char c : utf8) columns += (c & 0xC0) != 0x80;
  return columns;
}

// Appends text to a line that already takes `used` columns, word by word,
// starting continuation lines at kMeaningAt; every line ends in "\n".
void AppendWrapped(std::ostringstream& out, size_t used, std::string_view text) {
  size_t start = 0;
  bool first_word = true;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(start, end - start);
    if (!first_word && used + 1 + Columns(word) > kWidth) {
      out << "\n" << std::string(kMeaningAt, ' ');
      used = kMeaningAt;
    } else if (!first_word) {
      out << ' ';
      ++used;
    }
    out << word;
    used += Columns(word);
    first_word = false;
    start = end + 1;
  }
  out << "\n";
}

// "  NAME  KIND  [DEFAULT]" in columns, then the meaning on the lines below it.
void OptionLine(std::ostringstream& out, std::string_view name, std::string_view kind,
                std::string_view default_text) {
  auto pad = [](size_t used, size_t width) {
    return std::string(used < width ? width - used : 1, ' ');
  };
  out << "  " << name << pad(name.size(), 22) << kind << pad(Columns(kind), 8) << "["
      << default_text << "]\n"
      << std::string(kMeaningAt, ' ');
  AppendWrapped(out, kMeaningAt, MeaningOf(name));
}

// Fields whose text must be a whole number when it is used.
bool IsNumberField(Field field) {
  return field == Field::IssueNumber || field == Field::KeepTablesThreshold ||
         field == Field::CutTablesThreshold || field == Field::CutCellsThreshold ||
         field == Field::IssuesPerFolder;
}

// A designer default as the help shows it. IndexPagePath's is the text the
// designer left in its field ("Edit8"), no path at all: the help says so
// rather than offer it as a value.
std::string ShownDefault(const FieldInfo& info) {
  if (info.field == Field::IndexPagePath) return "не задан";
  return Cp1251ToUtf8(info.default_text);
}

}  // namespace

std::string HelpText() {
  std::ostringstream out;
  out << kUsage << "\n"
      << "Команды:\n"
         "  build                выпуск по настройкам рабочей папки: статьи, страницы,\n"
         "                       содержание и файл справки; в конце — сводка сделанного\n"
         "  clean SOURCE TARGET  одна страница, очищенная в TARGET; её картинки — в папку\n"
         "                       images папки TargetDir, по умолчанию папки над TARGET\n"
         "  init DIR             рабочая папка из образца (настройки, шаблоны, правила,\n"
         "                       исходная папка, проект справки) в новой или пустой папке\n"
         "                       DIR\n"
         "\n"
         "Параметры (значение — следующим аргументом или после «=»):\n"
         "  --workdir DIR        рабочая папка (tavex.sav, шаблоны, HtmClear);\n"
         "                       по умолчанию текущая\n"
         "  --set NAME=VALUE     значение параметра на этот запуск (имена ниже)\n"
         "  --rubric FOLDER=TITLE  строка рубрики; один или несколько раз, вместо\n"
         "                       сохранённых строк\n"
         "  --exclude TITLE      build: убрать все статьи с этим заголовком, как его\n"
         "                       показывает страница навигации («—») или пишет страница\n"
         "                       («&mdash;»)\n"
         "  -o, --output DIR     build: папка выпуска (TargetDir) от текущей папки; #x1 —\n"
         "                       номер выпуска\n"
         "  --list               build: статьи каждой рубрики (страница, заголовок, файл),\n"
         "                       которые сделала бы сборка; ничего не записывает\n"
         "  -q, --quiet          build: без строк хода сборки\n"
         "  --explain            clean: по порядку каждый шаг и файл правил, изменившие\n"
         "                       страницу, и что они убрали и добавили (страница та же)\n"
         "  -h, --help, --version\n"
         "\n"
         "Имена для --set, их вид и [значение по умолчанию]; tavex.sav рабочей папки\n"
         "меняет значения по умолчанию, --set меняет и то и другое; on/off — в любом\n"
         "регистре:\n";
  for (const FieldInfo& info : kFields)
    OptionLine(out, info.name, IsNumberField(info.field) ? "число" : "текст", ShownDefault(info));
  OptionLine(out, "IssueDate", "дата", "сегодня, ГГГГ-ММ-ДД");
  for (const SwitchInfo& info : kSwitches)
    OptionLine(out, info.name, "on/off", info.default_on ? "on" : "off");
  out << "\nКоды выхода: 0 — готово; 1 — сборка не удалась, не сделала ни одной статьи\n"
         "или (с RunCompiler) не собрала файл справки, причина — в стандартном потоке\n"
         "ошибок; 2 — ошибка в командной строке или поле, которое не число (и в\n"
         "tavex.sav).\n";
  return out.str();
}

std::string VersionText() {
  return std::string("mytavex-cli ") + MYTAVEX_VERSION + " (MyTavex v3.71b)\n";
}

}  // namespace tavex::cli
