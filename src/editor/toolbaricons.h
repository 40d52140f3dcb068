#pragma once

#include <QIcon>

// The pictures of the editor's toolbar, drawn at 18 × 18 pixels, each with a grey
// picture for its disabled state.
namespace ToolbarIcons {

constexpr int kSize = 18;
constexpr int kCount = 13;

// In button order: blank page, opening folder, diskette, printer, scissors, two pages,
// clipboard with page, lines flush left, centred, flush right, justified, "TT", palette.
QIcon icon(int index);

} // namespace ToolbarIcons
