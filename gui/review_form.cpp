#include "review_form.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/visible_title.h"
#include "dialog/article_preview.h"
#include "glyphs.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "qt_text.h"

namespace tavex::gui {
namespace {

QToolButton* PanelButton(QWidget* parent, const QString& text, const char* hint) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolTip(QString::fromUtf8(hint));
  button->setFixedSize(28, 28);
  return button;
}

// The width the preview pane adds to the dialog, in pixels.
constexpr int kPreviewWidth = 560;

// Shows a page of the issue: its pictures come from the issue's own folders
// (dialog/article_preview.h), nothing else is loaded (no style sheet, no
// address out of the issue), and a click on a link goes nowhere.
class TPageBrowser : public QTextBrowser {
 public:
  explicit TPageBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
  }
  // The page shown, as the core's path text; empty for none.
  void ShowPage(const std::string& path) {
    page_path_ = path;
    const std::optional<std::string> page = path.empty() ? std::nullopt : PreviewPage(path);
    setHtml(page ? FromCore(*page) : QString());
  }

 protected:
  QVariant loadResource(int type, const QUrl& name) override {
    if (type != QTextDocument::ImageResource || page_path_.empty()) return {};
    // The page writes "..\Images\3.gif"; the document hands it back as an
    // address, its backslashes escaped.
    const std::string picture =
        PreviewPicturePath(page_path_, ToCore(QUrl::fromPercentEncoding(name.toEncoded())));
    if (picture.empty()) return {};
    const std::optional<std::string> bytes = ReadFileBytes(picture);
    QImage image;
    if (!bytes || !image.loadFromData(QByteArray::fromStdString(*bytes))) return {};
    return image;
  }

 private:
  std::string page_path_;
};

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Статьи"));
  resize(298, 496);
  // Smaller than this leaves no room for the panel's buttons.
  setMinimumSize(280, 100);
  open_document = [](const std::string& path) { ShellOpen(path); };

  Label1 = new QLabel(this);
  Label1->setAlignment(Qt::AlignCenter);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  Label1->setToolTip(QString::fromUtf8("Двойной клик по статье покажет ее"));

  CheckListBox1 = new QListWidget(this);

  auto* panel = new QWidget(this);
  panel->setFixedHeight(40);
  SpeedButton1 = PanelButton(panel, QStringLiteral("<"), "Предыдущая рубрика");
  SpeedButton2 = PanelButton(panel, QStringLiteral(">"), "Следующая рубрика");
  SpeedButton3 = PanelButton(panel, QString(), "Добавить в рубрику все");
  SpeedButton3->setIcon(AddAllGlyph());
  SpeedButton4 = PanelButton(panel, QString(), "Убрать из рубрики все");
  SpeedButton4->setIcon(RemoveAllGlyph());
  SpeedButton5 = PanelButton(panel, QString(), "Показать страницу выбранной статьи");
  SpeedButton5->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  SpeedButton5->setCheckable(true);
  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Ok"),
                            panel);
  BitBtn1->setDefault(true);
  auto* buttons = new QHBoxLayout(panel);
  buttons->setContentsMargins(4, 4, 4, 4);
  for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5})
    buttons->addWidget(button);
  buttons->addStretch();
  buttons->addWidget(BitBtn1);

  // The list's column as designed, and the preview pane to its right.
  column_ = new QWidget(this);
  auto* layout = new QVBoxLayout(column_);
  layout->setContentsMargins(0, 4, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(Label1);
  layout->addWidget(CheckListBox1, 1);
  layout->addWidget(panel);
  Preview = new TPageBrowser(this);
  Preview->hide();
  auto* sides = new QHBoxLayout(this);
  sides->setContentsMargins(0, 0, 0, 0);
  sides->setSpacing(4);
  sides->addWidget(column_, 0);
  sides->addWidget(Preview, 1);

  connect(SpeedButton1, &QToolButton::clicked, this, [this] {
    if (state_) state_->PreviousRubric();
    FillArticleList();
  });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] {
    if (state_) state_->NextRubric();
    FillArticleList();
  });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { SetAllIncluded(true); });
  connect(SpeedButton4, &QToolButton::clicked, this, [this] { SetAllIncluded(false); });
  connect(SpeedButton5, &QToolButton::toggled, this, &TForm2::ShowPreview);
  connect(CheckListBox1, &QListWidget::currentRowChanged, this, &TForm2::PreviewArticle);
  connect(CheckListBox1, &QListWidget::itemChanged, this, &TForm2::CheckListBox1ClickCheck);
  CheckListBox1->viewport()->installEventFilter(this);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

