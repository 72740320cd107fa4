// Drawing the figure: a column of wings read from the history ring, recorded into a draw list.
#pragma once

#include "drawlist/drawlist.hpp"
#include "engine/history.hpp"

namespace lumenweave::figure {

struct Color {
    float red, green, blue;
};

// Hue in turns, lightness and saturation in 0..1.
Color hlsToRgb(float h, float l, float s);
// One colour channel; hue in degrees.
float hlsChannel(float low, float high, float hue);
// The wing square in the current colour; filled or as four separate line segments.
void drawSquare(bool filled, drawlist::draw_list_t& list);
// The whole figure from the ring and its running values, appended to the list.
void drawFigure(const engine::HistoryRing& history, const engine::HistoryState& historyState,
                drawlist::draw_list_t& list);

}  // namespace lumenweave::figure
