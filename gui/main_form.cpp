// The main window's controls and their layout. The window has a fixed client
// area of 451 x 314 pixels, as designed; texts are the window's own Russian
// captions (this file is UTF-8, Qt's own encoding).
#include "main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/memory_window.h"
#include "app/settings.h"
#include "glyphs.h"
#include "qt_text.h"
#include "review_form.h"

namespace tavex::gui {
namespace {

// The switches' captions, in Switch order. "восстановить" is spelt with
// Cyrillic letters only: the window once showed a Latin "c" in it, which a
// search for the word never found.
const char* const kSwitchCaptions[kSwitchCount] = {
    "Убрать рекламу",
    "Вставка доп.инфы",
    "Замена фрагментов",
    "Подключить Main.htm",
    "Резать скрипты",
    "Оставлять таблицы, где соотн-е текст\\ссылка>",
    "Приоритет таблицы с меньшим количеством ссылок",
    "Выбрать таблицу с максимальным количеством инфы",
    "Расширять таблицы",
    "Резать таблицы с соотношением текст/ссылка <",
    "Резать ячейки с соотношением текст/ссылка <",
    "Пытаться восстановить название из title",
    "Автоматически добавлять журнал к проекту",
    "Автоматически запускать компилятор",
    "Создавать EPUB",
    "Выбирать блок статьи в вёрстке без таблиц",
    "Картинки из srcset и data-src",
    "Убирать название сайта из заголовка",
    "Убирать ссылки на страницы вне выпуска",
    "Называть выпуск в содержании справки по заголовку",
};

QToolButton* PictureButton(QWidget* parent, QStyle::StandardPixmap pixmap, const char* hint) {
  auto* button = new QToolButton(parent);
  button->setIcon(parent->style()->standardIcon(pixmap));
  if (hint) button->setToolTip(QString::fromUtf8(hint));
  button->setAutoRaise(true);
  return button;
}

QLabel* Label(const char* text) {
  return new QLabel(QString::fromUtf8(text));
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("MyTavex v3.71b"));
  setFixedSize(451, 314);

  for (int i = 0; i < kFieldCount; ++i) Edits[i] = new QLineEdit(this);
  for (int i = 0; i < kSwitchCount; ++i)
    CheckBoxes[i] = new QCheckBox(QString::fromUtf8(kSwitchCaptions[i]), this);

