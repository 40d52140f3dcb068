#pragma once

#include <QIcon>
#include <cstddef>

// The pictures of the editor's toolbar, drawn at 18 × 18 pixels, each with a grey
// picture for its disabled state.
namespace ToolbarIcons {

constexpr int kSize = 18;

// In button order.
enum class Picture {
    BlankPage,
    OpenFolder,
    Diskette,
    Printer,
    Scissors,
    TwoPages,
    ClipboardWithPage,
    LinesLeft,
    LinesCentred,
    LinesRight,
    LinesJustified,
    TwoLetters,  // "TT"
    Palette,
};
constexpr std::size_t kCount = static_cast<std::size_t>(Picture::Palette) + 1;

QIcon icon(Picture picture);

} // namespace ToolbarIcons
