#pragma once

// The three sizes of the capture window, in twips, with the two border lines that outline it.
enum class CaptureLayout { Full, Bar, Pen };

struct CaptureGeometry
{
    int width;
    int height;
    int bottomLineY; // 30 twips above the bottom edge
    int rightLineX;  // 30 twips left of the right edge
};

constexpr CaptureGeometry captureGeometry(CaptureLayout layout)
{
    switch (layout) {
    case CaptureLayout::Full:
        return {5820, 5000, 4970, 5790};
    case CaptureLayout::Bar:
        return {5820, 550, 520, 5790};
    case CaptureLayout::Pen:
        break;
    }
    return {1050, 550, 520, 1020};
}
