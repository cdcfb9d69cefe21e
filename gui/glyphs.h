// The small pictures of the picture buttons that no standard icon says well:
// drawn here, so they look the same on every platform and style.
#pragma once

#include <QIcon>

namespace tavex::gui {

// Three stacked check boxes, all ticked: "Добавить в рубрику все".
QIcon AddAllGlyph();
// Three stacked check boxes, all empty, with a red stroke: "Убрать из рубрики все".
QIcon RemoveAllGlyph();
// A grid of rows with a green plus at its foot: "Добавить строку".
QIcon InsertRowGlyph();

}  // namespace tavex::gui
