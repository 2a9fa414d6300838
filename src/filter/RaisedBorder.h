#pragma once

class QWidget;

namespace ui {
class Screen;
}

namespace filter {

/// The light grey of the raised look (red, green, blue 192; colour value 12632256).
inline constexpr int kRaisedGrey = 192;

/// Gives a window the raised look: unless it is minimised, its background
/// becomes light grey, and `width` nested lines are drawn along its inner
/// edges, dark grey along the bottom and right, white along the top and left.
/// A width outside 1 to 20 draws no lines. The lines follow the window's
/// visible area as it grows and shrinks.
void PaintRaisedBorder(ui::Screen* form, int width);

/// The width the window's border is drawn with; 0 when none is drawn.
int raisedBorderWidth(const ui::Screen* form);

} // namespace filter