  PageControl1 = new QTabWidget(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(PageControl1);
  auto* main_page = new QWidget;
  auto* advanced_page = new QWidget;
  auto* compile_page = new QWidget;
  PageControl1->addTab(main_page, QString::fromUtf8("Главная"));
  PageControl1->addTab(advanced_page, QString::fromUtf8("Продвинутые настройки"));
  PageControl1->addTab(compile_page, QString::fromUtf8("Компиляция"));
  BuildMainTab(main_page);
  BuildAdvancedTab(advanced_page);
  BuildCompileTab(compile_page);

  form2_ = std::make_unique<TForm2>(this);
  ApplyDesignerDefaults();
  ConnectHandlers();

  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TForm1::~TForm1() = default;

void TForm1::BuildMainTab(QWidget* page) {
  StringGrid1 = new QTableWidget(5, 2, page);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setDefaultSectionSize(18);
  StringGrid1->horizontalHeader()->setHighlightSections(false);
  // The two columns were designed 148 and 149 pixels wide for a smaller
  // font. Here the folder column is as wide as its header and the default
  // folder names need, and the rubric column takes the rest, never less than
  // its header and the default rubric names need ("Hardware и техника").
  FitGridColumns();
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  StringGrid1->setEditTriggers(
      QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
      QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  StringGrid1->setHorizontalHeaderLabels({QString(), QString()});

  for (int i = 1; i <= 7; ++i) SpeedButtons[i] = nullptr;
  SpeedButtons[3] = PictureButton(page, QStyle::SP_FileDialogNewFolder, "Добавить строку");
  SpeedButtons[3]->setIcon(InsertRowGlyph());
  SpeedButtons[4] = PictureButton(page, QStyle::SP_TrashIcon, "Удалить строку");
  SpeedButtons[2] = PictureButton(page, QStyle::SP_DialogOpenButton, "Загрузить настройки");
  SpeedButtons[1] = PictureButton(page, QStyle::SP_DialogSaveButton, "Сохранить настройки");
  SpeedButtons[5] = PictureButton(page, QStyle::SP_FileDialogContentsView,
                                  "Автоматическое сканирование исходной папки");
  SpeedButtons[5]->setText(QString::fromUtf8("Автоскан"));
  SpeedButtons[5]->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  SpeedButtons[6] = PictureButton(page, QStyle::SP_BrowserReload, "Поменять местами строки");
  SpeedButtons[7] = PictureButton(page, QStyle::SP_DirLinkIcon,
                                  "Целевая директория по пути к проекту: "
                                  "папка выпусков tavex#x1\\tavex#x1");

  auto* row_buttons = new QHBoxLayout;
  row_buttons->setSpacing(0);
  for (int i : {3, 4, 2, 1}) row_buttons->addWidget(SpeedButtons[i]);
  row_buttons->addStretch();
  auto* scan_buttons = new QHBoxLayout;
  scan_buttons->setSpacing(0);
  for (int i : {5, 6, 7}) scan_buttons->addWidget(SpeedButtons[i]);
  scan_buttons->addStretch();
  auto* side = new QVBoxLayout;
  side->setSpacing(2);
  side->addLayout(row_buttons);
  for (Switch sw :
       {Switch::RemoveAds, Switch::InsertExtraInfo, Switch::ReplaceFragments, Switch::LinkMainPage})
    side->addWidget(CheckBox(sw));
  side->addLayout(scan_buttons);
  side->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(StringGrid1, 1);
  top->addLayout(side);

  auto* folders = new QGridLayout;
  folders->setVerticalSpacing(2);
  folders->addWidget(Label("Исходная директория"), 0, 0);
  folders->addWidget(Edit(Field::SourceDir), 0, 1);
  folders->addWidget(Label("Целевая директория"), 1, 0);
  folders->addWidget(Edit(Field::TargetDir), 1, 1);

  DateTimePicker1 = new QDateEdit(page);
  DateTimePicker1->setCalendarPopup(true);
  // Under the C locale the Russian form, as the pages get it (ShortDate).
  DateTimePicker1->setDisplayFormat(QLocale().language() == QLocale::C
                                        ? QStringLiteral("dd.MM.yyyy")
                                        : QLocale().dateFormat(QLocale::ShortFormat));
  Button1 = new QPushButton(QString::fromUtf8("Старт"), page);
  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                            QString::fromUtf8("Выход"), page);
  Edit(Field::IssueNumber)->setFixedWidth(40);
  auto* run = new QHBoxLayout;
  run->addWidget(Label("№"));
  run->addWidget(Edit(Field::IssueNumber));
  run->addWidget(DateTimePicker1);
  run->addStretch();
  run->addWidget(Button1);
  run->addWidget(BitBtn1);

  ProgressBar2 = new QProgressBar(page);
  ProgressBar2->setFixedHeight(6);
  ProgressBar1 = new QProgressBar(page);
  ProgressBar1->setFixedHeight(14);
  for (QProgressBar* bar : {ProgressBar1, ProgressBar2}) {
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
  }

  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(3);
  layout->addLayout(top, 1);
  layout->addLayout(folders);
  layout->addLayout(run);
  // A long step of the run (the help compiler) says here what it is doing, on
  // a line of its own above the bars, so the text is never cut short.
  StatusLabel = new QLabel(page);
  StatusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  StatusLabel->setFixedHeight(StatusLabel->fontMetrics().height());
  layout->addWidget(StatusLabel);
  layout->addWidget(ProgressBar2);
  layout->addWidget(ProgressBar1);
}

void TForm1::FitGridColumns() {
  TSettings defaults;
  PutDefaultRows(defaults);
  const QFontMetrics header(StringGrid1->horizontalHeader()->font());
  const QFontMetrics cells(StringGrid1->font());
  // Room for a cell's margins and the header's sort and frame marks.
  constexpr int kPadding = 16;
  int widths[2] = {header.horizontalAdvance(QString::fromUtf8("Название папки")),
                   header.horizontalAdvance(QString::fromUtf8("Название рубрики"))};
  for (const auto& [folder, rubric] : defaults.Rows) {
    widths[0] = std::max(widths[0], cells.horizontalAdvance(FromCore(folder)));
    widths[1] = std::max(widths[1], cells.horizontalAdvance(FromCore(rubric)));
  }
  QHeaderView* columns = StringGrid1->horizontalHeader();
  columns->setSectionResizeMode(0, QHeaderView::Interactive);
  columns->resizeSection(0, widths[0] + kPadding);
  columns->setSectionResizeMode(1, QHeaderView::Stretch);
  columns->setMinimumSectionSize(std::min(widths[0], widths[1]) + kPadding);
  StringGrid1->setMinimumWidth(widths[0] + widths[1] + 2 * kPadding +
                               StringGrid1->verticalScrollBar()->sizeHint().width() +
                               2 * StringGrid1->frameWidth());
}

// The advanced tab: the table options in their group, the article block (the
// choice the table pass hands over to on pages without tables) at the group's
// foot, the two short switches side by side, then the title and page switches.
// Rows are packed tight to fit the fixed window.
void TForm1::BuildAdvancedTab(QWidget* page) {
  auto* tables = new QGroupBox(QString::fromUtf8("Таблицы"), page);
  auto* group = new QGridLayout(tables);
  group->setContentsMargins(6, 2, 6, 2);
  group->setVerticalSpacing(1);
  group->addWidget(CheckBox(Switch::PickRichestTable), 0, 0, 1, 2);
  group->addWidget(CheckBox(Switch::KeepTablesAboveRatio), 1, 0);
  group->addWidget(Edit(Field::KeepTablesThreshold), 1, 1);
  group->addWidget(CheckBox(Switch::PreferFewerLinks), 2, 0, 1, 2);
  group->addWidget(CheckBox(Switch::CutTablesBelowRatio), 3, 0);
  group->addWidget(Edit(Field::CutTablesThreshold), 3, 1);
  group->addWidget(CheckBox(Switch::CutCellsBelowRatio), 4, 0);
  group->addWidget(Edit(Field::CutCellsThreshold), 4, 1);
  group->addWidget(CheckBox(Switch::PickArticleBlock), 5, 0, 1, 2);
  for (Field field :
       {Field::KeepTablesThreshold, Field::CutTablesThreshold, Field::CutCellsThreshold})
    Edit(field)->setFixedWidth(50);

  auto* short_switches = new QHBoxLayout;
  short_switches->addWidget(CheckBox(Switch::CutScripts));
  short_switches->addWidget(CheckBox(Switch::WidenTables));
  short_switches->addStretch();

  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(2);
  layout->addLayout(short_switches);
  layout->addWidget(tables);
  for (Switch sw : {Switch::RecoverTitle, Switch::TrimSiteName, Switch::ModernPictures,
                    Switch::UnlinkMissingPages})
    layout->addWidget(CheckBox(sw));
  layout->addStretch();
}

void TForm1::BuildCompileTab(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(2);
  layout->addWidget(Label("Путь к проекту"));
  layout->addWidget(Edit(Field::ProjectPath));
  layout->addWidget(Label("Путь к папке с журналами"));
  layout->addWidget(Edit(Field::IssuesRoot));
  layout->addWidget(Label("Путь к файлу Index.htm"));
  layout->addWidget(Edit(Field::IndexPagePath));
  layout->addSpacing(4);
  layout->addWidget(CheckBox(Switch::AddToProject));
  layout->addWidget(CheckBox(Switch::TitledContents));
  layout->addWidget(CheckBox(Switch::RunCompiler));
  layout->addWidget(CheckBox(Switch::MakeEpub));
  auto* per_folder = new QHBoxLayout;
  per_folder->addWidget(Label("Количество журналов в папке"));
  per_folder->addWidget(Edit(Field::IssuesPerFolder));
  Edit(Field::IssuesPerFolder)->setFixedWidth(50);
  per_folder->addStretch();
  layout->addLayout(per_folder);
  layout->addStretch();
}

// The state the window has before any settings are applied: the options'
// designed values, five empty data rows, today's date.
void TForm1::ApplyDesignerDefaults() {
  for (const FieldInfo& info : kFields) SetFieldText(info.field, info.default_text);
  for (const SwitchInfo& info : kSwitches) SetChecked(info.sw, info.default_on);
  // Kept for display only: the build does not read it.
  Edit(Field::IssuesPerFolder)->setEnabled(false);
  SetIssueDate(Today());
  UpdateTableOptionsEnabled();
}

}  // namespace tavex::gui