TForm2::~TForm2() = default;

void TForm2::SetTable(const MainWindow& window, ArticleTable& table) {
  state_ = std::make_unique<TReviewState>(window, table);
}

void TForm2::ClearTable() {
  state_.reset();
  CheckListBox1->clear();
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  SpeedButton5->setChecked(false);
  FormActivate();
}

// The list's column keeps its width while the pane is open; the pane takes
// what the dialog grows by.
void TForm2::ShowPreview(bool on) {
  if (on == !Preview->isHidden()) return;
  if (on) {
    const int column_width = column_->width();
    column_->setFixedWidth(column_width);
    Preview->show();
    resize(width() + kPreviewWidth, height());
    PreviewArticle(CheckListBox1->currentRow());
  } else {
    const int column_width = column_->width();
    Preview->hide();
    column_->setMinimumWidth(0);
    column_->setMaximumWidth(QWIDGETSIZE_MAX);
    resize(column_width, height());
    static_cast<TPageBrowser*>(Preview)->ShowPage({});
  }
}

// The page of the list's item index, when the pane is open; none for no item.
void TForm2::PreviewArticle(int index) {
  if (Preview->isHidden()) return;
  std::optional<std::string> path;
  if (state_ && index >= 0) path = state_->ArticlePath(index);
  static_cast<TPageBrowser*>(Preview)->ShowPage(path.value_or(std::string()));
}

void TForm2::FormActivate() {
  if (state_) state_->Activate();
  FillArticleList();
}

void TForm2::FillArticleList() {
  TArticleList list;
  if (state_) list = state_->FillArticleList();
  Label1->setText(FromCore(list.Label));
  // Filling the list is no toggle by the editor.
  QSignalBlocker quiet(CheckListBox1);
  CheckListBox1->clear();
  for (const TArticleListItem& entry : list.Items) {
    // As the reader sees it: "Sch&#252;ler" shows as "Schüler". The article
    // table keeps the raw title, which Ok looks for on the navigation page.
    auto* item =
        new QListWidgetItem(QString::fromStdString(VisibleTitle(entry.Title)), CheckListBox1);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.Checked ? Qt::Checked : Qt::Unchecked);
  }
  PreviewArticle(CheckListBox1->currentRow());
}

void TForm2::CheckListBox1ClickCheck(QListWidgetItem* item) {
  if (state_) state_->SetIncluded(CheckListBox1->row(item), item->checkState() == Qt::Checked);
}

void TForm2::SetAllIncluded(bool on) {
  if (state_) state_->SetAllIncluded(on);
  FillArticleList();
}

// A double click anywhere in the list opens the selected article, if any.
// (Item views only report double clicks on items, and only after their own
// press; the list's viewport is watched instead.)
bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  // The press before the double click has already selected the item under
  // the pointer, if any.
  if (watched == CheckListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick)
    CheckListBox1DblClick();
  return QDialog::eventFilter(watched, event);
}

void TForm2::CheckListBox1DblClick() {
  QListWidgetItem* item = CheckListBox1->currentItem();
  if (!state_ || !item || !item->isSelected()) return;
  if (auto path = state_->ArticlePath(CheckListBox1->row(item))) open_document(*path);
}

}  // namespace tavex::gui
